// The user list: "Benutzer.dat" in the base directory (written by the
// administration program) is read into the `Benutzertabelle` and the
// `Pooltabelle`; pool folders are created; "BenIntern.dat" in the target
// directory is the copy the clients read. A line whose names would lead
// outside the target directory, or whose field is too long, is refused with
// an error line and left out of both tables and of "BenIntern.dat".
// Clients read "BenIntern.dat" at any time, so it is replaced whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zentrale {

struct BenutzerEintrag {
  std::string pool;
  std::string benutzer;
  std::string unterverzeichnis;
  std::string thema;
};

constexpr std::size_t kMaxPools = 127;

struct Tabellen {
  std::vector<BenutzerEintrag> benutzer;  // file order
  std::vector<std::string> pools;         // order of first appearance
};

Tabellen& tabellen();
void TabellenZuruecksetzen();

enum class ZeilenFehler { keiner, unzulaessigerName, feldZuLang };

// Splits one user list line into its four fields: blanks at the start of a
// field are dropped; a field starting with a quote runs to the matching
// quote (two in a row stand for one); fields beyond the fourth are dropped.
// Checks the names and the field limits.
ZeilenFehler BenutzerZeileZerlegen(std::string_view zeile, BenutzerEintrag& eintrag);

// State: optionen() (reads), tabellen() (reads and writes).
void BenutzerlisteLesen();
// State: optionen(), tabellen() (reads).
void BenutzerlisteSchreiben();

}  // namespace zentrale
