// Waking the pool server: trigger files in the server's "Trigger\" folder
// (numbered, per pool, administrative), waiting until the server has
// removed the last one, and the wait that keeps the window alive.
// Failures: a trigger that cannot be written is reported (text 2201).
// While the server does not remove a trigger the user is asked every
// eleven seconds (text 2202) and may end the wait.
// Other programs: clients on other workstations write triggers into the
// same folder at the same time; a trigger is published whole under its
// name, never overwriting, so two writers never share one name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vk {

enum class TriggerArt : int { nummer = 1, pool = 2, verwaltung = 3 };

struct TriggerZustand {
  std::string letzterTrigger;  // path of the last trigger written
  std::uint32_t zaehler = 0;   // number of the last numbered trigger
  float rundeSekunden = 1.0f;  // one round of TriggerAbwarten
};
TriggerZustand& triggerZustand();
void triggerZuruecksetzen();

// Id of a trigger: "T" + n, "POOL-" + pool, "ADMIN".
std::string TriggerId(TriggerArt art, std::uint32_t n, std::string_view pool);

// Z + TriggerName with its "*" replaced by the id.
// State: konfiguration() (reads).
std::string TriggerPfad(std::string_view id);

// Writes a trigger when mitTrigger is set. Kinds 2 and 3 write nothing when
// the same request is pending already (a regular file of that name).
// false when writing failed, or when the name is taken by something that is
// no regular file (a folder, a link: reported, text 2560).
// State: poolZustand() (reads), triggerZustand() (reads and writes).
bool TriggerSetzen(TriggerArt art);
bool TriggerSetzen(int art);

// Waits (one-second rounds, window alive) until the last trigger is gone.
// Every eleventh round asks text 2202 (Retry/Cancel); Cancel ends the wait
// as if the server had answered.
// State: triggerZustand() (reads and writes).
void TriggerAbwarten();

// Sleeps `sekunden`, letting window events run at least every 300 ms.
void Warten(float sekunden);

}  // namespace vk
