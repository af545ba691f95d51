// Machine, user and process services of the OS layer: workstation name,
// default language, special folders, program start, desktop launchers and
// small time helpers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace plat {

// $CLIENTNAME when set and not empty (terminal-server client), else the
// host name; at most 64 characters, cp1252.
std::string workstationName();

// Primary language id of the user's default language: 0x07 German, 0x0A
// Spanish, 0x0C French, 0x10 Italian, 0x13 Dutch, 0x09 English otherwise.
int defaultLanguageId();

// Roaming application data folder ($XDG_CONFIG_HOME, else ~/.config),
// system form ending with "\".
std::string appDataDirectory();

// Desktop folder as the XDG user directories name it: $XDG_DESKTOP_DIR,
// else XDG_DESKTOP_DIR of $XDG_CONFIG_HOME/user-dirs.dirs ("$HOME/..."
// expanded; a German desktop is "$HOME/Schreibtisch"), else ~/Desktop.
// System form with "\".
std::string desktopDirectory();

// Folder for per-user sockets and locks ($XDG_RUNTIME_DIR, else /tmp),
// native form without a trailing "/".
std::string runtimeDirectory();

void sleepMs(int ms);

// Milliseconds since some fixed point; wraps like the Windows tick count.
std::uint32_t tickCount();

// This process's id (trace lines name their instance by it).
std::int64_t processId();

// Splits a command line as Windows programs receive it: blanks separate,
// a double quote toggles quoting and is dropped.
std::vector<std::string> splitCommandLine(std::string_view line);

struct Process {
  int pid = -1;
};

// The file a program name of the system form stands for here, system form:
// the file found, where "X.exe" is "X" when only that exists; for a missing
// program the name that is really looked for ("X" for "X.exe").
std::string programFile(std::string_view program);

// Starts `program` (system form; a name ending in ".exe" is tried without
// it too) with `args` (cp1252). Does not wait.
Err startProcess(std::string_view program, const std::vector<std::string>& args, Process& p);

enum class ProcessState { running, exited, failed };

// Waits up to `timeoutMs` (0: just look) for the process to end; on
// `exited` exitCode holds its exit code (128 + signal after a signal).
ProcessState waitProcess(Process& p, int timeoutMs, int& exitCode);

// Starts and waits for the end; exitCode as above.
Err runProgram(std::string_view program, const std::vector<std::string>& args, int& exitCode);

// A desktop shortcut, written as a ".desktop" launcher file.
struct DesktopLauncher {
  std::string fileName;    // e.g. "Vokarium Dr. Meier.desktop" (cp1252)
  std::string program;     // system form
  std::string arguments;   // one command-line string, as on Windows
  std::string workingDir;  // system form, may be empty
  std::string icon;        // system form of the icon file, may be empty
  int iconIndex = 0;
  std::string description;  // cp1252
};

// Writes the launcher into folder `dir` (system form), replacing one of the
// same name, and marks it executable.
Err writeDesktopLauncher(std::string_view dir, const DesktopLauncher& link);

}  // namespace plat
