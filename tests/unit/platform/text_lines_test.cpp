// Line reading of shared text files: line ends, caps, NUL bytes, chunk
// boundaries; and the CR LF writer.
#include <gtest/gtest.h>

#include "platform/text_lines.h"
#include "tests/support/baum.h"

using namespace plat;
using namespace std::string_literals;

namespace {

struct Read {
  LineStatus status;
  std::string line;
  bool operator==(const Read& o) const = default;
};
using Reads = std::vector<Read>;
constexpr LineStatus L = LineStatus::line;
constexpr LineStatus Lang = LineStatus::tooLong;

Reads readAll(LineReader& r) {
  Reads out;
  std::string line;
  for (LineStatus s; (s = r.next(line)) != LineStatus::end && s != LineStatus::error;)
    out.push_back({s, line});
  return out;
}

// The lines of `data` read from a file (cap 0: none).
Reads readFile(const vktest::Baum& t, const std::string& data, std::size_t cap) {
  t.schreiben("f.txt", data);
  SharedFile f;
  EXPECT_EQ(f.open(t.sys("f.txt"), Access::read, Share::denyWrite, Disposition::openExisting),
            Err::ok);
  LineReader r(f, cap);
  Reads lines = readAll(r);
  EXPECT_EQ(r.error(), Err::ok);
  return lines;
}

}  // namespace

// Every kind of line end (a lone CR of old editors too: no line ever holds
// a CR); a line over the cap is cut and reported, exactly the cap is not;
// a NUL byte is reported and reading goes on.
TEST(LineReader, LineEndsCapsAndNulBytes) {
  struct Fall {
    std::string text;
    std::size_t cap;
    Reads lines;
  };
  for (const Fall& f : {
           Fall{"a\r\nb\nc\rd\r\n\r\n\ne",
                0,
                {{L, "a"}, {L, "b"}, {L, "c"}, {L, "d"}, {L, ""}, {L, ""}, {L, "e"}}},
           Fall{"x\r", 0, {{L, "x"}}},
           Fall{"x\r\r\n", 0, {{L, "x"}, {L, ""}}},
           Fall{"", 0, {}},
           Fall{"kurz\r\n1234567890\r\nok\r\nab\0cd\r\n12345"s,
                5,
                {{L, "kurz"},
                 {Lang, "12345"},
                 {L, "ok"},
                 {LineStatus::hasNul, "ab\0cd"s},
                 {L, "12345"}}},
       }) {
    SCOPED_TRACE(f.text.substr(0, 12));
    LineReader r(f.text, f.cap);
    EXPECT_EQ(readAll(r), f.lines);
  }
}

// A CR LF split over the 64 KiB read chunk, a CR as a chunk's last byte, a
// 200 KB line under a cap and without, a capped line without any end.
TEST(LineReader, FileReadingAcrossChunkBoundaries) {
  vktest::Baum t;
  const std::string first(65535 - 1, 'a'), voll(65535, 'a'), x(200000, 'x');
  const std::string data = first + "\r\nzwei\r\n" + x + "\r\nletzte";
  EXPECT_EQ(readFile(t, data, 100000),
            (Reads{{L, first}, {L, "zwei"}, {Lang, std::string(100000, 'x')}, {L, "letzte"}}));
  EXPECT_EQ(readFile(t, data, 0), (Reads{{L, first}, {L, "zwei"}, {L, x}, {L, "letzte"}}));
  EXPECT_EQ(readFile(t, voll + "\r\nb", 0), (Reads{{L, voll}, {L, "b"}}));
  EXPECT_EQ(readFile(t, voll + "\rb", 0), (Reads{{L, voll}, {L, "b"}}));
  EXPECT_EQ(readFile(t, voll + "\r", 0), (Reads{{L, voll}}));
  EXPECT_EQ(readFile(t, std::string(300000, 'y'), 10), (Reads{{Lang, std::string(10, 'y')}}));
}

// A read error in the middle of a file is an error, never its end.
TEST(LineReader, AReadErrorIsNoEnd) {
  vktest::Baum t;
  t.schreiben("f.txt", std::string(70000, 'a') + "\r\nb\r\n");
  SharedFile f;
  ASSERT_EQ(f.open(t.sys("f.txt"), Access::read, Share::shared, Disposition::openExisting),
            Err::ok);
  LineReader r(f);
  setReadFault(1);
  std::string line;
  EXPECT_EQ(r.next(line), LineStatus::error);
  EXPECT_EQ(r.error(), Err::ioError);
  setReadFault(-1);
}

// By path, with line numbers and a cap; the writer ends each line with CR LF.
TEST(LineReader, WholeFilesByPathAndTheWriter) {
  vktest::Baum t;
  t.schreiben("f.txt", "eins\r\n123456789\nende");
  std::vector<std::string> seen;
  ASSERT_EQ(forEachLine(t.sys("f.txt"), 5,
                        [&](LineStatus s, const std::string& line, std::size_t n) {
                          seen.push_back(std::to_string(n) + (s == L ? ":" : "!") + line);
                        }),
            Err::ok);
  EXPECT_EQ(seen, (std::vector<std::string>{"1:eins", "2!12345", "3:ende"}));
  std::vector<std::string> lines{"alt"};
  ASSERT_EQ(readLines(t.sys("f.txt"), lines), Err::ok);
  EXPECT_EQ(lines, (std::vector<std::string>{"eins", "123456789", "ende"}));
  EXPECT_EQ(readLines(t.sys("fehlt.txt"), lines), Err::notFound);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(joinLines({"a", "", "b\\c"}), "a\r\n\r\nb\\c\r\n");
  SharedFile f;
  ASSERT_EQ(f.open(t.sys("w.txt"), Access::readWrite, Share::exclusive, Disposition::createNew),
            Err::ok);
  ASSERT_EQ(appendLines(f, {"eins"}), Err::ok);
  ASSERT_EQ(appendLines(f, {"zwei", "drei"}), Err::ok);
  EXPECT_EQ(t.lesen("w.txt"), "eins\r\nzwei\r\ndrei\r\n");
}
