// The recognizer's program folder, cached for the run (see dragon_ordner.h).
#include "common/dragon_ordner.h"

#include "common/konfiguration.h"

namespace vk {

namespace {

std::string gProgrammVerzeichnis;

}  // namespace

std::string DragonProgrammVerzeichnis() {
  if (gProgrammVerzeichnis.empty()) gProgrammVerzeichnis = WordAddinVerzeichnis();
  return gProgrammVerzeichnis;
}

void DragonProgrammVerzeichnisVergessen() {
  gProgrammVerzeichnis.clear();
}

}  // namespace vk
