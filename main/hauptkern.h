// The procedures behind the main windows of Vokarium and vkPflege that need
// no window: the command line, the user entries of the user list, finding
// the configuration directory, loading the configuration and the user list,
// the start-up decision of the unattended mode, collecting the members'
// ".ben" files into the pool word list, and the small rules of the shortcut
// icons and of the helper's command line.
// Failures are reported through the common message module before a
// function returns false; nothing here is retried except the claim of a
// ".ben" file that its helper holds for a moment.
// Other programs: vkHelfer appends to a member's ".ben" file at any time
// (under its exclusive lock); the files are therefore claimed under that
// lock before they are read, and deleted only after their lines are safely
// in the pool word list.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/konfiguration.h"
#include "common/poolfiles.h"

namespace vk {

// --- command line --------------------------------------------------------

struct Befehlszeile {
  std::string pool;      // "-p"
  std::string benutzer;  // "-u"
  bool mitPool = false;
  bool mitBenutzer = false;
  bool optionD = false;  // "-D": only stored
  bool optionA = false;  // "-A"
};

// Reads the program's argument line: "-" + one letter, one optional blank,
// a value in double quotes or up to the next blank. An unclosed quote drops
// its option and ends the parse. Letters count exactly ("p", "u", "D",
// "A"); the two flags "D" and "A" take no value, so "-D -A" sets both.
Befehlszeile BefehlszeileAuswerten(std::string_view zeile);

// The argument line Vokarium starts vkHelfer with.
std::string HelferArgumente(std::string_view pool, std::string_view benutzer);

// --- user list entries ---------------------------------------------------

// "Meier | Allgemein" as the user list shows a record.
std::string EintragBilden(const Benutzereintrag& eintrag);

// Left of the first " | " (trimmed) is the user, from three characters
// after it (trimmed) the topic. Without " | " the whole entry is the user
// and `thema` stays as it was.
void EintragTeilen(std::string_view eintrag, std::string& benutzer, std::string& thema);

// Index of the pool to select: the last entry equal to `letzterPool`, else
// the first; -1 for an empty list.
int PoolIndex(const std::vector<std::string>& pools, std::string_view letzterPool);

// The entries of the pool's members in the order of the user list (the
// window passes Benutzerliste), and the index of the last one whose user is
// `letzterBenutzer` (-1 when none).
std::vector<std::string> BenutzerEintraege(const std::vector<Benutzereintrag>& liste,
                                           std::string_view pool);
int BenutzerIndex(const std::vector<std::string>& eintraege, std::string_view letzterBenutzer);

// --- configuration -------------------------------------------------------

// The configuration directory at start. The long chain (Vokarium): the
// registry's "LastDirectory", else "LastBasisDirectory" (user), the
// recognizer's roaming user directory, "LastBasisDirectory" (machine). The
// short one (vkPflege): "LastDirectory", else the roaming directory. A
// derived directory gets "Vokarium\" and is written back with its base.
// State: konfiguration() (writes).
std::string LastDirectoryFinden(bool kurz, const std::function<std::string()>& dragonStamm);

// The settings the main windows list, in their fixed order, as key and
// text (flags as the language's "Wahr"/"Falsch", texts 4094/4095).
std::vector<std::pair<std::string, std::string>> KonfigWerte(const Konfiguration& k);

// Reads "Vokarium.cfg" of `verzeichnis` afresh (earlier settings are
// forgotten) and, when it names a base directory, the user list. false when
// the location holds no valid configuration.
// State: konfiguration() (writes).
bool KonfigurationUndBenutzerLesen(const std::string& verzeichnis);

// --- unattended start ----------------------------------------------------

enum class AutoStart {
  nichts,       // nothing opens, the window stays
  offeneWorte,  // collect every ".ben" and open the pool word list
  wortliste,    // open the user's ".ben"
  beenden,      // close the main window, which ends the program
};

// What the unattended mode opens, from the files of the pool folder. With a
// user, WortlistenDatei becomes his ".ben" for the rest of the run.
// `pruefen` (Vokarium): an empty file ends the run too, and both endings
// are traced; without it (vkPflege) only a missing file ends it.
// State: poolZustand() (reads), konfiguration() (reads and writes).
AutoStart AutomatikEntscheiden(bool mitBenutzer, std::string_view benutzer, bool pruefen);

// --- collecting the members' new words -----------------------------------

// The claim name of a ".ben" file: unique in the folder, never a name the
// helper or the server writes.
std::string BenClaimPfad(std::string_view benPfad, int nummer);

// The ".ben" file a claim was made from (the claim's own path otherwise).
std::string BenVonClaim(std::string_view claim);

// Appends every ".ben" file of the pool folder (names ending exactly in
// ".ben"; lines of at least 2 characters that are words, wortpruefung.h;
// the others are reported per file) to the pool word list, with the
// claims a run that died left behind. Each file is first claimed under its
// lock (renamed), and the claims are deleted only after the word list was
// written and flushed; when it cannot be written nothing is deleted and the
// claims wait for the next run. `traceJeDatei`: "AppendTextFile" per file.
// The caller holds the pool lock.
bool BenDateienSammeln(bool traceJeDatei);

// --- shortcuts ---------------------------------------------------------------

// The icon index after `index` for the next "VokariumLink" of vkPflege:
// 2 .. 9, then 2 again (also from 0).
int NaechsterSymbolIndex(int index);

}  // namespace vk
