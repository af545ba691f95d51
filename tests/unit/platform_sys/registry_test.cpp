// The registry store in its export format, as programs and hand edits meet it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/registry.h"
#include "tests/support/baum.h"

using namespace plat;

namespace {

constexpr const char* kKey = "Software\\QMT\\Vokarium";
constexpr Hive kCU = Hive::currentUser;

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { tree.env("VOKARIUM_REGISTRY_DIR", tree.pfad().c_str()); }
  vktest::Baum tree;
};

TEST_F(Registry, ValuesRoundTripInTheExportFormat) {
  EXPECT_FALSE(regKeyExists(kCU, kKey));  // no file: an empty hive
  ASSERT_EQ(regCreateKey(kCU, kKey), Err::ok);
  const std::string tricky = "C:\\D\\\"P\" M\xE4rz\\";
  ASSERT_EQ(regWriteString(kCU, kKey, "Pfad", tricky), Err::ok);
  ASSERT_EQ(regWriteString(kCU, kKey, "", ""), Err::ok);
  ASSERT_EQ(regWriteDword(kCU, kKey, "Hoehe", 0xA), Err::ok);
  ASSERT_EQ(regWriteDword(kCU, kKey, "Max", 0xFFFFFFFFu), Err::ok);
  EXPECT_EQ(tree.lesen("HKEY_CURRENT_USER.reg"),
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\QMT\\Vokarium]\r\n"
            "\"Pfad\"=\"C:\\\\D\\\\\\\"P\\\" M\xE4rz\\\\\"\r\n@=\"\"\r\n"
            "\"Hoehe\"=dword:0000000a\r\n\"Max\"=dword:ffffffff\r\n");
  RegValue v;
  ASSERT_EQ(regRead(kCU, kKey, "Pfad", v), Err::ok);
  EXPECT_EQ(v.type == RegType::string ? v.text : "", tricky);
  std::uint32_t n = 0;
  ASSERT_EQ(regReadDword(kCU, kKey, "Max", n), Err::ok);
  EXPECT_EQ(n, 0xFFFFFFFFu);
}

TEST_F(Registry, NamesCompareWithoutCaseAndTypedReadsCheckTheType) {
  ASSERT_EQ(regWriteString(kCU, kKey, "BasisVerzeichnis", "\\a\\"), Err::ok);
  ASSERT_EQ(regWriteString(kCU, "SOFTWARE\\qmt\\VOKARIUM", "basisverzeichnis", "\\b\\"), Err::ok);
  ASSERT_EQ(regWriteDword(kCU, kKey, "\xC4nderung", 7), Err::ok);
  std::string s;
  ASSERT_EQ(regReadString(kCU, "software\\Qmt\\vokarium\\", "BASISverzeichnis", s), Err::ok);
  EXPECT_EQ(s, "\\b\\");
  const std::string text = tree.lesen("HKEY_CURRENT_USER.reg");
  EXPECT_EQ(text.find("[HKEY"), text.rfind("[HKEY"));  // one key, one value
  std::uint32_t n = 0;
  EXPECT_EQ(regReadDword(kCU, kKey, "\xE4NDERUNG", n), Err::ok);
  EXPECT_EQ(n, 7u);
  EXPECT_EQ(regReadString(kCU, kKey, "\xC4nderung", s), Err::invalidParameter);
  EXPECT_TRUE(regKeyExists(kCU, "Software\\QMT"));
  EXPECT_FALSE(regKeyExists(kCU, "Software\\QM"));
  EXPECT_EQ(regDeleteValue(kCU, kKey, "BASISVERZEICHNIS"), Err::ok);
  EXPECT_EQ(regReadString(kCU, kKey, "BasisVerzeichnis", s), Err::notFound);
}

TEST_F(Registry, BrokenLinesAreSkippedAndUnsafeValuesRefused) {
  tree.schreiben(
      "HKEY_CURRENT_USER.reg",
      "REGEDIT4\n\"VorSchluessel\"=\"x\"\n[HKEY_CURRENT_USER\\Software\\QMT\\Vokarium] \t\n"
      "; Kommentar\n\"Gut\"=\"ja\"\r\n\"OhneEnde\"=\"abc\n\"Lang\"=dword:123456789\n"
      "\"Hex\"=dword:12g4\n\"Bin\"=hex:01\n\"Rest\"=\"a\"b\n\xFF\x01\n\"Zahl\"=DWORD:1F\n"
      "[HKEY_CURRENT_USER\\Software\\Offen\n\"NachOffen\"=\"y\"\n"
      "[HKEY_LOCAL_MACHINE\\Software\\QMT\\Vokarium]\n\"Fremd\"=\"z\"\n"
      "[HKEY_CURRENT_USER\\Software\\QMT\\Vokarium]\n\"Spaet\"=\"auch\"");
  std::string s;
  EXPECT_EQ(regReadString(kCU, kKey, "Spaet", s), Err::ok);
  std::uint32_t n = 0;
  EXPECT_EQ(regReadDword(kCU, kKey, "Zahl", n), Err::ok);
  EXPECT_EQ(n, 31u);
  RegValue v;
  for (const char* bad :
       {"VorSchluessel", "OhneEnde", "Lang", "Hex", "Bin", "Rest", "NachOffen", "Fremd"})
    EXPECT_EQ(regRead(kCU, kKey, bad, v), Err::notFound) << bad;
  EXPECT_FALSE(regKeyExists(kCU, "Software\\Offen"));

  // A value with a line break would smuggle a key into the file.
  EXPECT_EQ(regWriteString(kCU, kKey, "T", "x\r\n[HKEY_CURRENT_USER\\Software\\Boese]"),
            Err::invalidParameter);
  EXPECT_EQ(regWriteString(kCU, kKey, std::string("N\0", 2), "x"), Err::invalidParameter);
  EXPECT_EQ(regCreateKey(kCU, "Software\\\\Doppelt"), Err::invalidParameter);
  EXPECT_FALSE(regKeyExists(kCU, "Software\\Boese"));
  ASSERT_EQ(regWriteDword(kCU, kKey, "Neu", 1), Err::ok);  // keeps the good, drops the rest
  EXPECT_EQ(regReadString(kCU, kKey, "Gut", s), Err::ok);
  EXPECT_EQ(tree.lesen("HKEY_CURRENT_USER.reg").find("Bin"), std::string::npos);
}

TEST_F(Registry, WritesReplaceTheFileWholeWhereTheVariablesSay) {
  ASSERT_EQ(regWriteString(kCU, kKey, "Alt", "1"), Err::ok);
  const std::string before = tree.lesen("HKEY_CURRENT_USER.reg");
  // A reader that opened the file before a write keeps the whole old text.
  std::ifstream reader(tree.pfad("HKEY_CURRENT_USER.reg"), std::ios::binary);
  ASSERT_EQ(regWriteString(Hive::localMachine, kKey, "Neu", std::string(20000, 'x')), Err::ok);
  ASSERT_EQ(regWriteString(kCU, kKey, "Neu", std::string(20000, 'x')), Err::ok);
  std::ostringstream old;
  old << reader.rdbuf();
  EXPECT_EQ(old.str(), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree.wurzel), {}), 2)
      << "both hives, no temporary file left";

  tree.env("VOKARIUM_REGISTRY_DIR", nullptr);
  tree.env("XDG_CONFIG_HOME", tree.pfad("cfg").c_str());
  EXPECT_EQ(registryFile(Hive::localMachine), "/etc/QMT/HKEY_LOCAL_MACHINE.reg");
  ASSERT_EQ(regWriteDword(kCU, kKey, "Breite", 640), Err::ok);
  EXPECT_TRUE(std::filesystem::exists(tree.pfad("cfg/QMT/HKEY_CURRENT_USER.reg")));
}

}  // namespace
