// A small client program for the multi-program tests of the client
// library. Commands (paths native, settings as the clients keep them):
//   sperre <ziel> <pool>: takes the pool lock, printing each question as
//     "FRAGE <text>" and reading the answer ("retry") from stdin; prints
//     GESPERRT or ABGELEHNT (exit 1); then waits for a line, releases, FREI.
//   trigger <ziel> <n> <start>: once file <start> exists, writes n numbered
//     triggers and prints each path.
#include <iostream>
#include <string>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/poolfiles.h"
#include "common/server_trigger.h"
#include "common/texte.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"

namespace {

int sperre() {
  vk::setAnswerFunction([](const vk::AufgezeichneteMeldung& m) {
    std::cout << "FRAGE " << m.text << std::endl;
    std::string antwort;
    std::getline(std::cin, antwort);
    return antwort == "retry";
  });
  if (!vk::SperreSetzen()) {
    std::cout << "ABGELEHNT" << std::endl;
    return 1;
  }
  std::cout << "GESPERRT" << std::endl;
  std::string zeile;
  std::getline(std::cin, zeile);
  vk::SperreLoesen();
  std::cout << "FREI" << std::endl;
  return 0;
}

int trigger(int anzahl, const std::string& start) {
  while (!plat::fileExists(plat::systemPath(start)))
    plat::sleepMs(1);
  for (int i = 0; i < anzahl; ++i) {
    if (!vk::TriggerSetzen(vk::TriggerArt::nummer)) return 1;
    std::cout << vk::triggerZustand().letzterTrigger << '\n';
  }
  std::cout.flush();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string befehl = argv[1];
  vk::responderEinschalten();
  vk::SprachVerzeichnisSetzen(plat::systemPath(VK_SOURCE_DIR "/lang/"));
  vk::TextLaden("Deutsch");
  auto& k = vk::konfiguration();
  k.ZielVerzeichnis = plat::withBackslash(plat::systemPath(argv[2]));
  k.TriggerName = "Trigger\\*.trg";
  k.mitTrigger = true;
  if (befehl == "sperre" && argc == 4) {
    vk::poolZustand().Pool = argv[3];
    return sperre();
  }
  if (befehl == "trigger" && argc == 5) return trigger(std::stoi(argv[3]), argv[4]);
  return 2;
}
