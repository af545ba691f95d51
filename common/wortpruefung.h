// What may enter a pool as a word, checked in one place for every way in
// (the editor's lists before a take-over, an import, the collection of the
// members' ".ben" files): a word line holds no control character (below
// 0x20, or 0x7F) and neither of its forms is longer than the recognizer
// analyses. Lines that fail are refused, counted and reported once per
// source with the numbers of the first few; the other lines go on.
// Also: the text of an import file written as UTF-8 (with or without a
// byte-order mark) turned into cp1252 line by line, and the report of a
// word file that cannot be read, with its cause from the language files.
// Failures are reported through the common message module. Free of Qt.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/dragon_protocol.h"
#include "platform/error.h"

namespace vk {

// Longest written form and longest spoken form of a pool word (bytes): the
// recognizer refuses longer written forms.
inline constexpr std::size_t kMaxWortform = dragonproto::kMaxWritten;

enum class Wortfehler { keiner, steuerzeichen, zuLang, ohneAnsi };

// Checks one word line (without its line end) as it stands in a file.
Wortfehler WortzeilePruefen(std::string_view zeile);

// The refused lines of one source.
struct Abweisungen {
  std::size_t anzahl = 0;
  std::vector<std::size_t> ersteNummern;  // line numbers (from 1), the first few
  void hinzufuegen(std::size_t nummer);
  bool leer() const { return anzahl == 0; }
};

// How many line numbers a report lists.
inline constexpr std::size_t kGezeigteNummern = 5;

// Text 2589 for the refused lines of `quelle` ("" when none were refused).
std::string AbweisungenText(const Abweisungen& abweisungen, std::string_view quelle);
// Shows that text (nothing when none were refused).
void AbweisungenMelden(const Abweisungen& abweisungen, std::string_view quelle);

// --- import text -----------------------------------------------------------

// True when `inhalt` is text in UTF-8: it starts with a byte-order mark
// (which is removed from the view), or it is valid UTF-8 holding at least
// one character above U+007F, up to perhaps a character cut off at the
// very end (a truncated copy; that line then fails Utf8ZeileWandeln).
// Otherwise it is taken as cp1252.
bool Utf8Erkennen(std::string_view& inhalt);

// One UTF-8 line in cp1252; false when it holds an invalid sequence or a
// character cp1252 has no byte for.
bool Utf8ZeileWandeln(std::string_view zeile, std::string& ansi);

// --- word files that cannot be read --------------------------------------

// The language text naming why `pfad` could not be opened for reading
// with error `fehler`: held by another program, not a regular file, a
// symbolic link, no permission, not there; otherwise text 2557.
std::string WortdateiUrsache(plat::Err fehler, std::string_view pfad);
// Error report with that cause, the error number and the path.
void WortdateiFehlerMelden(plat::Err fehler, const std::string& pfad);
// Error report of writing `pfad`: text `textNr` with the path, then the
// cause from the language files where one of those above applies.
void DateiFehlerMelden(plat::Err fehler, const std::string& pfad, int textNr);

}  // namespace vk
