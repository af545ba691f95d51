// The start of every window program of the suite: Qt's own dialogs,
// buttons and context menus in the program's language (Qt's translations
// as the system installs them), the suite's icon for every window, and
// every window fitted onto its screen when it is shown (sizes kept in the
// registry for a larger screen or another scale factor included).
// Failures: a translation the system does not have leaves Qt's English
// texts; no error is shown. A window whose contents need more room than
// the screen has keeps its least size, placed at the top left of the
// screen. The icons are compiled into the program. Assumes nothing of
// other programs.
#pragma once

#include <QIcon>
#include <memory>
#include <string>
#include <string_view>

class QApplication;
class QTranslator;
class QWidget;

namespace vk {

// The icon of a program: "vokarium", "vkpflege", "vkverwalter",
// "vkzentrale" or "vkhelfer" (the names of the files in icons/), with
// pictures of 16, 32, 64 and 256 pixels. Null for another name.
QIcon ProgrammSymbol(std::string_view programm);

// Loads Qt's translation for `sprache` (ISO code: "de", "en", "fr", ...)
// into `app` in place of one loaded before, and gives every window of the
// application the icon of `programm`.
void OberflaecheMitSprache(QApplication& app, std::string_view programm, std::string_view sprache);

// Fits a top-level window onto the available area of its screen: no
// larger than that area less the window frame (the frame as the window
// system reports it, else as it was on an earlier window, else an
// estimate), placed so that the frame lies fully on it. A window already
// on it keeps its place; maximized and full-screen windows are left alone.
// OberflaecheMitSprache makes every window of the program do this when it
// is shown.
void FensterEinpassen(QWidget& fenster);

// The translation in effect, for tests; reset removes it from the program.
struct OberflaecheZustand {
  std::unique_ptr<QTranslator> qtUebersetzung;
  std::string sprache;  // ISO code of the loaded translation, "" when none
};
OberflaecheZustand& oberflaecheZustand();
void oberflaecheZuruecksetzen();

}  // namespace vk
