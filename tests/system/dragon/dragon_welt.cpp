// The per-test recognizer world: temporary tree, environment, natspeak
// processes and the client modules reset to their start state.
#include "dragon_welt.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <filesystem>
#include <regex>

#include "common/dns_ini.h"
#include "common/dragon.h"
#include "common/dragon_voctools.h"
#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/texte.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/trace.h"

namespace {

const char* const kNatspeak = VK_BIN_DIR "/natspeak";

}  // namespace

void DragonWelt::SetUp() {
  baum_ = std::make_unique<vktest::Baum>();
  baum_->umgebungUmleiten();
  std::filesystem::create_directories(nativ("appdata"));
  baum_->env("XDG_CONFIG_HOME", nativ("appdata").c_str());
  socketSetzen(nativ("run/natspeak.sock"));
  vk::DragonZuruecksetzen();
  vk::VoctoolsZuruecksetzen();
  vk::DnsIniZuruecksetzen();
  vk::poolZustandZuruecksetzen();
  vk::konfigurationZuruecksetzen();
  vk::meldungZuruecksetzen();
  vk::responderEinschalten();
  vk::traceZuruecksetzen();
  plat::traceReset();
  vk::SprachVerzeichnisSetzen(plat::systemPath(VK_BIN_DIR) + "\\");
  vk::TextLaden("Deutsch");
  dragon::setTimeouts(3000, 1000);
}

void DragonWelt::TearDown() {
  for (auto& p : prozesse_) {
    if (p->state() != QProcess::NotRunning) {
      p->kill();
      p->waitForFinished(3000);
    }
  }
  prozesse_.clear();
  vk::VoctoolsZuruecksetzen();
  vk::DragonZuruecksetzen();
  vk::poolZustandZuruecksetzen();
  baum_.reset();
}

std::string DragonWelt::system(const std::string& rel) const {
  return plat::systemPath(nativ(rel));
}

void DragonWelt::einrichten() {
  dateiSchreiben(system("eigene.txt"),
                 "Meier\r\nM\xFC"
                 "ller\\Mueller\r\n");
  int code = -1;
  natspeak({"--setup", QString::fromStdString(nativ("R")), "--speaker", "Anna", "--topic",
            "Allgemein", "--words", QString::fromStdString(nativ("eigene.txt")), "--topic",
            "Chirurgie", "--folder", "chir", "--speaker", "Bernd", "--topic", "Allgemein"},
           &code);
  ASSERT_EQ(code, 0);
}

std::string DragonWelt::natspeak(const QStringList& args, int* code) {
  QProcess p;
  p.start(kNatspeak, args);
  p.waitForFinished(20000);
  if (code != nullptr) *code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  return p.readAllStandardOutput().toStdString();
}

std::string DragonWelt::zustand(const std::string& key) {
  std::smatch m;
  const std::string out = ctl({"state"});
  if (!std::regex_search(out, m, std::regex("(^|\n)" + key + "=([^\n]*)"))) return "<fehlt>";
  return plat::utf8ToCp1252(m[2].str());
}

QProcess* DragonWelt::starten(const QStringList& extra, const std::string& socket, bool headless) {
  if (!socket.empty()) socketSetzen(socket);
  auto p = std::make_unique<QProcess>();
  p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p->start(kNatspeak, (headless ? QStringList{"--headless"} : QStringList{}) + extra);
  EXPECT_TRUE(p->waitForStarted(5000));
  int code = 2;
  EXPECT_TRUE(vktest::warteBis(
      [&] { return ctl({"state"}, &code), code == 0 || p->state() != QProcess::Running; }, 10000));
  EXPECT_EQ(code, 0) << "natspeak does not answer";
  prozesse_.push_back(std::move(p));
  return prozesse_.back().get();
}

void DragonWelt::socketSetzen(const std::string& nativerPfad) {
  baum_->env("VOKARIUM_DRAGON_SOCKET", nativerPfad.c_str());
}

void DragonWelt::dateiSchreiben(const std::string& pfad, const std::string& inhalt) {
  ASSERT_EQ(plat::publishReplace(pfad, inhalt, false), plat::Err::ok);
}

std::string DragonWelt::dateiLesen(const std::string& pfad) {
  plat::SharedFile f;
  std::string s;
  if (f.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting) ==
      plat::Err::ok) {
    EXPECT_EQ(f.readAll(s), plat::Err::ok);
  }
  return s;
}

bool DragonWelt::gemeldet(int nummer) const {
  return gemeldetText(vk::Text(nummer));
}

bool DragonWelt::gemeldetText(const std::string& text) const {
  for (const auto& m : vk::recordedMessages()) {
    if (m.text.find(text) != std::string::npos) return true;
  }
  return false;
}

bool DragonWelt::warten(const std::function<bool()>& bedingung) {
  QElapsedTimer t;
  t.start();
  while (!bedingung()) {
    if (t.elapsed() > 5000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}
