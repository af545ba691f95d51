// Frames and word rules shared by the recognizer stand-in and the client
// proxy. Fails by reporting a broken stream (FrameReader::Status::bad), never
// by reading past a buffer. Assumes both ends run on the same machine.
#include "common/dragon_protocol.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/system.h"

namespace dragonproto {

namespace {

void putU32(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>((v >> 24) & 0xFF));
  out.push_back(static_cast<char>((v >> 16) & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
  out.push_back(static_cast<char>(v & 0xFF));
}

std::uint32_t getU32(const char* p) {
  auto b = [p](int i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(p[i])); };
  return (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
}

// True when a byte of `s` is below 0x20 or is 0x7F. Every word read from a
// file passes here on both sides of the socket, so eight bytes are tested
// at a time: (x - 0x20..) & ~x & 0x80.. is non-zero exactly when some byte
// is below 0x20, and the same test for zero after x ^ 0x7F.. finds 0x7F.
// A short string is padded with letters; the last eight bytes of a longer
// one are tested as one block, overlapping the block before.
bool isControl(std::string_view s) {
  constexpr std::uint64_t ones = 0x0101010101010101ULL;
  constexpr std::uint64_t highs = 0x8080808080808080ULL;
  auto bad = [](std::uint64_t x) {
    std::uint64_t y = x ^ (ones * 0x7F);
    return ((((x - ones * 0x20) & ~x) | ((y - ones) & ~y)) & highs) != 0;
  };
  auto block = [](const char* p) {
    std::uint64_t x = 0;
    std::memcpy(&x, p, 8);
    return x;
  };
  const std::size_t n = s.size();
  if (n < 8) {
    std::uint64_t x = ones * 'A';
    if (n > 0) std::memcpy(&x, s.data(), n);
    return bad(x);
  }
  for (std::size_t i = 0; i + 8 < n; i += 8) {
    if (bad(block(s.data() + i))) return true;
  }
  return bad(block(s.data() + n - 8));
}

void putWord(std::string& field, const Word& w) {
  field.append(w.written);
  field.push_back('\t');
  field.append(w.spoken);
  field.push_back('\n');
}

}  // namespace

std::string socketPath() {
  const char* env = std::getenv("VOKARIUM_DRAGON_SOCKET");
  if (env != nullptr && *env != '\0') return env;
  return plat::runtimeDirectory() + "/natspeak.sock";
}

void appendFrame(std::string& out, const Fields& fields) {
  std::size_t body = 0;
  for (const auto& f : fields)
    body += 4 + f.size();
  out.reserve(out.size() + 4 + body);
  putU32(out, static_cast<std::uint32_t>(body));
  for (const auto& f : fields) {
    putU32(out, static_cast<std::uint32_t>(f.size()));
    out.append(f);
  }
}

void FrameReader::feed(const char* data, std::size_t n) {
  std::memcpy(room(n), data, n);
  commit(n);
}

char* FrameReader::room(std::size_t n) {
  // Drop what earlier frames consumed before the buffer grows again.
  if (pos_ > 0 && pos_ == buf_.size()) {
    buf_.clear();
    pos_ = 0;
  } else if (pos_ > (1u << 20) && pos_ > buf_.size() / 2) {
    buf_.erase(0, pos_);
    pos_ = 0;
  }
  filled_ = buf_.size();
  buf_.resize(filled_ + n);
  return buf_.data() + filled_;
}

void FrameReader::commit(std::size_t got) {
  buf_.resize(filled_ + got);
}

FrameReader::Status FrameReader::next(Fields& fields) {
  if (pending() < 4) return Status::more;
  std::uint32_t body = getU32(buf_.data() + pos_);
  if (body > kMaxFrame) return Status::bad;
  if (pending() < 4 + std::size_t{body}) return Status::more;
  fields.clear();
  std::size_t p = pos_ + 4;
  std::size_t end = p + body;
  while (p < end) {
    if (end - p < 4) return Status::bad;
    std::uint32_t len = getU32(buf_.data() + p);
    p += 4;
    if (len > end - p) return Status::bad;
    fields.emplace_back(buf_.data() + p, len);
    p += len;
  }
  pos_ = end;
  return Status::frame;
}

bool canTravel(const Word& w) {
  return !isControl(w.written) && !isControl(w.spoken);
}

void appendWord(std::string& field, const Word& w) {
  if (canTravel(w)) putWord(field, w);
}

std::size_t appendWords(Fields& fields, std::span<const Word> words) {
  std::size_t n = 0;
  for (const auto& w : words)
    n += w.written.size() + w.spoken.size() + 2;
  std::string field;
  field.reserve(n);
  std::size_t left = 0;
  for (const auto& w : words) {
    if (!canTravel(w)) {
      ++left;
    } else {
      putWord(field, w);
    }
  }
  fields.push_back(std::move(field));
  return left;
}

namespace {

// The word of a word-list field starting at `p`; moves `p` past it. False
// when no complete word starts there.
bool nextWord(std::string_view f, std::size_t& p, WordView& w) {
  std::size_t tab = f.find('\t', p);
  if (tab == std::string_view::npos) return false;
  std::size_t lf = f.find('\n', tab + 1);
  if (lf == std::string_view::npos) return false;
  w.written = f.substr(p, tab - p);
  w.spoken = f.substr(tab + 1, lf - tab - 1);
  p = lf + 1;
  return true;
}

}  // namespace

bool viewWords(std::string_view f, std::vector<WordView>& words) {
  words.clear();
  words.reserve(static_cast<std::size_t>(std::count(f.begin(), f.end(), '\n')));
  WordView w;
  for (std::size_t p = 0; p < f.size();) {
    if (!nextWord(f, p, w)) return false;
    words.push_back(w);
  }
  return true;
}

bool takeWords(const Fields& fields, std::size_t from, Words& words) {
  words.clear();
  if (from + 1 != fields.size()) return false;
  std::string_view f = fields[from];
  words.reserve(static_cast<std::size_t>(std::count(f.begin(), f.end(), '\n')));
  WordView w;
  for (std::size_t p = 0; p < f.size();) {
    if (!nextWord(f, p, w)) return false;
    words.push_back(Word{std::string(w.written), std::string(w.spoken)});
  }
  return true;
}

bool takeMarked(const Words& sent, std::size_t left, std::string_view marks, Words& changed) {
  changed.clear();
  if (left > sent.size() || marks.size() != sent.size() - left) return false;
  changed.reserve(static_cast<std::size_t>(std::count(marks.begin(), marks.end(), kChanged)));
  std::size_t m = 0;
  for (const auto& w : sent) {
    if (left > 0 && !canTravel(w)) continue;
    if (m == marks.size()) return false;
    char c = marks[m++];
    if (c == kChanged) {
      changed.push_back(w);
    } else if (c != kUnchanged) {
      return false;
    }
  }
  return m == marks.size();
}

Analysis analyse(std::string_view written, std::string_view spoken) {
  if (written.empty()) return Analysis::empty;
  if (written.size() > kMaxWritten) return Analysis::tooLong;
  if (isControl(written) || isControl(spoken)) return Analysis::controlChar;
  return Analysis::ok;
}

std::string analysisText(Analysis a) {
  switch (a) {
    case Analysis::ok:
      return "";
    case Analysis::empty:
      return "Leere Schreibform";
    case Analysis::tooLong:
      return "Schreibform l\xE4nger als 128 Zeichen";
    case Analysis::controlChar:
      return "Steuerzeichen im Wort";
  }
  return "";
}

}  // namespace dragonproto
