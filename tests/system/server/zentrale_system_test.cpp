// The pool server as a process: settings, exit codes, the trigger life
// cycle and being killed while it delivers.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <sstream>
#include <thread>

#include "platform/shared_file.h"
#include "tests/system/server/zentrale_lauf.h"

using namespace testlauf;

namespace {

const std::string kZweiPools = "A\tu1\tcurrent\\t1\tThema 1\r\nA\tu2\tcurrent\\t2\tThema 2\r\n";

}  // namespace

// The registry's base directory beats the INI's; the clients' view of the
// settings lands in Vokarium.cfg; a line starting with a blank is no entry.
TEST(Einstellungen, RegistrySchlaegtIniUndClientsSehenIhreSicht) {
  Baum b;
  const fs::path b2 = b.wurzel / "andereBasis";
  schreiben(b2 / "Admin.dat", "P\tmaria\tcurrent\\x\tx\r\n Q\tblank\t\t\r\n");
  Baum::registryBasis(b2);
  b.iniSchreiben(
      "ClZielVerzeichnis=\\\\srv\\pool\\\r\nBenutzerlistenDatei=Admin.dat\r\nEndzeit=23:50\r\n"
      "NichtLoeschen=true\r\n");
  Prozess s;
  s.start(b.wurzel, {VK_ZENTRALE_EXE, "-I" + b.ini.string(), "-E"});
  ASSERT_EQ(s.ende(), 0) << s.fehler();
  const fs::path ziel = b2 / "Vokarium";
  EXPECT_EQ(lesen(ziel / "Vokarium.cfg"),
            "[Vokarium]\r\nBasisVerzeichnis=" + sys(b2) +
                "\\\r\nVocDatei=vocdelta.dat\r\nZielVerzeichnis=\\\\srv\\pool\\\r\n"
                "WortlistenDatei=Worte.dat\r\nGesamtWortlistenDatei=AlleWorte.dat\r\n"
                "BenutzerlistenDatei=BenIntern.dat\r\nPause=1\r\nEndzeit=23:50\r\n"
                "NichtLoeschen=1\r\nmitTrigger=1\r\nTriggerName=Trigger\\*.trg\r\n"
                "neuWorteTextdatei=\\neuWorte.txt\r\nloeWorteTextdatei=\\loeWorte.txt\r\n");
  EXPECT_EQ(lesen(ziel / "BenIntern.dat"), "P\tmaria\tcurrent\\x\tx\r\n");
  EXPECT_TRUE(fs::is_directory(ziel / "P"));
  EXPECT_TRUE(fs::is_directory(ziel / "Trigger"));
  EXPECT_FALSE(fs::exists(ziel / "vkZentrale.lck"));
  EXPECT_FALSE(fs::exists(b.ziel)) << "the INI's base directory must lose to the registry";
  EXPECT_NE(s.ausgabe().find("ClZielVerzeichnis = \\\\srv\\pool\\"), std::string::npos);
}

// Exit codes with their messages; a response file stands for the whole
// command line (lines with a blank in front skipped, "-" put in front);
// without a base directory in the registry and no one to ask it stops.
TEST(Einstellungen, AbbruchcodesAntwortdateiUndIhreMeldungen) {
  Baum b;
  b.benutzer(kZweiPools);
  const std::string i = "-I" + b.ini.string();
  schreiben(b.wurzel / "gut.txt", "I" + b.ini.string() + "\r\n ausgelassen\r\n/E\r\n");
  schreiben(b.wurzel / "falsch.txt", "I" + b.ini.string() + "\r\nquatsch\r\n");
  const struct {
    std::string ini;
    std::vector<std::string> args;
    int code;
    std::string meldung;
  } faelle[] = {
      {"", {i, "-Q"}, 16, "unzulaessige Option : -Q"},
      {"", {"@" + (b.wurzel / "falsch.txt").string()}, 16, "unzulaessige Option : -quatsch"},
      {"", {"-I", "-E"}, 8, "Name der INI-Datei fehlt"},
      {"Endzeit=7:30\r\n", {i, "-E"}, 8, "unzulaessige Endzeit-Angabe"},
      {"Endzeit=23:50\r\n", {"@" + (b.wurzel / "gut.txt").string()}, 0, ""},
      {"", {i, "-E"}, 8, "Basis-Verzeichnis unbekannt"},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.meldung);
    if (f.meldung == "Basis-Verzeichnis unbekannt")
      plat::ignoreErr(plat::regDeleteValue(plat::Hive::localMachine, "Software\\QMT\\Vokarium",
                                           "LastBasisDirectory"),
                      "absent is what the case needs");
    b.iniSchreiben(f.ini);
    Prozess s;
    std::vector<std::string> argv{VK_ZENTRALE_EXE};
    argv.insert(argv.end(), f.args.begin(), f.args.end());
    s.start(b.wurzel, argv);
    EXPECT_EQ(s.ende(), f.code) << s.fehler();
    if (f.code != 0) {
      EXPECT_NE(s.fehler().find("qmt Abbruch-Message: +++++ " + f.meldung), std::string::npos)
          << s.fehler();
    }
  }
  EXPECT_TRUE(fs::exists(b.ziel / "Vokarium.cfg"));
}

// POOL before ADMIN, every member served, a "T" trigger deleted only after
// the pass, a broken one set aside; ADMIN makes the server read the changed
// user list again, ending the wait of an hour (EinzelTest=FALSE in the INI
// beats -E); a stop removes the lock file.
TEST(Triggerzyklus, PoolVorAdminUndTErstNachDemDurchgangWeg) {
  Baum b;
  b.benutzer(kZweiPools);
  schreiben(b.ini, "[Vokarium]\r\nPause=3600\r\nEinzelTest=FALSE\r\n");
  schreiben(b.pool("A") / "neuWorte.txt", "Wort1\r\n");
  fs::create_directories(b.ziel / "Trigger");
  b.triggerSchreiben("POOL-A");
  b.triggerSchreiben("ADMIN");
  b.triggerSchreiben("T1001");
  b.triggerSchreiben("T1002", "Fremdprogramm\r\n");
  Prozess s;
  s.start(b.wurzel, {VK_ZENTRALE_EXE, "-I" + b.ini.string(), "-E"});
  ASSERT_TRUE(warteBis([&] { return !fs::exists(b.trigger("T1001")); }));
  EXPECT_EQ(lesen(b.pool("A") / "_u1.neu"), "Wort1\r\n");
  EXPECT_EQ(lesen(b.pool("A") / "_u2.neu"), "Wort1\r\n");
  EXPECT_FALSE(fs::exists(b.trigger("POOL-A")));
  EXPECT_FALSE(fs::exists(b.trigger("ADMIN")));
  EXPECT_TRUE(warteBis([&] { return fs::exists(b.trigger("T1002").string() + ".defekt"); }));
  ASSERT_TRUE(warteBis([&] { return s.ausgabe().find("Admin-Restart") != std::string::npos; }));

  b.benutzer(kZweiPools + "B\tu3\tcurrent\\t3\tThema 3\r\n");
  b.triggerSchreiben("ADMIN");
  EXPECT_TRUE(warteBis(
      [&] { return lesen(b.ziel / "BenIntern.dat").find("B\tu3\t") != std::string::npos; }));
  EXPECT_TRUE(fs::is_directory(b.pool("B")));
  EXPECT_TRUE(fs::exists(b.ziel / "vkZentrale.lck"));
  s.signal(SIGTERM);
  EXPECT_EQ(s.ende(), 0);
  EXPECT_FALSE(fs::exists(b.ziel / "vkZentrale.lck"));
}

// A client keeps appending while the server is killed again and again: no
// line may be lost (it may arrive twice).
TEST(Fehlerfaelle, KeineZeileGehtVerlorenAuchBeimAbschuss) {
  Baum b;
  b.benutzer("A\tu1\t\t\r\n");
  fs::create_directories(b.pool("A"));
  fs::create_directories(b.ziel / "Trigger");
  const std::string text = sys(b.pool("A") / "neuWorte.txt");
  const std::string trigger = sys(b.trigger("POOL-A"));
  const auto anstossen = [&] {
    plat::ignoreErr(plat::publishNew(trigger, "Vokarium5-Trigger\r\nPLATZ\r\n", false),
                    "a trigger still there is pending");
  };
  constexpr int kZeilen = 400;
  std::atomic<bool> fertig{false};
  std::thread client([&] {
    for (int n = 0; n < kZeilen; ++n) {
      plat::SharedFile f;
      while (f.open(text, plat::Access::readWrite, plat::Share::exclusive,
                    plat::Disposition::openAlways) != plat::Err::ok)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      EXPECT_EQ(f.append("L" + std::to_string(n) + "\r\n"), plat::Err::ok);
      f.close();
      anstossen();
      std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    fertig = true;
  });
  for (int runde = 0; !fertig; ++runde) {
    Prozess s;
    s.start(b.wurzel, {VK_ZENTRALE_EXE, "-I" + b.ini.string()});
    std::this_thread::sleep_for(std::chrono::milliseconds(150 + 37 * (runde % 5)));
    s.signal(SIGKILL);
    s.ende();
  }
  client.join();
  Prozess s;
  s.start(b.wurzel, {VK_ZENTRALE_EXE, "-I" + b.ini.string()});
  anstossen();
  ASSERT_TRUE(warteBis([&] {
    return !fs::exists(b.trigger("POOL-A")) && !fs::exists(b.pool("A") / "neuWorte.txt") &&
           !fs::exists(b.pool("A") / "neuWorte.txt.zustellung");
  }));
  std::set<std::string> gesehen;
  std::istringstream zeilen(lesen(b.pool("A") / "_u1.neu"));
  for (std::string z; std::getline(zeilen, z);)
    gesehen.insert(z);
  for (int n = 0; n < kZeilen; ++n)
    EXPECT_TRUE(gesehen.count("L" + std::to_string(n) + "\r")) << "lost L" << n;
  s.signal(SIGTERM);
  EXPECT_EQ(s.ende(), 0);
}
