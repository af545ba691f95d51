// One topic's vocabulary as the recognizer holds it in memory: the
// recognizer's own (built-in) words and the user's words. A word is
// identified by its written and its spoken form together, byte for byte.
// Adding a present word or removing a missing one changes nothing.
// Free of Qt; the files behind it are handled by world.h.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/dragon_protocol.h"

namespace natspeak {

using dragonproto::Word;
using dragonproto::Words;

class Vocabulary {
 public:
  Vocabulary();
  // False when the word is present already.
  bool add(const Word& w, bool builtin);
  // False when the word is missing. A removed built-in word is remembered,
  // so that saving keeps it removed.
  bool remove(const Word& w);
  bool contains(const Word& w) const { return index_.find(w) != index_.end(); }
  // userOnly: the user's words; else every word.
  void words(bool userOnly, Words& out) const;
  // The same, encoded as one word-list field of the socket.
  void encode(bool userOnly, std::string& field) const;
  // Built-in words the user removed.
  const Words& removedBuiltins() const { return removedBuiltins_; }
  std::size_t size() const { return entries_->size() - dead_; }
  std::size_t userCount() const { return userCount_; }
  void clear();

 private:
  struct Entry {
    Word word;
    bool builtin = false;
    bool removed = false;
  };
  // A deque: growing it never moves the words already held.
  using Entries = std::deque<Entry>;
  // The index holds positions in the entries and hashes the words they
  // name, so no key is stored twice; a word is looked up without a copy.
  struct Hash {
    using is_transparent = void;
    const Entries* entries;
    std::size_t operator()(const Word& w) const;
    std::size_t operator()(std::size_t i) const { return (*this)((*entries)[i].word); }
  };
  struct Equal {
    using is_transparent = void;
    const Entries* entries;
    const Word& at(const Word& w) const { return w; }
    const Word& at(std::size_t i) const { return (*entries)[i].word; }
    template <typename A, typename B>
    bool operator()(const A& a, const B& b) const {
      return at(a) == at(b);
    }
  };
  void compact();

  // On the heap, so the index's view of it survives moving the vocabulary.
  std::unique_ptr<Entries> entries_;
  std::unordered_set<std::size_t, Hash, Equal> index_;
  Words removedBuiltins_;
  std::size_t userCount_ = 0;
  std::size_t dead_ = 0;  // removed entries still in entries_
};

}  // namespace natspeak
