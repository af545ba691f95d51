// Frames and word rules shared by the recognizer and its clients.
#include <gtest/gtest.h>

#include "common/dragon_protocol.h"

namespace proto = dragonproto;

TEST(DragonFrames, BytesSurviveIntactWhateverTheChunking) {
  const proto::Fields in{"M\xFCller\\x", "", std::string("a\0b", 3), std::string(70000, '\xE4')};
  std::string bytes;
  proto::appendFrame(bytes, in);
  proto::appendFrame(bytes, {"state"});
  for (std::size_t chunk : {std::size_t{1}, std::size_t{7}, bytes.size()}) {
    SCOPED_TRACE(chunk);
    proto::FrameReader r;
    proto::Fields out;
    std::vector<proto::Fields> frames;
    for (std::size_t i = 0; i < bytes.size(); i += chunk) {
      r.feed(bytes.data() + i, std::min(chunk, bytes.size() - i));
      while (r.next(out) == proto::FrameReader::Status::frame)
        frames.push_back(out);
    }
    EXPECT_EQ(frames, (std::vector<proto::Fields>{in, {"state"}}));
    EXPECT_EQ(r.pending(), 0u);
  }
}

// A field longer than its frame and a frame announcing more than the limit
// are refused before anything is read; a frame still incomplete only waits.
TEST(DragonFrames, BrokenStreamsAreRefusedNotRead) {
  using S = proto::FrameReader::Status;
  using namespace std::string_literals;
  for (const auto& [bytes, status] : {std::pair{"\0\0\0\x06\0\0\0\x09xy"s, S::bad},
                                      {"\x7F\xFF\xFF\xFF"s, S::bad},
                                      {"\0\0\0\x08\0\0\0\x04xy"s, S::more}}) {
    proto::FrameReader r;
    proto::Fields out;
    r.feed(bytes.data(), bytes.size());
    EXPECT_EQ(r.next(out), status) << bytes.size();
  }
}

// A word list travels in one field, the words with a control character
// left out; a list must be the last field.
TEST(DragonFrames, WordListsTravelInOneFieldWithoutControlCharacters) {
  const proto::Words w{{"Stra\xDF", ""}, {"EKG", "E K G"}, {"Tab\there", ""}, {"\\x", "a\\b"}};
  proto::Fields f{"ok"};
  proto::appendWords(f, w);
  ASSERT_EQ(f.size(), 2u);
  proto::Words back;
  ASSERT_TRUE(proto::takeWords(f, 1, back));
  EXPECT_EQ(back, (proto::Words{w[0], w[1], w[3]}));
  proto::appendWords(f, {});
  EXPECT_FALSE(proto::takeWords(f, 1, back));
  ASSERT_TRUE(proto::takeWords(f, 2, back));
  EXPECT_TRUE(back.empty());
  for (const char* kaputt : {"ohne Trenner\n", "a\tb"})
    EXPECT_FALSE(proto::takeWords({"ok", kaputt}, 1, back)) << kaputt;
}

TEST(DragonAnalysis, RefusesWhatTheRecognizerRefuses) {
  using A = proto::Analysis;
  for (const auto& [geschrieben, gesprochen, erwartet] : {std::tuple{std::string(), "x", A::empty},
                                                          {std::string(128, 'a'), "", A::ok},
                                                          {std::string(129, 'a'), "", A::tooLong},
                                                          {"a\tb", "", A::controlChar}})
    EXPECT_EQ(proto::analyse(geschrieben, gesprochen), erwartet) << geschrieben;
  // Words are tested in blocks of eight bytes: a control character is found
  // wherever it stands; the bytes next to the control range are none.
  for (std::size_t len : {1u, 7u, 8u, 9u, 15u, 16u, 17u, 40u}) {
    std::string gut(len, ' ');
    for (std::size_t i = 0; i < len; ++i)
      gut[i] = "~\x80\xFF x"[i % 5];
    EXPECT_EQ(proto::analyse("w", gut), A::ok) << len;
    for (std::size_t at = 0; at < len; ++at) {
      for (char c : {'\x01', '\x1F', '\x7F', '\0'}) {
        std::string schlecht = gut;
        schlecht[at] = c;
        EXPECT_EQ(proto::analyse("w", schlecht), A::controlChar)
            << len << " " << at << " " << int(c);
      }
    }
  }
}
