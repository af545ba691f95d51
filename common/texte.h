// Numbered user-interface texts from the language files ("Deutsch.LNG",
// "English.LNG", ... beside the programs), and the program title. The
// two characters "\n" of a file's text are its line breaks: they become
// "\r" as the text is loaded, so a value put in for "@" (a path such as
// "\srv\neu\") is never read for escapes and shows as it is.
// Failures: a missing language file falls back to English, then German;
// when none is found it is reported once through Fehlermeldung and every
// text shows as the placeholder "<?" number " @?>". Texts are cp1252 bytes
// as they stand in the file. Language files are only read, never written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vk {

// Version shown in titles: "(5.0)".
inline constexpr int kVersionMajor = 5;
inline constexpr int kVersionMinor = 0;

// The six languages in their fixed order.
const std::vector<std::string>& Sprachen();

// State of the text table (one per program).
struct TexteZustand {
  std::unordered_map<std::int32_t, std::string> tabelle;
  std::string sprache;  // loaded language
  bool geladen = false;
  std::int32_t basis = 0;   // TextBasis
  std::string verzeichnis;  // folder of the language files; "" = program folder
};
TexteZustand& texteZustand();
void texteZuruecksetzen();

// Folder the language files are taken from ("" = Programmverzeichnis()).
// State: texteZustand() (reads and writes).
void SprachVerzeichnisSetzen(std::string_view ordner);

// One line of a language file: true with number and trimmed text when it
// is an entry (at least 6 characters, first "1".."9", number, tab, text).
bool SprachZeileLesen(std::string_view zeile, std::int32_t& nummer, std::string& text);

// Language for a primary language id (0x07 Deutsch, 0x0A Espanol, 0x0C
// Francaise, 0x10 Italiano, 0x13 Nederlands, else English).
std::string SpracheFuerKennung(int kennung);

// Loads a language ("" = the user's default language). Keeps the table when
// that language is loaded already.
// State: texteZustand() (reads and writes).
void TextLaden(std::string_view sprache);

// The text of a number (loads the default language first when nothing is
// loaded); "<?" + number + " @?>" when the number has no text.
// State: texteZustand() (reads).
std::string Text(std::int32_t nummer);

// Base that relative numbers are added to.
// State: texteZustand() (writes).
void TextBasis(std::int32_t basis);
// State: texteZustand() (reads).
std::string TextRelativ(std::int32_t n);

// Text with its first "@" replaced by `wert` (a text ending with "@" gets
// a blank first).
std::string TextMitWert(std::int32_t nummer, std::string_view wert);
std::string TextRelativMitWert(std::int32_t n, std::string_view wert);

// First "@" by `wert1`, then the next "@" by `wert2`.
std::string TextMitWerten(std::int32_t nummer, std::string_view wert1, std::string_view wert2);

// Puts `wert` in place of the first "@" of `text` (rule of TextMitWert).
std::string WertEinsetzen(std::string text, std::string_view wert);

// name + " (5.0)" and, when `zusatz` is not empty, + " - " + zusatz.
std::string Titel(std::string_view name, std::string_view zusatz);

}  // namespace vk
