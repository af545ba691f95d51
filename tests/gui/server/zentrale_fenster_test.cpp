// The windowed side of vkZentrale on a temporary tree and registry: the text
// window, the base-directory dialog and the windowed run. Modal dialogs are
// driven from a timer while their own event loop runs.
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/paths.h"
#include "platform/registry.h"
#include "server/app/fenster.h"
#include "server/optionen.h"
#include "server/protokoll.h"
#include "server/schleife.h"
#include "tests/support/baum.h"

using namespace zentrale;
namespace fs = std::filesystem;

namespace {

using vktest::schreiben;

std::string registryBasis() {
  std::string wert;
  plat::ignoreErr(plat::regReadString(plat::Hive::localMachine, "Software\\QMT\\Vokarium",
                                      "LastBasisDirectory", wert),
                  "a value not written reads as empty");
  return wert;
}

DraFrageDialog* offeneFrage() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = dynamic_cast<DraFrageDialog*>(w); d != nullptr && d->isVisible()) return d;
  return nullptr;
}

// Calls `schritt` every 20 ms from the event loop of the code under test
// until it returns true. After 20 s it gives up: the server is asked to
// stop and every window closed, so a fault ends the test, not the suite.
class Treiber {
 public:
  explicit Treiber(std::function<bool()> schritt) {
    QObject::connect(&uhr_, &QTimer::timeout, [this, schritt = std::move(schritt)] {
      if (schritt()) {
        uhr_.stop();
      } else if (++ticks_ > 1000) {
        aufgegeben = true;
        uhr_.stop();
        stopAnforderung().store(static_cast<int>(StopArt::stop));
        for (QWidget* w : QApplication::topLevelWidgets())
          w->close();
      }
    });
    uhr_.start(20);
  }
  bool aufgegeben = false;

 private:
  QTimer uhr_;
  int ticks_ = 0;
};

// True once the process has installed its SIGTERM handler (bit of the
// signal in "SigCgt" of /proc/<pid>/status).
bool sigtermGefangen(qint64 pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string zeile; std::getline(status, zeile);)
    if (zeile.rfind("SigCgt:", 0) == 0)
      return ((std::stoull(zeile.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1U) != 0;
  return false;
}

}  // namespace

class ZentraleFensterTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    baum_ = std::make_unique<vktest::Baum>();
    baum_->umgebungUmleiten();
    schreiben(basis() / "Benutzer.dat", "A\tu1\t\t\r\n");
    zuruecksetzen();
  }

  void cleanup() {
    zuruecksetzen();
    baum_.reset();
  }

  void textWindowShowsTheLogConvertedAtTheBottom() {
    TextFenster f;
    f.show();
    // cp1252 with CR LF, a line split over two calls as the log writes it.
    f.anhaengen("\r\n+++++ Pool-Directory f\xFCr Gr");
    f.anhaengen(
        "\xFC\xDF"
        "e : \xC4rzte \x80\r\n");
    QCOMPARE(f.toPlainText(), QString::fromUtf8("\n+++++ Pool-Directory für Grüße : Ärzte €\n"));
    // Months of log lines: the oldest go, the newest stay, in view.
    std::string viel;
    for (int i = 0; i < TextFenster::kZeilenMax + 100; ++i)
      viel += "Zeile " + std::to_string(i) + "\r\n";
    f.anhaengen(viel + "ganz neu");
    QVERIFY(f.document()->blockCount() <= TextFenster::kZeilenMax);
    QCOMPARE(f.document()->lastBlock().text(), QString("ganz neu"));
    QCOMPARE(f.verticalScrollBar()->value(), f.verticalScrollBar()->maximum());
  }

  // A folder typed into the field and Enter: a missing one keeps the dialog
  // open with a hint, an existing one counts.
  void dialogTakesATypedFolder() {
    ini("");
    bool hinweis = false;
    Treiber tippen([&] {
      DraFrageDialog* d = offeneFrage();
      if (d == nullptr) return false;
      d->feld->setFocus();
      QTest::keyClicks(d->feld, QString::fromStdString((wurzel() / "fehlt").string()));
      QTest::keyClick(d->feld, Qt::Key_Return);
      hinweis = d->isVisible() && d->hinweis->isVisible() && d->hinweis->text().contains("fehlt");
      d->feld->clear();
      QTest::keyClicks(d->feld, QString::fromStdString(basis().string()));
      QTest::keyClick(d->feld, Qt::Key_Return);
      return true;
    });
    BasisKlaeren([](std::string& v) { return DraFrage(nullptr, v); });
    QVERIFY(!tippen.aufgegeben);
    QVERIFY(hinweis);
    QCOMPARE(registryBasis(), basisSystem());
    QCOMPARE(optionen().basisVerzeichnis, basisSystem());
  }

  // A stop in the windowed run keeps the window with the abort line until
  // the user closes it, its title saying the server stopped: here the
  // question closed (centred on the window; code 8, nothing stored). A fatal
  // setting does the same in the real program below.
  void stopInTheWindowedRunKeepsTheWindow() {
    ini("");
    TextFenster f;
    bool mittig = false, offen = false;
    QString titel;
    int gesehen = 0;
    Treiber treiber([&] {
      if (DraFrageDialog* d = offeneFrage()) {
        mittig = (d->frameGeometry().center() - f.frameGeometry().center()).manhattanLength() < 20;
        d->close();
        return false;
      }
      // A few more turns of the event loop: the window must stay.
      if (!f.toPlainText().contains("+++++ Basis-Verzeichnis nicht angegeben") || ++gesehen < 10)
        return false;
      offen = f.isVisible();
      titel = f.windowTitle();
      f.close();
      return true;
    });
    QCOMPARE(FensterLauf(f, nullptr), 8);
    QVERIFY(!treiber.aufgegeben);
    QVERIFY(mittig);
    QVERIFY(offen);
    QCOMPARE(titel, QString("VokariumServer   5.0 - angehalten"));
    QVERIFY(protokoll().abbruchmeldung.find("Dialog geschlossen") != std::string::npos);
    QCOMPARE(registryBasis(), std::string());
  }

  void windowedRunFromTheDialogToClosingTheWindow() {
    // No base directory known: the run asks first ("???" with the user list
    // puts its folder in the field, OK keeps it), then works on the chosen
    // folder until the user closes the window.
    ini("");
    TextFenster f;
    QString gezeigt;
    bool zuGelassen = true;
    Treiber treiber([&] {
      if (DraFrageDialog* d = offeneFrage()) {
        setNextFileName((basis() / "Benutzer.dat").string());
        d->suchen->click();
        gezeigt = d->feld->text();
        d->ok->click();
        return false;
      }
      const QString text = f.toPlainText();
      if (!text.contains("Pause = 1") || !fs::exists(basis() / "Vokarium" / "vkZentrale.lck"))
        return false;
      f.close();
      zuGelassen = f.isVisible();
      return true;
    });
    int bereit = 0;
    const int code = FensterLauf(f, [&] { ++bereit; });

    QVERIFY(!treiber.aufgegeben);
    QCOMPARE(code, 0);
    QCOMPARE(gezeigt, QString::fromStdString(basis().string() + "/"));
    QCOMPARE(bereit, 1);
    QVERIFY(zuGelassen);  // a stop request first; the loop ends the program
    QVERIFY(!fs::exists(basis() / "Vokarium" / "vkZentrale.lck"));
    QVERIFY(fs::exists(basis() / "Vokarium" / "Vokarium.cfg"));
    QCOMPARE(registryBasis(), basisSystem());
    const QString text = f.toPlainText();
    QVERIFY(text.contains("\nqmt   VokariumServer   5.0\n"));
    QVERIFY(text.contains(
        QString::fromStdString("BasisVerzeichnis = " + basis().string()).replace('/', '\\')));
    QCOMPARE(f.windowTitle(), QString("VokariumServer   5.0"));
  }

  // The real program: a display named (the offscreen platform draws it)
  // makes it a window program, so the terminal stays silent; SIGTERM ends it
  // cleanly, and after a fatal stop too, where no loop is left to see it.
  void programWithADisplayLogsToItsWindowAndEndsOnSigterm() {
    QVERIFY(plat::regWriteString(plat::Hive::localMachine, "Software\\QMT\\Vokarium",
                                 "LastBasisDirectory", basisSystem()) == plat::Err::ok);
    const fs::path sperre = basis() / "Vokarium" / "vkZentrale.lck";
    for (const std::string mehr : {"", "Endzeit=23:51\r\n"}) {
      schreiben(iniPfad(), "[Vokarium]\r\nPause=1\r\n" + mehr);
      QProcess p;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("DISPLAY", ":vk-test");
      env.insert("QT_QPA_PLATFORM", "offscreen");
      p.setProcessEnvironment(env);
      p.start(VK_ZENTRALE_EXE, {QString::fromStdString("-I" + iniPfad().string())});
      QVERIFY(p.waitForStarted());
      if (mehr.empty()) {
        QTRY_VERIFY_WITH_TIMEOUT(fs::exists(sperre), 20000);
      } else {
        // The error is shown in the window, which stays open.
        QVERIFY(!p.waitForFinished(1000));
      }
      // On a loaded machine the program may not have reached its signal
      // handlers yet: a SIGTERM before them would kill it outright.
      QTRY_VERIFY_WITH_TIMEOUT(sigtermGefangen(p.processId()), 20000);
      QCOMPARE(p.state(), QProcess::Running);
      p.terminate();
      QVERIFY(p.waitForFinished(20000));
      QCOMPARE(p.exitStatus(), QProcess::NormalExit);
      QCOMPARE(p.exitCode(), mehr.empty() ? 0 : 8);
      QCOMPARE(p.readAllStandardOutput(), QByteArray());
      QVERIFY(!fs::exists(sperre));
    }
  }

 private:
  void zuruecksetzen();
  void ini(const std::string& mehr) {
    schreiben(iniPfad(), "[Vokarium]\r\nPause=1\r\n" + mehr);
    optionen().argumente = {"-I" + plat::systemPath(iniPfad().string())};
    OptionenLesen();
  }
  fs::path wurzel() const { return baum_->wurzel; }
  fs::path iniPfad() const { return wurzel() / "Vokarium.ini"; }
  // A base folder with a user list, its name with an umlaut ("Übung").
  fs::path basis() const {
    return wurzel() /
           "\xC3\x9C"
           "bung";
  }
  std::string basisSystem() const { return plat::systemPath(basis().string()) + "\\"; }

  std::unique_ptr<vktest::Baum> baum_;
};

void ZentraleFensterTest::zuruecksetzen() {
  optionenZuruecksetzen();
  protokollZuruecksetzen();
  schleifeZuruecksetzen();
  fensterZuruecksetzen();
}

QTEST_MAIN(ZentraleFensterTest)
#include "zentrale_fenster_test.moc"
