// Path splitting, desktop shortcuts (the file written) and starting programs.
#include "testbaum.h"

namespace {

using Utilities = Testbaum;

// Each case: path, and folder | name after the split ("-": folder untouched).
TEST(PfadTeilen, SplitsAtLastBackslashFromSecondCharacter) {
  const std::pair<const char*, const char*> faelle[] = {
      {"\\srv\\dragon\\Vokarium\\Vokarium.cfg", "\\srv\\dragon\\Vokarium\\|Vokarium.cfg"},
      {"\\Datei.txt", "-|\\Datei.txt"},  // only a backslash in the first place
      {"C:\\", "C:\\|"}};
  for (const auto& [pfad, erwartet] : faelle) {
    std::string name = pfad;
    std::string ordner = "-";
    vk::PfadTeilen(name, ordner);
    EXPECT_EQ(ordner + "|" + name, erwartet) << pfad;
  }
}

TEST_F(Utilities, ShortcutWrittenToDesktopOrReported) {
  vk::ProgrammverzeichnisSetzen(sys("bin"));
  schreiben("bin/vkHelfer", "");
  const auto anlegen = [&](const char* user, const char* topic, const char* pool, int gruppe,
                           const std::string& datei) {
    EXPECT_TRUE(vk::VerknuepfungAnlegen(user, topic, pool, 3, gruppe));
    return lesen("desktop/" + datei);
  };
  // The comment is one line, without escapes or end blanks.
  std::string inhalt = anlegen("Meier", "", "Chirurgie", 5, "Meier Chirurgie (5).desktop");
  EXPECT_NE(inhalt.find("vkHelfer"), std::string::npos) << inhalt;
  EXPECT_EQ(inhalt.find("Icon="), std::string::npos) << inhalt;
  EXPECT_NE(inhalt.find("\nComment=Dragon f\xC3\xBCr Meier, mit Vokarium-Abgleich, Pool: "
                        "Chirurgie\n"),
            std::string::npos)
      << inhalt;
  EXPECT_EQ(meldungen(), "Auf dem Desktop wurde die Verkn\xFCpfung\r" + sys("desktop") +
                             "\\Meier Chirurgie (5).desktop\rangelegt.\n");
  schreiben("share/icons/vkhelfer.png", "PNG");
  inhalt = anlegen("Meier", "", "Chirurgie", 5, "Meier Chirurgie (5).desktop");
  EXPECT_NE(inhalt.find("Icon=" + plat::nativePath(sys("share/icons/vkhelfer.png")) + "\n"),
            std::string::npos);
  // The program receives user and topic as separate arguments.
  inhalt = anlegen("Dr Meier", "Allgemein", "", -1, "Dr Meier (DNS).desktop");
  EXPECT_NE(inhalt.find(" -u \"Dr Meier\" -t Allgemein"), std::string::npos) << inhalt;
  vk::clearRecordedMessages();
  EXPECT_FALSE(vk::VerknuepfungAnlegen("a/b", "", "", 1, -1));
  EXPECT_EQ(vk::recordedMessages().size(), 1U);
  EXPECT_NE(meldungen().find(vk::Text(2574)), std::string::npos) << meldungen();
}

TEST_F(Utilities, StartingMissingFailingAndGoodPrograms) {
  // The name shown is the file looked for, its "\n" no line break.
  EXPECT_FALSE(vk::StartenUndWarten(sys("neu/natspeak.exe"), ""));
  schreiben("bin/prog", "#!/bin/sh\nexit \"$1\"\n");
  std::filesystem::permissions(wurzel_ / "bin/prog", std::filesystem::perms::owner_all);
  EXPECT_TRUE(vk::StartenUndWarten(sys("bin/prog.exe"), "0"));
  EXPECT_FALSE(vk::StartenUndWarten(sys("bin/prog"), "3"));
  const std::string deutsch = vk::TextMitWert(959, sys("bin/prog"));
  // The word before the exit code speaks the language file's language.
  vk::TextLaden("English");
  EXPECT_FALSE(vk::StartenUndWarten(sys("bin/prog"), "3"));
  EXPECT_EQ(meldungen(), "Das Programm " + sys("neu/natspeak") + " wurde nicht gefunden.\n" +
                             deutsch + "Fehler 3, \n" + vk::TextMitWert(959, sys("bin/prog")) +
                             "Error 3, \n");
  EXPECT_TRUE(vk::Starten(sys("bin/prog"), false, "3", false));  // not waited for
}

}  // namespace
