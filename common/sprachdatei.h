// The option "--sprachdatei" of every client program with windows: it
// loads the texts as the program would at start, prints which language file
// that was and how many texts it holds, and ends. So an installation can be
// checked without a screen and without starting the program's work.
// Failures: without a usable language file the missing-file report goes to
// standard error (no window exists yet) and the exit code is 1. Only reads
// the language files beside the program; touches no pool file.
#pragma once

#include <optional>

namespace vk {

// When the only argument is "--sprachdatei": prints the native path of the
// language file and the number of its texts on standard output and returns
// the exit code (0 when texts were loaded). Otherwise returns nothing and
// the program starts as usual. Call it first in main(), before the
// QApplication exists, so no box can wait for an answer.
// State: texteZustand() (reads).
std::optional<int> SprachdateiAbfrage(int argc, char** argv);

}  // namespace vk
