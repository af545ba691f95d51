// The command line of vkHelfer: options "-" + one letter, each followed by
// at most one blank and a value (quoted, or up to the next blank). Pure
// text handling, no files and no other program involved; a malformed line
// never fails, it only yields fewer options (an unclosed quote ends the
// parse there and drops that option).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace helfer {

// What the command line asks for. Names are empty when not given.
struct HelferOptionen {
  std::string pool;                 // -p
  std::string user;                 // -u
  std::string topic;                // -t
  int option = -1;                  // -G, -1: open the user without an option
  bool hauptprogrammAmEnde = true;  // cleared by -E
  bool nurStarten = false;          // -e
};

// Reads the whole command line (as one string, as the program received it).
HelferOptionen BefehlszeileLesen(std::string_view zeile);

// The program's arguments as one command line, as the helper would receive
// it whole: an argument holding a blank (and no quote), or an empty one,
// is put in double quotes so that it stays one value.
std::string BefehlszeileAusArgumenten(const std::vector<std::string>& argumente);

// Numeric value of a text the way the option "-G" takes it: its leading
// number rounded half to even; no number gives 0. A value outside the
// 32-bit range gives `fallback`.
int ZahlAusText(std::string_view text, int fallback);

}  // namespace helfer
