// vkHelfer's procedures: start-up beside the recognizer, the main tick
// (every 100 ms), the loading window's tick, the recognizer's events, and
// the synchronisation of the user's vocabulary with the pool files.
//
// Everything runs on the user-interface thread. The recognizer, the
// helper's own windows and the start of other programs are reached through
// the service record `HelferDienste`, which the program fills with the real
// recognizer access and its windows, and tests with their own doubles.
// Failures are reported to the user through the common message module and
// traced; the procedures themselves never throw.
//
// Other programs: the pool server appends to the user's ".neu"/".loe" at
// any time (see wortdateien.h for the claim that keeps its lines safe); the
// main program reads and deletes the ".ben" file this helper appends to.
#pragma once

#include <functional>
#include <string>
#include <unordered_set>

namespace helfer {

// The recognizer and the helper's windows as the procedures use them.
struct HelferDienste {
  // The recognizer's windows and engine.
  std::function<bool()> leisteDa;          // its bar is there
  std::function<void()> leisteSchliessen;  // close message to the bar
  std::function<bool()> benutzerDialogDa;  // its "open user" dialog
  std::function<void()> benutzerDialogSchliessen;
  std::function<std::string()> dragonStammverzeichnis;  // its users' folder
  std::function<bool()> dragonLaeuft;                   // its engine runs
  std::function<bool()> dragonStarten;                  // start its program
  // Makes the recognizer open the speaker, topic and option given.
  std::function<bool(const std::string&, const std::string&, int)> dragonUserSetzen;

  // Vocabulary tools over the open speaker.
  std::function<bool()> voctoolsStart;
  // Ends the tools, saving the vocabulary when words were added or removed;
  // true when it is saved (or there was nothing to save).
  std::function<bool()> voctoolsEnde;
  std::function<bool(bool)> worteHolen;                        // fetch the current list
  std::function<long()> wortAnzahl;                            // words of the current list
  std::function<std::string(long)> wortZeile;                  // word line of word i (0-based)
  std::function<void()> worteFreigeben;                        // drop the current list
  std::function<bool(const std::string&)> woerterHinzufuegen;  // a word file
  std::function<bool(const std::string&)> woerterEntfernen;    // a word file

  // The event receiver kept for the whole residence.
  std::function<void()> empfaengerVerbinden;  // create; register when it runs
  std::function<void()> empfaengerTrennen;    // unregister and release
  std::function<std::string()> sprecherName;  // current speaker
  std::function<std::string()> themaName;     // current topic

  // Other programs and the helper's own windows.
  std::function<bool(const std::string&, const std::string&)> programmStarten;
  std::function<void()> ladefensterOeffnen;
  std::function<void(const std::string&)> ladeText;  // dropped when it is closed
  std::function<void(const std::string&)> initText;  // caption of lInitText
  std::function<void(bool)> warten;                  // wait indication on/off
  std::function<void()> trayAnzeigen;
  std::function<void()> ereignisseVerarbeiten;  // let UI events run
};

HelferDienste& Dienste();

// Where the helper is on the road of a word. A start without the
// recognizer waits for its bar, lets the loading window count down the
// recognizer's start time, then opens the user and applies the pool's
// words; then the user dictates. When the recognizer ends, his new words
// have been collected and the main program reviews them; a speaker or
// topic opened in the recognizer closes it instead, without collecting.
enum class Phase {
  fertig,           // nothing (left) to do: the next tick ends the helper
  warteAufLeiste,   // the recognizer is starting; its bar is not there yet
  leisteDa,         // its bar is there; the loading window counts down
  dragonBereit,     // the count is over: open the user, apply the words
  diktat,           // the user dictates; the helper watches the bar
  sprecherWechsel,  // another speaker or topic: the bar is closed
  dragonEnde,       // the recognizer ended, the words are collected
  endeNachWechsel,  // it ended after a speaker change: nothing collected
  abgebrochen,      // the user ended the helper: every tick ends it
};

// What moves the helper from one phase to the next.
enum class Anlass {
  startOhneDragon,     // started while the recognizer does not run
  startMitDragon,      // started beside a running recognizer, staying
  leisteErschienen,    // the recognizer's bar appeared
  ladezeitUm,          // the loading window's count reached zero
  profilGeladen,       // user opened and words applied, staying
  leisteWeg,           // the bar was missing for the whole grace time
  sprecherGewechselt,  // speaker or topic changed or closing
  dragonEndet,         // the recognizer announced its end
  endeVerarbeitet,     // its end has been handled, staying
  nichtsZuTun,         // not staying (no pool, or only starting it)
  abbruch,             // a window closed, or the start was given up
};

// The phase after `anlass` in `phase`; a pair the table does not name
// leaves the phase as it is.
Phase Naechste(Phase phase, Anlass anlass);

// The helper's state for one run (one per process). Pool and user are
// those of the pool file operations of the common library (its current
// pool and user), which also form the paths below.
struct HelferZustand {
  std::string thema;         // the recognizer topic to open
  int option = -1;           // speaker option, -1: none
  int dragonStartDauer = 0;  // seconds

  Phase phase = Phase::fertig;
  // From the command line: stay beside the recognizer (a pool is given),
  // or only start it and end.
  bool bleibtAktiv = false;
  bool nurStarten = false;
  // Start the main program for the review when the recognizer ends.
  bool hauptprogrammAmEnde = true;

  // Ticks left while the recognizer's bar is missing.
  int fensterWegZaehler = 0;
  // Ticks of the loading window left of the recognizer's start time.
  int ladeZaehler = 0;

  // Guards against a tick running inside itself while it lets events run,
  // and the window's first activation.
  bool beschaeftigt = false;
  bool ladeBeschaeftigt = false;
  bool aktiviert = false;

  // Word lines of the user's vocabulary at connect, by WortSchluessel.
  std::unordered_set<std::string> gemerkte;
};

HelferZustand& Helfer();

// Back to the state at program start (services included).
void HelferZuruecksetzen();

// Paths of the user's files in the pool folder.
// State: poolZustand() (reads).
std::string NeuPfad();
// State: poolZustand() (reads).
std::string LoePfad();
// State: poolZustand() (reads).
std::string BenPfad();

enum class Folge { weiter, schliessen };

// Start-up of the main window with the program's command line. schliessen:
// another copy runs (its message has been shown); the window closes at
// once. Every other stop leaves the phase fertig: the first tick ends.
// State: Helfer(), poolZustand() (reads and writes), Dienste() (reads).
Folge HelferStart(const std::string& befehlszeile);

// One tick of the main timer.
// State: Helfer() (reads and writes), poolZustand(), Dienste() (reads).
Folge HauptTick();

// The profile is loaded: the loading window has nothing more to show.
// State: Helfer() (reads).
bool ProfilGeladen();

// The loading window: its load, and one tick of its 25 ms timer. When the
// recognizer cannot be started the user is asked whether to try again;
// giving up ends the helper.
// State: Helfer() (reads and writes), Dienste() (reads).
void LadefensterGeladen();
// State: Helfer() (reads and writes), Dienste() (reads).
Folge LadefensterTick();

// Events of the recognizer's engine, as they arrive.
enum class Ereignis {
  dialogClosed,
  commandTriggered,
  statusChanged,
  mimicDone,
  speakerChanged,
  speakerClosing,
  topicChanged,
};
// State: Helfer() (reads and writes), Dienste() (reads).
void DragonEreignis(Ereignis art, long wert1, long wert2);

// The recognizer announced its end: save the user's new words.
// State: Helfer() (reads and writes), Dienste() (reads).
void DragonEndeBehandeln();

// Applies the ".neu" and ".loe" files and remembers the user's words.
// State: Dienste() (reads).
void ProfilAktualisieren();
// State: Helfer() (writes), Dienste() (reads).
void BenWoerterMerken();
// Appends the words of the current list not remembered to the ".ben" file.
// State: Helfer() (reads and writes), Dienste() (reads).
void NeueWoerterSichern();
// State: Dienste() (reads).
void DragonSchliessen();
// State: poolZustand(), Dienste() (reads).
void HauptprogrammStarten();

}  // namespace helfer
