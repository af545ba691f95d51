// The server as a system service: registration writes a systemd unit named
// after the service ("vkZentrale." + INI name + ".service") into the unit
// folder ($VOKARIUM_UNIT_DIR, else /etc/systemd/system) whose ExecStart is
// the server with "/SERVICE" and its INI file; unregistration deletes it.
// The service run logs to "<service name>.log" beside the program; SIGTERM
// is the stop control, SIGPWR the shutdown control. Failures stop with the
// service error texts (exit code 8). Nothing else writes these files.
#pragma once

#include <string>

namespace zentrale {

// The INI file of the settings as an absolute path (system form).
// State: optionen() (reads).
std::string IniVollerPfad();

// The command line the unit starts (native form, quoted for the unit).
std::string DienstBefehlszeile();

// Folder of the unit files (system form, with "\").
std::string UnitVerzeichnis();

// State: optionen() (reads).
void DienstRegistrieren();
// State: optionen() (reads).
void DienstEntfernen();

// Runs the server as the service until a stop control or a fatal stop.
// State: optionen() (reads and writes), stopAnforderung() (reads).
void DienstLauf();

// Fatal stop for a failed service step with its Windows error code.
[[noreturn]] void DienstFehler(const std::string& schritt, int code);

}  // namespace zentrale
