// One topic's vocabulary as the recognizer holds it in memory: the
// recognizer's own (built-in) words and the user's words. A word is
// identified by its written and its spoken form together, byte for byte.
// Adding a present word or removing a missing one changes nothing.
// Free of Qt; the files behind it are handled by world.h.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/dragon_protocol.h"

namespace natspeak {

using dragonproto::Word;
using dragonproto::Words;

class Vocabulary {
 public:
  // False when the word is present already.
  bool add(const Word& w, bool builtin);
  // False when the word is missing. A removed built-in word is remembered,
  // so that saving keeps it removed.
  bool remove(const Word& w);
  bool contains(const Word& w) const { return index_.count(key(w)) != 0; }
  // userOnly: the user's words; else every word.
  void words(bool userOnly, Words& out) const;
  // Built-in words the user removed.
  const Words& removedBuiltins() const { return removedBuiltins_; }
  std::size_t size() const { return entries_.size() - dead_; }
  std::size_t userCount() const { return userCount_; }
  void clear();

 private:
  struct Entry {
    Word word;
    bool builtin = false;
    bool removed = false;
  };
  static std::string key(const Word& w);
  void compact();
  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::size_t> index_;
  Words removedBuiltins_;
  std::size_t userCount_ = 0;
  std::size_t dead_ = 0;  // removed entries still in entries_
};

}  // namespace natspeak
