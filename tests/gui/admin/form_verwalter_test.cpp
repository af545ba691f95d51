// The window of vkVerwalter on a recognizer world made by the stand-in's
// set-up and a temporary registry.
#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

#include "admin/form_verwalter.h"
#include "admin/verwaltung.h"
#include "common/dns_ini.h"
#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/qtext.h"
#include "common/server_trigger.h"
#include "common/texte.h"
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

  // With no folder known yet, "Auswählen" asks for a folder and the list is
  // named Benutzer.dat there.
  void firstStartChoosesTheStorageFolder() {
    FormVerwalter f;
    f.show();
    QVERIFY(f.tSpeicherort->text().isEmpty());
    QVERIFY(f.lHinweis->isVisible());
    QVERIFY(QDir().mkpath(datei("")));
    vk::setNextFileName(R());
    f.cAuswaehlen->click();
    QCOMPARE(f.tSpeicherort->text(), vk::qtext(R()));
    QVERIFY(!f.lHinweis->isVisible());
    QCOMPARE(vk::recordedMessages().back().art, vk::MeldungsArt::ordnerDialog);
    QCOMPARE(verwaltung().dateiName, std::string("Benutzer.dat"));
  }

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
    QCOMPARE(f.focusWidget(), f.Liste);

    // Another user list file; a cancelled choice changes nothing.
    baum_->schreiben("R/Archiv/Alt.dat", "Alt\tMeier\tcurrent\\Allgemein\tAllgemein\r\n");
    f.Auswaehlen();
    QCOMPARE(f.tSpeicherort->text(), vk::qtext(R()));
    vk::setNextFileName(R() + "Archiv\\Alt.dat");
    f.Auswaehlen();
    QCOMPARE(f.tSpeicherort->text(), vk::qtext(R() + "Archiv\\"));
    QCOMPARE(f.Liste->model()->rowCount(), 1);
    QCOMPARE(f.coPool->currentText(), "Alt");
    QVERIFY(QDir(datei("Archiv/Vokarium/Trigger")).exists());
    QCOMPARE(vk::RegLesen("LastBasisDirectory"), R() + "Archiv\\");
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
    const std::string kopf = vk::Text(2103).substr(0, vk::Text(2103).find('@'));
    QVERIFY(vk::recordedMessages().back().text.find(kopf) != std::string::npos);
    QCOMPARE(zeilenBeimMelden, QList<int>{3});
    QCOMPARE(f.Liste->model()->rowCount(), 3);
  }

  // F3 searches. Tab from the pool field into the list, Home and Enter: the
  // pool goes to the row the user sees as current, not to the marked ones.
  // Enter in the pool choice assigns, Escape asks while assignments are not
  // saved, Delete removes the selected rows.
  void keysActOnWhatIsSeen() {
    QVERIFY(welt({"Meier/Allgemein", "Bauer/Allgemein", "Kunz/Allgemein"}));
    liste("P\tMeier\tcurrent\\Allgemein\tAllgemein\r\n");
    FormVerwalter f;
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::keyClick(&f, Qt::Key_F3);
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

    f.Liste->selectAll();
    f.coPool->setFocus();
    f.coPool->setEditText("Chirurgie");
    QTest::keyClick(f.coPool->lineEdit(), Qt::Key_Return);
    QCOMPARE(f.Liste->model()->index(2, 0).data().toString(), "Chirurgie");
    // No keeps the window, Yes closes it writing nothing.
    vk::clearRecordedMessages();
    QTest::keyClick(f.coPool->lineEdit(), Qt::Key_Escape);
    QCOMPARE(vk::recordedMessages().size(), std::size_t{1});
    QCOMPARE(vk::recordedMessages()[0].art, vk::MeldungsArt::nachfrage);
    QVERIFY(f.isVisible());
    QTest::keyClick(f.Liste, Qt::Key_Delete);
    QCOMPARE(f.Liste->model()->rowCount(), 0);
    vk::setNextAnswer(true);
    QTest::keyClick(&f, Qt::Key_Escape);
    QVERIFY(!f.isVisible());
    QCOMPARE(lesen("Benutzer.dat"), std::string("P\tMeier\tcurrent\\Allgemein\tAllgemein\r\n"));
  }

 private:
  // The stand-in's set-up for speaker/topic pairs.
  bool welt(const QStringList& paare) {
    QStringList args{"--setup", datei("")};
    for (const QString& p : paare)
      args << "--speaker" << p.section('/', 0, 0) << "--topic" << p.section('/', 1, 1);
    QProcess natspeak;
    natspeak.start(QCoreApplication::applicationDirPath() + "/natspeak", args);
    return natspeak.waitForFinished(30000) && natspeak.exitCode() == 0;
  }
  std::string R() const { return baum_->sys("R") + "\\"; }
  QString datei(const QString& rel) const {
    return QString::fromStdString(baum_->pfad("R/" + rel.toStdString()));
  }
  std::string lesen(const std::string& rel) const { return baum_->lesen("R/" + rel); }
  void liste(std::string_view zeilen) const { baum_->schreiben("R/Benutzer.dat", zeilen); }
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

QTEST_MAIN(FormVerwalterTest)
#include "form_verwalter_test.moc"
