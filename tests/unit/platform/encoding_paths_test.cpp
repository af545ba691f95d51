// cp1252 conversion, path mapping, safe names and folder services.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/encoding.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "tests/support/baum.h"

using namespace plat;

TEST(Encoding, EveryByteRoundTripsThroughUnicodeAndUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) {
    char32_t u = cp1252ToUnicode(static_cast<unsigned char>(b));
    EXPECT_EQ(unicodeToCp1252(u), b) << "byte " << b;
    all += static_cast<char>(b);
  }
  EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(Encoding, KnownCharactersAndUnmappables) {
  EXPECT_EQ(cp1252ToUnicode(0x80), U'\u20AC');
  EXPECT_EQ(cp1252ToUnicode(0xE4), U'\u00E4');
  EXPECT_EQ(cp1252ToUnicode(0x9F), U'\u0178');
  EXPECT_EQ(cp1252ToUnicode(0x81), U'\u0081');
  EXPECT_EQ(cp1252ToUtf8("Stra\xDF"
                         "e \x80"),
            "Stra\xC3\x9F"
            "e \xE2\x82\xAC");
  // No cp1252 byte, broken UTF-8, overlong forms: one "?" per bad unit.
  EXPECT_EQ(utf8ToCp1252("a\xE4\xB8\xAD"
                         "b"),
            "a?b");
  EXPECT_EQ(utf8ToCp1252("\xFF"
                         "x"),
            "?x");
  EXPECT_EQ(utf8ToCp1252("\xC0\xAF"), "??");
  EXPECT_EQ(utf8ToCp1252("\xC3"), "?");
}

TEST(Paths, SystemFormMapsToNativeAndBack) {
  EXPECT_EQ(nativePath("\\srv\\dr\xE4gon\\Vokarium\\"), "/srv/dr\xC3\xA4gon/Vokarium/");
  EXPECT_EQ(systemPath("/srv/dr\xC3\xA4gon/x.dat"), "\\srv\\dr\xE4gon\\x.dat");
  EXPECT_EQ(withBackslash("\\a"), "\\a\\");
  EXPECT_EQ(withBackslash("\\a\\"), "\\a\\");
  EXPECT_EQ(withBackslash(""), "");
  EXPECT_FALSE(programDirectory().empty());
  EXPECT_EQ(programDirectory().back(), '\\');
}

TEST(Paths, SafeNamesRefuseEverythingThatLeavesTheFolder) {
  for (const char* ok : {"Pool1", "M\xFCller", "a.b", "Dr. Meier", "..x", "x.."}) {
    EXPECT_TRUE(isSafeName(ok)) << ok;
  }
  for (const char* bad : {"", ".", "..", "a\\b", "a/b", "..\\x", "c:x", "tab\there", "\x7F"}) {
    EXPECT_FALSE(isSafeName(bad)) << bad;
  }
  EXPECT_FALSE(isSafeName(std::string_view("a\0b", 3)));
}

TEST(Paths, PatternsMatchLikeWindowsListings) {
  EXPECT_TRUE(matchesPattern("T1001.trg", "*.trg"));
  EXPECT_TRUE(matchesPattern("POOL-x.TRG", "*.trg"));
  EXPECT_TRUE(matchesPattern("\xC4rger.dat", "\xE4*.DAT"));
  EXPECT_FALSE(matchesPattern("x.trg.tmp", "*.trg"));
  EXPECT_TRUE(matchesPattern("ab", "a?"));
  EXPECT_FALSE(matchesPattern("a", "a?"));
  EXPECT_TRUE(matchesPattern("anything", "*"));
  EXPECT_TRUE(matchesPattern("a.b.c", "*.*.c"));
}

TEST(Paths, DirectoryTreeAndListing) {
  vktest::Baum t;
  ASSERT_EQ(createDirectoryTree(t.sys("a\\b\\c\\")), Err::ok);
  EXPECT_TRUE(directoryExists(t.sys("a\\b\\c")));
  EXPECT_EQ(createDirectoryTree(t.sys("a\\b\\c")), Err::ok);

  ASSERT_EQ(publishNew(t.sys("a\\Eins.trg"), "x", false), Err::ok);
  ASSERT_EQ(publishNew(t.sys("a\\zwei.TRG"), "x", false), Err::ok);
  ASSERT_EQ(publishNew(t.sys("a\\drei.txt"), "x", false), Err::ok);
  t.schreiben("a/.~vk1-1.tmp", "in flight");

  std::vector<std::string> names;
  ASSERT_EQ(listDirectory(t.sys("a\\"), "*.trg", ListKind::files, names), Err::ok);
  EXPECT_EQ(names, (std::vector<std::string>{"Eins.trg", "zwei.TRG"}));
  ASSERT_EQ(listDirectory(t.sys("a"), "*", ListKind::directories, names), Err::ok);
  EXPECT_EQ(names, std::vector<std::string>{"b"});
  ASSERT_EQ(listDirectory(t.sys("a"), "*", ListKind::both, names), Err::ok);
  EXPECT_EQ(names.size(), 4u);
  EXPECT_EQ(listDirectory(t.sys("fehlt"), "*", ListKind::both, names), Err::pathNotFound);

  // A file in the way of a folder.
  EXPECT_NE(createDirectoryTree(t.sys("a\\drei.txt\\x")), Err::ok);
  FileInfo fi = fileInfo(t.sys("a\\Eins.trg"));
  EXPECT_TRUE(fi.exists);
  EXPECT_FALSE(fi.isDirectory);
  EXPECT_EQ(fi.size, 1u);
  EXPECT_FALSE(fileInfo(t.sys("nichts")).exists);
}

TEST(Paths, TempFileNamesAreNewFilesInTheTempFolder) {
  std::string a = tempFileName("vk");
  std::string b = tempFileName("vk");
  ASSERT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_TRUE(fileExists(a));
  EXPECT_EQ(a.rfind(tempDirectory(), 0), 0u);
  std::filesystem::remove(nativePath(a));
  std::filesystem::remove(nativePath(b));
}
