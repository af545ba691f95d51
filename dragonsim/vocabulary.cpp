// Insertion-ordered word store with a hash index; removal swaps the last
// entry into the gap, so every operation stays constant time for the few
// hundred thousand words of a real vocabulary.
#include "dragonsim/vocabulary.h"

#include <algorithm>

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
  std::size_t pos = it->second;
  index_.erase(it);
  if (entries_[pos].builtin) {
    removedBuiltins_.push_back(entries_[pos].word);
  } else {
    --userCount_;
  }
  if (pos + 1 != entries_.size()) {
    entries_[pos] = std::move(entries_.back());
    index_[key(entries_[pos].word)] = pos;
  }
  entries_.pop_back();
  return true;
}

void Vocabulary::words(bool userOnly, Words& out) const {
  out.clear();
  out.reserve(userOnly ? userCount_ : entries_.size());
  for (const auto& e : entries_) {
    if (!userOnly || !e.builtin) out.push_back(e.word);
  }
}

void Vocabulary::clear() {
  entries_.clear();
  index_.clear();
  removedBuiltins_.clear();
  userCount_ = 0;
}

}  // namespace natspeak
