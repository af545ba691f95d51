// The trigger queue and the server's main loop: triggers written by the
// clients into the trigger folder are found (directory watch, with `Pause`
// as the fall-back), evaluated in a pass, and deleted only after the pass,
// so a client that sees its trigger vanish knows the pass is done. A
// broken trigger is set aside as path + ".defekt", a trigger held by its
// writer for 30 s is left for the next scan; neither stops the server.
// Clients publish triggers whole (never an empty file in between) and may
// hold them while writing; only the server deletes them.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace zentrale {

enum class StopArt : int { keine = 0, stop = 1, shutdown = 2 };

struct Schleife {
  std::vector<std::string> triggerliste;
  std::vector<std::string> arbeitsplaetze;  // kept across a restart
  bool restart = false;
  // Pools served in the last pass: served again when a client appended to
  // their texts after the claim and found its trigger still queued.
  std::vector<std::string> nachpruefen;
  // Pools whose claimed text was left by an earlier run.
  std::vector<std::string> liegengeblieben;
  // Pools with a member that keeps a remainder it could not take.
  std::vector<std::string> reste;
  // Triggers whose reading or deleting failed: reported once, looked at
  // again only after a full `Pause`.
  std::vector<std::string> zurueckgestellt;
  int triggerWartezeitMs = 30000;
  int mitgliedVersuche = 7;
  int mitgliedPauseMs = 200;
  // Flush each member file on its own, as on a network drive, even where
  // one flush of the whole file system would do.
  bool jedeDateiFlushen = false;
};

Schleife& schleife();
void schleifeZuruecksetzen();

// Set from a signal handler or another thread; the loop looks after each
// wait. Lock-free, so it may be set from a signal handler.
std::atomic<int>& stopAnforderung();

// State: optionen() (reads), schleife() (reads and writes).
bool TriggerSuchen();

enum class TriggerStand { gelesen, unlesbar, geloescht, beiseite, gehalten };
// State: schleife() (reads and writes), stopAnforderung(), protokoll() (reads).
TriggerStand TriggerLesen(const std::string& pfad);

// State: schleife() (reads and writes), protokoll() (reads).
void TriggerLoeschen();
// State: optionen(), stopAnforderung() (reads), schleife() (writes).
void AufTriggerWarten();
// State: schleife() (writes).
void AdminRestart();

// Loop from reading the user list to the release of the lock.
// State: schleife() (reads and writes), optionen(), tabellen(), stopAnforderung() (reads).
void Hauptroutine();

enum class FrageErgebnis { gewaehlt, ohneWahl, geschlossen, unmoeglich };
// Asks for the base directory; on `gewaehlt` the folder is in the string.
using BasisFrage = std::function<FrageErgebnis(std::string&)>;

// Settles the base directory before the settings are read: the registry
// value, and the question when none is known or option -D asks for it (not
// in a service). A closed question stops with exit code 8.
// State: optionen() (reads).
void BasisKlaeren(const BasisFrage& frage);

// The run after BasisKlaeren: settings, lock and the main routine. Throws
// Abbruch on a stop.
// State: optionen() (reads).
void ServerArbeit();

// The question on a terminal: the dialog's texts, then a folder or the path
// of a file in it. End of input counts as closing the dialog.
FrageErgebnis BasisFrageTerminal(std::istream& ein, std::ostream& aus, std::string& verzeichnis);

}  // namespace zentrale
