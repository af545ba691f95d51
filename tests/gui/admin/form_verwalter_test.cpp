// The window of vkVerwalter on a temporary recognizer world made by the
// stand-in's set-up (speakers, topics, folders, nsuser.ini) and a temporary
// registry: start-up, the search, assigning, the keys, saving with its
// checks, the trigger, another user list file and the window sizes.
#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "admin/form_verwalter.h"
#include "admin/verwaltung.h"
#include "common/dns_ini.h"
#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/qtext.h"
#include "common/server_trigger.h"
#include "common/texte.h"
#include "platform/paths.h"

using namespace admin;

class FormVerwalterTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void startUpTakesTheRecognizersFolders();
  void searchAssignAndSaveWriteTheListAndOneTrigger();
  void saveRefusesAndSelectsTheOffendingRows();
  void poolNamesTheServerCannotUseAreRefused();
  void anotherUserListFile();

 private:
  // The stand-in's set-up for speaker/topic pairs.
  void welt(const QStringList& paare);
  std::string R() const { return plat::systemPath(dir_->filePath("R").toStdString()) + "\\"; }
  QString datei(const QString& rel) const { return dir_->filePath("R/" + rel); }
  QString lesen(const QString& rel) const {
    QFile f(datei(rel));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
  }
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

  std::unique_ptr<QTemporaryDir> dir_;
};

void FormVerwalterTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  for (const char* d : {"reg", "cfg", "run"})
    QVERIFY(QDir(dir_->path()).mkpath(d));
  qputenv("VOKARIUM_REGISTRY_DIR", dir_->filePath("reg").toUtf8());
  qputenv("XDG_CONFIG_HOME", dir_->filePath("cfg").toUtf8());
  qputenv("XDG_RUNTIME_DIR", dir_->filePath("run").toUtf8());
  qputenv("VOKARIUM_TRACE_SOCKET", dir_->filePath("run/trace").toUtf8());
  qputenv("VOKARIUM_DRAGON_SOCKET", dir_->filePath("run/dragon").toUtf8());
  verwaltungZuruecksetzen();
  vk::konfigurationZuruecksetzen();
  vk::triggerZuruecksetzen();
  vk::DnsIniZuruecksetzen();
  vk::meldungZuruecksetzen();
  vk::responderEinschalten();
}

void FormVerwalterTest::cleanup() {
  dir_.reset();
}

void FormVerwalterTest::welt(const QStringList& paare) {
  QStringList args{"--setup", dir_->filePath("R") + "/"};
  for (const QString& p : paare) {
    args << "--speaker" << p.section('/', 0, 0) << "--topic" << p.section('/', 1, 1);
  }
  QProcess natspeak;
  natspeak.start(QCoreApplication::applicationDirPath() + "/natspeak", args);
  QVERIFY(natspeak.waitForFinished(30000));
  QCOMPARE(natspeak.exitCode(), 0);
}

void FormVerwalterTest::startUpTakesTheRecognizersFolders() {
  welt({"Meier/Allgemein"});
  if (QTest::currentTestFailed()) return;
  FormVerwalter f;
  f.show();
  QCOMPARE(f.tSpeicherort->text(), vk::qtext(R()));
  QCOMPARE(vk::RegLesen("LastBasisDirectory"), R());
  QCOMPARE(vk::RegLesen("LastDirectory"), R() + "Vokarium\\");
  QCOMPARE(vk::RegLesenMaschine("LastBasisDirectory"), R());
  QVERIFY(QDir(datei("Vokarium/Trigger")).exists());
  QVERIFY(!vk::DnsIni().userBaseDirectoryRU.empty());
  QCOMPARE(vk::RegLesen("LocalCacheRU"), vk::DnsIni().userBaseDirectoryRU);
  for (const char* name : {"Dragon", "Zuordnen", "Entfernen", "Uebernehmen"}) {
    QVERIFY2(f.Toolbar1->findChild<QAction*>(name), name);
  }
  QCOMPARE(f.Liste->model()->rowCount(), 0);
  QVERIFY(f.windowTitle().contains("(5.0)"));

  // Closing in the normal state keeps the size (twips) for the next start.
  f.resize(1000, 600);
  f.close();
  QCOMPARE(vk::RegLesen("ListenBreite"), std::to_string(1000 * 1440 / f.logicalDpiX()));
  QCOMPARE(vk::RegLesen("ListenFontGroesse"), "10");
}

void FormVerwalterTest::searchAssignAndSaveWriteTheListAndOneTrigger() {
  welt({"Meier/Allgemein", "Meier/Radiologie", "Bauer/Allgemein"});
  if (QTest::currentTestFailed()) return;
  std::ofstream(datei("Benutzer.dat").toStdString(), std::ios::binary)
      << "Chirurgie\tMeier\tcurrent\\Allgemein\tAllgemein\r\n";
  FormVerwalter f;
  QAbstractItemModelTester modellPruefer(f.Liste->model());
  f.show();
  QAction* dragon = f.Toolbar1->findChild<QAction*>("Dragon");
  dragon->trigger();
  dragon->trigger();
  QCOMPARE(f.Liste->model()->rowCount(), 3);
  QCOMPARE(f.Liste->model()->index(0, 0).data().toString(), "  ?");
  QVERIFY(vk::recordedMessages().empty());

  // Unassigned rows cannot be saved: the first one is selected.
  QVERIFY(!f.ZuordnungenUebernehmen());
  QVERIFY(gemeldet(2104));
  QCOMPARE(markiert(f), QList<int>{0});

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
           "Chirurgie\tMeier\tcurrent\\Allgemein\tAllgemein\r\n"
           "Innere\tBauer\tcurrent\\Allgemein\tAllgemein\r\n"
           "Innere\tMeier\tcurrent\\Radiologie\tRadiologie\r\n");
  QVERIFY(lesen("Vokarium/Trigger/ADMIN.trg").startsWith("Vokarium5-Trigger\r\n"));

  // A pending request is enough: a second save leaves the trigger alone.
  std::ofstream(datei("Vokarium/Trigger/ADMIN.trg").toStdString()) << "wartet";
  FormVerwalter g;
  QCOMPARE(g.Liste->model()->rowCount(), 3);
  QVERIFY(g.ZuordnungenUebernehmen());
  QCOMPARE(lesen("Vokarium/Trigger/ADMIN.trg"), "wartet");
}

void FormVerwalterTest::saveRefusesAndSelectsTheOffendingRows() {
  welt({"Meier/Allgemein", "Meier/Radiologie", "Kunz/Allgemein"});
  if (QTest::currentTestFailed()) return;
  std::ofstream(datei("Benutzer.dat").toStdString(), std::ios::binary)
      << "P\tMeier\tcurrent\\Allgemein\tAllgemein\r\n"
      << "Q\tKunz\tcurrent\\Allgemein\tAllgemein\r\n"
      << "P\tMeier\tcurrent\\Radiologie\tRadiologie\r\n";
  FormVerwalter f;
  QVERIFY(!f.ZuordnungenUebernehmen());
  QVERIFY(gemeldet(2106));
  QCOMPARE(markiert(f), (QList<int>{0, 1}));  // rows sorted by pool: P, P, Q

  // Delete removes the selected rows; the rest can be saved.
  auswaehlen(f, {1});
  QTest::keyClick(f.Liste, Qt::Key_Delete);
  QCOMPARE(f.Liste->model()->rowCount(), 2);
  QVERIFY(f.ZuordnungenUebernehmen());
  QCOMPARE(lesen("Benutzer.dat"),
           "P\tMeier\tcurrent\\Allgemein\tAllgemein\r\nQ\tKunz\tcurrent\\Allgemein\tAllgemein\r\n");
}

void FormVerwalterTest::poolNamesTheServerCannotUseAreRefused() {
  welt({"Meier/Allgemein", "Bauer/Allgemein"});
  if (QTest::currentTestFailed()) return;
  FormVerwalter f;
  f.show();
  f.DragonSuchen();
  for (const QString& name : {QString(32, 'x'), QString("..\\Trigger"), QString("a/b")}) {
    vk::clearRecordedMessages();
    f.coPool->setEditText(name);
    f.Liste->setFocus();
    QTest::keyClick(f.Liste, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(gemeldet(name.size() > 31 ? 866 : 2110));
    QCOMPARE(f.Liste->model()->index(0, 0).data().toString(), "  ?");
    QCOMPARE(f.coPool->count(), 0);
  }
  // Ctrl+A gives an acceptable pool to every row.
  f.coPool->setEditText("Chirurgie");
  QTest::keyClick(f.Liste, Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(f.Liste->model()->index(1, 0).data().toString(), "Chirurgie");
  // Escape closes without writing anything.
  QTest::keyClick(&f, Qt::Key_Escape);
  QVERIFY(!f.isVisible());
  QVERIFY(!QFile::exists(datei("Benutzer.dat")));
}

void FormVerwalterTest::anotherUserListFile() {
  welt({"Meier/Allgemein"});
  if (QTest::currentTestFailed()) return;
  QVERIFY(QDir(dir_->path()).mkpath("R/Archiv"));
  std::ofstream(datei("Archiv/Alt.dat").toStdString(), std::ios::binary)
      << "Alt\tMeier\tcurrent\\Allgemein\tAllgemein\r\n";
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

QTEST_MAIN(FormVerwalterTest)
#include "form_verwalter_test.moc"
