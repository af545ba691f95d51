// Line reading and writing for the shared text files. The reader never
// grows its buffer beyond the cap for an overlong line: it keeps the first
// cap bytes and skips the rest, so a damaged file cannot exhaust memory.
#include "platform/text_lines.h"

#include <cstring>

namespace plat {

namespace {
constexpr std::size_t kChunk = 65536;
}  // namespace

std::size_t findLineEnd(std::string_view data) {
  std::size_t i = 0;
  for (; i < data.size(); ++i) {
    const char c = data[i];
    if (c == '\n' || c == '\r') break;
  }
  return i;
}

LineReader::LineReader(SharedFile& file, std::size_t cap) : file_(&file), cap_(cap) {}

LineReader::LineReader(std::string_view data, std::size_t cap)
    : data_(data), cap_(cap), eof_(true) {}

bool LineReader::fill() {
  if (eof_ || !file_) return false;
  if (pos_ > 0) {
    buf_.erase(0, pos_);
    pos_ = 0;
  }
  std::size_t old = buf_.size();
  buf_.resize(old + kChunk);
  std::size_t got = 0;
  Err e = file_->read(buf_.data() + old, kChunk, got);
  buf_.resize(old + got);
  data_ = buf_;
  if (e != Err::ok) {
    err_ = e;
    eof_ = true;
    return false;
  }
  if (got == 0) {
    eof_ = true;
    return false;
  }
  return true;
}

LineStatus LineReader::next(std::string& line) {
  line.clear();
  if (err_ != Err::ok) return LineStatus::error;
  bool tooLong = false;
  for (;;) {
    std::string_view rest = data_.substr(pos_);
    // A line ends at LF, CR LF or a lone CR. A CR as the last byte read so
    // far may still be followed by its LF: that needs the next chunk.
    std::size_t len = findLineEnd(rest);
    std::size_t endLen = 0;
    if (len < rest.size()) {
      if (rest[len] == '\n') {
        endLen = 1;
      } else if (len + 1 < rest.size()) {
        endLen = rest[len + 1] == '\n' ? 2 : 1;
      } else if (eof_) {
        endLen = 1;
      } else {
        len = rest.size();
      }
    }
    if (endLen > 0 || eof_) {
      if (endLen == 0 && len == 0 && !tooLong) {
        if (err_ != Err::ok) return LineStatus::error;
        return LineStatus::end;
      }
      if (!tooLong) {
        if (cap_ > 0 && len > cap_) {
          tooLong = true;
          line.assign(rest.data(), cap_);
        } else {
          line.assign(rest.data(), len);
        }
      }
      pos_ += len + endLen;
      ++lineNo_;
      if (tooLong) return LineStatus::tooLong;
      if (line.find('\0') != std::string::npos) return LineStatus::hasNul;
      return LineStatus::line;
    }
    // No line end in the buffer yet. An overlong line keeps only its first
    // cap bytes; what follows up to its end is dropped as it is read.
    if (cap_ > 0 && rest.size() > cap_ + 1) {
      if (!tooLong) {
        tooLong = true;
        line.assign(rest.data(), cap_);
      }
      pos_ = data_.size();
    }
    if (!fill()) {
      if (err_ != Err::ok) return LineStatus::error;
      if (tooLong) {
        ++lineNo_;
        return LineStatus::tooLong;
      }
    }
  }
}

Err forEachLine(std::string_view path, std::size_t cap,
                const std::function<void(LineStatus, const std::string&, std::size_t)>& each) {
  SharedFile file;
  Err e = file.open(path, Access::read, Share::shared, Disposition::openExisting);
  if (e != Err::ok) return e;
  LineReader reader(file, cap);
  std::string line;
  for (;;) {
    const LineStatus status = reader.next(line);
    if (status == LineStatus::end) return Err::ok;
    if (status == LineStatus::error) return reader.error();
    each(status, line, reader.lineNumber());
  }
}

Err readLines(std::string_view path, std::vector<std::string>& lines) {
  lines.clear();
  return forEachLine(
      path, 0, [&](LineStatus, const std::string& line, std::size_t) { lines.push_back(line); });
}

void addLine(std::string& out, std::string_view line) {
  out.append(line);
  out.append("\r\n");
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::size_t total = 0;
  for (const auto& l : lines)
    total += l.size() + 2;
  std::string out;
  out.reserve(total);
  for (const auto& l : lines)
    addLine(out, l);
  return out;
}

Err appendLines(SharedFile& file, const std::vector<std::string>& lines) {
  return file.append(joinLines(lines));
}

}  // namespace plat
