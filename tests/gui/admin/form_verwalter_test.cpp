// The window of vkVerwalter on a recognizer world made by the stand-in's
// set-up and a temporary registry: start-up, search, assigning and saving,
// another user list file, what is seen while a message is up, the columns
// and the keyboard.
#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QHeaderView>
#include <QProcess>
#include <QScrollBar>
#include <QtTest>

#include "admin/form_verwalter.h"
#include "admin/verwaltung.h"
#include "common/dns_ini.h"
#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/qtext.h"
#include "common/server_trigger.h"
#include "common/texte.h"
#include "platform/paths.h"
#include "tests/support/baum.h"

using namespace admin;

class FormVerwalterTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    baum_ = std::make_unique<vktest::Baum>();
    baum_->umgebungUmleiten();
    baum_->env("VOKARIUM_DRAGON_SOCKET", baum_->pfad("run/dragon").c_str());
    verwaltungZuruecksetzen();
    vk::konfigurationZuruecksetzen();
    vk::triggerZuruecksetzen();
    vk::DnsIniZuruecksetzen();
    vk::meldungZuruecksetzen();
    vk::responderEinschalten();
  }

  void cleanup() { baum_.reset(); }

  void startUpTakesTheRecognizersFolders() {
    QVERIFY(welt({"Meier/Allgemein"}));
    FormVerwalter f;
    f.show();
    QCOMPARE(f.tSpeicherort->text(), vk::qtext(R()));
    QCOMPARE(vk::RegLesen("LastBasisDirectory"), R());
    QCOMPARE(vk::RegLesen("LastDirectory"), R() + "Vokarium\\");
    QCOMPARE(vk::RegLesenMaschine("LastBasisDirectory"), R());
    QVERIFY(QDir(datei("Vokarium/Trigger")).exists());
    QVERIFY(!vk::DnsIni().userBaseDirectoryRU.empty());
    QCOMPARE(vk::RegLesen("LocalCacheRU"), vk::DnsIni().userBaseDirectoryRU);
    QCOMPARE(f.Liste->model()->rowCount(), 0);
    QVERIFY(f.windowTitle().contains("(5.0)"));
    QCOMPARE(f.focusWidget(), f.Liste);

    // Closing in the normal state keeps the size (twips) for the next start.
    f.resize(1000, 600);
    f.close();
    QCOMPARE(vk::RegLesen("ListenBreite"), std::to_string(1000 * 1440 / f.logicalDpiX()));
    QCOMPARE(vk::RegLesen("ListenFontGroesse"), "10");
  }

  void searchAssignAndSaveWriteTheListAndOneTrigger() {
    QVERIFY(welt({"Meier/Allgemein", "Meier/Radiologie", "Bauer/Allgemein"}));
    liste("Chirurgie\tMeier\tcurrent\\Allgemein\tAllgemein\r\n");
    FormVerwalter f;
    QAbstractItemModelTester modellPruefer(f.Liste->model());
    f.show();
    QAction* dragon = f.Toolbar1->findChild<QAction*>("Dragon");
    dragon->trigger();
    dragon->trigger();
    QCOMPARE(f.Liste->model()->rowCount(), 3);
    QCOMPARE(f.Liste->model()->index(0, 0).data().toString(), "  ?");
    QVERIFY(vk::recordedMessages().empty());

    // Unassigned rows cannot be saved: all of them are marked, and that
    // before the message is shown.
    QList<int> beimMelden;
    vk::setBeimAufzeichnen([&](const vk::AufgezeichneteMeldung&) { beimMelden = markiert(f); });
    QVERIFY(!f.ZuordnungenUebernehmen());
    vk::setBeimAufzeichnen(nullptr);
    QCOMPARE(vk::recordedMessages().size(), std::size_t{1});
    QVERIFY(vk::recordedMessages().front().text.find(vk::Text(2104)) != std::string::npos);
    QVERIFY(vk::recordedMessages().front().text.find(vk::Text(2197)) != std::string::npos);
    QCOMPARE(markiert(f), (QList<int>{0, 1}));
    QCOMPARE(beimMelden, (QList<int>{0, 1}));

    // Enter in the list assigns the pool typed into the choice.
    auswaehlen(f, {0, 1});
    f.coPool->setEditText("Innere");
    QTest::keyClick(f.Liste, Qt::Key_Return);
    QCOMPARE(f.coPool->findText("Innere"), 1);
    vk::clearRecordedMessages();
    QVERIFY(f.ZuordnungenUebernehmen());
    QVERIFY(vk::recordedMessages().empty());
    QVERIFY(!f.isVisible());
    QCOMPARE(lesen("Benutzer.dat"),
             std::string("Chirurgie\tMeier\tcurrent\\Allgemein\tAllgemein\r\n"
                         "Innere\tBauer\tcurrent\\Allgemein\tAllgemein\r\n"
                         "Innere\tMeier\tcurrent\\Radiologie\tRadiologie\r\n"));
    QCOMPARE(lesen("Vokarium/Trigger/ADMIN.trg").rfind("Vokarium5-Trigger\r\n", 0), std::size_t{0});
  }

  void anotherUserListFile() {
    QVERIFY(welt({"Meier/Allgemein"}));
    baum_->schreiben("R/Archiv/Alt.dat", "Alt\tMeier\tcurrent\\Allgemein\tAllgemein\r\n");
    FormVerwalter f;
    f.Auswaehlen();  // cancelled: nothing changes
    QCOMPARE(f.tSpeicherort->text(), vk::qtext(R()));
    vk::setNextFileName(R() + "Archiv\\Alt.dat");
    f.Auswaehlen();
    QCOMPARE(f.tSpeicherort->text(), vk::qtext(R() + "Archiv\\"));
    QCOMPARE(f.Liste->model()->rowCount(), 1);
    QCOMPARE(f.coPool->currentText(), "Alt");
    QVERIFY(QDir(datei("Archiv/Vokarium/Trigger")).exists());
    QCOMPARE(vk::RegLesen("LastBasisDirectory"), R() + "Archiv\\");
  }

  // A search that meets a missing topic folder (text 2103) or a user folder
  // without its topic list (2102): while the message is up, the list is not
  // in the middle of a reset and shows its rows.
  void messagesComeWhenTheRowsAreOnScreen() {
    QVERIFY(welt({"Meier/Allgemein", "Bauer/Allgemein"}));
    liste("P\tKunz\tcurrent\\Allgemein\tAllgemein\r\n");
    QVERIFY(QDir(datei("Bauer/current/Allgemein")).removeRecursively());
    FormVerwalter f;
    f.show();
    bool imReset = false;
    connect(f.Liste->model(), &QAbstractItemModel::modelAboutToBeReset, [&] { imReset = true; });
    connect(f.Liste->model(), &QAbstractItemModel::modelReset, [&] { imReset = false; });
    QList<int> zeilenBeimMelden;
    vk::setBeimAufzeichnen([&](const vk::AufgezeichneteMeldung&) {
      zeilenBeimMelden << (imReset ? -1 : f.Liste->model()->rowCount());
    });
    f.DragonSuchen();
    vk::setBeimAufzeichnen(nullptr);
    QVERIFY(gemeldet(2103));
    QCOMPARE(zeilenBeimMelden, QList<int>{3});
    QCOMPARE(f.Liste->model()->rowCount(), 3);
  }

  // Column 4 can be read: the user sizes the columns and a new window size
  // keeps his widths, the last column taking the rest. The keys: the list
  // has the focus at start, the toolbar has keys shown in its tool tips,
  // Enter in the pool choice assigns.
  void columnsAndKeyboard() {
    QVERIFY(welt({"Meier/Allgemein"}));
    FormVerwalter f;
    f.show();
    QHeaderView* kopf = f.Liste->header();
    // At the default size every header is readable, nothing scrolls.
    for (int s = 0; s < 4; ++s)
      QVERIFY2(kopf->sectionSize(s) >= kopf->sectionSizeHint(s), qPrintable(QString::number(s)));
    QCOMPARE(f.Liste->horizontalScrollBar()->maximum(), 0);
    QCOMPARE(kopf->sectionResizeMode(1), QHeaderView::Interactive);
    kopf->resizeSection(1, 60);
    kopf->resizeSection(2, 60);
    const int vierte = kopf->sectionSize(3);
    f.resize(f.width() + 200, f.height());
    QCOMPARE(kopf->sectionSize(1), 60);
    QVERIFY(kopf->sectionSize(3) > vierte);
    QVERIFY(kopf->sectionPosition(3) + 50 < f.Liste->viewport()->width());

    QAction* dragon = f.Toolbar1->findChild<QAction*>("Dragon");
    QCOMPARE(dragon->shortcut(), QKeySequence(Qt::Key_F3));
    QVERIFY(dragon->toolTip().endsWith("(F3)"));
    QCOMPARE(f.Toolbar1->findChild<QAction*>("Uebernehmen")->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_S));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::keyClick(&f, Qt::Key_F3);
    QCOMPARE(f.Liste->model()->rowCount(), 1);
    QVERIFY(f.ungespeichert());

    f.Liste->selectAll();
    f.coPool->setFocus();
    f.coPool->setEditText("Chirurgie");
    QTest::keyClick(f.coPool->lineEdit(), Qt::Key_Return);
    QCOMPARE(f.Liste->model()->index(0, 0).data().toString(), "Chirurgie");
    // Escape from the pool field reaches the window: with assignments not
    // saved it asks; No keeps the window, Yes closes it writing nothing.
    vk::clearRecordedMessages();
    QTest::keyClick(f.coPool->lineEdit(), Qt::Key_Escape);
    QCOMPARE(vk::recordedMessages().size(), std::size_t{1});
    QCOMPARE(vk::recordedMessages()[0].art, vk::MeldungsArt::nachfrage);
    QVERIFY(f.isVisible());
    // Delete removes the selected rows.
    QTest::keyClick(f.Liste, Qt::Key_Delete);
    QCOMPARE(f.Liste->model()->rowCount(), 0);
    vk::setNextAnswer(true);
    QTest::keyClick(&f, Qt::Key_Escape);
    QVERIFY(!f.isVisible());
    QVERIFY(!QFile::exists(datei("Benutzer.dat")));
  }

  // Tab from the pool field into the list, Home and Enter: the pool goes to
  // the first row, the one the user sees as current, not to the marked ones.
  void saveMarksEveryRowWithoutAPoolAndKeysActOnWhatIsSeen() {
    QVERIFY(welt({"Meier/Allgemein", "Bauer/Allgemein", "Kunz/Allgemein"}));
    liste("P\tMeier\tcurrent\\Allgemein\tAllgemein\r\n");
    FormVerwalter f;
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.DragonSuchen();
    QCOMPARE(f.Liste->model()->rowCount(), 3);
    f.coPool->setFocus();
    f.coPool->setEditText("Q");
    QTest::keyClick(f.coPool->lineEdit(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.Liste);
    QTest::keyClick(f.Liste, Qt::Key_Home);
    QCOMPARE(markiert(f), QList<int>{0});
    QCOMPARE(f.Liste->currentIndex().row(), 0);
    const QString erster = f.Liste->model()->index(0, 1).data().toString();
    QTest::keyClick(f.Liste, Qt::Key_Return);
    int ohne = 0;
    for (int r = 0; r < 3; ++r) {
      const QString pool = f.Liste->model()->index(r, 0).data().toString();
      if (pool == "  ?") ++ohne;
      if (f.Liste->model()->index(r, 1).data().toString() == erster) QCOMPARE(pool, QString("Q"));
    }
    QCOMPARE(ohne, 1);
    QTest::keyClick(f.Liste, Qt::Key_End);
    QCOMPARE(markiert(f), QList<int>{2});
    QCOMPARE(f.Liste->currentIndex().row(), 2);
  }

  // No registry value and no recognizer folder: the window says what to do
  // first, and "Auswählen" then asks for the folder that is to hold the list.
  void firstStartSaysToChooseTheStorageLocation() {
    FormVerwalter f;
    f.show();
    QVERIFY(f.tSpeicherort->text().isEmpty());
    QVERIFY(f.lHinweis->isVisible());
    QCOMPARE(f.lHinweis->text(), vk::qtext(vk::Text(3097)));
    QVERIFY(QDir().mkpath(datei("")));
    vk::setNextFileName(R());
    f.cAuswaehlen->click();
    QCOMPARE(f.tSpeicherort->text(), vk::qtext(R()));
    QVERIFY(!f.lHinweis->isVisible());
    QCOMPARE(vk::recordedMessages().back().art, vk::MeldungsArt::ordnerDialog);
    QCOMPARE(verwaltung().dateiName, std::string("Benutzer.dat"));
  }

 private:
  // The stand-in's set-up for speaker/topic pairs.
  bool welt(const QStringList& paare);
  std::string R() const { return baum_->sys("R") + "\\"; }
  QString datei(const QString& rel) const {
    return QString::fromStdString(baum_->pfad("R/" + rel.toStdString()));
  }
  std::string lesen(const std::string& rel) const { return baum_->lesen("R/" + rel); }
  void liste(std::string_view zeilen) const { baum_->schreiben("R/Benutzer.dat", zeilen); }
  // Does a message of text `nr` appear among the recorded ones?
  bool gemeldet(int nr) const {
    const std::string text = vk::Text(nr);
    const std::string kopf = text.substr(0, text.find('@'));
    for (const auto& m : vk::recordedMessages()) {
      if (m.text.find(kopf) != std::string::npos) return true;
    }
    return false;
  }
  QList<int> markiert(FormVerwalter& f) const {
    QList<int> r;
    for (const auto& i : f.Liste->selectionModel()->selectedRows())
      r << i.row();
    std::sort(r.begin(), r.end());
    return r;
  }
  void auswaehlen(FormVerwalter& f, const QList<int>& zeilen) {
    f.Liste->clearSelection();
    for (int z : zeilen) {
      f.Liste->selectionModel()->select(f.Liste->model()->index(z, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }

  std::unique_ptr<vktest::Baum> baum_;
};

bool FormVerwalterTest::welt(const QStringList& paare) {
  QStringList args{"--setup", datei("")};
  for (const QString& p : paare) {
    args << "--speaker" << p.section('/', 0, 0) << "--topic" << p.section('/', 1, 1);
  }
  QProcess natspeak;
  natspeak.start(QCoreApplication::applicationDirPath() + "/natspeak", args);
  return natspeak.waitForFinished(30000) && natspeak.exitCode() == 0;
}

QTEST_MAIN(FormVerwalterTest)
#include "form_verwalter_test.moc"
