// The order a main window hands to the word list editor (see auftrag.h).
// No files, no failures.
#include "main/editor/auftrag.h"

namespace vk {

Listenart ListenartBestimmen(const Listenauftrag& auftrag) {
  if (auftrag.Gesamt) return Listenart::Gesamt;
  if (auftrag.vollerPfad) return Listenart::Import;
  if (auftrag.eigeneWorte) return Listenart::Anwender;
  if (auftrag.wartung) return Listenart::Wartung;
  return Listenart::Neuworte;
}

}  // namespace vk
