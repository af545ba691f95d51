// Module DragonVoctools: reading and changing the vocabulary of the speaker
// the recognizer has open, and turning word lines (written form, or written
// form "\" spoken form) into recognizer words and back. The vocabulary is
// saved only at VoctoolsEnde, and only when words were added or removed.
// Failures are reported with texts 2551-2558 and end the operation with
// false or 0; nothing is retried. Assumes the recognizer keeps the same
// speaker open between VoctoolsStart and VoctoolsEnde.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/dragon_proxy.h"

namespace vk {

class Wortmenge;  // common/poolfiles.h

// Process state of the module.
struct VoctoolsZustand {
  std::unique_ptr<dragon::VocTools> tools;
  dragon::Word wort;       // the current word
  dragon::WordList liste;  // the current word list (WorteHolen, WoerterEinlesen)
  std::string sprecher;    // speaker read last
  bool initialisiert = false;
  bool geaendert = false;   // words were added or removed since VoctoolsStart
  bool lesefehler = false;  // the last WoerterEinlesen could not read its file
};

VoctoolsZustand& Voctools();
void VoctoolsZuruecksetzen();

// The word line of a word: trimmed written form, then "\" and the trimmed
// spoken form when that is not empty.
std::string WortZeile(const dragon::Word& wort);

// State: Voctools() (reads and writes).
bool VoctoolsStart();
// State: Voctools() (reads and writes).
void VoctoolsEnde();
// Analyses one word line into Voctools().wort.
// State: Voctools() (reads and writes).
bool WortAnalysieren(const std::string& zeile);
// userWordsOnly: see dragon::VocabularyBuilder::getWords.
// State: Voctools() (reads and writes).
bool WorteHolen(bool option);
// Writes the word line of every word of the current list to the output file
// (ZeileSchreiben).
// State: Voctools() (reads).
void VocWorteSchreiben();

// One row of the own-words view: item text a blank, unchecked, the written
// and the spoken form as sub-items.
struct VocZeile {
  std::string text = " ";
  bool angehakt = false;
  std::string geschrieben;
  std::string gesprochen;
};

// Receives the rows VocWorteZeigen produces (the editor's list model).
class VocZeilenZiel {
 public:
  virtual ~VocZeilenZiel() = default;
  // Called once before the rows with the number of words examined.
  virtual void zeilenErwartet(std::size_t anzahl) { (void)anzahl; }
  virtual void zeileAnfuegen(const VocZeile& zeile) = 0;
};

// Adds a row for every word of the current list whose word line is not in
// `bekannte` (the editor passes BenWorte).
// State: Voctools() (reads).
void VocWorteZeigen(const Wortmenge& bekannte, VocZeilenZiel& ziel);

// Removes the words of LoeschListe from the vocabulary and drops the list;
// the number of words handed over.
// State: poolZustand() (reads), Voctools() (reads and writes).
int WoerterEntfernen();
// Reads a word-line file into Voctools().liste; the number of words.
// State: Voctools() (reads and writes).
int WoerterEinlesen(const std::string& pfad);
// Both return false when the file cannot be read, so that a caller never
// takes an unread file for an applied one.
// State: Voctools() (reads and writes).
bool WoerterHinzufuegen(const std::string& pfad);
// State: Voctools() (reads and writes).
bool DateiWoerterEntfernen(const std::string& pfad);
// Adds word lines to the vocabulary (after VoctoolsStart); false when
// reported.
// State: Voctools() (reads and writes).
bool ZeilenHinzufuegen(const std::vector<std::string>& zeilen);

}  // namespace vk
