// The start of every window program of the suite: Qt's own dialogs,
// buttons and context menus in the program's language (Qt's translations
// as the system installs them), and the suite's icon for every window.
// Failures: a translation the system does not have leaves Qt's English
// texts; no error is shown. The icons are compiled into the program.
// Assumes nothing of other programs.
#pragma once

#include <QIcon>
#include <memory>
#include <string>
#include <string_view>

class QApplication;
class QTranslator;

namespace vk {

// The icon of a program: "vokarium", "vkpflege", "vkverwalter",
// "vkzentrale" or "vkhelfer" (the names of the files in icons/), with
// pictures of 16, 32, 64 and 256 pixels. Null for another name.
QIcon ProgrammSymbol(std::string_view programm);

// Loads Qt's translation for `sprache` (ISO code: "de", "en", "fr", ...)
// into `app` in place of one loaded before, and gives every window of the
// application the icon of `programm`.
void OberflaecheMitSprache(QApplication& app, std::string_view programm, std::string_view sprache);

// The translation in effect, for tests; reset removes it from the program.
struct OberflaecheZustand {
  std::unique_ptr<QTranslator> qtUebersetzung;
  std::string sprache;  // ISO code of the loaded translation, "" when none
};
OberflaecheZustand& oberflaecheZustand();
void oberflaecheZuruecksetzen();

}  // namespace vk
