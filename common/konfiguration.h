// Client settings: finding the configuration directory, reading the client
// configuration file "Vokarium.cfg" that the pool server writes into its
// target directory, the per-user registry values under
// "Software\QMT\Vokarium" (and the per-machine base directory), and the small
// reader for INI-style files of other programs (IniWert).
// Failures: a missing configuration file is reported through Fehlermeldung
// and leaves the settings as they were (the caller sees the empty
// BasisVerzeichnis); missing registry values and INI keys read as empty.
// Assumes the server rewrites "Vokarium.cfg" whole at each of its starts;
// registry files may be written by other programs of the same user at any
// time (the last writer wins).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace vk {

// The registry key of all values of the clients.
inline constexpr std::string_view kRegSchluessel = "Software\\QMT\\Vokarium";

// The client settings read from "Vokarium.cfg". All start empty or false and
// are only ever set by reading, never reset by it.
struct Konfiguration {
  std::string KonfigVerzeichnis;  // configuration directory, ends with "\"
  std::string BasisVerzeichnis;
  std::string VocDatei;
  std::string ZielVerzeichnis;  // prefix of every pool folder, used verbatim
  std::string WortlistenDatei;
  std::string GesamtWortlistenDatei;
  std::string BenutzerlistenDatei;  // relative to ZielVerzeichnis
  std::string GeneralVOC;
  bool NichtLoeschen = false;
  bool mitTrigger = false;
  std::string TriggerName;        // pattern with one "*"
  std::string neuWorteTextdatei;  // carries its own leading "\"
  std::string loeWorteTextdatei;  // likewise
  bool ZusatzInfo = false;        // command line began with "/V"
};

// The settings of this program run.
Konfiguration& konfiguration();

// Back to the empty settings, the current user's registry hive as root
// (tests).
void konfigurationZuruecksetzen();

// Takes one line of the configuration file into `k`: counts only with an
// "=" after the first character; exact keys; flags only by "1". Returns
// true when the line set a setting.
bool KonfigZeileAuswerten(Konfiguration& k, std::string_view zeile);

// Finds the configuration directory at start: "LastDirectory", else the
// first non-empty of "LastBasisDirectory" (user), Dragon's roaming user
// master directory (asked through `dragonStammverzeichnis` only when
// needed; may be empty) and "LastBasisDirectory" (machine), + "Vokarium\";
// a derived directory is written back to the user's registry. Sets
// konfiguration().KonfigVerzeichnis and returns it ("" when none was found).
// State: konfiguration() (reads and writes).
std::string KonfigVerzeichnisFinden(const std::function<std::string()>& dragonStammverzeichnis);

// Forgets a configuration directory that holds no valid configuration:
// "LastDirectory" becomes "", and so does the user's "LastBasisDirectory"
// when `verzeichnis` was derived from it, so that the next start neither
// reports the same directory again nor derives it anew but looks further
// (the recognizer's roaming directory, the machine-wide base directory).
void KonfigVerzeichnisVergessen(std::string_view verzeichnis);

// Reads KonfigVerzeichnis + "Vokarium.cfg" into konfiguration().
// `kommandozeile` is the program's argument line ("/V" sets ZusatzInfo).
// false when the file is missing or unreadable (reported already).
// State: konfiguration() (reads and writes).
bool KonfigurationLesen(std::string_view kommandozeile);

// Tells the user (message) when the pool folder `ziel` is mounted so that
// its locks do not reach other workstations (nobrl, nolock, local_lock) or
// lies on a file system whose locks were never measured. Called by
// KonfigurationLesen.
void PoolLaufwerkPruefen(std::string_view ziel);

// --- registry ----------------------------------------------------------

// The hive RegLesen reads from (current user unless switched).
// State: the module's registry root (writes).
void RegWurzelSetzen(plat::Hive hive);

// A value of the clients' key as text: strings without one terminating
// zero, 32-bit numbers in decimal; "" when missing or of another type.
std::string RegLesen(std::string_view name);
// The same from any key of the current root hive.
// State: the module's registry root (reads).
std::string RegLesenSchluessel(std::string_view schluessel, std::string_view name);

// The same from the local machine hive; the root is the current user's
// afterwards.
// State: the module's registry root (writes).
std::string RegLesenMaschine(std::string_view name);

// When the value is not empty: its number, rounded to a 32-bit integer, into
// `ziel` (a value that is no number gives 0, one outside 32 bits leaves
// `ziel` as it is). Otherwise `ziel` stays unchanged.
void RegLesenZahl(std::string_view name, std::int32_t& ziel);

// When the value is not empty, stores it in `ziel`.
void RegLesenText(std::string_view name, std::string& ziel);

// Writes a string value into the clients' key of the current user's hive,
// creating the key. false on failure.
bool RegSchreiben(std::string_view name, std::string_view text);
// The same for any key path; a leading "\" is dropped, an empty path writes
// nothing.
bool RegSchreibenSchluessel(std::string_view schluessel, std::string_view name,
                            std::string_view text);

// Last chosen pool and user ("LastPool", "LastUser").
void LetzteAuswahlLesen(std::string& pool, std::string& benutzer);
void LetzteAuswahlSchreiben(std::string_view pool, std::string_view benutzer);

// The word list window's size (twips) and font size (points).
struct Listenmasse {
  std::int32_t ListenHoehe = 9600;
  std::int32_t ListenBreite = 13200;
  std::int32_t ListenFontGroesse = 10;
};
// Missing, zero or negative values keep their defaults.
Listenmasse ListenmasseLesen();
// Writes the three values rounded to whole numbers, as decimal strings.
void ListenmasseSchreiben(double hoehe, double breite, double fontGroesse);

struct StartWerte {
  std::int32_t KonfVersion = 0;
  std::int32_t DragonStartDauer = 0;
};
StartWerte StartWerteLesen();

// Folder of Dragon's Word add-in (machine hive, "Filename" of its add-in key
// with every "dgnword.dll" removed); "" when not installed.
std::string WordAddinVerzeichnis();

// --- INI files of other programs -----------------------------------------

// Value of `schluessel` in an INI-style file: the first line anywhere in the
// file whose key (before its first "=", trimmed) equals it without case
// wins; sections are not looked at. A value in double quotes loses its
// first and last character. "" when the file or key is missing.
std::string IniWert(std::string_view datei, std::string_view abschnitt,
                    std::string_view schluessel);

}  // namespace vk
