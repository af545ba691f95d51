// Insertion-ordered word store with a hash index. Removal marks the entry
// and the store is compacted once most entries are marked, so the order of
// the words stays the order they were added in and every operation stays
// constant time (amortised) for the few hundred thousand words of a real
// vocabulary.
#include "dragonsim/vocabulary.h"

#include <algorithm>
#include <utility>

namespace natspeak {

std::size_t Vocabulary::Hash::operator()(const Word& w) const {
  std::size_t a = std::hash<std::string_view>()(w.written);
  std::size_t b = std::hash<std::string_view>()(w.spoken);
  return a ^ (b + 0x9e3779b97f4a7c15ULL + (a << 6) + (a >> 2));
}

Vocabulary::Vocabulary()
    : entries_(std::make_unique<Entries>()),
      index_(0, Hash{entries_.get()}, Equal{entries_.get()}) {
  // A sparse table: fewer collisions, and no rehash while a few thousand
  // words come and go.
  index_.max_load_factor(0.5f);
}

bool Vocabulary::add(const Word& w, bool builtin) {
  entries_->push_back(Entry{w, builtin});
  if (!index_.insert(entries_->size() - 1).second) {
    entries_->pop_back();
    return false;
  }
  if (builtin) {
    auto r = std::find(removedBuiltins_.begin(), removedBuiltins_.end(), w);
    if (r != removedBuiltins_.end()) removedBuiltins_.erase(r);
  } else {
    ++userCount_;
  }
  return true;
}

bool Vocabulary::remove(const Word& w) {
  auto it = index_.find(w);
  if (it == index_.end()) return false;
  Entry& e = (*entries_)[*it];
  index_.erase(it);
  if (e.builtin) {
    removedBuiltins_.push_back(e.word);
  } else {
    --userCount_;
  }
  e.removed = true;
  ++dead_;
  if (dead_ > 1024 && dead_ > entries_->size() / 2) compact();
  return true;
}

void Vocabulary::compact() {
  Entries& v = *entries_;
  std::size_t to = 0;
  for (std::size_t from = 0; from < v.size(); ++from) {
    if (v[from].removed) continue;
    if (to != from) v[to] = std::move(v[from]);
    ++to;
  }
  v.resize(to);
  dead_ = 0;
  index_.clear();
  for (std::size_t i = 0; i < v.size(); ++i)
    index_.insert(i);
}

void Vocabulary::words(bool userOnly, Words& out) const {
  out.clear();
  out.reserve(userOnly ? userCount_ : size());
  for (const auto& e : *entries_) {
    if (!e.removed && (!userOnly || !e.builtin)) out.push_back(e.word);
  }
}

void Vocabulary::encode(bool userOnly, std::string& field) const {
  field.clear();
  field.reserve((userOnly ? userCount_ : size()) * 16);
  for (const auto& e : *entries_) {
    if (!e.removed && (!userOnly || !e.builtin)) dragonproto::appendWord(field, e.word);
  }
}

void Vocabulary::clear() {
  index_.clear();
  entries_->clear();
  removedBuiltins_.clear();
  userCount_ = 0;
  dead_ = 0;
}

}  // namespace natspeak
