// The recognizer's objects as the clients use them: engine control (with
// its events: dragon_engine.h), vocabulary tools, vocabulary builder, word
// analyzer, word lists and words. Each object talks to the running
// recognizer (natspeak) over its local socket. Creating an object fails when the recognizer is
// not installed (its program folder is missing); a call fails with
// errNotRunning when the socket does not answer and with errTimeout when an
// answer does not come within the call time-out, so a client never hangs.
// Word analysis (single words and the queue) happens here, in the caller's
// process, with the recognizer's rules, so that reading a word file costs no
// socket round trip per line; the recognizer checks every word it receives
// again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/dragon_protocol.h"

namespace dragon {

using Word = dragonproto::Word;
// A word list: count = size(), item(i) = [i], add = push_back.
using WordList = dragonproto::Words;

struct Error {
  int number = 0;
  std::string description;
};

class Channel;

// Time-out of one call in milliseconds (default 5000) and of connecting
// (default 1000). Tests shorten them.
// State: the proxy's time-outs (writes).
void setTimeouts(int callMs, int connectMs);

// True when `programFolder` (system form) names an existing folder: the
// recognizer is installed.
bool installed(const std::string& programFolder);

// Why the recognizer refuses a word, in the language the client loaded;
// "" for a word it takes.
std::string analysisReason(dragonproto::Analysis a);

class VocTools;

class VocabularyBuilder {
 public:
  bool save(Error& e);
  // userWordsOnly: true = the words added by the user or the vocabulary
  // tools, false = all words of the open topic.
  bool getWords(bool userWordsOnly, WordList& words, Error& e);
  // Adds the words not yet present; `added` holds those really added.
  bool addWords(const WordList& words, std::int32_t flags, WordList& added, Error& e);
  // Removes the words present; missing ones are ignored. `removed` holds
  // those really removed.
  bool removeWords(const WordList& words, WordList& removed, Error& e);

 private:
  friend class VocTools;
  explicit VocabularyBuilder(VocTools& tools) : tools_(tools) {}
  // Adds (flags given) or removes words, in parts.
  bool change(const char* command, const char* flags, const WordList& words, WordList& changed,
              Error& e);
  VocTools& tools_;
};

class WordAnalyzer {
 public:
  // Analyses a written form (and a spoken form); refuses what the
  // recognizer refuses (errAnalysis).
  bool analyzeWord(std::string_view written, Word& word, Error& e);
  bool analyzeWord(std::string_view written, std::string_view spoken, Word& word, Error& e);
  WordList createWordList() const { return {}; }
  void clearQueue() { queue_.clear(); }
  void queueWords(WordList& words);
  // The same, taking the words over.
  void queueWords(WordList&& words);
  // Analyses the queued words in one go and empties the queue; the result
  // holds the words the recognizer accepts.
  bool analyzeQueue(WordList& result, Error& e);

 private:
  friend class VocTools;
  explicit WordAnalyzer(VocTools& tools) : tools_(tools) {}
  VocTools& tools_;
  WordList queue_;
};

class VocTools {
 public:
  static std::unique_ptr<VocTools> create(const std::string& programFolder, Error& e);
  ~VocTools();
  VocTools(const VocTools&) = delete;
  VocTools& operator=(const VocTools&) = delete;

  bool initialize(Error& e);
  bool uninitialize(Error& e);
  // Name of the speaker the tools work on (the open one).
  bool speaker(std::string& name, Error& e);
  VocabularyBuilder& vocabularyBuilder() { return builder_; }
  WordAnalyzer& wordAnalyzer() { return analyzer_; }

 private:
  friend class VocabularyBuilder;
  friend class WordAnalyzer;
  VocTools();
  bool call(const dragonproto::Fields& request, dragonproto::Fields& answer, Error& e);
  // Several requests in a row, each built just before it is sent.
  bool callMany(std::size_t count,
                const std::function<void(std::size_t, dragonproto::Fields&)>& build,
                std::vector<dragonproto::Fields>& answers, Error& e);
  std::unique_ptr<Channel> ch_;
  bool initialized_ = false;
  VocabularyBuilder builder_;
  WordAnalyzer analyzer_;
};

}  // namespace dragon
