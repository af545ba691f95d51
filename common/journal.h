// The journal of a take-over: what a take-over writes into the pool files is
// recorded before the first byte is appended, so that it happens exactly
// once whatever stops it (a kill, a full disk, Cancel on a locked file).
// The program that next takes the pool's files finishes a journal that no
// running program holds, or drops it when nothing of it was written yet.
//
// The journal is a file in the pool folder under an own temporary name of
// the OS layer (".~vkJournal-<id>.tmp", left out of every listing), held
// under an exclusive lock by the program working on it: a lock that fails
// means its writer still runs. Its records (cp1252, CR LF; fields split by
// TAB; stored on the shared drive: do not change without a new first line):
//   VOKARIUM-JOURNAL 2
//   Vorbedingung <path> <length> <hash>   optional: the total list was to be
//                                         replaced by content of this length
//                                         and 64-bit FNV-1a hash (hex); no
//                                         longer starting so, it never was
//   Anhang <path> <bytes>                 followed by exactly <bytes> bytes:
//                                         lines to append to <path>
//   Anhang <path> wie <n>                 the same bytes as append n (from 0)
//   Anhang <path> Liste <bytes>           the first <bytes> bytes of the
//                                         precondition's content
//   Wortdatei <path> <dev> <ino> <length> <hash>
//                                         the word file deleted last: only
//                                         this file (device, inode), only
//                                         while its first <length> bytes
//                                         (-1: whole) have this 64-bit
//                                         FNV-1a hash (hex), only those bytes
//   Ende                                  the journal is complete
//   Abgeschlossen                         every append is done (added later)
// Append n is done when its commit mark ".~vkErledigt-<id>-<n>.tmp" exists:
// the OS layer renames the append's intent record to it once the bytes are
// on the disk, so an append is either marked done or cut back by the next
// holder of its file, never both and never neither.
// Finishing: a journal without "Ende" was never acted on and is dropped, as
// is one whose precondition does not hold and that has no mark; otherwise
// every append without its mark is made (again), then "Abgeschlossen" is
// written, the word file is deleted (the lines appended to it since it was
// read stay), the pool trigger is set, and marks and journal are removed.
// A journal "VOKARIUM-JOURNAL 1" (its "Wortdatei" record without <hash>)
// is finished the same way, its word file checked by device and inode only;
// a program that knows only that form leaves a journal of this one alone.
// A crash leaves the journal, its marks and at most one intent record per
// file; the next program that takes the pool's files finishes it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/shared_file.h"

namespace vk {

// One append of a take-over.
struct JournalAnhang {
  std::string pfad;
  std::string daten;      // whole lines, CR LF
  int versuche = 10;      // opens tried while another program holds the file
  bool ausListe = false;  // `daten` starts the precondition's content
};

struct Journal {
  std::string kennung;  // the <id> of the journal's names
  std::string pfad;
  plat::SharedFile datei;
  std::string vorbedingungPfad;
  std::int64_t vorbedingungLaenge = -1;
  std::uint64_t vorbedingungPruefsumme = 0;
  std::vector<JournalAnhang> anhaenge;
  std::string wortdatei;
  std::uint64_t wortdateiGeraet = 0;
  std::uint64_t wortdateiKnoten = 0;
  std::int64_t wortdateiLaenge = -1;
  std::optional<std::uint64_t> wortdateiPruefsumme;  // none in a first-form journal
};

// Adds an append of `daten` to `pfad` (nothing for empty data).
void JournalAnhaengen(Journal& j, const std::string& pfad, std::string daten, int versuche);
// The total list at `pfad` is about to be replaced by `inhalt` (after the
// appends were added: one that starts `inhalt` is recorded by reference).
void JournalVorbedingung(Journal& j, const std::string& pfad, std::string_view inhalt);
// The word file deleted last; `gelesen` bytes of it were read (-1: all),
// whose 64-bit FNV-1a hash is `pruefsumme`.
void JournalWortdatei(Journal& j, const std::string& pfad, std::int64_t gelesen,
                      std::uint64_t pruefsumme);

// Writes, flushes and holds the journal in folder `ordner` (the pool
// folder). false (reported with text 2509) when it cannot be written: then
// nothing of the take-over may happen.
bool JournalAnlegen(Journal& j, const std::string& ordner);

// Makes every append not done yet. A file held beyond its attempts asks
// `nochmal(path)` (true: try again); a failed append is reported when
// `melden`. True when every append is done.
bool JournalAusfuehren(Journal& j, int pauseMs,
                       const std::function<bool(const std::string&)>& nochmal, bool melden);

// Every append done: word file, trigger, marks, journal (see above).
void JournalAbschliessen(Journal& j);

// Leaves an unfinished journal to the next program (releases it).
void JournalLassen(Journal& j);

// Drops a journal none of whose appends was made.
void JournalVerwerfen(Journal& j);

// Finishes or drops every journal in the current pool's folder that no
// running program holds; true when none is left unfinished.
// State: poolZustand() (reads).
bool OffeneJournaleErledigen();

}  // namespace vk
