// Insertion-ordered word store with a hash index. Removal marks the entry
// and the store is compacted once most entries are marked, so the order of
// the words stays the order they were added in and every operation stays
// constant time (amortised) for the few hundred thousand words of a real
// vocabulary.
#include "dragonsim/vocabulary.h"

#include <algorithm>
#include <utility>

namespace natspeak {

std::string Vocabulary::key(const Word& w) {
  std::string k;
  k.reserve(w.written.size() + 1 + w.spoken.size());
  k.append(w.written);
  k.push_back('\0');
  k.append(w.spoken);
  return k;
}

bool Vocabulary::add(const Word& w, bool builtin) {
  auto [it, inserted] = index_.emplace(key(w), entries_.size());
  if (!inserted) return false;
  entries_.push_back(Entry{w, builtin});
  if (builtin) {
    auto r = std::find(removedBuiltins_.begin(), removedBuiltins_.end(), w);
    if (r != removedBuiltins_.end()) removedBuiltins_.erase(r);
  } else {
    ++userCount_;
  }
  return true;
}

bool Vocabulary::remove(const Word& w) {
  auto it = index_.find(key(w));
  if (it == index_.end()) return false;
  Entry& e = entries_[it->second];
  index_.erase(it);
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
    index_[key(entries_[to].word)] = to;
    ++to;
  }
  entries_.resize(to);
  dead_ = 0;
}

void Vocabulary::words(bool userOnly, Words& out) const {
  out.clear();
  out.reserve(userOnly ? userCount_ : entries_.size());
  for (const auto& e : entries_) {
    if (!e.removed && (!userOnly || !e.builtin)) out.push_back(e.word);
  }
}

void Vocabulary::clear() {
  entries_.clear();
  index_.clear();
  removedBuiltins_.clear();
  userCount_ = 0;
  dead_ = 0;
}

}  // namespace natspeak
