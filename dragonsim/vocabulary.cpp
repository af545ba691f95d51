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

std::uint32_t Vocabulary::hash(const Word& w) {
  std::size_t a = std::hash<std::string_view>()(w.written);
  std::size_t b = std::hash<std::string_view>()(w.spoken);
  std::size_t h = a ^ (b + 0x9e3779b97f4a7c15ULL + (a << 6) + (a >> 2));
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::size_t Vocabulary::probe(const Word& w, std::uint32_t h, bool& found) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t p = h & mask;; p = (p + 1) & mask) {
    std::uint64_t s = slots_[p];
    found = s != 0;
    if (s == 0 || (slotHash(s) == h && entries_[slotEntry(s)].word == w)) return p;
  }
}

std::size_t Vocabulary::find(const Word& w, std::uint32_t h) const {
  if (slots_.empty()) return kNone;
  bool found = false;
  std::size_t p = probe(w, h, found);
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

bool Vocabulary::add(const Word& w, bool builtin) {
  std::uint32_t h = hash(w);
  growIfFull();
  bool found = false;
  std::size_t slot = probe(w, h, found);
  if (found) return false;
  entries_.push_back(Entry{w, builtin});
  slots_[slot] = makeSlot(h, entries_.size() - 1);
  ++used_;
  if (builtin) {
    auto r = std::find(removedBuiltins_.begin(), removedBuiltins_.end(), w);
    if (r != removedBuiltins_.end()) removedBuiltins_.erase(r);
  } else {
    ++userCount_;
  }
  return true;
}

bool Vocabulary::remove(const Word& w) {
  std::size_t slot = find(w, hash(w));
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
    insertSlot(i, hash(entries_[i].word));
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
