// The one call a client program's main makes once its QApplication exists:
// Qt's own dialogs and buttons in the language of the language file in use
// (German for "Deutsch", English for "English", ...) and the program's icon
// for all its windows. Loads the user's default language file first when
// no text was read yet. Failures: see oberflaeche/grundlage.h (Qt's
// English stays, nothing is shown).
#pragma once

#include <string>
#include <string_view>

#include "oberflaeche/grundlage.h"

class QApplication;

namespace vk {

// ISO code of Qt's translation for a language file's name ("Deutsch" ->
// "de"); "en" for a name it does not know.
std::string QtSprache(std::string_view sprachDatei);

// `programm`: the icon's name, e.g. "vkverwalter" (see ProgrammSymbol).
// State: texteZustand() (reads).
void OberflaecheEinrichten(QApplication& app, std::string_view programm);

}  // namespace vk
