// The recognizer's files on disk: "nsuser.ini" below the application data
// folder, the roaming user master directory R with one folder per speaker,
// R + speaker + "\current\topics.ini" naming each topic's folder, and in
// each topic folder the vocabulary: "builtin.voc" (the recognizer's own
// words), "user.voc" (the user's words) and "removed.voc" (built-in words
// the user removed), all word-line files (cp1252, CR LF). Paths are in the
// system form. Topic folders whose names could lead outside "current\" are
// refused. Other workstations may open the same speaker: the last save wins,
// and every file is replaced whole, so a reader never sees half a file.
// Free of Qt.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "dragonsim/vocabulary.h"
#include "platform/error.h"

namespace natspeak {

// appData + "nuance\naturallyspeaking10\" (system form, with "\").
std::string settingsDirectory();
std::string nsuserIniPath();

// First value of `key` in [section] of a small INI file ("" when missing).
std::string iniValue(const std::string& path, const std::string& section, const std::string& key);

// R from nsuser.ini, with "\" ("" when not set up).
std::string masterDirectory();

struct Topic {
  std::string name;
  std::string folder;  // below "current\"
};

// The [Topics] section of a speaker's topics.ini; unsafe folders skipped.
std::vector<Topic> readTopics(const std::string& master, const std::string& speaker);

// Speakers of R: folders with a "current\topics.ini".
std::vector<std::string> listSpeakers(const std::string& master);

// Folder of a speaker's topic (with "\"); "" when unknown.
std::string topicFolder(const std::string& master, const std::string& speaker,
                        const std::string& topic);

// Reads a word-line file; a missing file is an empty list.
plat::Err readWordFile(const std::string& path, Words& words);
// Replaces a word-line file whole.
plat::Err writeWordFile(const std::string& path, const Words& words);

plat::Err loadVocabulary(const std::string& folder, Vocabulary& voc);
// Writes the user's words and the removed built-in words.
plat::Err saveVocabulary(const std::string& folder, const Vocabulary& voc);

// The speaker and topic opened last on this workstation.
std::pair<std::string, std::string> lastSpeaker();
void rememberSpeaker(const std::string& speaker, const std::string& topic);

// One --speaker group of the set-up.
struct SetupTopic {
  std::string speaker;
  std::string topic;
  std::string folder;       // default: the topic name
  std::string builtinFile;  // system form; "" = keep, or generate when none
  std::string wordsFile;    // user words to add
};

// Creates or completes the world: R, nsuser.ini, the Word add-in value
// naming `programFolder`, speakers, topics and vocabularies. Running it
// again changes nothing that is there already. Errors are written to
// `message`.
bool setup(const std::string& master, const std::vector<SetupTopic>& topics,
           const std::string& programFolder, std::string& message);

// `count` words the recognizer knows from the start (deterministic).
Words generatedBuiltins(std::size_t count);

}  // namespace natspeak
