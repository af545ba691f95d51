// Frames and word rules shared by the recognizer stand-in and the client
// proxy. Fails by reporting a broken stream (FrameReader::Status::bad), never
// by reading past a buffer. Assumes both ends run on the same machine.
#include "common/dragon_protocol.h"

#include <cstdlib>

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

bool isControl(std::string_view s) {
  for (char c : s) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return true;
  }
  return false;
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
  // Drop what earlier frames consumed before the buffer grows again.
  if (pos_ > 0 && pos_ == buf_.size()) {
    buf_.clear();
    pos_ = 0;
  } else if (pos_ > (1u << 20) && pos_ > buf_.size() / 2) {
    buf_.erase(0, pos_);
    pos_ = 0;
  }
  buf_.append(data, n);
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

void appendWord(std::string& field, const Word& w) {
  if (isControl(w.written) || isControl(w.spoken)) return;
  field.append(w.written);
  field.push_back('\t');
  field.append(w.spoken);
  field.push_back('\n');
}

void appendWords(Fields& fields, const Words& words) {
  std::size_t n = 0;
  for (const auto& w : words)
    n += w.written.size() + w.spoken.size() + 2;
  std::string field;
  field.reserve(n);
  for (const auto& w : words)
    appendWord(field, w);
  fields.push_back(std::move(field));
}

bool takeWords(const Fields& fields, std::size_t from, Words& words) {
  words.clear();
  if (from + 1 != fields.size()) return false;
  std::string_view f = fields[from];
  std::size_t p = 0;
  while (p < f.size()) {
    std::size_t tab = f.find('\t', p);
    if (tab == std::string_view::npos) return false;
    std::size_t lf = f.find('\n', tab + 1);
    if (lf == std::string_view::npos) return false;
    words.push_back(
        Word{std::string(f.substr(p, tab - p)), std::string(f.substr(tab + 1, lf - tab - 1))});
    p = lf + 1;
  }
  return true;
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
