// Command-line cases of vkHelfer: how the main program, the desktop
// shortcuts and hand-written lines are understood. One row per line read.
#include "helper/befehlszeile.h"

#include <gtest/gtest.h>

namespace {

struct Fall {
  const char* zeile;
  const char* user;
  const char* pool;
  const char* topic;
  long long option;
  bool nurStarten;
  bool hauptprogrammAmEnde;
};

// Defaults of a line without options: no user, pool, topic or option, the
// main program started at the end.
constexpr Fall kFaelle[] = {
    // As the main program writes it.
    {R"(-e -p "Chirurgie Nord" -u "Dr. Meier")", "Dr. Meier", "Chirurgie Nord", "", -1, true, true},
    // A shortcut: the topic follows the user's closing quote without a blank.
    {R"(-u "Meier"-t "Allgemein gross" -p "Chirurgie" -G 5)", "Meier", "Chirurgie",
     "Allgemein gross", 5, false, true},
    // Quoted values keep their blanks, unquoted ones end at the first
    // blank, no blank after the letter works.
    {R"(  -u " Meier "   -pChirurgie Rest -t"A B"  )", " Meier ", "Chirurgie", "A B", -1, false,
     true},
    // An option without value swallows not the next one.
    {R"(-e -p "P" -E -u U)", "U", "P", "", -1, true, false},
    // Upper and lower case "e" differ.
    {"-E -u U", "U", "", "", -1, false, false},
    // An unclosed quote drops its option and ends the parse.
    {R"(-u "Meier" -t "Allgemein -p Chirurgie)", "Meier", "", "", -1, false, true},
    // Unknown letters and ignored options.
    {R"(-x "was auch immer" -i 3 -D drei -u U -Z)", "U", "", "", -1, false, true},
    // Empty and fragmentary lines.
    {"", "", "", "", -1, false, true},
    {"ohne Optionen", "", "", "", -1, false, true},
    {"Meier -", "", "", "", -1, false, true},
    {"-u", "", "", "", -1, false, true},
    // The speaker option is rounded half to even; outside 32 bits there is
    // no option rather than a wrapped number.
    {"-G 2.5", "", "", "", 2, false, true},
    {"-G 3.5", "", "", "", 4, false, true},
    {"-G 7abc", "", "", "", 7, false, true},
    {"-G abc", "", "", "", 0, false, true},
    {R"(-G "-2")", "", "", "", -2, false, true},
    {"-G 99999999999", "", "", "", -1, false, true},
    {"-G 2147483647", "", "", "", 2147483647, false, true},
};

TEST(Befehlszeile, JedeZeileWieErwartet) {
  for (const Fall& f : kFaelle) {
    SCOPED_TRACE(f.zeile);
    const auto o = helfer::BefehlszeileLesen(f.zeile);
    EXPECT_EQ(o.user, f.user);
    EXPECT_EQ(o.pool, f.pool);
    EXPECT_EQ(o.topic, f.topic);
    EXPECT_EQ(o.option, f.option);
    EXPECT_EQ(o.nurStarten, f.nurStarten);
    EXPECT_EQ(o.hauptprogrammAmEnde, f.hauptprogrammAmEnde);
  }
}

}  // namespace
