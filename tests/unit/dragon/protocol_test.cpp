// Frames and word rules shared by the recognizer and its clients.
#include <gtest/gtest.h>

#include "common/dragon_protocol.h"

namespace proto = dragonproto;

TEST(DragonFrames, BytesSurviveIntactWhateverTheChunking) {
  proto::Fields in{"vb-add",
                   "1",
                   "M\xFC"
                   "ller",
                   "M\xFC"
                   "ller\\x",
                   "",
                   std::string("a\0b", 3),
                   std::string(70000, '\xE4')};
  std::string bytes;
  proto::appendFrame(bytes, in);
  proto::appendFrame(bytes, {"state"});
  for (std::size_t chunk : {std::size_t{1}, std::size_t{7}, bytes.size()}) {
    proto::FrameReader r;
    proto::Fields out;
    std::vector<proto::Fields> frames;
    for (std::size_t i = 0; i < bytes.size(); i += chunk) {
      r.feed(bytes.data() + i, std::min(chunk, bytes.size() - i));
      while (r.next(out) == proto::FrameReader::Status::frame)
        frames.push_back(out);
    }
    ASSERT_EQ(frames.size(), 2u) << chunk;
    EXPECT_EQ(frames[0], in);
    EXPECT_EQ(frames[1], proto::Fields{"state"});
    EXPECT_EQ(r.pending(), 0u);
  }
}

TEST(DragonFrames, BrokenStreamsAreRefusedNotRead) {
  // A field longer than its frame.
  std::string bytes(
      "\0\0\0\x06\0\0\0\x09"
      "ab",
      10);
  proto::FrameReader r;
  proto::Fields out;
  r.feed(bytes.data(), bytes.size());
  EXPECT_EQ(r.next(out), proto::FrameReader::Status::bad);
  // A frame announcing more than the limit is refused before it arrives.
  std::string huge("\x7F\xFF\xFF\xFF", 4);
  proto::FrameReader r2;
  r2.feed(huge.data(), huge.size());
  EXPECT_EQ(r2.next(out), proto::FrameReader::Status::bad);
  // A frame still incomplete only waits.
  std::string part(
      "\0\0\0\x08\0\0\0\x04"
      "ab",
      10);
  proto::FrameReader r3;
  r3.feed(part.data(), part.size());
  EXPECT_EQ(r3.next(out), proto::FrameReader::Status::more);
}

TEST(DragonFrames, WordListsTravelInOneFieldWithoutControlCharacters) {
  proto::Words w{{"Stra\xDF"
                  "e",
                  ""},
                 {"EKG", "E K G"},
                 {"Tab\there", ""},
                 {"\\x", "a\\b"}};
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
  EXPECT_FALSE(proto::takeWords({"ok", "ohne Trenner\n"}, 1, back));
  EXPECT_FALSE(proto::takeWords({"ok", "a\tb"}, 1, back));
}

TEST(DragonAnalysis, RefusesWhatTheRecognizerRefuses) {
  EXPECT_EQ(proto::analyse("", "x"), proto::Analysis::empty);
  EXPECT_EQ(proto::analyse(std::string(128, 'a'), ""), proto::Analysis::ok);
  EXPECT_EQ(proto::analyse(std::string(129, 'a'), ""), proto::Analysis::tooLong);
  EXPECT_EQ(proto::analyse("a\tb", ""), proto::Analysis::controlChar);
  EXPECT_EQ(proto::analyse("ab", "x\ry"), proto::Analysis::controlChar);
  EXPECT_EQ(proto::analyse("a\x7F", ""), proto::Analysis::controlChar);
  EXPECT_EQ(proto::analyse("\xC4rztin \\ \x80", "\xFC"), proto::Analysis::ok);
  // Words are tested in blocks of eight bytes: a control character is found
  // wherever it stands, in short and long forms alike, and the bytes next
  // to the control range (blank, 0x7E, 0x80, 0xFF) are no control
  // characters.
  for (std::size_t len : {1u, 7u, 8u, 9u, 15u, 16u, 17u, 40u}) {
    std::string gut(len, ' ');
    for (std::size_t i = 0; i < len; ++i)
      gut[i] = "~\x80\xFF x"[i % 5];
    EXPECT_EQ(proto::analyse("w", gut), proto::Analysis::ok) << len;
    for (std::size_t at = 0; at < len; ++at) {
      for (char c : {'\x01', '\x1F', '\x7F', '\0'}) {
        std::string schlecht = gut;
        schlecht[at] = c;
        EXPECT_EQ(proto::analyse("w", schlecht), proto::Analysis::controlChar)
            << len << " " << at << " " << int(c);
      }
    }
  }
}

TEST(DragonFrames, ChangeMarksPickTheSendersOwnWords) {
  proto::Words gesendet{{"Neu", ""},
                        {"Tab\there", ""},
                        {"M\xFC"
                         "ller",
                         "Mueller"},
                        {"Alt", ""}};
  proto::Fields f;
  ASSERT_EQ(proto::appendWords(f, gesendet), 1u);
  proto::Words geaendert;
  // The word that could not travel has no mark.
  ASSERT_TRUE(proto::takeMarked(gesendet, 1, "110", geaendert));
  EXPECT_EQ(geaendert, (proto::Words{gesendet[0], gesendet[2]}));
  ASSERT_TRUE(proto::takeMarked(gesendet, 1, "000", geaendert));
  EXPECT_TRUE(geaendert.empty());
  // Marks that do not fit the words sent are a broken answer.
  EXPECT_FALSE(proto::takeMarked(gesendet, 1, "11", geaendert));
  EXPECT_FALSE(proto::takeMarked(gesendet, 1, "1101", geaendert));
  EXPECT_FALSE(proto::takeMarked(gesendet, 1, "1x0", geaendert));
}
