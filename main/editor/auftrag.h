// What a main window (Vokarium's or vkPflege's) hands to the word list
// editor: the order to show one list, with the user's recognizer topic and
// option, and the one call that opens the editor. The record is free of Qt;
// only the opening call takes the caller's window.
// The editor works on the pool files of the current pool and user
// (vk::poolZustand()); it never asks the main window anything back.
#pragma once

#include <string>

class QWidget;

namespace vk {

// Which list the editor shows, derived from a Listenauftrag in this order.
enum class Listenart { Gesamt, Import, Anwender, Wartung, Neuworte };

// The order of one list.
struct Listenauftrag {
  std::string dateiname;     // a file of the pool folder, or a full path
  bool Gesamt = false;       // the pool total list, edited as a whole
  bool vollerPfad = false;   // `dateiname` is a full path (an import file)
  bool eigeneWorte = false;  // the user's own recognizer words
  bool wartung = false;      // the difference list of vkPflege
  // For the user's own words: his recognizer topic (its vocabulary-fix
  // marker) and "-A" (the word reader gets the inverse as argument).
  std::string Thema{};
  bool OptionA = false;
};

Listenart ListenartBestimmen(const Listenauftrag& auftrag);

// Shows FormWortliste modally over `aufrufer` (hidden while the list is
// shown) and returns when the editor has closed. In Automatikbetrieb the
// editor's close ends the program (QCoreApplication::exit(0)) after its
// own clean-up; the caller must do nothing more then.
void WortlisteZeigen(QWidget* aufrufer, const Listenauftrag& auftrag);

}  // namespace vk
