// Path splitting, desktop shortcuts (names, arguments, description, the file
// written), starting programs, and the trace line format.
#include "testbaum.h"

namespace {

using Utilities = Testbaum;

TEST(PfadTeilen, SplitsAtLastBackslashFromSecondCharacter) {
  std::string pfad = "\\srv\\dragon\\Vokarium\\Vokarium.cfg";
  std::string ordner = "unberuehrt";
  vk::PfadTeilen(pfad, ordner);
  EXPECT_EQ(ordner, "\\srv\\dragon\\Vokarium\\");
  EXPECT_EQ(pfad, "Vokarium.cfg");

  pfad = "\\Datei.txt";  // only a backslash in the first place
  ordner = "unberuehrt";
  vk::PfadTeilen(pfad, ordner);
  EXPECT_EQ(pfad, "\\Datei.txt");
  EXPECT_EQ(ordner, "unberuehrt");

  pfad = "C:\\";
  vk::PfadTeilen(pfad, ordner);
  EXPECT_EQ(ordner, "C:\\");
  EXPECT_EQ(pfad, "");
}

TEST_F(Utilities, ShortcutNamesAndArguments) {
  auto v = vk::VerknuepfungBilden("Meier", "", "Chirurgie", 5);
  EXPECT_EQ(v.dateiname, "Meier Chirurgie (5).desktop");
  EXPECT_EQ(v.argumente, "-u \"Meier\" -p \"Chirurgie\" -G 5");

  v = vk::VerknuepfungBilden("Meier", "", "Chirurgie", 2);
  EXPECT_EQ(v.dateiname, "Meier Chirurgie.desktop");
  EXPECT_EQ(v.argumente, "-u \"Meier\" -p \"Chirurgie\" -G 2");

  v = vk::VerknuepfungBilden("Meier", "Allgemein", "", -1);
  EXPECT_EQ(v.dateiname, "Meier (DNS).desktop");
  EXPECT_EQ(v.argumente, "-u \"Meier\"-t \"Allgemein\"");
  EXPECT_EQ(v.beschreibung, vk::TextMitWert(2571, "Meier") + "\rAllgemein");

  v = vk::VerknuepfungBilden("Meier", "", "Chirurgie", 0);
  EXPECT_EQ(v.argumente, "-u \"Meier\" -p \"Chirurgie\" -G 0");
  EXPECT_EQ(v.beschreibung, vk::TextMitWert(2571, "Meier") + "\r" + vk::Text(2572) + "\r" +
                                vk::TextMitWert(2573, "Chirurgie"));
}

TEST_F(Utilities, ShortcutWrittenToDesktopOrReported) {
  vk::ProgrammverzeichnisSetzen(sys("bin"));
  schreiben("bin/vkHelfer", "");
  ASSERT_TRUE(vk::VerknuepfungAnlegen("Meier", "", "Chirurgie", 3, 5));
  const std::string inhalt = lesen("desktop/Meier Chirurgie (5).desktop");
  EXPECT_NE(inhalt.find("vkHelfer"), std::string::npos) << inhalt;
  EXPECT_NE(inhalt.find("Chirurgie"), std::string::npos) << inhalt;
  // The program stands for the icon in a build tree; installed, the suite's
  // icon lies in share/icons beside bin/.
  EXPECT_NE(inhalt.find("Icon=" + plat::nativePath(sys("bin")) + "/vkHelfer\n"), std::string::npos)
      << inhalt;
  schreiben("share/icons/vkhelfer.png", "PNG");
  ASSERT_TRUE(vk::VerknuepfungAnlegen("Meier", "", "Chirurgie", 3, 5));
  EXPECT_NE(lesen("desktop/Meier Chirurgie (5).desktop")
                .find("Icon=" + plat::nativePath(sys("share/icons/vkhelfer.png")) + "\n"),
            std::string::npos);

  // The program receives user and topic as separate arguments.
  ASSERT_TRUE(vk::VerknuepfungAnlegen("Dr Meier", "Allgemein", "", 1, -1));
  const std::string dns = lesen("desktop/Dr Meier (DNS).desktop");
  EXPECT_NE(dns.find(" -u \"Dr Meier\" -t Allgemein"), std::string::npos) << dns;

  EXPECT_FALSE(vk::VerknuepfungAnlegen("a/b", "", "", 1, -1));
  ASSERT_EQ(vk::recordedMessages().size(), 1U);
  EXPECT_NE(meldungen().find(vk::Text(2574)), std::string::npos);
}

TEST_F(Utilities, StartingMissingFailingAndGoodPrograms) {
  EXPECT_FALSE(vk::StartenUndWarten(sys("bin/fehlt.exe"), ""));
  ASSERT_EQ(vk::recordedMessages().size(), 1U);
  EXPECT_EQ(vk::recordedMessages()[0].text, vk::TextMitWert(862, sys("bin/fehlt.exe")));

  schreiben("bin/prog", "#!/bin/sh\nexit \"$1\"\n");
  std::filesystem::permissions(wurzel_ / "bin/prog", std::filesystem::perms::owner_all);
  vk::clearRecordedMessages();
  EXPECT_TRUE(vk::StartenUndWarten(sys("bin/prog.exe"), "0"));
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();
  EXPECT_FALSE(vk::StartenUndWarten(sys("bin/prog"), "3"));
  ASSERT_EQ(vk::recordedMessages().size(), 1U);
  EXPECT_EQ(vk::recordedMessages()[0].text, vk::TextMitWert(959, sys("bin/prog")) + "Fehler 3, ");
  EXPECT_TRUE(vk::Starten(sys("bin/prog"), false, "3", false));  // not waited for
}

TEST(TraceZeile, HeadValuesAndTabs) {
  vk::TraceKopf kopf;
  kopf.programm = "Vokarium";
  kopf.instanz = 4194304;
  kopf.thread = 812;
  kopf.zeit = {2026, 12, 5, 17, 54, 30, 0};
  kopf.ticks = 123456007;
  EXPECT_EQ(vk::TraceZeile(kopf, {"SperreSetzen", "\\srv\\p\\Sperre.lck"}),
            "Vokarium: 4194304: 812: 261205: 175430: 007: \tSperreSetzen\t\\srv\\p\\Sperre.lck\t");
}

}  // namespace
