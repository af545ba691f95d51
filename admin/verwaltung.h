// The administration of users and pools behind the window of vkVerwalter:
// the rows (pool, user, topic, topic folder), the row keys, the pool choice
// list, the current pool, the sort order, the checks before saving and the
// writer of the user list. Free of Qt; the window shows what this module
// reports through the hooks of its state record.
// Failures are reported through the hooks (text number and value) and the
// procedure returns false; nothing is retried.
// The user list is read by the pool server after an administrative trigger;
// it is replaced whole under a temporary name, so the server never reads
// half a list.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/poolfiles.h"
#include "platform/error.h"

namespace admin {

// Pool of a row the administrator has not assigned yet.
inline constexpr std::string_view kOhnePool = "  ?";

// Longest pool name the pool server keeps.
inline constexpr std::size_t kPoolMaxLaenge = 31;

// Text numbers of this module's messages.
namespace txt {
inline constexpr int kOrdnerNichtAngelegt = 865;  // folder cannot be created
inline constexpr int kPoolZuLang = 866;
inline constexpr int kDateiNichtLesbar = 2102;  // user list or topic list
inline constexpr int kTopicOrdnerFehlt = 2103;
inline constexpr int kOhneZuordnung = 2104;
inline constexpr int kOhneZuordnungTun = 2197;  // what to do about it
inline constexpr int kNichtGefunden = 2105;
inline constexpr int kDoppeltImPool = 2106;
inline constexpr int kDoppeltTopic = 2107;
inline constexpr int kDoppeltOrdner = 2108;
inline constexpr int kNichtGeschrieben = 2109;
inline constexpr int kPoolUnzulaessig = 2110;  // separator, "..", control char
// The server drops blanks at a field's start and reads a field starting
// with a quote up to the matching quote: such names would reach it changed.
inline constexpr int kPoolAnfang = 2115;  // pool starts with a quote or blank
inline constexpr int kNameAnfang = 2116;  // user, topic or folder likewise
}  // namespace txt

// One row of the list; the members are in column order.
struct Zeile {
  std::string pool;
  std::string user;
  std::string topic;
  std::string folder;  // "current\" + the topic's folder
};

enum class Spalte { pool = 0, user = 1, topic = 2, folder = 3 };

// The text of a row in one column.
const std::string& spaltenText(const Zeile& z, Spalte s);

// Keyed sets of names compare without regard to case.
using SchluesselMenge = std::unordered_set<std::string, vk::SchluesselHash, vk::SchluesselGleich>;

// What the procedures tell the user or the trace. The window routes these
// to the common message module and trace; tests record them.
struct Rueckmeldung {
  // A message box with text `textNr` and `wert` put in at its "@".
  std::function<void(int textNr, const std::string& wert)> meldung;
  // An error report: the failure, text `textNr` with `wert` as context.
  std::function<void(plat::Err fehler, int textNr, const std::string& wert)> fehler;
  // A trace line: label and value.
  std::function<void(const std::string& label, const std::string& wert)> trace;
};

// Process-wide state of the administration.
struct Verwaltung {
  std::vector<Zeile> zeilen;           // in display order
  SchluesselMenge schluessel;          // user + "|" + topic
  std::vector<std::string> poolListe;  // the choice list, in order of arrival
  SchluesselMenge poolMenge;
  std::string aktuellerPool;
  std::string speicherort;  // ends with "\" unless empty
  std::string dateiName = "Benutzer.dat";
  Spalte sortSpalte = Spalte::pool;
  bool absteigend = false;
  Rueckmeldung rueckmeldung;
};

Verwaltung& verwaltung();

// Report through the hooks; a hook not set drops the report.
// State: verwaltung() (reads).
void melden(int textNr, const std::string& wert);
// State: verwaltung() (reads).
void fehlerMelden(plat::Err fehler, int textNr, const std::string& wert);
// State: verwaltung() (reads).
void tracen(const std::string& label, const std::string& wert);

// Back to the state at program start (hooks included).
void verwaltungZuruecksetzen();

// The user list file: Speicherort + file name.
// State: verwaltung() (reads).
std::string benutzerlistenPfad();

// "LastDirectory": Speicherort + "Vokarium\".
// State: verwaltung() (reads).
std::string konfigVerzeichnis();

// Adds a row unless the user-topic pair has one; a pool that does not begin
// with a blank joins the choice list. An empty pool adds nothing.
// State: verwaltung() (reads and writes).
void ZeileAufnehmen(const std::string& pool, const std::string& user, const std::string& folder,
                    const std::string& topic);

// Reads the user list into the rows. A missing file gives an empty list
// quietly; an unreadable one is reported (2102) and gives false.
// State: verwaltung() (reads and writes).
bool BenutzerlistenLesen();

// Why a pool name cannot be assigned or saved: 0 when it can, else the
// text number (too long, unsafe as a folder name).
int poolFehler(std::string_view pool);

// Takes over the text of the pool choice as the current pool. A name that
// is too long or unsafe is reported and refused (false); a new name that
// does not begin with a blank joins the choice list.
// State: verwaltung() (reads and writes).
bool PoolUebernehmen(const std::string& text);

// Gives the current pool to the rows `auswahl` (indices in display order)
// and sorts again. False when the current pool may not be assigned.
// State: verwaltung() (reads and writes).
bool PoolZuweisen(const std::vector<std::size_t>& auswahl);

// Removes the rows `auswahl` with their keys.
// State: verwaltung() (reads and writes).
void Entfernen(const std::vector<std::size_t>& auswahl);

// Sorts the rows by the sort column in German order, letter case aside
// (stable: equal texts keep their order).
// State: verwaltung() (reads and writes).
void Sortieren();

// A click on a column header: a second click on the sort column reverses
// the order.
// State: verwaltung() (reads and writes).
void SpalteGeklickt(Spalte s);

// The first failing check of the rows against the register of users found
// on disk: text number, value for its "@" and the rows to select.
struct Pruefung {
  int textNr = 0;
  std::string wert;
  std::vector<std::size_t> zeilen;
};

// Checks the rows in display order. `gefunden` answers whether the disk
// holds user + topic with exactly this folder.
// State: verwaltung() (reads).
Pruefung ZeilenPruefen(const std::function<bool(const std::string& user, const std::string& folder,
                                                const std::string& topic)>& gefunden);

// The user list as written: one line per row in display order.
// State: verwaltung() (reads).
std::string benutzerlistenText();

// Searches the disk in register mode, checks the rows and writes the user
// list. On a failed check its message is shown and `markieren` names the
// rows to select; a failed write is reported (2109). True when written.
// State: verwaltung() (reads).
bool BenutzerlisteSpeichern(std::vector<std::size_t>& markieren);

// Makes the Speicherort current: empties the rows and keys, records it in both
// registry hives, creates "Vokarium\" and "Vokarium\Trigger\" below it and
// reads the user list. An empty Speicherort only empties the rows.
// State: verwaltung() (reads and writes).
void SpeicherortSetzen(const std::string& speicherort);

// Another user list file was picked: its folder becomes the Speicherort
// (the choice list keeps its pools).
// State: verwaltung() (writes).
void DateiGewaehlt(const std::string& ordner, const std::string& dateiName);

}  // namespace admin
