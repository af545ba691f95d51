// A small client program for the multi-program test of the client library:
//   probe <ziel> <n> <start>: once file <start> exists, writes n numbered
//   triggers below the native folder <ziel> and prints each path.
#include <iostream>
#include <string>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/server_trigger.h"
#include "platform/paths.h"
#include "platform/system.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  vk::responderEinschalten();
  auto& k = vk::konfiguration();
  k.ZielVerzeichnis = plat::withBackslash(plat::systemPath(argv[1]));
  k.TriggerName = "Trigger\\*.trg";
  k.mitTrigger = true;
  while (!plat::fileExists(plat::systemPath(argv[3])))
    plat::sleepMs(1);
  for (int i = 0; i < std::stoi(argv[2]); ++i) {
    if (!vk::TriggerSetzen(vk::TriggerArt::nummer)) return 1;
    std::cout << vk::triggerZustand().letzterTrigger << '\n';
  }
  return 0;
}
