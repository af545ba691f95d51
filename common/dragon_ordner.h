// Where the recognizer's program is installed: its Word add-in folder from
// the registry, read once and kept for the run. An empty folder means the
// recognizer is not installed; nothing here fails otherwise.
#pragma once

#include <string>

namespace vk {

// Folder of the recognizer's program (system form, ending with "\"), from
// the Word add-in value with every "dgnword.dll" removed; read from the
// registry when not yet known.
// State: the module's own cache (reads and writes).
std::string DragonProgrammVerzeichnis();
// Forgets the folder, so the next call reads the registry again (tests,
// DragonZuruecksetzen).
// State: the module's own cache (writes).
void DragonProgrammVerzeichnisVergessen();

}  // namespace vk
