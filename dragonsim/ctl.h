// The control command line of the running recognizer (natspeak --ctl ...):
// sends one request over the socket and prints the answer. Arguments come
// in the terminal's UTF-8 and travel as cp1252; answers are printed as
// UTF-8. Exit code 0 on success, 1 when the recognizer refused the request,
// 2 when it does not answer, 3 on a wrong command line.
#pragma once

#include <string>
#include <vector>

namespace natspeak {

int runCtl(const std::vector<std::string>& args);

}  // namespace natspeak
