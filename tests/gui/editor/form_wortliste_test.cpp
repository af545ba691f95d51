// The windows of the word list editor, offscreen, on a temporary pool tree
// with the message responder: the first activation, the German order, the
// automatic mode, search, the keys, the font menu, the toolbar, a failed
// save and the recognizer's word dialog against the real stand-in.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "common/dragon.h"
#include "common/dragon_voctools.h"
#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/qtext.h"
#include "common/server_trigger.h"
#include "common/sortierung.h"
#include "common/texte.h"
#include "common/utilities.h"
#include "main/editor/form_wortliste.h"
#include "main/editor/wortliste.h"
#include "main/editor/wortliste_modell.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "tests/support/baum.h"

using namespace vk;

class FormWortlisteTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    baum_ = std::make_unique<vktest::Baum>();
    baum_->umgebungUmleiten();
    baum_->env("VOKARIUM_DRAGON_SOCKET", baum_->pfad("run/natspeak.sock").c_str());
    std::filesystem::create_directories(baum_->pfad("ziel/Chirurgie"));
    std::filesystem::create_directories(baum_->pfad("ziel/Trigger"));
    konfigurationZuruecksetzen();
    texteZuruecksetzen();
    poolZustandZuruecksetzen();
    triggerZuruecksetzen();
    traceZuruecksetzen();
    meldungZuruecksetzen();
    DragonZuruecksetzen();
    responderEinschalten();
    editorZustandZuruecksetzen();
    editorZustand().pauseMs = 0;
    SprachVerzeichnisSetzen(plat::systemPath(VK_SOURCE_DIR "/lang/"));
    TextLaden("Deutsch");
    auto& k = konfiguration();
    k.ZielVerzeichnis = baum_->sys("ziel") + "\\";
    k.GesamtWortlistenDatei = "AlleWorte.txt";
    k.WortlistenDatei = "Wortliste.txt";
    k.neuWorteTextdatei = "\\neuWorte.txt";
    k.loeWorteTextdatei = "\\loeWorte.txt";
    k.TriggerName = "Trigger\\*.trg";
    k.mitTrigger = true;
    poolZustand().Pool = "Chirurgie";
    beendet_ = 0;
    FormWortliste::programmBeenden() = [this] { ++beendet_; };
    aufrufer_.show();
  }

  void cleanup() {
    if (natspeak_) {
      natspeak_->kill();
      natspeak_->waitForFinished(3000);
      natspeak_.reset();
    }
    aufrufer_.hide();
    QApplication::setKeyboardInputInterval(400);
    poolZustandZuruecksetzen();
    baum_.reset();
  }

  void firstActivationBuildsSortsAndHidesTheCaller() {
    pool("AlleWorte.txt",
         "Zeh\r\n\xC4rger\r\narm\r\nBein\r\n\xD6l\r\nStra\xDF"
         "e\r\nStrasse\r\nEKG\r\nAbend\r\n");
    auto f = oeffnen(Listenauftrag{.dateiname = "AlleWorte.txt", .Gesamt = true});
    QAbstractItemModelTester tester(f->modell,
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(!aufrufer_.isVisible());
    QCOMPARE(spalte(1), (QStringList{"Abend", "Ärger", "arm", "Bein", "EKG", "Öl", "Strasse",
                                     "Straße", "Zeh"}));
    QCOMPARE(f->modell->data(f->modell->index(4, 2)).toString(), QString("E. K. G. "));
    QCOMPARE(f->stbWorte->text(), QString("Anzahl : 9 "));
    QCOMPARE(f->stbPool->text(), QString("Pool : Chirurgie "));
    QCOMPARE(f->windowTitle(), QString("Vokarium (5.0) Wortliste : Chirurgie - Gesamtwortliste"));
    QVERIFY(aktion(*f, "Speichern")->isVisible());
    QVERIFY(!aktion(*f, "Entfernen")->isVisible());
    QVERIFY(f->stbAnwender->isHidden());

    // A click on the check box counts; the header sorts and toggles.
    QVERIFY(f->modell->setData(f->modell->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(f->stbMarkiert->text(), QString("Markierte : 8 "));
    f->Liste->horizontalHeader()->sectionClicked(1);
    QCOMPARE(spalte(1).first(), QString("Zeh"));
    f->Liste->horizontalHeader()->sectionClicked(1);
    QCOMPARE(spalte(1).first(), QString("Abend"));

    // Escape closes: the caller comes back, the geometry is in the registry.
    QTest::keyClick(f->Liste, Qt::Key_Escape);
    QVERIFY(!f->isVisible());
    QVERIFY(aufrufer_.isVisible());
    QVERIFY(!RegLesen("ListenHoehe").empty());
    QCOMPARE(beendet_, 0);
  }

  // The sort decides most comparisons by letter ranks; the result must be
  // exactly the collator's order: texts of every kind, then short texts
  // that differ only in umlauts, case and ß.
  void sortIsTheCollatorsOrder() {
    const std::vector<std::vector<std::string>> mengen{
        {"a",    "A",  "\xE4", "\xC4", "b",  "s", "ss",   "\xDF", "o",    "\xF6", "\xD6", "z",
         "Z",    "0",  "9",    "1",    " ",  "-", ".",    "'",    "\xE9", "\xC9", "e",    "E",
         "\xE6", "ae", "\xAD", "\t",   "\\", "_", "\x80", "y",    "\xFF", "\x9F", "i",    "I"},
        {"a", "A", "\xE4", "\xC4", "o", "\xF6", "\xD6", "O", "s", "ss", "\xDF", "S", "1"}};
    const QCollator c = deutscherCollator();
    for (const auto& stuecke : mengen) {
      auto& zeilen = editorZustand().zeilen;
      zeilen.clear();
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
        QCOMPARE(qtext(zeilen[i].geschrieben + "|" + zeilen[i].gesprochen),
                 qtext(erwartet[i].geschrieben + "|" + erwartet[i].gesprochen));
      WortlisteModell::sortieren(zeilen, 1, Qt::DescendingOrder);
      QCOMPARE(qtext(zeilen.back().geschrieben), qtext(erwartet.front().geschrieben));
    }
  }

  // An empty or a missing file in the automatic mode ends the program; the
  // missing one is reported.
  void emptyListInAutomaticModeEndsTheProgram() {
    poolZustand().Automatikbetrieb = true;
    poolZustand().Benutzer = "Meier";
    pool("_Meier.ben", " \r\n");
    for (const char* datei : {"_Meier.ben", "_Fehlt.ben"}) {
      beendet_ = 0;
      auto f = oeffnen(datei, false);
      QVERIFY(!f->isVisible());
      QCOMPARE(beendet_, 1);
    }
    QCOMPARE(recordedMessages().size(), std::size_t(1));
  }

  // The search scrolls to the first match and selects nothing; F3 goes on
  // from the match, asking first when nothing was searched yet.
  void searchScrollsToTheFirstMatchWithoutSelecting() {
    std::string inhalt;
    for (int i = 0; i < 300; ++i)
      inhalt += "Wort" + std::to_string(1000 + i) + "\r\n";
    pool("Wortliste.txt", inhalt + "\xC4rger\r\n\xE4rgerlich\r\n");
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
    QTest::keyClick(f->Liste, Qt::Key_F3);
    QCOMPARE(gefragt, 1);
    QCOMPARE(f->Liste->rowAt(0), 100 + 2);  // the two umlaut words sort first
    QVERIFY(f->Liste->selectionModel()->selectedRows().isEmpty());
    QTest::keyClick(f->Liste, Qt::Key_F3);
    QCOMPARE(f->Liste->rowAt(0), 101 + 2);
    QCOMPARE(gefragt, 1);
    frage = "\xC4RGERL";
    rechtsklick();
    QCOMPARE(f->Liste->rowAt(0), 1);
    frage = "wort105";
    QTest::keyClick(f->Liste, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(gefragt, 3);
    QCOMPARE(f->Liste->rowAt(0), 50 + 2);
    // Past the last match, and a beginning no word has: said, nothing moves.
    for (int i = 0; i < 9; ++i)
      QTest::keyClick(f->Liste, Qt::Key_F3);
    QVERIFY(recordedMessages().empty());
    QTest::keyClick(f->Liste, Qt::Key_F3);
    frage = " xyz ";
    rechtsklick();
    QCOMPARE(recordedMessages().size(), std::size_t(2));
    QCOMPARE(meldung(0), std::string("Kein Wort der Liste beginnt mit \"wort105\"."));
    QCOMPARE(meldung(1), std::string("Kein Wort der Liste beginnt mit \"xyz\"."));
  }

  // The revision list in English; with nothing changed since the mark the
  // empty list says why.
  void englishTextsInTitleAndStatusBar() {
    TextLaden("English");
    pool("AlleWorte.txt", "Femur\r\nTibia\r\n");
    poolZustand().Vergleichsworte.hinzufuegen("Femur");
    const Listenauftrag a{.dateiname = "AlleWorte.txt", .wartung = true};
    auto f = oeffnen(a);
    QCOMPARE(f->windowTitle(), QString("Vokarium (5.0) Word list : Chirurgie - Revision"));
    QCOMPARE(f->stbWorte->text(), QString("Count : 1 "));
    QCOMPARE(f->stbMarkiert->text(), QString("Checked : 1 "));
    QVERIFY(recordedMessages().empty());
    f->reject();
    poolZustand().Vergleichsworte.hinzufuegen("Femur");
    poolZustand().Vergleichsworte.hinzufuegen("Tibia");
    auto leer = oeffnen(a);
    QCOMPARE(recordedMessages().size(), std::size_t(1));
    QCOMPARE(meldung(0), Text(2595));
  }

  // Letters typed in the list jump to the first word starting with them, as a
  // German reader compares (case aside, Ä as A, ß as ss); the row jumped to is
  // the current and only selected one. Home and End reach the ends.
  void typingJumpsToTheFirstWordHomeAndEndToTheEnds() {
    std::string inhalt =
        "Zeh\r\n\xC4rger\r\narm\r\nBein\r\nStra\xDF"
        "e\r\nAbend\r\n-minus\r\n";
    for (int i = 0; i < 300; ++i)
      inhalt += "Wort" + std::to_string(1000 + i) + "\r\n";
    pool("Wortliste.txt", inhalt);
    auto f = oeffnen("Wortliste.txt");
    // The columns fit beside the vertical scroll bar.
    QVERIFY(f->Liste->verticalScrollBar()->isVisible());
    QCOMPARE(f->Liste->horizontalScrollBar()->maximum(), 0);
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
      QCOMPARE(aktuell(), QString::fromUtf8(erwartet));
      QCOMPARE(selektiert(), 1);
    }
    QTest::keyClicks(f->Liste, "q");  // a start no word has: the row stays
    QCOMPARE(aktuell(), QString("-minus"));

    QTest::keyClick(f->Liste, Qt::Key_End);
    QCOMPARE(f->Liste->currentIndex().row(), letzte);
    QTest::keyClick(f->Liste, Qt::Key_Home);
    QCOMPARE(f->Liste->currentIndex().row(), 0);
    QCOMPARE(selektiert(), 1);
    QTest::keyClick(f->Liste, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(selektiert(), letzte + 1);
    // A key without Shift, so the application does not keep Shift as held.
    QTest::keyClick(f->Liste, Qt::Key_Home);
    QCOMPARE(selektiert(), 1);
  }

  // The caller's wait window ends when the editor opens: no window without
  // its caller stays on the screen beside the editor.
  void noWaitWindowBesideTheOpenEditor() {
    pool("Wortliste.txt", "Arm\r\nBein\r\n");
    WartenBitte(&aufrufer_, true);
    auto sichtbar = [] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "FormWarten" && w->isVisible()) return true;
      return false;
    };
    QVERIFY(sichtbar());
    bool gesehen = false;
    bool warten = true;
    QTimer uhr;
    connect(&uhr, &QTimer::timeout, [&] {
      auto* f = qobject_cast<FormWortliste*>(QApplication::activeModalWidget());
      if (f == nullptr || !f->Liste->isVisible()) return;
      gesehen = true;
      warten = sichtbar();
      f->close();
    });
    uhr.start(20);
    WortlisteZeigen(&aufrufer_, Listenauftrag{.dateiname = "Wortliste.txt"});
    QVERIFY(gesehen);
    QVERIFY(!warten);
    WartenBitte(&aufrufer_, false);
  }

  // The font menu never offers the size in use; the size and the buttons
  // the user hid are remembered (a button hidden by the kind of list is not).
  void fontSizeAndHiddenButtonsAreRemembered() {
    pool("Wortliste.txt", "a\r\n");
    auto f = oeffnen("Wortliste.txt");
    QMenu* menue = aktion(*f, "Fontgroesse")->menu();
    QVERIFY(menue);
    auto angeboten = [&] {
      emit menue->aboutToShow();
      QStringList r;
      for (QAction* a : menue->actions())
        if (a->isEnabled()) r << a->objectName();
      return r;
    };
    QCOMPARE(angeboten(), (QStringList{"gross", "klein"}));
    menue->findChild<QAction*>("klein")->trigger();
    QCOMPARE(f->Liste->font().pointSize(), 8);
    QCOMPARE(angeboten(), (QStringList{"gross", "mittel"}));
    const auto verborgen = [] {
      return RegLesenSchluessel("Software\\QMT\\Vokarium\\TbWortliste", "Toolbar");
    };
    f->knopfZeigen("Markieren", false);
    f->knopfZeigen("Speichern", true);
    QVERIFY(!aktion(*f, "Markieren")->isVisible());
    QVERIFY(!aktion(*f, "Speichern")->isVisible());
    f->close();
    f.reset();
    QCOMPARE(RegLesen("ListenFontGroesse"), std::string("8"));
    QCOMPARE(verborgen(), std::string("Markieren"));
    f = oeffnen("Wortliste.txt");
    QCOMPARE(f->Liste->font().pointSize(), 8);
    QVERIFY(!aktion(*f, "Markieren")->isVisible());
    QVERIFY(aktion(*f, "Entmarkieren")->isVisible());
    f->knopfZeigen("Markieren", true);
    QVERIFY(aktion(*f, "Markieren")->isVisible());
    QCOMPARE(verborgen(), std::string());
  }

  void keysEditCheckAndRemoveWhereAllowed() {
    pool("Wortliste.txt", "Arm\r\nBein\r\nZeh\r\n");
    auto f = oeffnen("Wortliste.txt");
    QVERIFY(!aktion(*f, "Entfernen")->isVisible());
    // Del outside the automatic mode removes nothing.
    f->Liste->selectRow(0);
    QTest::keyClick(f->Liste, Qt::Key_Delete);
    QCOMPARE(editorZustand().zeilen.size(), std::size_t(3));

    // Enter edits the selected row; Escape in the dialog (its title fits)
    // keeps the row.
    const auto imDialog = [](const std::function<void(FormWortBearbeiten*)>& tun) {
      QTimer::singleShot(0, [tun] {
        auto* d = qobject_cast<FormWortBearbeiten*>(QApplication::activeModalWidget());
        QVERIFY(d);
        tun(d);
      });
    };
    imDialog([](FormWortBearbeiten* d) {
      QCOMPARE(d->tSchreibform->text(), QString("Arm"));
      d->tSprachform->setText(" Ahrm ");
      d->cOK->click();
    });
    QTest::keyClick(f->Liste, Qt::Key_Return);
    QCOMPARE(spalte(2).first(), QString(" Ahrm "));
    QCOMPARE(poolZustand().LoeschListe->anzahl(), std::size_t(1));
    imDialog([](FormWortBearbeiten* d) {
      QCOMPARE(d->windowTitle(), qtext(Titel("Vokarium", Text(4096))));
      QVERIFY(d->width() > d->fontMetrics().horizontalAdvance(d->windowTitle()) + 100);
      QCOMPARE(d->cAbbrechen->text(), qtext(Text(193)));
      d->tSchreibform->setText("anders");
      QTest::keyClick(d, Qt::Key_Escape);
    });
    emit f->Liste->doubleClicked(f->modell->index(0, 1));
    QCOMPARE(spalte(1).first(), QString("Arm"));

    // Ctrl+A and "Entmarkieren": all unchecked, deselected.
    QTest::keyClick(f->Liste, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f->Liste->selectionModel()->selectedRows().size(), 3);
    aktion(*f, "Entmarkieren")->trigger();
    QCOMPARE(f->stbMarkiert->text(), QString("Markierte : 0 "));
    QVERIFY(f->Liste->selectionModel()->selectedRows().isEmpty());
    f->Liste->selectRow(2);
    aktion(*f, "Markieren")->trigger();
    QCOMPARE(f->stbMarkiert->text(), QString("Markierte : 1 "));
    f->close();
    f.reset();

    // In the automatic mode Del removes the selected rows.
    poolZustand().Automatikbetrieb = true;
    f = oeffnen("Wortliste.txt");
    QVERIFY(aktion(*f, "Entfernen")->isVisible());
    f->Liste->selectRow(1);
    QTest::keyClick(f->Liste, Qt::Key_Delete);
    QCOMPARE(spalte(1), (QStringList{"Arm", "Zeh"}));
    QCOMPARE(f->stbWorte->text(), QString("Anzahl : 2 "));
    QCOMPARE(f->stbMarkiert->text(), QString("Markierte : 2 "));
  }

  // WortlisteZeigen shows the editor modally and returns once it closed; the
  // take-over from the toolbar writes the pool files and the trigger.
  void takeOverFromTheToolbarWritesAndCloses() {
    pool("Wortliste.txt", "Bein\r\nArm\r\n");
    bool gesehen = false;
    QTimer::singleShot(50, [&gesehen, this] {
      auto* f = qobject_cast<FormWortliste*>(QApplication::activeModalWidget());
      QVERIFY(f);
      QVERIFY(QTest::qWaitFor([f] { return f->Liste->isVisible(); }));
      QVERIFY(!aufrufer_.isVisible());
      f->modell->setData(f->modell->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
      aktion(*f, "Uebernehmen")->trigger();
      gesehen = true;
    });
    WortlisteZeigen(&aufrufer_, Listenauftrag{.dateiname = "Wortliste.txt"});
    QVERIFY(gesehen);
    QVERIFY(aufrufer_.isVisible());
    QCOMPARE(lesen("ziel/Chirurgie/AlleWorte.txt"), std::string("Arm\r\n"));
    QCOMPARE(lesen("ziel/Chirurgie/neuWorte.txt"), std::string("Arm\r\n"));
    QVERIFY(!baum_->gibtEs("ziel/Chirurgie/Wortliste.txt"));
    QVERIFY(baum_->gibtEs("ziel/Trigger/POOL-Chirurgie.trg"));
    QVERIFY(recordedMessages().empty());
  }

  // A click while a long list is still being built could not run: the
  // toolbar is off until the list is there, then on.
  void toolbarIsOffWhileTheListBuilds() {
    std::string inhalt;
    for (int i = 0; i < 20000; ++i)
      inhalt += "Wort" + std::to_string(i) + "\r\n";
    pool("Wortliste.txt", inhalt);
    FormWortliste f(&aufrufer_, Listenauftrag{.dateiname = "Wortliste.txt"});
    int gesehen = 0;
    bool anWaehrendDesBaus = false;
    QTimer probe;
    connect(&probe, &QTimer::timeout, [&] {
      if (!editorZustand().baut) return;
      ++gesehen;
      QWidget* knopf = f.Toolbar1->widgetForAction(aktion(f, "Uebernehmen"));
      if (f.Toolbar1->isEnabled() || (knopf != nullptr && knopf->isEnabled()))
        anWaehrendDesBaus = true;
    });
    probe.start(0);
    f.show();
    QVERIFY(QTest::qWaitFor([&f] { return f.Liste->isVisible(); }));
    probe.stop();
    QVERIFY(gesehen > 0);
    QVERIFY(!anWaehrendDesBaus);
    QVERIFY(f.Toolbar1->isEnabled());
  }

  // An edit acts only in the editor where it was made: closed without a
  // take-over, the next editor's unchanged take-over writes no ".loe".
  void closingWithoutTakeOverDiscardsItsEdits() {
    poolZustand().Benutzer = "Meier";
    pool("_Meier.ben", "EDV\r\n");
    auto f = oeffnen("_Meier.ben");
    QVERIFY(ZeileAendern(0, "EDV-Anlage", ""));
    f->reject();
    f.reset();
    pool("_Meier.ben", "Zeh\r\n");
    f = oeffnen("_Meier.ben");
    aktion(*f, "Uebernehmen")->trigger();
    QVERIFY(!f->isVisible());
    QVERIFY(!baum_->gibtEs("ziel/Chirurgie/_Meier.loe"));
    QCOMPARE(lesen("ziel/Chirurgie/neuWorte.txt"), std::string("Zeh\r\n"));
  }

  // A save that fails is reported and keeps the window open with its edits.
  // Saved again, it closes.
  void aSaveThatFailsKeepsTheWindowAndItsEdits() {
    baum_->schreiben("import/liste.csv", "Arm\r\nBein\r\n");
    baum_->schreiben("import/liste.csv.bak", "alt\r\n");
    auto f =
        oeffnen(Listenauftrag{.dateiname = baum_->sys("import\\liste.csv"), .vollerPfad = true});
    f->modell->setData(f->modell->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    {
      plat::SharedFile andere;
      QCOMPARE(andere.open(baum_->sys("import\\liste.csv.bak"), plat::Access::readWrite,
                           plat::Share::exclusive, plat::Disposition::openExisting),
               plat::Err::ok);
      aktion(*f, "Speichern")->trigger();
      QVERIFY(f->isVisible());
      QCOMPARE(recordedMessages().size(), std::size_t{1});
      QCOMPARE(f->modell->data(f->modell->index(0, 0), Qt::CheckStateRole).toInt(),
               int(Qt::Unchecked));
      QVERIFY(f->Toolbar1->isEnabled());
    }
    aktion(*f, "Speichern")->trigger();
    QVERIFY(!f->isVisible());
    QCOMPARE(lesen("import/liste.csv"), std::string("Bein\r\n"));
  }

  void wordDialogOfTheRecognizer() {
    const QString natspeak = VK_BIN_DIR "/natspeak";
    baum_->schreiben("eigene.txt", "Zyste\r\n");
    QProcess setup;
    setup.start(natspeak, {"--setup", QString::fromStdString(baum_->pfad("R")), "--speaker", "Anna",
                           "--topic", "Allgemein", "--words",
                           QString::fromStdString(baum_->pfad("eigene.txt"))});
    QVERIFY(setup.waitForFinished(20000));
    QCOMPARE(setup.exitCode(), 0);
    natspeak_ = std::make_unique<QProcess>();
    natspeak_->start(natspeak, {"--headless"});
    QVERIFY(natspeak_->waitForStarted(5000));
    QVERIFY(QTest::qWaitFor([] { return DragonLaeuft(); }, 10000));
    clearRecordedMessages();

    std::string g = "Zyste", s;
    FormWortBearbeiten d(nullptr, g, s);
    d.show();
    // No speaker loaded: the recognizer refuses, the error is reported, the
    // dialog stays open; with a speaker it answers quietly.
    d.cEigenschaften->click();
    QCOMPARE(recordedMessages().size(), std::size_t(1));
    QVERIFY(d.isVisible());
    QProcess ctl;
    ctl.start(natspeak, {"--ctl", "switch-speaker", "Anna", "Allgemein"});
    QVERIFY(ctl.waitForFinished(10000));
    d.cEigenschaften->click();
    QCOMPARE(recordedMessages().size(), std::size_t(1));
    QVERIFY(d.isVisible());
    d.tSchreibform->setText("Zysten ");
    d.cOK->click();
    QCOMPARE(g, std::string("Zysten "));
    QVERIFY(!Dragon().erzeugt);
  }

 private:
  // A file of the pool folder.
  void pool(const std::string& datei, std::string_view inhalt) {
    baum_->schreiben("ziel/Chirurgie/" + datei, inhalt);
  }
  std::string lesen(const std::string& rel) const { return baum_->lesen(rel); }
  static QStringList spalte(int s) {
    QStringList r;
    for (const auto& e : editorZustand().zeilen)
      r << qtext(s == 1 ? e.geschrieben : e.gesprochen);
    return r;
  }
  // Opens the editor and waits until its list is shown (unless `warten`
  // is false: a list that never shows).
  std::unique_ptr<FormWortliste> oeffnen(const Listenauftrag& a, bool warten = true) {
    auto f = std::make_unique<FormWortliste>(&aufrufer_, a);
    f->show();
    if (warten && !QTest::qWaitFor([&f] { return f->Liste->isVisible(); }, 10000))
      QTest::qFail("the list was not shown", __FILE__, __LINE__);
    QCoreApplication::processEvents();
    return f;
  }
  std::unique_ptr<FormWortliste> oeffnen(const std::string& datei, bool warten = true) {
    return oeffnen(Listenauftrag{.dateiname = datei}, warten);
  }
  static QAction* aktion(FormWortliste& f, const char* name) { return f.findChild<QAction*>(name); }
  static std::string meldung(std::size_t i) { return recordedMessages().at(i).text; }

  std::unique_ptr<vktest::Baum> baum_;
  QWidget aufrufer_;
  int beendet_ = 0;
  std::unique_ptr<QProcess> natspeak_;
};

QTEST_MAIN(FormWortlisteTest)
#include "form_wortliste_test.moc"
