// The pool file operations of the clients: the pool lock "Sperre.lck", the
// one output text file and the ways it is opened, moved into place and
// backed up, the word sets of the word list editor, the own-words file and
// the user list. Paths are built by plain concatenation from the settings
// of "Vokarium.cfg" (ZielVerzeichnis + pool + ...).
// Failures are reported to the user (Fehlermeldung with the texts 25xx,
// 863, 2102) before a function returns false; nothing is retried except the
// lock, where the user decides (Retry/Cancel, no time limit).
// Other programs: clients on other workstations and the pool server touch
// the same pool folder; exclusion rests only on "Sperre.lck" being held
// open and on the server appending to member files under their own lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/shared_file.h"

namespace vk {

// --- keys without regard to case ------------------------------------------
// Keyed collections of the clients compare without regard to case, with
// the cp1252 letters (Ä/ä, ...) folded as well.

unsigned char grossKlein(unsigned char c);  // lower-case fold of one byte
bool gleichOhneFall(std::string_view a, std::string_view b);

struct SchluesselHash {
  using is_transparent = void;
  // Not noexcept on purpose: the standard sets then keep each element's hash
  // and compare it before the (longer) comparison without case.
  std::size_t operator()(std::string_view s) const;
};
struct SchluesselGleich {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept {
    return gleichOhneFall(a, b);
  }
};

// Keyed set without order (BenWorte, Vergleichsworte).
class Wortmenge {
 public:
  bool hinzufuegen(std::string_view wort);  // false when the key is present
  bool enthaelt(std::string_view wort) const;
  bool entfernen(std::string_view wort);
  std::size_t anzahl() const { return menge_.size(); }
  void leeren() { menge_.clear(); }
  void reservieren(std::size_t n) { menge_.reserve(n); }
  const std::unordered_set<std::string, SchluesselHash, SchluesselGleich>& elemente() const {
    return menge_;
  }

 private:
  std::unordered_set<std::string, SchluesselHash, SchluesselGleich> menge_;
};

// Keyed set that keeps the order of adding (Markierte, LoeschListe).
class GeordneteWortmenge {
 public:
  bool hinzufuegen(std::string_view wort);
  bool enthaelt(std::string_view wort) const;
  bool entfernen(std::string_view wort);
  std::size_t anzahl() const { return liste_.size(); }
  void leeren();
  const std::list<std::string>& elemente() const { return liste_; }

 private:
  std::list<std::string> liste_;
  std::unordered_map<std::string_view, std::list<std::string>::iterator, SchluesselHash,
                     SchluesselGleich>
      index_;
};

// One record of the user list.
struct Benutzereintrag {
  std::string pool;
  std::string benutzer;
  std::string unterverzeichnis;  // "current\" + the topic's folder
  std::string thema;
};

// Process state of the pool file operations (one per program).
struct PoolZustand {
  // The current pool P and user U, and whether the program runs unattended
  // (a pool or user came on the command line).
  std::string Pool;
  std::string Benutzer;
  bool Automatikbetrieb = false;

  plat::SharedFile ausgabe;  // the one output text file
  std::string ausgabePfad;
  bool ausgabeOffen = false;
  std::string puffer;  // lines not yet written

  plat::SharedFile sperre;  // the held pool lock
  std::string sperrPfad;

  Wortmenge BenWorte;
  std::optional<GeordneteWortmenge> LoeschListe;  // none until first use
  GeordneteWortmenge Markierte;
  Wortmenge Vergleichsworte;

  // The user list as BenutzerLesen read it.
  std::vector<std::string> Pools;              // each once, in order of first appearance
  std::vector<Benutzereintrag> Benutzerliste;  // each user + topic once
};
PoolZustand& poolZustand();
// Closes output and lock without deleting anything, empties everything.
void poolZustandZuruecksetzen();

// --- paths ---------------------------------------------------------------

// State: poolZustand(), konfiguration() (reads), every path down to SicherungsPfad (some
// through PoolVerzeichnis).
std::string PoolVerzeichnis();   // Z + P
std::string SperrPfad();         // Z P "\Sperre.lck"
std::string GesamtlistenPfad();  // Z P "\" GesamtWortlistenDatei
std::string WortlistenPfad();    // Z P "\" WortlistenDatei
std::string NeuWortePfad();      // Z P neuWorteTextdatei
std::string LoeWortePfad();      // Z P loeWorteTextdatei
std::string BenutzerDateiPfad(std::string_view benutzer,
                              std::string_view endung);  // Z P "\_" U endung
std::string SicherungsPfad();                            // Z P "\AlleWorte.bak"
// State: konfiguration() (reads).
std::string BenutzerlistenPfad();  // Z BenutzerlistenDatei

// Vocabulary-fix marker of a Dragon topic: Z P "\" + first 8 characters of
// the topic, trimmed, blanks as "_", + "_vok.fix".
std::string VokFixDatei(std::string_view vokabular);
bool VokFixDateiVorhanden(std::string_view vokabular);

// Backup name of a list file: an ending ".txt" or ".dat" (in any case)
// replaced by ".bak", any other name with ".bak" added, so every name has
// a backup beside it and never is its own.
std::string Sicherungsname(std::string_view ziel);

// A word line: written form, or written form "\" spoken form, both trimmed.
std::string Wortzeile(std::string_view schreibform, std::string_view sprachform);

// --- word files --------------------------------------------------------------

// Opens a word file of the pool folder (a user's ".ben", ".neu", ".loe",
// their claims, the word list for review) without sharing. Another program
// holds such a file only for one append (the server retries 7 x 200 ms
// itself); waiting as long lets that append pass.
plat::Err WortdateiOeffnen(plat::SharedFile& f, const std::string& pfad,
                           plat::Disposition disposition);

// --- lock ------------------------------------------------------------------

// Takes the lock of pool P; a held lock asks question 2501 (Retry/Cancel,
// no time limit). Outside Automatikbetrieb LoeschListe is dropped first.
// State: poolZustand() (reads and writes).
bool SperreSetzen();
// State: poolZustand() (reads and writes).
void SperreLoesen();

// --- the output file --------------------------------------------------------

// State: poolZustand() (reads and writes).
bool AusgabeAnlegen(bool temporaer);  // temp file, or the new-words text
// State: poolZustand() (reads and writes).
bool AusgabeAnhaengen(bool geloescht);  // deleted-words or new-words text
// State: poolZustand() (reads and writes).
bool AppendPool();  // the pool total word list
// State: poolZustand() (reads and writes).
bool AppendBen(std::string_view benutzer, bool geloescht);  // "_" U ".loe" / ".neu"
// State: poolZustand() (reads and writes).
void ZeileSchreiben(std::string_view text);
void AlleSchreiben(const std::vector<std::string>& zeilen);
void AlleSchreiben(const GeordneteWortmenge& menge);
// State: poolZustand() (reads and writes).
bool AusgabeSchliessen();
// State: poolZustand() (reads).
bool AusgabeUmbenennen(std::string_view ziel);
// State: poolZustand() (reads).
bool MitSicherungErsetzen(std::string_view ziel);
// State: poolZustand() (reads).
bool GesamtlisteSichern();
bool CopyPool(std::string_view ziel);
bool NeubenutzerKopie(std::string_view benutzer);
bool WortlisteLoeschen();

// --- word sets ---------------------------------------------------------------

// Adds every trimmed non-empty line of an own-words file to BenWorte
// (nothing when the file does not exist).
// State: poolZustand() (reads and writes).
bool BenDateiEinlesen(std::string_view pfad);

// LoeschListe (created on first use): written form + "\" + trimmed spoken
// form, or the written form alone.
// State: poolZustand() (reads and writes).
bool LoeschListeHinzufuegen(std::string_view schreibform, std::string_view sprachform);
// State: poolZustand() (reads and writes).
void LoeschListeVerwerfen();

// Markierte: one item, or all in order, into the output file.
void MarkierteSchreiben(std::string_view wort);
// State: poolZustand() (reads).
void AlleMarkiertenSchreiben();

// --- user list ---------------------------------------------------------------

// Splits one user-list line (at most four fields, the fourth keeps further
// tabs).
Benutzereintrag BenutzerZeileTeilen(std::string_view zeile);

// Reads Z + BenutzerlistenDatei into Pools and Benutzerliste (replacing
// them). false when the file cannot be read (text 2102).
// State: poolZustand() (reads and writes).
bool BenutzerLesen();

}  // namespace vk
