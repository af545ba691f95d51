// Delivery of a pool's new-words and deleted-words texts to every member's
// ".neu" / ".loe" file. Clients append to the texts at any time, so the
// server holds a text's lock only to claim it (rename to a claim name, or
// append it to a claim left from before) and delivers from the claim; the
// claim is deleted only after every member file was written and flushed to
// disk. A claim whose delivery failed for a member stays and is delivered
// again, whole, at the next trigger for the pool or at the next start.
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
std::string PoolText(TextArt art, const std::string& pool);

void NeuePoolWorteVerteilen(TextArt art, std::size_t pool);

// One pass over the queued triggers: serves every marked pool once and
// sets the restart flag for an "ADMIN" trigger.
void TriggerAuswerten();

}  // namespace zentrale
