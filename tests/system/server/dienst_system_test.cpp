// The server as a service: the unit file of its registration, the refusals
// of a second registration and of removing a missing one, and the service
// run with its log file (cp1252, CR LF) and the stop control.
#include <gtest/gtest.h>

#include "tests/system/server/zentrale_lauf.h"

using namespace testlauf;

TEST(Dienst, RegistrierenEntfernenUndLaufMitProtokolldatei) {
  Baum b;
  const fs::path kanzlei = b.wurzel / "Kanzlei.ini";
  schreiben(kanzlei, "[Vokarium]\r\n");
  const fs::path unit = b.wurzel / "units" / "vkZentrale.Kanzlei.service";
  // Exit code and error output of a run with `befehl`.
  const auto lauf = [&](const std::string& befehl) {
    Prozess l;
    l.start(b.wurzel, {VK_ZENTRALE_EXE, "-I" + kanzlei.string(), befehl});
    const int code = l.ende();
    return std::pair{code, l.fehler()};
  };
  EXPECT_EQ(lauf("/REGISTER").first, 0);
  const std::string inhalt = lesen(unit);
  EXPECT_NE(inhalt.find("ExecStart="), std::string::npos) << inhalt;
  EXPECT_NE(inhalt.find(" /SERVICE /I" + kanzlei.string() + "\n"), std::string::npos) << inhalt;
  const auto [nochmal, nochmalFehler] = lauf("/REGISTER");
  EXPECT_EQ(nochmal, 8);
  EXPECT_NE(nochmalFehler.find("Service ist bereits registriert"), std::string::npos);
  EXPECT_EQ(lesen(unit), inhalt);
  EXPECT_EQ(lauf("/UNREGISTER").first, 0);
  EXPECT_FALSE(fs::exists(unit));
  const auto [fehlt, fehltFehler] = lauf("/UNREGISTER");
  EXPECT_EQ(fehlt, 8);
  EXPECT_NE(fehltFehler.find("OpenService Fehler 1060"), std::string::npos) << fehltFehler;

  b.benutzer("A\tu1\t\t\r\n");
  // The log file lies beside the program: run a copy in the temp tree.
  const fs::path bin = b.wurzel / "bin";
  fs::create_directories(bin);
  fs::copy_file(VK_ZENTRALE_EXE, bin / "vkZentrale");
  const fs::path log = bin / "vkZentrale.Vokarium.log";
  const std::string i = "-I" + b.ini.string();

  Prozess dienst;
  dienst.start(b.wurzel, {(bin / "vkZentrale").string(), "/SERVICE", i});
  ASSERT_TRUE(warteBis([&] { return fs::exists(b.ziel / "BenIntern.dat"); }));

  dienst.signal(SIGTERM);
  EXPECT_EQ(dienst.ende(), 0);
  const std::string text = lesen(log);
  EXPECT_NE(text.find("\r\n\r\n\r\n"), std::string::npos);
  EXPECT_NE(text.find("Start Service vkZentrale.Vokarium"), std::string::npos) << text;
  EXPECT_NE(text.find("qmt   VokariumServer   5.0\r\n"), std::string::npos);
  EXPECT_NE(text.find("Ende Service vkZentrale.Vokarium : Stop"), std::string::npos) << text;
  for (std::size_t p = text.find('\n'); p != std::string::npos; p = text.find('\n', p + 1))
    ASSERT_TRUE(p > 0 && text[p - 1] == '\r') << "every line ends with CR LF";

  // A fatal stop in the service goes into its log file, in cp1252, and to
  // the error output.
  Prozess erster;
  erster.start(b.wurzel, {VK_ZENTRALE_EXE, i});
  ASSERT_TRUE(warteBis([&] { return fs::exists(b.ziel / "vkZentrale.lck"); }));
  Prozess zweiter;
  zweiter.start(b.wurzel, {(bin / "vkZentrale").string(), "/SERVICE", i});
  EXPECT_EQ(zweiter.ende(), 8);
  const std::string nachher = lesen(log);
  EXPECT_NE(nachher.find("\r\n\r\n+++++ "), std::string::npos) << "error lines in the file";
  EXPECT_NE(nachher.find("der Vokarium-Server l\xE4uft bereits !"), std::string::npos);
  EXPECT_NE(zweiter.fehler().find("l\xC3\xA4uft bereits"), std::string::npos);
  erster.signal(SIGTERM);
  EXPECT_EQ(erster.ende(), 0);
}
