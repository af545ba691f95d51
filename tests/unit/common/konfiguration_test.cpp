// Configuration lines and file, its directory, the registry, the INI reader.
#include "testbaum.h"

#include "platform/registry.h"

namespace {

using Konfig = Testbaum;

TEST(KonfigZeile, KeysValuesAndFlags) {
  vk::Konfiguration k;
  // No key, no "=", a key with other case, an unknown key, a flag not "1".
  for (const char* z : {"=BasisVerzeichnis", "BasisVerzeichnis \\srv\\", "basisverzeichnis=\\srv\\",
                        "Pause=10", "mitTrigger=ja"})
    EXPECT_FALSE(vk::KonfigZeileAuswerten(k, z)) << z;
  EXPECT_TRUE(k.BasisVerzeichnis.empty());
  EXPECT_FALSE(k.mitTrigger);
  EXPECT_TRUE(vk::KonfigZeileAuswerten(k, "  mitTrigger  =  1 "));
  vk::KonfigZeileAuswerten(k, "mitTrigger=0");  // only reading "1" touches a flag
  EXPECT_TRUE(k.mitTrigger);
  // Only the first "=" splits; the value keeps later ones.
  vk::KonfigZeileAuswerten(k, "TriggerName=Auftrag\\*=x.trg");
  EXPECT_EQ(k.TriggerName, "Auftrag\\*=x.trg");
}

TEST_F(Konfig, FileReadWholeLaterLineWinsSlashVOrReportedMissing) {
  schreiben("ziel/Vokarium.cfg",
            "[Vokarium]\r\nBasisVerzeichnis=\\srv\\dragon\\\r\nmitTrigger=1\r\n"
            "TriggerName=alt\\*.trg\r\n[Anderes]\r\nTriggerName=Trigger\\*.trg\nGeneralVOC=Allg");
  auto& k = vk::konfiguration();
  k.KonfigVerzeichnis = sys("ziel/");
  k.TriggerName.clear();
  ASSERT_TRUE(vk::KonfigurationLesen("  /V -p x"));
  EXPECT_EQ(k.BasisVerzeichnis, "\\srv\\dragon\\");
  EXPECT_EQ(k.TriggerName, "Trigger\\*.trg");
  EXPECT_EQ(k.GeneralVOC, "Allg");  // last line without line end
  EXPECT_TRUE(k.mitTrigger);
  EXPECT_TRUE(k.ZusatzInfo);
  k.KonfigVerzeichnis = sys("nirgends/");
  EXPECT_FALSE(vk::KonfigurationLesen(""));
  EXPECT_EQ(k.GeneralVOC, "Allg");
  EXPECT_EQ(meldungen().rfind(vk::Text(105) + " 3 " + sys("nirgends/"), 0), 0U) << meldungen();
  EXPECT_NE(meldungen().find("Vokarium.cfg not found :\r"), std::string::npos) << meldungen();
}

// The user's base directory wins over the recognizer's and the machine's;
// the derived directory is written back, and once written taken as it is.
TEST_F(Konfig, DirectoryFromLastDirectoryOrDerivedAndWrittenBack) {
  int gefragt = 0;
  const auto dragon = [&] {
    ++gefragt;
    return std::string(gefragt == 1 ? "" : "\\roaming\\");
  };
  EXPECT_EQ(vk::KonfigVerzeichnisFinden(dragon), "");  // nothing anywhere
  EXPECT_EQ(gefragt, 1);
  vk::RegSchreiben("LastBasisDirectory", "\\srv\\dragon\\");
  EXPECT_EQ(plat::regWriteString(plat::Hive::localMachine, vk::kRegSchluessel, "LastBasisDirectory",
                                 "\\maschine\\"),
            plat::Err::ok);
  EXPECT_EQ(vk::KonfigVerzeichnisFinden(dragon), "\\srv\\dragon\\Vokarium\\");
  EXPECT_EQ(gefragt, 1);
  EXPECT_EQ(vk::RegLesen("LastDirectory") + vk::RegLesen("LastBasisDirectory"),
            "\\srv\\dragon\\Vokarium\\\\srv\\dragon\\");
  vk::RegSchreiben("LastDirectory", "\\anders\\Vokarium\\");
  EXPECT_EQ(vk::KonfigVerzeichnisFinden(nullptr), "\\anders\\Vokarium\\");
  EXPECT_EQ(vk::konfiguration().KonfigVerzeichnis, "\\anders\\Vokarium\\");
}

TEST_F(Konfig, RegistryStringsNumbersAndHives) {
  // A string stored with its terminating zero, as older writers left it.
  using std::string_literals::operator""s;
  schreiben("reg/HKEY_CURRENT_USER.reg",
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\QMT\\Vokarium]\r\n"
            "\"MitNull\"=\"abc\0\"\r\n\"ZweiNullen\"=\"x\0\0\"\r\n"s);
  EXPECT_EQ(vk::RegLesen("MitNull"), "abc");
  EXPECT_EQ(vk::RegLesen("ZweiNullen"), "x\0"s);
  EXPECT_EQ(plat::regWriteDword(plat::Hive::currentUser, vk::kRegSchluessel, "Zahl", 42),
            plat::Err::ok);
  EXPECT_EQ(vk::RegLesen("Zahl"), "42");
  std::int32_t n = 7;
  vk::RegLesenZahl("Fehlt", n);
  EXPECT_EQ(n, 7);

  // RegLesenMaschine reads the machine hive and leaves the user's as root.
  EXPECT_EQ(plat::regWriteString(plat::Hive::localMachine, vk::kRegSchluessel, "Wert", "M"),
            plat::Err::ok);
  vk::RegSchreiben("Wert", "U");
  vk::RegWurzelSetzen(plat::Hive::localMachine);
  EXPECT_EQ(vk::RegLesenMaschine("Wert"), "M");
  EXPECT_EQ(vk::RegLesen("Wert"), "U");
}

TEST_F(Konfig, IniFirstKeyAnywhereWinsQuotesRemoved) {
  schreiben("nsuser.ini",
            "[Options]\r\nDefault Directory = \"C:\\alt\\\"\r\n"
            "[Global Options]\r\n  default directory=C:\\neu\\\r\n"
            "Roaming User Master Directory=\"\\srv\\dragon\\\"\r\n=leer\r\nohne\r\nLeer=\"\r\n");
  const std::string datei = sys("nsuser.ini");
  EXPECT_EQ(vk::IniWert(datei, "Global Options", "Default Directory"), "C:\\alt\\");
  EXPECT_EQ(vk::IniWert(datei, "Options", "ROAMING USER MASTER DIRECTORY"), "\\srv\\dragon\\");
  EXPECT_EQ(vk::IniWert(datei, "Options", "Fehlt"), "");
  EXPECT_EQ(vk::IniWert(datei, "Options", "Leer"), "");
  EXPECT_EQ(vk::IniWert(sys("fehlt.ini"), "a", "b"), "");
  EXPECT_TRUE(vk::recordedMessages().empty());
}

// A message names the mount option or file system of the pool drive where
// locks would not reach other workstations (each verdict is the OS layer's).
TEST_F(Konfig, PoolDriveMountIsChecked) {
  baum_->env("VOKARIUM_MOUNTINFO", VK_SOURCE_DIR "/tests/data/mountinfo.txt");
  const std::pair<const char*, const char*> faelle[] = {
      {"\\mnt\\cifs-a\\Vokarium\\", nullptr},  // nullptr: no message
      {"\\mnt\\cifs-nobrl\\Vokarium\\", "mit der Option nobrl eingebunden"},
      {"\\home\\meier\\Diktat Pool\\", "Dateisystem (fuse.sshfs)"}};
  for (const auto& [ziel, erwartet] : faelle) {
    SCOPED_TRACE(ziel);
    vk::clearRecordedMessages();
    vk::PoolLaufwerkPruefen(ziel);
    ASSERT_EQ(vk::recordedMessages().size(), erwartet ? 1U : 0U) << meldungen();
    if (erwartet) {
      EXPECT_NE(meldungen().find(erwartet), std::string::npos) << meldungen();
      EXPECT_NE(meldungen().find(ziel), std::string::npos) << meldungen();
    }
  }
}

}  // namespace
