// The user's word files in the pool folder as vkHelfer handles them: the
// ".neu" and ".loe" files the pool server appends to, and the ".ben" file
// the helper appends to for the main program. No Qt; every open goes
// through plat::SharedFile.
//
// The server may append to ".neu"/".loe" at any moment (it holds each file
// exclusively for one append and retries when it finds it held). The helper
// therefore never reads and then deletes such a file: it first claims it -
// under the exclusive lock it renames it to a claim name that the server
// never writes - and works on the claim. Lines the server appends later go
// into a new ".neu"/".loe" and wait for the next start. A claim that a
// helper left behind (it ended before it was done) is still there at the
// next start and is worked on first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace helfer {

// Key of a word line in the remembered set: case folded over cp1252, so
// that lines differing only in letter case count as one word.
std::string WortSchluessel(std::string_view zeile);

// The claim name of a ".neu" or ".loe" file.
std::string ClaimPfad(std::string_view pfad);

// Where applied claims wait until the recognizer has saved the vocabulary:
// the words are in the vocabulary but not yet on its disk. Applied again
// at the next start when it is still there (adding or removing a word
// twice is harmless); deleted once the save is reported.
std::string AngewandtPfad(std::string_view pfad);

// Moves an applied claim into the waiting file of `pfad` (renamed when
// there is none, else appended to it and deleted).
plat::Err AngewandtVormerken(const std::string& claim, const std::string& angewandt);

// A kill inside the rename of a claim to its waiting file leaves one file
// under both names; this finishes that rename. A claim that is another
// file than the waiting one stays as it is.
plat::Err UmbenennungVollenden(const std::string& claim, const std::string& angewandt);

enum class Beanspruchung {
  keineDatei,   // nothing to claim
  leer,         // the file was empty and has been deleted
  beansprucht,  // renamed to its claim name
  belegt,       // someone held it the whole time; it stays for next time
  fehler,       // open or rename failed otherwise (see `fehler`)
};

// Claims `pfad` under its exclusive lock. An existing claim is never
// overwritten (fehler, Err::fileExists): work on it first. A last line
// without its line end is cut off first: the server was killed in the
// middle of that append and delivers the whole line again.
Beanspruchung DateiBeanspruchen(const std::string& pfad, plat::Err& fehler);

enum class AnhangSchritt { oeffnen, schreiben, schliessen };

// Appends the lines (CR LF each, one write at the end) to `pfad`, creating
// it when missing, and flushes the file to disk. On failure `schritt` says
// which step failed.
plat::Err ZeilenAnhaengen(const std::string& pfad, const std::vector<std::string>& zeilen,
                          AnhangSchritt& schritt);

}  // namespace helfer
