// The word list editor without its window: the rows of one list, how each
// kind of list is built from its file (or from the recognizer), the spoken
// form made for words written in capitals, checking, removing, editing and
// searching rows, and what "Speichern" and "Uebernehmen" write into the
// pool files. No Qt header here: the window (form_wortliste.h) only shows
// these rows and calls these operations. Every row is a word
// (common/wortpruefung.h): lines that are none get no row (reported), and
// an edit that would make a row none is refused.
// Failures are reported to the user (common error report) before an
// operation returns false. A file held by another program is tried again
// as often as the take-over allows; then the user decides (Retry/Cancel).
// Other programs: members' take-overs append to the pool total list and the
// new-words text at any time without the pool lock, the server claims and
// deletes the pool texts; so the total list is only ever replaced whole,
// under its own lock, with every line appended since it was read, and the
// pool texts are only appended to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/dragon_voctools.h"
#include "main/editor/auftrag.h"

namespace vk {

// One row of the list: its check box and the word's two forms as shown.
struct Eintrag {
  std::string geschrieben;
  std::string gesprochen;
  bool angehakt = true;
  bool geaendert = false;  // changed by the user in this editor
};

// The state of the editor (one per program; one editor is open at a time).
struct EditorZustand {
  Listenauftrag auftrag;
  Listenart art = Listenart::Neuworte;
  std::string listenPfad;
  std::vector<Eintrag> zeilen;  // in the order shown
  std::int64_t Markierzaehler = 0;
  bool baut = false;  // a build runs

  // Wartung: the distinct lines of the total list in file order (BenWorte
  // holds them as a set).
  std::vector<std::string> dateiZeilen;

  // What the last build read of the list file: its length and a hash of
  // those bytes. A rewrite of the total list keeps what came after them.
  std::int64_t gelesenLaenge = -1;
  std::uint64_t gelesenPruefsumme = 0;

  // Appending during a take-over: attempts per round and pause between two.
  int versucheGesamtliste = 100;
  int versucheNeuWorte = 10;
  int pauseMs = 200;
};
EditorZustand& editorZustand();
void editorZustandZuruecksetzen();

// --- rows and notations --------------------------------------------------

// The spoken form spelled out for a word written with capitals ("EDV-Anlage"
// gives "E. D. V. Anlage "); empty for ordinary words.
std::string Buchstabierform(std::string_view geschrieben);

// Splits a word line at its first "\" (the spoken part keeps any further
// "\"); nothing is trimmed.
void ZeileTeilen(std::string_view zeile, std::string& geschrieben, std::string& gesprochen);

// Trimmed written form, "\" and trimmed spoken form when that is not empty.
std::string Dateinotation(const Eintrag& e);

// The form of a word line that lines are compared in (each part trimmed).
std::string Normalform(std::string_view zeile);

// --- building ---------------------------------------------------------------

// Sets kind and list file path from the order in editorZustand().auftrag.
// State: poolZustand(), konfiguration() (reads), editorZustand() (reads and writes).
void ListeVorbereiten();

// Empties the rows and builds them for the kind; false when the list file
// could not be read (reported). The caller sorts and shows.
// State: poolZustand() (writes), editorZustand() (reads and writes).
bool ListeErstellen();

// State: konfiguration() (reads), editorZustand() (reads and writes).
bool ListeAufbauen();
// State: poolZustand() (reads and writes), editorZustand() (reads and writes).
bool DiffListeAufbauen();
// State: poolZustand() (reads), editorZustand() (reads and writes).
bool BenListeAufbauen();

// --- editing -------------------------------------------------------------------

// Checks (an) or unchecks the rows at these positions.
void Markieren(const std::vector<std::size_t>& positionen, bool an);

// Check box of one row set by the user.
// State: editorZustand() (reads and writes).
void HakenSetzen(std::size_t position, bool an);

// Removes the rows at these positions (each recorded in LoeschListe).
// State: editorZustand() (reads and writes).
void Entfernen(std::vector<std::size_t> positionen);

// Puts the edit buffer back into a row; a change records the old entry in
// LoeschListe. True when something changed; a change that makes the row no
// word (wortpruefung.h) is refused with a message and changes nothing.
// State: editorZustand() (reads and writes).
bool ZeileAendern(std::size_t position, const std::string& geschrieben,
                  const std::string& gesprochen);

// First row from row `ab`, in the order shown, whose written form starts
// with `anfang` (trimmed; case-free, umlauts too); -1 without a match or for
// an empty text.
// State: editorZustand() (reads).
std::ptrdiff_t Suchen(std::string_view anfang, std::size_t ab = 0);

// --- saving and take-over ------------------------------------------------------

// State: poolZustand(), editorZustand() (reads).
bool ListeSpeichern();
// State: poolZustand(), editorZustand() (reads and writes).
bool ListeUebernehmen();

// Drops from LoeschListe every entry that a row still shows: a word the
// user changed back, or changed in its blanks only, stays where it is.
// State: poolZustand() (reads and writes), editorZustand() (reads).
void LoeschListeBereinigen();

// Anwender and a user's Neuworte: the new forms of the unchecked rows the
// user changed take the old forms' place in his vocabulary (their old
// forms leave it through LoeschListe; checked rows come back through the
// pool): added to the recognizer while its tools are open, else (or when
// that fails) appended to his own ".neu" for his helper to add.
// State: poolZustand() (reads), editorZustand() (reads).
void ErsetzteWoerterAufnehmen(bool toolsOffen);

// Whether the shown file still starts with exactly what the build read of
// it (lines may have been appended since). False when it is gone, cannot
// be read or was replaced: then nothing of it is known to be shown. True
// while another program holds it (an append in progress).
// State: editorZustand() (reads).
bool GelesenesUnveraendert();

// The common take-over of the checked rows. `mitGesamtliste` false leaves
// the total list out (it was rebuilt with them already). True when the
// words reached every pool file (and the word list file was deleted).
// State: poolZustand(), editorZustand() (reads).
bool WorteUebernehmen(bool mitGesamtliste);

// The checked rows in file notation, in the order shown.
// State: editorZustand() (reads).
std::vector<std::string> AngehakteZeilen();

}  // namespace vk
