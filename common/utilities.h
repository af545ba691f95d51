// Small services of the clients: the wait indication over a window, starting
// other programs (with or without waiting), the workstation name, the
// program folder, desktop shortcuts that start vkHelfer, splitting a path,
// and letting window events run during long loops.
// Failures: a missing program is shown (text 862), a failed start or a
// non-zero exit code is reported (text 959); a shortcut that cannot be
// written is reported (text 2574). Nothing here touches pool files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QWidget;

namespace vk {

// State of this module (one per program).
struct UtilitiesZustand {
  std::string kommandozeile;        // the program's arguments, one line
  std::string programmverzeichnis;  // "" = the real program folder
  std::string rechnername;          // cached workstation name
};
UtilitiesZustand& utilitiesZustand();
void utilitiesZuruecksetzen();

// Keeps the program's argument line (argv[1..], blanks between, arguments
// with blanks in double quotes). Called first by each program's main().
// State: utilitiesZustand() (reads and writes).
void ProgrammAnmelden(int argc, char** argv);
// State: utilitiesZustand() (reads).
const std::string& Kommandozeile();

// Folder of the program, system form, with trailing "\".
// State: utilitiesZustand() (reads).
std::string Programmverzeichnis();
// Replaces the program folder (tests; "" = the real one).
// State: utilitiesZustand() (reads and writes).
void ProgrammverzeichnisSetzen(std::string_view ordner);

// Terminal-server client name, else the computer name (traced once).
// State: utilitiesZustand() (reads and writes).
std::string RechnerName();

// Lets pending window events run (no-op without an application object or
// without the window part; defined with the screen hand-over in meldung).
// State: the installed screen of common/meldung (reads).
void EreignisseVerarbeiten();

// Wait form and wait cursor over `form` (start) or removes both (end);
// window part (common/form_warten.cpp).
// State: the wait form's record (reads and writes).
void WartenBitte(QWidget* form, bool start);

// Starts `programm` (system form) with the argument line `argumente`. With
// `warten`, waits for its end and succeeds only for exit code 0.
bool Starten(std::string_view programm, bool sichtbar, std::string_view argumente, bool warten);
bool StartenUndWarten(std::string_view programm, std::string_view argumente);

// The desktop shortcut that starts vkHelfer for a user.
struct Verknuepfung {
  std::string dateiname;  // "Meier Chirurgie (5).desktop"
  std::string argumente;  // "-u "Meier" -p "Chirurgie" -G 5"
  std::string beschreibung;
};
// Name, arguments and description; sprecherOption -1 = none.
Verknuepfung VerknuepfungBilden(std::string_view benutzer, std::string_view thema,
                                std::string_view pool, std::int32_t sprecherOption);
// Writes it to the desktop (target Programmverzeichnis + "vkHelfer.exe").
bool VerknuepfungAnlegen(std::string_view benutzer, std::string_view thema, std::string_view pool,
                         int symbolIndex, std::int32_t sprecherOption);

// Splits `pfad` at its last "\" from the second character on: `ordner`
// gets the part up to and including it, `pfad` keeps the rest. Without such
// a "\" both stay as they are.
void PfadTeilen(std::string& pfad, std::string& ordner);

}  // namespace vk
