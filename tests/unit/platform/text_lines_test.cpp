// Line reading of shared text files: line ends, caps, NUL bytes, chunk
// boundaries; and the CR LF writer.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/text_lines.h"
#include "tests/support/baum.h"

using namespace plat;

namespace {

struct Read {
  LineStatus status;
  std::string line;
  bool operator==(const Read& o) const { return status == o.status && line == o.line; }
};

std::vector<Read> readAll(LineReader& r) {
  std::vector<Read> out;
  std::string line;
  for (LineStatus s; (s = r.next(line)) != LineStatus::end && s != LineStatus::error;) {
    out.push_back({s, line});
  }
  return out;
}

std::vector<Read> readText(std::string_view data, std::size_t cap = 0) {
  LineReader r(data, cap);
  return readAll(r);
}

std::vector<Read> readFile(const vktest::Baum& t, const std::string& data, std::size_t cap) {
  t.schreiben("f.txt", data);
  SharedFile f;
  EXPECT_EQ(f.open(t.sys("f.txt"), Access::read, Share::denyWrite, Disposition::openExisting),
            Err::ok);
  LineReader r(f, cap);
  auto lines = readAll(r);
  EXPECT_EQ(r.error(), Err::ok);
  return lines;
}

constexpr LineStatus L = LineStatus::line;

}  // namespace

TEST(LineReader, LineEndsOfEveryKind) {
  EXPECT_EQ(readText("a\r\nb\nc"), (std::vector<Read>{{L, "a"}, {L, "b"}, {L, "c"}}));
  // A lone CR (old editors) ends a line too: no line ever holds a CR.
  EXPECT_EQ(readText("a\rb\r\n\r\n\n"), (std::vector<Read>{{L, "a"}, {L, "b"}, {L, ""}, {L, ""}}));
  EXPECT_EQ(readText("x\r"), (std::vector<Read>{{L, "x"}}));
  EXPECT_EQ(readText("x\r\r\n"), (std::vector<Read>{{L, "x"}, {L, ""}}));
  EXPECT_TRUE(readText("").empty());
}

// The sample files of broken input, read by path as the programs read them.
TEST(LineReader, BrokenSampleFiles) {
  using namespace std::string_literals;
  const std::pair<const char*, std::vector<Read>> faelle[] = {
      {"pooltext_nur_cr.txt", {{L, "Alpha"}, {L, "Beta"}, {L, "Gamma"}}},
      {"pooltext_endet_mit_cr.txt", {{L, "Alpha"}, {L, "Beta"}}},
      {"wortliste_ohne_zeilenende.txt", {{L, "eins"}, {L, "zwei"}}},
      {"wortliste_nul_byte.txt", {{L, "kurz"}, {LineStatus::hasNul, "ab\0cd"s}, {L, "ok"}}},
  };
  for (const auto& [datei, erwartet] : faelle) {
    std::vector<Read> gelesen;
    ASSERT_EQ(forEachLine(vktest::sys(vktest::probePfad(datei)), 0,
                          [&](LineStatus s, const std::string& line, std::size_t) {
                            gelesen.push_back({s, line});
                          }),
              Err::ok);
    EXPECT_EQ(gelesen, erwartet) << datei;
  }
}

TEST(LineReader, OverlongLinesAndNulBytesAreReportedAndReadingGoesOn) {
  using namespace std::string_literals;
  auto r = readText("kurz\r\n1234567890\r\nok\r\nab\0cd\r\n12345"s, 5);
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[0], (Read{L, "kurz"}));
  EXPECT_EQ(r[1], (Read{LineStatus::tooLong, "12345"}));
  EXPECT_EQ(r[2], (Read{L, "ok"}));
  EXPECT_EQ(r[3].status, LineStatus::hasNul);
  EXPECT_EQ(r[3].line, std::string("ab\0cd", 5));
  EXPECT_EQ(r[4], (Read{L, "12345"})) << "exactly the cap is not too long";

  LineReader counted("a\nb\nc\n");
  std::string line;
  counted.next(line);
  counted.next(line);
  EXPECT_EQ(counted.lineNumber(), 2u);
}

TEST(LineReader, FileReadingAcrossChunkBoundaries) {
  vktest::Baum t;
  // A CR LF split over the 64 KiB read chunk, and a 200 KB line under a cap.
  std::string first(65535 - 1, 'a');
  std::string data = first + "\r\nzwei\r\n" + std::string(200000, 'x') + "\r\nletzte";
  auto r = readFile(t, data, 100000);
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0], (Read{L, first}));
  EXPECT_EQ(r[1], (Read{L, "zwei"}));
  EXPECT_EQ(r[2], (Read{LineStatus::tooLong, std::string(100000, 'x')}));
  EXPECT_EQ(r[3], (Read{L, "letzte"}));

  auto nocap = readFile(t, data, 0);
  ASSERT_EQ(nocap.size(), 4u);
  EXPECT_EQ(nocap[2].line.size(), 200000u);

  // A CR as the last byte of a chunk: CR LF is one line end, a lone CR too.
  const std::string voll(65535, 'a');
  EXPECT_EQ(readFile(t, voll + "\r\nb", 0), (std::vector<Read>{{L, voll}, {L, "b"}}));
  EXPECT_EQ(readFile(t, voll + "\rb", 0), (std::vector<Read>{{L, voll}, {L, "b"}}));
  EXPECT_EQ(readFile(t, voll + "\r", 0), (std::vector<Read>{{L, voll}}));

  auto endless = readFile(t, std::string(300000, 'y'), 10);
  EXPECT_EQ(endless, (std::vector<Read>{{LineStatus::tooLong, std::string(10, 'y')}}));
}

TEST(LineReader, WholeFilesByPath) {
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
}

TEST(LineWriter, WritesCrLfAndAppendsAtTheEnd) {
  vktest::Baum t;
  EXPECT_EQ(joinLines({"a", "", "b\\c"}), "a\r\n\r\nb\\c\r\n");
  SharedFile f;
  ASSERT_EQ(f.open(t.sys("w.txt"), Access::readWrite, Share::exclusive, Disposition::createNew),
            Err::ok);
  ASSERT_EQ(appendLines(f, {"eins"}), Err::ok);
  ASSERT_EQ(appendLines(f, {"zwei", "drei"}), Err::ok);
  std::string all;
  ASSERT_EQ(f.readAll(all), Err::ok);
  EXPECT_EQ(all, "eins\r\nzwei\r\ndrei\r\n");
}
