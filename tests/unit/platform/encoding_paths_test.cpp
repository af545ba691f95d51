// cp1252 conversion, path mapping, safe names and folder services.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/encoding.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "tests/support/baum.h"

using namespace plat;

// Every byte round-trips; the bytes with no character of their own keep
// their code; bad UTF-8 (no cp1252 byte, broken, overlong) gives one "?"
// per bad unit.
TEST(Encoding, RoundTripsAndUnmappables) {
  std::string all;
  for (int b = 1; b < 256; ++b) {
    EXPECT_EQ(unicodeToCp1252(cp1252ToUnicode(static_cast<unsigned char>(b))), b) << b;
    all += static_cast<char>(b);
  }
  EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
  EXPECT_EQ(cp1252ToUnicode(0x80), U'\u20AC');
  EXPECT_EQ(cp1252ToUnicode(0x81), U'\u0081');
  EXPECT_EQ(cp1252ToUtf8("Gru\xDF \x80"), "Gru\xC3\x9F \xE2\x82\xAC");
  for (const auto& [utf8, cp] :
       {std::pair{"a\xE4\xB8\xADz", "a?z"}, {"\xFFx", "?x"}, {"\xC0\xAF", "??"}, {"\xC3", "?"}})
    EXPECT_EQ(utf8ToCp1252(utf8), cp);
}

TEST(Paths, SafeNamesAndPatterns) {
  for (const char* ok : {"Pool1", "M\xFCller", "a.b", "Dr. Meier", "..x", "x.."})
    EXPECT_TRUE(isSafeName(ok)) << ok;
  for (const char* bad : {"", ".", "..", "a\\b", "a/b", "..\\x", "c:x", "tab\there", "\x7F"})
    EXPECT_FALSE(isSafeName(bad)) << bad;
  EXPECT_FALSE(isSafeName(std::string_view("a\0b", 3)));
  // As Windows listings match: without case (cp1252 letters too), "*" and "?".
  for (const auto& [name, muster, passt] : {std::tuple{"T1001.trg", "*.trg", true},
                                            {"POOL-x.TRG", "*.trg", true},
                                            {"\xC4rger.dat", "\xE4*.DAT", true},
                                            {"x.trg.tmp", "*.trg", false},
                                            {"ab", "a?", true},
                                            {"a", "a?", false},
                                            {"a.b.c", "*.*.c", true}})
    EXPECT_EQ(matchesPattern(name, muster), passt) << name << " " << muster;
}

TEST(Paths, DirectoryTreeAndListing) {
  vktest::Baum t;
  ASSERT_EQ(createDirectoryTree(t.sys("a\\b\\c\\")), Err::ok);
  EXPECT_TRUE(directoryExists(t.sys("a\\b\\c")));
  EXPECT_EQ(createDirectoryTree(t.sys("a\\b\\c")), Err::ok);
  for (const char* n : {"a/Eins.trg", "a/zwei.TRG", "a/drei.txt", "a/.~vk1-1.tmp"})
    t.schreiben(n, "x");
  std::vector<std::string> names;
  ASSERT_EQ(listDirectory(t.sys("a\\"), "*.trg", ListKind::files, names), Err::ok);
  EXPECT_EQ(names, (std::vector<std::string>{"Eins.trg", "zwei.TRG"}));
  ASSERT_EQ(listDirectory(t.sys("a"), "*", ListKind::directories, names), Err::ok);
  EXPECT_EQ(names, std::vector<std::string>{"b"});
  ASSERT_EQ(listDirectory(t.sys("a"), "*", ListKind::both, names), Err::ok);
  EXPECT_EQ(names.size(), 4u) << "own temporary files are left out";
  EXPECT_EQ(listDirectory(t.sys("fehlt"), "*", ListKind::both, names), Err::pathNotFound);
  EXPECT_NE(createDirectoryTree(t.sys("a\\drei.txt\\x")), Err::ok) << "a file in the way";
  EXPECT_EQ(fileInfo(t.sys("a\\Eins.trg")).size, 1u);
  EXPECT_FALSE(fileInfo(t.sys("nichts")).exists);

  const std::string a = tempFileName("vk"), b = tempFileName("vk");
  EXPECT_NE(a, b);
  EXPECT_TRUE(fileExists(a));
  EXPECT_EQ(a.rfind(tempDirectory(), 0), 0u);
  std::filesystem::remove(nativePath(a));
  std::filesystem::remove(nativePath(b));
}
