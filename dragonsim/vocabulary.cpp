// Insertion-ordered word store with a hash index. Removal marks the entry
// and the store is compacted once most entries are marked, so the order of
// the words stays the order they were added in and every operation stays
// constant time (amortised) for the few hundred thousand words of a real
// vocabulary.
#include "dragonsim/vocabulary.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

namespace natspeak {

namespace {

std::uint32_t slotHash(std::uint64_t slot) {
  return static_cast<std::uint32_t>(slot >> 32);
}
std::size_t slotEntry(std::uint64_t slot) {
  return static_cast<std::uint32_t>(slot) - 1u;
}
std::uint64_t makeSlot(std::uint32_t h, std::size_t entry) {
  return (std::uint64_t{h} << 32) | (entry + 1);
}

}  // namespace

std::uint32_t Vocabulary::hash(std::string_view written, std::string_view spoken) {
  std::size_t a = std::hash<std::string_view>()(written);
  std::size_t b = std::hash<std::string_view>()(spoken);
  std::size_t h = a ^ (b + 0x9e3779b97f4a7c15ULL + (a << 6) + (a >> 2));
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::size_t Vocabulary::probe(std::string_view written, std::string_view spoken, std::uint32_t h,
                              bool& found) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t p = h & mask;; p = (p + 1) & mask) {
    std::uint64_t s = slots_[p];
    found = s != 0;
    if (s == 0) return p;
    if (slotHash(s) != h) continue;
    const Word& w = entries_[slotEntry(s)].word;
    if (w.written == written && w.spoken == spoken) return p;
  }
}

std::size_t Vocabulary::find(std::string_view written, std::string_view spoken,
                             std::uint32_t h) const {
  if (slots_.empty()) return kNone;
  bool found = false;
  std::size_t p = probe(written, spoken, h, found);
  return found ? p : kNone;
}

void Vocabulary::insertSlot(std::size_t entry, std::uint32_t h) {
  growIfFull();
  const std::size_t mask = slots_.size() - 1;
  std::size_t p = h & mask;
  while (slots_[p] != 0)
    p = (p + 1) & mask;
  slots_[p] = makeSlot(h, entry);
  ++used_;
}

void Vocabulary::growIfFull() {
  if ((used_ + 1) * 2 > slots_.size()) rebuildIndex(std::max<std::size_t>(1024, slots_.size() * 2));
}

void Vocabulary::eraseSlot(std::size_t slot) {
  // Backward shift: later slots of the same probe run move up into the
  // gap, so lookups never need markers for erased slots.
  const std::size_t mask = slots_.size() - 1;
  std::size_t gap = slot;
  for (std::size_t j = (gap + 1) & mask; slots_[j] != 0; j = (j + 1) & mask) {
    std::size_t home = slotHash(slots_[j]) & mask;
    bool stays = gap <= j ? (home > gap && home <= j) : (home > gap || home <= j);
    if (!stays) {
      slots_[gap] = slots_[j];
      gap = j;
    }
  }
  slots_[gap] = 0;
  --used_;
}

void Vocabulary::rebuildIndex(std::size_t capacity) {
  std::vector<std::uint64_t> old;
  old.swap(slots_);
  slots_.assign(capacity, 0);
  used_ = 0;
  const std::size_t mask = capacity - 1;
  for (std::uint64_t s : old) {
    if (s == 0) continue;
    std::size_t p = slotHash(s) & mask;
    while (slots_[p] != 0)
      p = (p + 1) & mask;
    slots_[p] = s;
    ++used_;
  }
}

bool Vocabulary::add(std::string_view written, std::string_view spoken, bool builtin) {
  return add(written, spoken, builtin, hash(written, spoken));
}

bool Vocabulary::add(std::string_view written, std::string_view spoken, bool builtin,
                     std::uint32_t h) {
  growIfFull();
  bool found = false;
  std::size_t slot = probe(written, spoken, h, found);
  if (found) return false;
  entries_.push_back(Entry{Word{std::string(written), std::string(spoken)}, builtin});
  slots_[slot] = makeSlot(h, entries_.size() - 1);
  ++used_;
  if (builtin) {
    const Word& w = entries_.back().word;
    auto r = std::find(removedBuiltins_.begin(), removedBuiltins_.end(), w);
    if (r != removedBuiltins_.end()) removedBuiltins_.erase(r);
  } else {
    ++userCount_;
  }
  return true;
}

bool Vocabulary::remove(std::string_view written, std::string_view spoken) {
  return remove(written, spoken, hash(written, spoken));
}

bool Vocabulary::remove(std::string_view written, std::string_view spoken, std::uint32_t h) {
  std::size_t slot = find(written, spoken, h);
  if (slot == kNone) return false;
  Entry& e = entries_[slotEntry(slots_[slot])];
  eraseSlot(slot);
  if (e.builtin) {
    removedBuiltins_.push_back(e.word);
  } else {
    --userCount_;
  }
  e.removed = true;
  ++dead_;
  if (dead_ > 1024 && dead_ > entries_.size() / 2) compact();
  return true;
}

template <class Each>
void Vocabulary::ahead(const std::vector<dragonproto::WordView>& words, Each each) {
  // Far enough for the fetches to overlap, near enough for the slots to
  // stay in the cache until their word comes.
  constexpr std::size_t kAhead = 16;
  std::vector<std::uint32_t> h(words.size());
  for (std::size_t i = 0; i < words.size(); ++i)
    h[i] = hash(words[i].written, words[i].spoken);
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i + kAhead < words.size() && !slots_.empty())
      __builtin_prefetch(&slots_[h[i + kAhead] & (slots_.size() - 1)]);
    each(i, h[i]);
  }
}

void Vocabulary::addAll(const std::vector<dragonproto::WordView>& words,
                        const std::vector<bool>& use, std::vector<bool>& done) {
  done.assign(words.size(), false);
  ahead(words, [&](std::size_t i, std::uint32_t h) {
    done[i] = use[i] && add(words[i].written, words[i].spoken, false, h);
  });
}

void Vocabulary::removeAll(const std::vector<dragonproto::WordView>& words,
                           std::vector<bool>& done) {
  done.assign(words.size(), false);
  ahead(words, [&](std::size_t i, std::uint32_t h) {
    done[i] = remove(words[i].written, words[i].spoken, h);
  });
}

void Vocabulary::compact() {
  std::size_t to = 0;
  for (std::size_t from = 0; from < entries_.size(); ++from) {
    if (entries_[from].removed) continue;
    if (to != from) entries_[to] = std::move(entries_[from]);
    ++to;
  }
  entries_.resize(to);
  dead_ = 0;
  std::fill(slots_.begin(), slots_.end(), 0);
  used_ = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i)
    insertSlot(i, hash(entries_[i].word.written, entries_[i].word.spoken));
}

void Vocabulary::words(bool userOnly, Words& out) const {
  out.clear();
  out.reserve(userOnly ? userCount_ : size());
  for (const auto& e : entries_) {
    if (!e.removed && (!userOnly || !e.builtin)) out.push_back(e.word);
  }
}

void Vocabulary::encode(bool userOnly, std::string& field) const {
  field.clear();
  field.reserve((userOnly ? userCount_ : size()) * 16);
  for (const auto& e : entries_) {
    if (!e.removed && (!userOnly || !e.builtin)) dragonproto::appendWord(field, e.word);
  }
}

void Vocabulary::clear() {
  entries_.clear();
  slots_.clear();
  used_ = 0;
  removedBuiltins_.clear();
  userCount_ = 0;
  dead_ = 0;
}

}  // namespace natspeak
