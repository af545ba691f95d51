// Delivery of a pool's new-words and deleted-words texts to every member's
// ".neu" / ".loe" file. Clients append to the texts at any time, so the
// server holds a text's lock only to claim it (rename to a claim name, or
// append it to a claim left from before) and delivers from the claim; the
// claim is deleted only after every member file was written and flushed to
// disk. A claim whose delivery failed for a member, or whose delete failed,
// stays and is delivered again at the next trigger for the pool or at the
// next start; its delivery record says what each member has of it, so
// every member gets each line once.
// A member file that cannot be written does not hold up the others: the
// claim is copied into that member's own remainder (member file +
// ".zustellung"), which goes to it first at the next passes. Member files
// of a pass are flushed together at its end, before any claim goes. An
// append first cuts back a line torn by a crash; the pieces of a text are
// read one at a time, so its size is limited by the disk, not by memory.
// Member files are opened without sharing for one append each (7 attempts,
// 200 ms apart), so their owners may read or replace them in between.
#pragma once

#include <cstddef>
#include <string>

namespace zentrale {

enum class TextArt { neu, geloescht };

// Path of the claim of a pool text.
std::string ClaimPfad(const std::string& quelle);

// Path of a pool's text of the given kind.
// State: optionen() (reads).
std::string PoolText(TextArt art, const std::string& pool);

// True when a text of the pool (new or deleted words) is there, whatever
// kind of entry it is (a wrong kind gets its error line in the delivery).
bool poolTextDa(const std::string& pool);

// State: optionen(), tabellen() (reads), schleife() (reads and writes).
void NeuePoolWorteVerteilen(TextArt art, std::size_t pool);

// One pass over the queued triggers: serves every marked pool once and
// sets the restart flag for an "ADMIN" trigger.
// State: optionen(), tabellen(), protokoll() (reads), schleife() (reads and writes).
void TriggerAuswerten();

}  // namespace zentrale
