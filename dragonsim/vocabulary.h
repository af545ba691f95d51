// One topic's vocabulary as the recognizer holds it in memory: the
// recognizer's own (built-in) words and the user's words. A word is
// identified by its written and its spoken form together, byte for byte.
// Adding a present word or removing a missing one changes nothing.
// Free of Qt; the files behind it are handled by world.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "common/dragon_protocol.h"

namespace natspeak {

using dragonproto::Word;
using dragonproto::Words;

class Vocabulary {
 public:
  // False when the word is present already.
  bool add(std::string_view written, std::string_view spoken, bool builtin);
  bool add(const Word& w, bool builtin) { return add(w.written, w.spoken, builtin); }
  // False when the word is missing. A removed built-in word is remembered,
  // so that saving keeps it removed.
  bool remove(std::string_view written, std::string_view spoken);
  bool remove(const Word& w) { return remove(w.written, w.spoken); }
  // Many words of a request at once: done[i] tells whether words[i] was
  // added (removed); adding skips the words whose `use` flag is false. The
  // index is a few megabytes, so every lookup would wait for memory; here
  // the slots of later words are fetched while earlier ones are handled.
  void addAll(const std::vector<dragonproto::WordView>& words, const std::vector<bool>& use,
              std::vector<bool>& done);
  void removeAll(const std::vector<dragonproto::WordView>& words, std::vector<bool>& done);
  bool contains(const Word& w) const {
    return find(w.written, w.spoken, hash(w.written, w.spoken)) != kNone;
  }
  // userOnly: the user's words; else every word.
  void words(bool userOnly, Words& out) const;
  // The same, encoded as one word-list field of the socket.
  void encode(bool userOnly, std::string& field) const;
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
  static constexpr std::size_t kNone = ~std::size_t{0};
  static std::uint32_t hash(std::string_view written, std::string_view spoken);
  bool add(std::string_view written, std::string_view spoken, bool builtin, std::uint32_t h);
  bool remove(std::string_view written, std::string_view spoken, std::uint32_t h);
  // Runs `each(i, hash)` over the words in order, fetching slots ahead.
  template <class Each>
  void ahead(const std::vector<dragonproto::WordView>& words, Each each);
  // The index: open addressing with linear probing, at most half full.
  // A slot holds the word's hash in its high half and its entry position
  // + 1 in its low half (0 = empty), so a probe compares words only when
  // the hashes agree and no word is stored twice.
  std::size_t find(std::string_view written, std::string_view spoken, std::uint32_t h) const;
  // The slot holding the word (found) or the empty slot where it belongs.
  std::size_t probe(std::string_view written, std::string_view spoken, std::uint32_t h,
                    bool& found) const;
  void growIfFull();
  void insertSlot(std::size_t entry, std::uint32_t h);
  void eraseSlot(std::size_t slot);
  void rebuildIndex(std::size_t capacity);
  void compact();

  // A deque: growing it never moves the words already held.
  std::deque<Entry> entries_;
  std::vector<std::uint64_t> slots_;
  std::size_t used_ = 0;  // occupied slots
  Words removedBuiltins_;
  std::size_t userCount_ = 0;
  std::size_t dead_ = 0;  // removed entries still in entries_
};

}  // namespace natspeak
