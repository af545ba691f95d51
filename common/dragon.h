// Module Dragon: whether the recognizer runs, which speaker and topic it has
// open, making it open the pool user's speaker, its word dialog, starting
// it, and finding / closing its bar and its open-user dialog. Every call
// goes to the running recognizer through the engine control object, which
// is created for one operation and released after it (except the helper's
// event receiver, which it keeps). Failures are reported with the texts of
// the module (2403, 2405-2408) and return false; nothing is retried.
// Assumes the recognizer may end, or another program may switch its
// speaker, between any two calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/dragon_engine.h"
#include "common/dragon_ordner.h"

namespace vk {

// Process state of the module.
struct DragonZustand {
  std::unique_ptr<dragon::EngineControl> control;  // while an operation runs
  bool erzeugt = false;
  // Speaker, topic and option that CheckDragonUser found last and that
  // SetDragonUser establishes (the main window fills them from its choice).
  std::string speaker;
  std::string topic;
  std::int32_t option = -1;
  bool englisch = false;  // the bar was found under its English title
  // vkHelfer reports a failed save / open with texts 2406 / 2407; the other
  // programs report every failure of SetDragonUser with text 2403.
  bool helferTexte = false;
};

DragonZustand& Dragon();
void DragonZuruecksetzen();

// State: Dragon() (reads and writes).
bool DragonControlStart();
// State: Dragon() (reads and writes).
void DragonControlStop();
// State: Dragon() (reads).
bool DragonLaeuft();
// State: Dragon() (reads and writes).
bool CheckDragonUser();
// State: Dragon() (reads).
bool SetDragonUser();
// Shows the recognizer's word dialog (number 55) for `argument`.
// State: Dragon() (reads and writes).
bool DragonDialog(const std::string& argument);

// A window of the recognizer found by title. Its "handle" is the kind and
// the title the recognizer reported; empty when not found.
struct DragonFenster {
  enum class Art { keins, leiste, benutzerOeffnen };
  Art art = Art::keins;
  std::string titel;
  explicit operator bool() const { return art != Art::keins; }
};

// The recognizer's bar: its title begins with "Dragon-Leiste", or with
// "DragonBar" (then Dragon().englisch is set). The recognizer reports its
// own windows, so there is no z-order to walk.
// State: Dragon() (reads and writes).
DragonFenster DragonLeiste();
// The open-user dialog: "Open User" when Dragon().englisch, else
// "Benutzer öffnen".
// State: Dragon() (reads).
DragonFenster BenutzerOeffnenFenster();
// Sends the window a close message; closing the bar ends the recognizer.
bool FensterSchliessen(const DragonFenster& fenster);

// Starts the recognizer's program (program folder + "natspeak.exe"), not
// waiting; failure: the start's own message (862/959), then text 2408
// unless `melden` is false (the caller says what follows).
bool DragonStarten(bool melden = true);

// Creates the engine control object the helper keeps as its event
// receiver (failure: text 2403, nullptr). Events arrive as signals of the
// object on the user-interface thread once registerEvents() succeeded.
std::unique_ptr<dragon::EngineControl> DragonEngineErzeugen();

}  // namespace vk
