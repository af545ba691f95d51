// The entry of both main programs, Vokarium and vkPflege: the window
// system, the main window of the program's record, the word list editor
// behind it and the test hook. Without a screen (offscreen or minimal
// platform) no box can be confirmed: messages are answered at once and
// written to standard error when the program ends.
#pragma once

#include "main/programmart.h"

namespace vk {

// Hands the main window's editor orders to the word list editor library.
// State: hauptfensterZustand() (writes).
void EditorAnbinden();

// Runs the program until its main window (or, unattended, the editor) ends
// it; the exit code.
// State: utilitiesZustand() (writes).
int HauptprogrammAusfuehren(int argc, char** argv, const Programmart& art);

}  // namespace vk
