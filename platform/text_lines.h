// Text lines of the shared files: readers accept CR LF, a lone LF, a lone
// CR (old editors) and a last line without a line end, so no line ever
// holds a CR; writers always write CR LF. Lines longer than a cap are reported, never cut silently.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "platform/shared_file.h"

namespace plat {

enum class LineStatus {
  line,     // `line` holds the next line without its line end
  tooLong,  // the line was longer than the cap: `line` holds its first cap
            // bytes, the rest was consumed; the next call goes on after it
  hasNul,   // the line holds a NUL byte; `line` holds it whole
  end,      // no more lines
  error,    // reading failed: see error()
};

// Position of the first CR or LF in `data` (data.size() when there is none).
std::size_t findLineEnd(std::string_view data);

class LineReader {
 public:
  // Reads `file` from its current position. cap = 0: no limit.
  explicit LineReader(SharedFile& file, std::size_t cap = 0);
  // Reads lines from memory (the reader keeps a view; keep `data` alive).
  explicit LineReader(std::string_view data, std::size_t cap = 0);

  LineStatus next(std::string& line);

  Err error() const { return err_; }
  // Number of the line last returned, counting from 1.
  std::size_t lineNumber() const { return lineNo_; }

 private:
  bool fill();
  SharedFile* file_ = nullptr;
  std::string buf_;
  std::string_view data_;
  std::size_t pos_ = 0;
  std::size_t cap_ = 0;
  std::size_t lineNo_ = 0;
  bool eof_ = false;
  Err err_ = Err::ok;
};

// Opens the file at `path` for shared reading and hands every line to
// `each` with its status (line, tooLong or hasNul) and its number from 1.
// Returns the error of the open or of a read (the lines before a read error
// were handed on already), ok when every line was read.
Err forEachLine(std::string_view path, std::size_t cap,
                const std::function<void(LineStatus, const std::string&, std::size_t)>& each);

// Every line of the file at `path` (no cap), read as forEachLine reads.
Err readLines(std::string_view path, std::vector<std::string>& lines);

// Appends `line` and CR LF to `out`.
void addLine(std::string& out, std::string_view line);

// All lines of `lines`, each followed by CR LF.
std::string joinLines(const std::vector<std::string>& lines);

// Appends lines to a file under its lock, in one write at the end.
Err appendLines(SharedFile& file, const std::vector<std::string>& lines);

}  // namespace plat
