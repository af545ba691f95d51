// The word list editor's windows, offscreen: the German order, keys, search,
// the dialogs, and the recognizer's word dialog against the real stand-in.
#include <QAbstractItemModelTester>
#include <QProcess>
#include <QtTest>
#include <QtWidgets>

#include "common/dragon.h"
#include "common/qtext.h"
#include "common/sortierung.h"
#include "main/editor/form_wortliste.h"
#include "main/editor/wortliste_modell.h"
#include "tests/unit/editor/editor_baum.h"

namespace {

using namespace vk;

class Fenster : public EditorBaum {
 protected:
  void SetUp() override {
    EditorBaum::SetUp();
    baum_->env("VOKARIUM_DRAGON_SOCKET", baum_->pfad("run/natspeak.sock").c_str());
    DragonZuruecksetzen();
    FormWortliste::programmBeenden() = [this] { ++beendet_; };
    aufrufer_.show();
  }
  void TearDown() override {
    if (natspeak_) {
      natspeak_->kill();
      natspeak_->waitForFinished(3000);
    }
    QApplication::setKeyboardInputInterval(400);
    EditorBaum::TearDown();
  }

  void pool(const std::string& datei, const std::string& inhalt) const {
    schreiben("ziel/Chirurgie/" + datei, inhalt);
  }
  static QStringList spalte(int s) {
    QStringList r;
    for (const auto& e : editorZustand().zeilen)
      r << qtext(s == 1 ? e.geschrieben : e.gesprochen);
    return r;
  }
  // Opens the editor; `warten`: until its list is shown.
  std::unique_ptr<FormWortliste> oeffnen(const Listenauftrag& a, bool warten = true) {
    auto f = std::make_unique<FormWortliste>(&aufrufer_, a);
    f->show();
    if (warten && !QTest::qWaitFor([&f] { return f->Liste->isVisible(); }, 10000))
      ADD_FAILURE() << "the list was not shown";
    QCoreApplication::processEvents();
    return f;
  }
  std::unique_ptr<FormWortliste> oeffnen(const std::string& datei, bool warten = true) {
    return oeffnen(Listenauftrag{.dateiname = datei}, warten);
  }
  static QAction* aktion(FormWortliste& f, const char* name) { return f.findChild<QAction*>(name); }
  static std::string meldung(std::size_t i) { return recordedMessages().at(i).text; }
  // Runs `tun` on the word dialog once the event loop runs.
  static void imDialog(const std::function<void(FormWortBearbeiten*)>& tun) {
    QTimer::singleShot(0, [tun] {
      auto* d = qobject_cast<FormWortBearbeiten*>(QApplication::activeModalWidget());
      ASSERT_TRUE(d);
      tun(d);
    });
  }

  QWidget aufrufer_;
  int beendet_ = 0;
  std::unique_ptr<QProcess> natspeak_;
};

TEST_F(Fenster, FirstActivationBuildsSortsAndHidesTheCaller) {
  pool("AlleWorte.txt",
       "Zeh\r\n\xC4rger\r\narm\r\nBein\r\n\xD6l\r\nStra\xDF"
       "e\r\nStrasse\r\nEKG\r\nAbend\r\n");
  auto f = oeffnen(gesamt());
  QAbstractItemModelTester tester(f->modell, QAbstractItemModelTester::FailureReportingMode::Fatal);
  EXPECT_FALSE(aufrufer_.isVisible());
  EXPECT_EQ(spalte(1), (QStringList{"Abend", "Ärger", "arm", "Bein", "EKG", "Öl", "Strasse",
                                    "Straße", "Zeh"}));
  EXPECT_EQ(f->stbWorte->text() + f->stbPool->text(), "Anzahl : 9 Pool : Chirurgie ");

  // A check box click counts; the header sorts and toggles.
  EXPECT_TRUE(f->modell->setData(f->modell->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
  EXPECT_EQ(f->stbMarkiert->text(), "Markierte : 8 ");
  f->Liste->horizontalHeader()->sectionClicked(1);
  EXPECT_EQ(spalte(1).first(), "Zeh");
  f->Liste->horizontalHeader()->sectionClicked(1);
  EXPECT_EQ(spalte(1).first(), "Abend");

  // Escape closes: the caller comes back.
  QTest::keyClick(f->Liste, Qt::Key_Escape);
  EXPECT_FALSE(f->isVisible());
  EXPECT_TRUE(aufrufer_.isVisible());
  EXPECT_EQ(beendet_, 0);
}

// The sort, by letter ranks mostly, gives exactly the collator's order: texts
// of every kind, then short ones differing only in umlauts, case and ß.
TEST(Sortierung, IsTheCollatorsOrder) {
  const std::vector<std::vector<std::string>> mengen{
      {"a",    "A",  "\xE4", "\xC4", "b",  "s", "ss",   "\xDF", "o",    "\xF6", "\xD6", "z",
       "Z",    "0",  "9",    "1",    " ",  "-", ".",    "'",    "\xE9", "\xC9", "e",    "E",
       "\xE6", "ae", "\xAD", "\t",   "\\", "_", "\x80", "y",    "\xFF", "\x9F", "i",    "I"},
      {"a", "A", "\xE4", "\xC4", "o", "\xF6", "\xD6", "O", "s", "ss", "\xDF", "S", "1"}};
  const QCollator c = deutscherCollator();
  for (const auto& stuecke : mengen) {
    std::vector<Eintrag> zeilen;
    std::uint32_t zufall = 12345;
    const std::uint32_t laengeMax = stuecke.size() > 20 ? 30 : 4;
    for (int i = 0; i < 4000; ++i) {
      std::string w;
      for (int j = 0, n = 1 + static_cast<int>((zufall >> 16) % laengeMax); j < n; ++j) {
        zufall = zufall * 1103515245U + 12345U;
        w += stuecke[(zufall >> 16) % stuecke.size()];
      }
      zeilen.push_back(Eintrag{w, std::to_string(i % 7), true});
    }
    zeilen.push_back(Eintrag{"Wort", "x", true});
    zeilen.push_back(Eintrag{"Wort", "y", true});
    std::vector<Eintrag> erwartet = zeilen;
    std::stable_sort(erwartet.begin(), erwartet.end(), [&c](const Eintrag& a, const Eintrag& b) {
      return c.compare(qtext(a.geschrieben), qtext(b.geschrieben)) < 0;
    });
    WortlisteModell::sortieren(zeilen, 1, Qt::AscendingOrder);
    for (std::size_t i = 0; i < zeilen.size(); ++i)
      ASSERT_EQ(zeilen[i].geschrieben + "|" + zeilen[i].gesprochen,
                erwartet[i].geschrieben + "|" + erwartet[i].gesprochen)
          << i;
    WortlisteModell::sortieren(zeilen, 1, Qt::DescendingOrder);
    EXPECT_EQ(zeilen.back().geschrieben, erwartet.front().geschrieben);
  }
}

// An empty or a missing (reported) file in the automatic mode ends the
// program; a revision list with nothing new says why.
TEST_F(Fenster, AnEmptyListEndsTheAutomaticModeOrSaysWhy) {
  poolZustand().Automatikbetrieb = true;
  poolZustand().Benutzer = "Meier";
  pool("_Meier.ben", " \r\n");
  for (const char* datei : {"_Meier.ben", "_Fehlt.ben"}) {
    beendet_ = 0;
    auto f = oeffnen(datei, false);
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(beendet_, 1);
  }
  EXPECT_EQ(recordedMessages().size(), 1U);

  poolZustand().Automatikbetrieb = false;
  pool("AlleWorte.txt", "Femur\r\n");
  poolZustand().Vergleichsworte.hinzufuegen("Femur");
  clearRecordedMessages();
  auto leer = oeffnen(wartung());
  ASSERT_EQ(recordedMessages().size(), 1U);
  EXPECT_EQ(meldung(0), Text(2595));
}

// The search scrolls to the first match, selecting nothing; F3 goes on, asking
// first when nothing was searched yet. Typed letters jump to the first word
// starting with them as a German reader compares (Ä as A, ß as ss).
TEST_F(Fenster, SearchAndTypingFindWordsHomeAndEndReachTheEnds) {
  std::string inhalt =
      "Zeh\r\n\xC4rger\r\n\xE4rgerlich\r\narm\r\nBein\r\nStra\337e\r\nAbend\r\n-minus\r\n";
  for (int i = 0; i < 300; ++i)
    inhalt += "Wort" + std::to_string(1000 + i) + "\r\n";
  pool("Wortliste.txt", inhalt);
  auto f = oeffnen("Wortliste.txt");
  int gefragt = 0;
  std::string frage = "wort11";
  FormWortliste::suchEingabe() = [&](std::string& t) {
    ++gefragt;
    t = frage;
    return true;
  };
  const auto rechtsklick = [&f] {
    QTest::mouseClick(f->Liste->viewport(), Qt::RightButton, {}, QPoint(20, 20));
  };
  const auto oben = [&f](const char* wort) {
    EXPECT_EQ(f->Liste->rowAt(0), spalte(1).indexOf(QString::fromUtf8(wort))) << wort;
  };
  QTest::keyClick(f->Liste, Qt::Key_F3);
  oben("Wort1100");
  EXPECT_TRUE(f->Liste->selectionModel()->selectedRows().isEmpty());
  QTest::keyClick(f->Liste, Qt::Key_F3);
  oben("Wort1101");
  EXPECT_EQ(gefragt, 1);
  frage = "\xC4RGERL";
  rechtsklick();
  oben("ärgerlich");
  frage = "wort105";
  QTest::keyClick(f->Liste, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(gefragt, 3);
  oben("Wort1050");
  // Past the last match, and a start no word has: said, nothing moves.
  for (int i = 0; i < 10; ++i)
    QTest::keyClick(f->Liste, Qt::Key_F3);
  frage = " ort ";
  rechtsklick();
  ASSERT_EQ(recordedMessages().size(), 2U);
  EXPECT_EQ(meldung(0), "Kein Wort der Liste beginnt mit \"wort105\".");
  EXPECT_EQ(meldung(1), "Kein Wort der Liste beginnt mit \"ort\".");

  const int letzte = f->modell->rowCount() - 1;
  auto aktuell = [&f] { return spalte(1).at(f->Liste->currentIndex().row()); };
  auto selektiert = [&f] { return f->Liste->selectionModel()->selectedRows().size(); };
  f->Liste->setFocus();
  for (const auto& [getippt, erwartet] : {std::pair{"ar", "Ärger"},
                                          {"ARM", "arm"},
                                          {"wort12", "Wort1200"},
                                          {"strass", "Straße"},
                                          {"z", "Zeh"},
                                          {"-", "-minus"}}) {
    QApplication::setKeyboardInputInterval(0);  // a new word each time
    QTest::keyClick(f->Liste, getippt[0]);
    QApplication::setKeyboardInputInterval(60000);
    QTest::keyClicks(f->Liste, QString::fromLatin1(getippt + 1));
    EXPECT_EQ(aktuell(), QString::fromUtf8(erwartet));
    EXPECT_EQ(selektiert(), 1);
  }
  QTest::keyClicks(f->Liste, "q");  // a start no word has: the row stays
  EXPECT_EQ(aktuell(), "-minus");

  QTest::keyClick(f->Liste, Qt::Key_End);
  EXPECT_EQ(f->Liste->currentIndex().row(), letzte);
  QTest::keyClick(f->Liste, Qt::Key_Home);
  EXPECT_EQ(f->Liste->currentIndex().row(), 0);
  QTest::keyClick(f->Liste, Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(selektiert(), letzte + 1);
  // Without Shift, so Shift is not kept as held.
  QTest::keyClick(f->Liste, Qt::Key_Home);
  EXPECT_EQ(selektiert(), 1);
}

// WortlisteZeigen shows the editor modally and returns once it closed.
TEST_F(Fenster, TheModalEditorTakesOverFromTheToolbar) {
  pool("Wortliste.txt", "Bein\r\nArm\r\n");
  bool gesehen = false;
  QTimer uhr;
  QObject::connect(&uhr, &QTimer::timeout, [&] {
    auto* f = qobject_cast<FormWortliste*>(QApplication::activeModalWidget());
    if (gesehen || f == nullptr || !f->Liste->isVisible()) return;
    gesehen = true;
    EXPECT_FALSE(aufrufer_.isVisible());
    f->modell->setData(f->modell->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
    aktion(*f, "Uebernehmen")->trigger();
  });
  uhr.start(20);
  WortlisteZeigen(&aufrufer_, liste("Wortliste.txt"));
  EXPECT_TRUE(gesehen);
  EXPECT_TRUE(aufrufer_.isVisible());
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "neuWorte.txt", "Wortliste.txt"}), "Arm\r\n|Arm\r\n|-");
}

TEST_F(Fenster, KeysEditCheckAndRemoveWhereAllowed) {
  pool("Wortliste.txt", "Arm\r\nBein\r\nZeh\r\n");
  auto f = oeffnen("Wortliste.txt");
  // Del outside the automatic mode removes nothing.
  f->Liste->selectRow(0);
  QTest::keyClick(f->Liste, Qt::Key_Delete);
  EXPECT_EQ(editorZustand().zeilen.size(), 3U);

  // Enter edits the selected row; Escape in the dialog keeps the row.
  imDialog([](FormWortBearbeiten* d) {
    EXPECT_EQ(d->tSchreibform->text(), "Arm");
    d->tSprachform->setText(" Ahrm ");
    d->cOK->click();
  });
  QTest::keyClick(f->Liste, Qt::Key_Return);
  EXPECT_EQ(spalte(2).first(), " Ahrm ");
  EXPECT_EQ(poolZustand().LoeschListe->anzahl(), 1U);
  imDialog([](FormWortBearbeiten* d) {
    EXPECT_EQ(d->windowTitle(), qtext(Titel("Vokarium", Text(4096))));
    EXPECT_EQ(d->cAbbrechen->text(), qtext(Text(193)));
    d->tSchreibform->setText("anders");
    QTest::keyClick(d, Qt::Key_Escape);
  });
  emit f->Liste->doubleClicked(f->modell->index(0, 1));
  EXPECT_EQ(spalte(1).first(), "Arm");

  // Ctrl+A and "Entmarkieren": all unchecked, deselected.
  QTest::keyClick(f->Liste, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(f->Liste->selectionModel()->selectedRows().size(), 3);
  aktion(*f, "Entmarkieren")->trigger();
  EXPECT_EQ(f->stbMarkiert->text(), "Markierte : 0 ");
  EXPECT_TRUE(f->Liste->selectionModel()->selectedRows().isEmpty());
  f->Liste->selectRow(2);
  aktion(*f, "Markieren")->trigger();
  EXPECT_EQ(f->stbMarkiert->text(), "Markierte : 1 ");
  f.reset();

  // In the automatic mode Del removes the selected rows.
  poolZustand().Automatikbetrieb = true;
  f = oeffnen("Wortliste.txt");
  f->Liste->selectRow(1);
  QTest::keyClick(f->Liste, Qt::Key_Delete);
  EXPECT_EQ(spalte(1), (QStringList{"Arm", "Zeh"}));
  EXPECT_EQ(f->stbWorte->text() + f->stbMarkiert->text(), "Anzahl : 2 Markierte : 2 ");
}

// An edit acts only in the editor where it was made: closed without a
// take-over, the next editor's unchanged take-over writes no ".loe".
TEST_F(Fenster, ClosingWithoutTakeOverDiscardsItsEdits) {
  poolZustand().Benutzer = "Meier";
  pool("_Meier.ben", "EDV\r\n");
  auto f = oeffnen("_Meier.ben");
  EXPECT_TRUE(ZeileAendern(0, "EDV-Anlage", ""));
  f->reject();
  f.reset();
  pool("_Meier.ben", "Zeh\r\n");
  f = oeffnen("_Meier.ben");
  aktion(*f, "Uebernehmen")->trigger();
  EXPECT_FALSE(f->isVisible());
  EXPECT_EQ(poolDateien({"_Meier.loe", "neuWorte.txt"}), "-|Zeh\r\n");
}

// A failed save is reported, changes no file and keeps the window and its
// edits; saved again, it closes.
TEST_F(Fenster, ASaveThatFailsChangesNothingAndKeepsTheWindowAndItsEdits) {
  std::filesystem::create_directories(wurzel_ / "tmp");
  baum_->env("TMPDIR", baum_->pfad("tmp").c_str());
  schreiben("import/liste.csv", "Arm\r\nBein\r\n");
  schreiben("import/liste.csv.bak", "alt\r\n");
  auto f = oeffnen(import("import/liste.csv"));
  f->modell->setData(f->modell->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
  {
    plat::SharedFile andere;
    ASSERT_EQ(halten(andere, "import/liste.csv.bak"), plat::Err::ok);
    aktion(*f, "Speichern")->trigger();
    EXPECT_TRUE(f->isVisible());
    ASSERT_EQ(recordedMessages().size(), 1U);
    EXPECT_NE(meldung(0).find(Text(2584)), std::string::npos) << meldung(0);
    EXPECT_EQ(lesen("import/liste.csv") + lesen("import/liste.csv.bak"), "Arm\r\nBein\r\nalt\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(wurzel_ / "import"), {}), 2);
    EXPECT_TRUE(std::filesystem::is_empty(wurzel_ / "tmp"));
    EXPECT_EQ(f->modell->data(f->modell->index(0, 0), Qt::CheckStateRole).toInt(),
              int(Qt::Unchecked));
    EXPECT_TRUE(f->Toolbar1->isEnabled());
  }
  aktion(*f, "Speichern")->trigger();
  EXPECT_FALSE(f->isVisible());
  EXPECT_EQ(lesen("import/liste.csv"), "Bein\r\n");
}

TEST_F(Fenster, WordDialogOfTheRecognizer) {
  const QString natspeak = VK_BIN_DIR "/natspeak";
  const auto lauf = [&](const QStringList& argumente) {
    QProcess p;
    p.start(natspeak, argumente);
    return p.waitForFinished(20000) && p.exitCode() == 0;
  };
  schreiben("eigene.txt", "Zyste\r\n");
  ASSERT_TRUE(
      lauf({"--setup", QString::fromStdString(baum_->pfad("R")), "--speaker", "Anna", "--topic",
            "Allgemein", "--words", QString::fromStdString(baum_->pfad("eigene.txt"))}));
  natspeak_ = std::make_unique<QProcess>();
  natspeak_->start(natspeak, {"--headless"});
  ASSERT_TRUE(QTest::qWaitFor([] { return DragonLaeuft(); }, 10000));
  clearRecordedMessages();

  std::string g = "Zyste", s;
  FormWortBearbeiten d(nullptr, g, s);
  d.show();
  // No speaker loaded: refused and reported; with a speaker, quiet.
  d.cEigenschaften->click();
  EXPECT_EQ(recordedMessages().size(), 1U);
  EXPECT_TRUE(d.isVisible());
  EXPECT_TRUE(lauf({"--ctl", "switch-speaker", "Anna", "Allgemein"}));
  d.cEigenschaften->click();
  EXPECT_EQ(recordedMessages().size(), 1U);
  EXPECT_TRUE(d.isVisible());
  d.tSchreibform->setText("Zysten ");
  d.cOK->click();
  EXPECT_EQ(g, "Zysten ");
  EXPECT_FALSE(Dragon().erzeugt);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
