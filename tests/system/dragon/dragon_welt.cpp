// The per-test recognizer world: temporary tree, environment, natspeak
// processes and the client modules reset to their start state.
#include "dragon_welt.h"

#include <QCoreApplication>
#include <algorithm>
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
#include "platform/trace.h"

static const char* const kNatspeak = VK_BIN_DIR "/natspeak";

void DragonWelt::SetUp() {
  baum_.umgebungUmleiten();
  baum_.env("VOKARIUM_DRAGON_SOCKET", nativ("run/natspeak.sock").c_str());
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
}

void DragonWelt::einrichten() {
  dateiSchreiben(system("eigene.txt"), "Meier\r\nM\xFCller\\Mueller\r\n");
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

QProcess* DragonWelt::starten(const QStringList& extra, bool headless) {
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

bool DragonWelt::gemeldet(int nummer) const {
  return gemeldetText(vk::Text(nummer));
}

bool DragonWelt::gemeldetText(const std::string& text) const {
  return std::any_of(vk::recordedMessages().begin(), vk::recordedMessages().end(),
                     [&](const auto& m) { return m.text.find(text) != std::string::npos; });
}

bool DragonWelt::warten(const std::function<bool()>& bedingung) {
  return vktest::warteBis(
      [&] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return bedingung();
      },
      5000);
}
