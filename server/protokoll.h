// The server's log (Protokoll) and its optional trace. The log goes either
// to the text window (a sink the program entry installs: a Qt window or the
// terminal) or to the service's log file, which this module holds open
// without sharing for the whole run. Every text is cp1252; the file gets
// CR LF line ends, the window sink receives the same bytes and converts them
// for display. A fatal stop throws `Abbruch`, which the program entry turns
// into the process exit code after showing the `Abbruchmeldung`. Text the
// log file refuses (disk full, I/O error) goes to stderr and the window sink
// instead, announced once with the error.
// The log file belongs to this process alone; other programs only read it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/shared_file.h"

namespace zentrale {

// Thrown by the stop operations of the log; carries the exit code (8 fatal,
// 16 wrong option). The error is already logged when it is thrown.
struct Abbruch {
  int code = 8;
};

enum class LogKanal { fenster, datei };

struct Protokoll {
  LogKanal kanal = LogKanal::fenster;
  // Receives window text (cp1252, "\r\n" line ends). Empty: dropped.
  std::function<void(std::string_view)> fenster;
  // Called with the start banner when the log goes to the window: the
  // window sets its icons then. Empty: nothing to do.
  std::function<void()> beimStartBanner;
  plat::SharedFile datei;
  std::string abbruchmeldung;        // at most 511 characters
  bool dateiFehlerGemeldet = false;  // a failed write to the file was announced
  bool verbose = false;
  bool traceAn = false;
};

Protokoll& protokoll();
void protokollZuruecksetzen();

// Makes `pfad` the log channel: opened without sharing, created when
// missing, positioned at its end. A held file is retried every 100 ms up to
// 1000 times; failure switches back to the window and stops fatally.
// State: protokoll() (writes).
void logDateiOeffnen(const std::string& pfad);
// State: protokoll() (writes).
void logDateiSchliessen();

// State: protokoll() (reads and writes).
void logText(std::string_view text);
// State: protokoll() (reads and writes).
void logNeueZeile();
// State: protokoll() (reads and writes).
void logZahl(long long zahl);
// State: protokoll() (reads and writes).
void logZeitstempel();
// The start banner: a new line, "qmt   VokariumServer   5.0", a new line.
// State: protokoll() (reads).
void logStartBanner();
// A new line with the time stamp and `text` (report line).
void logMeldung(std::string_view text);
// State: protokoll() (reads and writes).
void logFehler(std::string_view meldung);
// The name is shown with its control characters escaped (sichtbar).
// State: protokoll() (reads and writes).
void logFehlerName(std::string_view meldung, std::string_view name);

// `text` with every control character shown as "\xNN", so what comes from
// a file (a workstation line, a file name) never reaches the log raw.
std::string sichtbar(std::string_view text);
[[noreturn]] void fatal(std::string_view meldung);
[[noreturn]] void fatalName(std::string_view meldung, std::string_view name);
[[noreturn]] void stopMitCode(int code);

// "05.12.26, 18:05  "
std::string zeitstempel(const plat::LocalTime& t);

// Switches the trace on (looks for the viewer once).
// State: protokoll() (writes).
void traceEin();
// State: protokoll() (reads), each of the three.
void trace(std::string_view text);
void trace(std::string_view label, std::string_view wert);
void trace(std::string_view label, long long zahl);

// One trace line as the viewer receives it.
std::string traceZeile(std::string_view text, const plat::LocalTime& t, std::uint32_t tick);

}  // namespace zentrale
