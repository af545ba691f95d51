// The server's settings (`ServerOptionen`): built-in defaults, the command
// line (with response files), the INI file "Vokarium.ini" and the registry
// value of the last chosen base directory; the client configuration file
// "Vokarium.cfg" that publishes them; the single-instance lock
// "vkZentrale.lck". Wrong options stop with exit code 16, unusable settings
// with exit code 8 (through the log). Clients read "Vokarium.cfg" at any
// time, so it is replaced whole; a second server on the same target
// directory is kept out by the lock file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrale {

struct ServerOptionen {
  std::vector<std::string> argumente;  // command line, cp1252, without the program
  std::string basisVerzeichnis;
  std::string zielVerzeichnis;
  std::string wortlistenDatei = "Worte.dat";
  std::string gesamtWortlistenDatei = "AlleWorte.dat";
  std::string benutzerlistenDatei = "Benutzer.dat";
  std::string internBenutzerliste = "BenIntern.dat";
  std::string cfgDatei = "Vokarium.cfg";
  std::string clBasisVerzeichnis;
  std::string clZielVerzeichnis;
  std::string vocDatei = "vocdelta.dat";
  std::string generalVoc = "general.voc";
  std::string neuWorteTextdatei = "neuWorte.txt";
  std::string loeWorteTextdatei = "loeWorte.txt";
  unsigned pause = 10;
  std::string endzeit;
  int endzeitHHMM = 0;
  bool einzelTest = false;
  bool nichtLoeschen = false;
  bool mitTrigger = true;
  std::string triggerName = "Trigger\\*.trg";
  std::string triggerVerzeichnis;
  unsigned debug = 0;
  std::string iniDatei;
  bool alsDienst = false;
  bool basisFragen = false;
  bool verbose = false;
  bool trace = false;
};

ServerOptionen& optionen();
void optionenZuruecksetzen();

// Parses optionen().argumente (response file included) into the record.
// A wrong option logs "unzulaessige Option" and stops with code 16.
// State: optionen() (reads and writes).
void OptionenLesen();

// Settles the whole record from all sources, prepares the target and
// trigger folders and ends with KonfigurationSchreiben.
// State: optionen() (reads and writes), protokoll() (writes).
void KonfigurationLesen();

// Writes the client configuration file; failure is an error line only.
// State: optionen() (reads).
void KonfigurationSchreiben();

// Reads the registry value of the last chosen base directory into the
// record when it is there (a string value only).
// State: optionen() (writes).
void BasisAusRegistry();

// The base directory the dialog chose: into the record and the registry.
// State: optionen() (writes).
void BasisverzeichnisMerken(const std::string& verzeichnis);

// The folder (with "\") of a path the user gave for the base directory: a
// folder as it is, or the folder of an existing file in it (e.g.
// "Benutzer.dat"); "" when it names neither or is no full path.
std::string BasisAusAngabe(std::string_view angabe);

// The dialog's fixed texts, shared by the window and the terminal form.
extern const char* const kFrageTitel;
extern const char* const kFrageText;
extern const char* const kFrageGruppe;
extern const char* const kFrageDateiTitel;
extern const char* const kFrageFilter;

// HHMM of an end time text, or a value above 2350 when it is unusable.
int EndzeitWert(std::string_view text);

// State: optionen() (reads), the server lock (writes).
void ServerSperreNehmen();
// State: the server lock (writes).
void ServerSperreFreigeben();

// Name of the service this INI file belongs to: "vkZentrale." + its name
// without folder and extension.
std::string DienstName(std::string_view iniDatei);

}  // namespace zentrale
