// The server core in-process: claims and member files, triggers, the user
// list, the settings, the terminal question and the log.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <sstream>
#include <thread>

#include "platform/dir_watch.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "server/benutzer.h"
#include "server/optionen.h"
#include "server/protokoll.h"
#include "server/schleife.h"
#include "server/verteilen.h"
#include "tests/support/baum.h"

using namespace zentrale;
namespace fs = std::filesystem;

namespace {

using vktest::lesen;
using vktest::schreiben;
using vktest::sys;

class Kern : public ::testing::Test {
 protected:
  void SetUp() override {
    wurzel_ = baum_.wurzel;
    baum_.env("VOKARIUM_REGISTRY_DIR", baum_.pfad("reg").c_str());
    protokollZuruecksetzen();
    optionenZuruecksetzen();
    schleifeZuruecksetzen();
    TabellenZuruecksetzen();
    protokoll().fenster = [this](std::string_view t) { log_ += t; };
    ServerOptionen& o = optionen();
    o.basisVerzeichnis = plat::systemPath(wurzel_.string()) + "\\";
    o.zielVerzeichnis = o.basisVerzeichnis + "Vokarium\\";
    o.neuWorteTextdatei = "\\neuWorte.txt";
    o.loeWorteTextdatei = "\\loeWorte.txt";
    o.triggerVerzeichnis = o.zielVerzeichnis + "Trigger\\";
    fs::create_directories(ziel() / "Trigger");
    schleife().mitgliedPauseMs = 20;
  }
  void TearDown() override { protokollZuruecksetzen(); }

  fs::path ziel() const { return wurzel_ / "Vokarium"; }
  // A file of pool A.
  fs::path a(const std::string& name) const { return ziel() / "A" / name; }
  std::string inA(const std::string& name) const { return lesen(a(name)); }
  // Holds `p` open without sharing, as another program would.
  static plat::SharedFile halten(const fs::path& p, plat::Share share = plat::Share::exclusive) {
    plat::SharedFile f;
    EXPECT_EQ(f.open(sys(p), plat::Access::readWrite, share, plat::Disposition::openExisting),
              plat::Err::ok)
        << p;
    return f;
  }

  void benutzer(const std::string& zeilen) {
    schreiben(wurzel_ / "Benutzer.dat", zeilen);
    BenutzerlisteLesen();
  }

  void trigger(const std::string& id) {
    schleife().triggerliste.push_back(sys(ziel() / "Trigger" / (id + ".trg")));
  }

  // One pass of the server on the trigger of pool A.
  void durchgang() {
    trigger("POOL-A");
    TriggerAuswerten();
    schleife().triggerliste.clear();
  }

  // A fresh pool A for the next case of a table.
  void neuerPool(const std::string& zeilen, int pauseMs) {
    fs::remove_all(ziel() / "A");
    schleifeZuruecksetzen();
    schleife().mitgliedPauseMs = pauseMs;
    benutzer(zeilen);
  }

  // Device and inode of a file (and its size), as the delivery record has them.
  static std::string stand(const fs::path& p, bool mitGroesse) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0);
    return std::to_string(st.st_dev) + " " + std::to_string(st.st_ino) +
           (mitGroesse ? " " + std::to_string(st.st_size) : "");
  }
  // One pass in a child process that dies right after its first completed
  // append, as a server killed there.
  void getoetetNachDemErstenAnhaengen() {
    const pid_t kind = ::fork();
    if (kind == 0) {
      plat::setAppendDone([] { ::_exit(0); });
      durchgang();
      ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(kind, &status, 0), kind);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "killed after an append";
  }
  void vermerk(const std::string& inhalt) {
    schreiben(ziel() / "A" / plat::ownTempName("neuWorte.txt.zustellung.vermerk"), inhalt);
  }

  // Whether the log holds `text`; shows the log when not.
  ::testing::AssertionResult imLog(const std::string& text) const {
    if (log_.find(text) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "not logged: " << text << "\n" << log_;
  }

  vktest::Baum baum_;
  fs::path wurzel_;
  std::string log_;
};

}  // namespace

// A text the client still holds stays; the next pass serves it without a
// trigger of its own. The same for new and for deleted words.
TEST_F(Kern, VomClientGehaltenerTextBleibtUndKommtImNaechstenDurchgang) {
  for (const auto& [text, mitglied] :
       {std::pair{"neuWorte.txt", "_u1.neu"}, {"loeWorte.txt", "_u1.loe"}}) {
    SCOPED_TRACE(text);
    neuerPool("A\tu1\r\n", 20);
    schreiben(a(text), "");
    {
      plat::SharedFile client = halten(a(text));
      EXPECT_EQ(client.append("W1\r\n"), plat::Err::ok);
      durchgang();
      EXPECT_FALSE(fs::exists(a(mitglied)) && fs::file_size(a(mitglied)) > 0);
    }
    TriggerAuswerten();
    EXPECT_EQ(inA(mitglied), "W1\r\n");
    TriggerAuswerten();
    EXPECT_EQ(inA(mitglied), "W1\r\n") << "served once only";
  }
}

TEST_F(Kern, ZeilenNachDemClaimKommenImNaechstenDurchgang) {
  benutzer("A\tu1\r\nB\tu9\r\n");
  schreiben(a("neuWorte.txt"), "W1\r\n");
  schreiben(a("Worte.dat"), "W1\r\n");
  durchgang();
  schreiben(a("neuWorte.txt"), "spaet\r\n");
  schreiben(ziel() / "B" / "neuWorte.txt", "ohneTrigger\r\n");
  TriggerAuswerten();
  EXPECT_EQ(inA("_u1.neu"), "W1\r\nspaet\r\n");
  EXPECT_FALSE(fs::exists(a("Worte.dat")));
  EXPECT_FALSE(fs::exists(ziel() / "B" / "_u9.neu")) << "B waits for its trigger";
}

TEST_F(Kern, GehaltenerTriggerWirdAufgegebenUndBleibt) {
  schleife().triggerWartezeitMs = 300;
  const fs::path pfad = ziel() / "Trigger" / "T1001.trg";
  schreiben(pfad, "Vokarium5-Trigger\r\nPLATZ\r\n");
  {
    plat::SharedFile schreiber = halten(pfad);
    trigger("T1001");
    TriggerLoeschen();
  }
  EXPECT_TRUE(fs::exists(pfad)) << "read again at the next scan";
  EXPECT_TRUE(imLog("+++++ Trigger nicht lesbar : " + sys(pfad)));
  ASSERT_TRUE(TriggerSuchen());
  TriggerLoeschen();
  EXPECT_FALSE(fs::exists(pfad));
  EXPECT_EQ(schleife().arbeitsplaetze, std::vector<std::string>{"PLATZ"});

  // A writer that lets go within the wait: the trigger is read and
  // deleted in the same pass, not given up or set aside.
  schleife().triggerWartezeitMs = 24 * 3600 * 1000;
  schreiben(pfad, "Vokarium5-Trigger\r\nZWEITER\r\n");
  log_.clear();
  {
    plat::SharedFile schreiber = halten(pfad);
    std::thread loslassen([&schreiber] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      schreiber.close();
    });
    trigger("T1001");
    TriggerLoeschen();
    loslassen.join();
  }
  EXPECT_FALSE(fs::exists(pfad));
  EXPECT_FALSE(fs::exists(pfad.string() + ".defekt"));
  EXPECT_EQ(log_, "");
  EXPECT_EQ(schleife().arbeitsplaetze.back(), "ZWEITER");
}

// The fields of a user line and their limits; at most 127 pools.
TEST_F(Kern, FelderDerBenutzerzeileUndHoechstens127Pools) {
  BenutzerEintrag e;
  EXPECT_EQ(BenutzerZeileZerlegen("P\t  'O''Brien'\tcurrent\\a\t\"x y\"z", e),
            ZeilenFehler::keiner);
  EXPECT_EQ(e.benutzer, "O'Brien");
  EXPECT_EQ(e.thema, "x y") << "a quoted field runs to its quote";
  EXPECT_EQ(BenutzerZeileZerlegen(std::string(31, 'p') + "\tu", e), ZeilenFehler::keiner);
  EXPECT_EQ(BenutzerZeileZerlegen(std::string(32, 'p') + "\tu", e), ZeilenFehler::feldZuLang);
  EXPECT_EQ(BenutzerZeileZerlegen("P\tu\t" + std::string(264, 's'), e), ZeilenFehler::feldZuLang);
  // A TAB inside a quoted field would add a field to "BenIntern.dat".
  for (const char* z :
       {"P\t..", "P\ta\\b", "P\ta/b", "P\t", "..\tu", "P\tu\tx\x1By", "P\tu\tx\t\"a\tb\""})
    EXPECT_EQ(BenutzerZeileZerlegen(z, e), ZeilenFehler::unzulaessigerName) << z;

  std::string zeilen;
  for (int i = 0; i < 127; ++i)
    zeilen += "P" + std::to_string(i) + "\tu\r\n";
  benutzer(zeilen + "P0\tv\r\n");
  EXPECT_EQ(tabellen().pools.size(), 127u);
  EXPECT_EQ(tabellen().benutzer.size(), 128u);
  schreiben(wurzel_ / "Benutzer.dat", zeilen + "p0\tu\r\n");
  EXPECT_THROW(BenutzerlisteLesen(), Abbruch) << "the 128th pool stops the server";
  EXPECT_EQ(protokoll().abbruchmeldung, "+++++ zu viele Pools gefunden");
}

// The question on a terminal takes a folder or the path of a file in it
// (asking again for one not found); an empty line is no choice, the end of
// input closes it.
TEST_F(Kern, FrageAmTerminalUndIhreWahl) {
  schreiben(wurzel_ / "admin" / "Benutzer.dat", "");
  const std::string admin = (wurzel_ / "admin").string();
  for (const auto& [eingabe, ergebnis] :
       {std::pair{"/gibt/es/nicht\n" + admin + "/Benutzer.dat\n", FrageErgebnis::gewaehlt},
        {admin + "\n", FrageErgebnis::gewaehlt},
        {std::string("\n"), FrageErgebnis::ohneWahl},
        {std::string(), FrageErgebnis::geschlossen}}) {
    std::string verzeichnis;
    std::ostringstream aus;
    std::istringstream ein(eingabe);
    EXPECT_EQ(BasisFrageTerminal(ein, aus, verzeichnis), ergebnis) << eingabe;
    if (ergebnis == FrageErgebnis::gewaehlt) {
      EXPECT_EQ(verzeichnis, sys(admin) + "\\");
    }
  }
}

// A log file that refuses a write (here: opened for reading only) loses no
// line: the text reaches the window, after one notice with the error.
TEST_F(Kern, VomProtokollAbgewieseneZeilenErscheinenImFenster) {
  const fs::path datei = wurzel_ / "vkZentrale.log";
  schreiben(datei, "");
  ASSERT_EQ(protokoll().datei.open(sys(datei), plat::Access::read, plat::Share::shared,
                                   plat::Disposition::openExisting),
            plat::Err::ok);
  protokoll().kanal = LogKanal::datei;
  logText("erste");
  logText("zweite");
  EXPECT_EQ(log_.find("+++++ Protokolldatei nicht beschreibbar (Fehler 6"), 2u) << log_;
  EXPECT_TRUE(imLog("erste"));
  EXPECT_TRUE(imLog("zweite"));
  EXPECT_EQ(log_.find("Protokolldatei", 20), std::string::npos) << "announced once: " << log_;
}

// No regular file as a trigger: set aside without a hang; as a member file:
// skipped, the others served; a linked pool text is not read; a folder
// under the claim's name leaves the text whole.
TEST_F(Kern, FremdeEintraegeWerdenBeiseiteGelegtOderUebergangen) {
  benutzer("A\tu1\r\nA\tu2\r\nB\tu3\r\n");
  plat::confineBelow(sys(wurzel_));
  const fs::path tr = ziel() / "Trigger";
  ASSERT_EQ(::mkfifo((tr / "T1001.trg").c_str(), 0666), 0);
  fs::create_directory(tr / "POOL-A.trg");
  fs::create_symlink("/dev/zero", tr / "T1002.trg");
  ASSERT_TRUE(TriggerSuchen());
  TriggerLoeschen();
  for (const char* n : {"T1001.trg", "POOL-A.trg", "T1002.trg"}) {
    EXPECT_FALSE(fs::exists(fs::symlink_status(tr / n))) << n;
    EXPECT_TRUE(fs::exists(fs::symlink_status(tr / (std::string(n) + ".defekt")))) << n;
  }
  EXPECT_TRUE(
      imLog("Trigger ist keine Datei (Verzeichnis statt Datei) : " + sys(tr / "POOL-A.trg")));

  ASSERT_EQ(::mkfifo((a("_u1.neu")).c_str(), 0666), 0);
  schreiben(a("neuWorte.txt"), "W1\r\n");
  schreiben(wurzel_ / "aussen" / "geheim.txt", "geheim\r\n");
  fs::create_symlink(wurzel_ / "aussen" / "geheim.txt", a("loeWorte.txt"));
  schreiben(ziel() / "B" / "neuWorte.txt", "W1\r\n");
  fs::create_directory(ziel() / "B" / "neuWorte.txt.zustellung");
  trigger("POOL-A");
  trigger("POOL-B");
  TriggerAuswerten();
  EXPECT_EQ(inA("_u2.neu"), "W1\r\n");
  EXPECT_FALSE(fs::exists(a("_u2.loe"))) << "the linked text is not read";
  EXPECT_EQ(inA("_u1.neu.zustellung"), "W1\r\n");
  EXPECT_EQ(lesen(wurzel_ / "aussen" / "geheim.txt"), "geheim\r\n");
  EXPECT_EQ(lesen(ziel() / "B" / "neuWorte.txt"), "W1\r\n");
  EXPECT_TRUE(
      imLog("Wortdatei nicht beschreibbar (keine gew\xF6hnliche Datei (FIFO, Ger\xE4t "
            "oder Socket)) : " +
            sys(a("_u1.neu"))));
  EXPECT_TRUE(imLog("Pool-Text nicht lesbar (symbolischer Link) : " + sys(a("loeWorte.txt"))));
  EXPECT_TRUE(imLog("Claim-Name belegt (Verzeichnis statt Datei) : " +
                    sys(ziel() / "B" / "neuWorte.txt.zustellung")));
  plat::resetConfinement();
}

// A blocked member gets its own remainder once free, cut back first after a
// torn append; the others get nothing twice. With either kind of flush.
TEST_F(Kern, BlockiertesMitgliedBehaeltNurSeinenRest) {
  for (const bool jeDatei : {false, true}) {
    SCOPED_TRACE(jeDatei ? "jede Datei geflusht" : "ein Flush des Dateisystems");
    neuerPool("A\tu1\r\nA\tu2\r\n", 20);
    schleife().jedeDateiFlushen = jeDatei;
    fs::create_directory(a("_u2.neu"));
    for (const char* w : {"W1", "W2", "W3"}) {
      schreiben(a("neuWorte.txt"), std::string(w) + "\r\n");
      durchgang();
    }
    EXPECT_EQ(inA("_u1.neu"), "W1\r\nW2\r\nW3\r\n");
    EXPECT_FALSE(fs::exists(a("neuWorte.txt.zustellung")));
    fs::remove(a("_u2.neu"));
    schreiben(a("_u2.neu"), "alt\r\n");
    plat::setAppendFault(6);
    ASSERT_EQ(halten(a("_u2.neu")).append("R08L1032\\sp\r\n"), plat::Err::ioError);
    TriggerAuswerten();
    EXPECT_EQ(inA("_u2.neu"), "alt\r\nW1\r\nW2\r\nW3\r\n");
    EXPECT_EQ(inA("_u1.neu"), "W1\r\nW2\r\nW3\r\n");
    EXPECT_FALSE(fs::exists(a("_u2.neu.zustellung")));
  }
}

// A member that can be served neither in its file nor in its own remainder
// keeps the pool's claim alive: nobody loses the words, and the member
// already served does not get them twice.
TEST_F(Kern, ClaimBleibtBisJedesMitgliedBedientIst) {
  for (const bool neuAlsOrdner : {true, false}) {
    SCOPED_TRACE(neuAlsOrdner ? "Datei und Rest unbeschreibbar" : "Rest unlesbar");
    neuerPool("A\tu1\r\nA\tu2\r\n", 1);
    if (neuAlsOrdner) fs::create_directory(a("_u2.neu"));
    fs::create_directory(a("_u2.neu.zustellung"));
    schreiben(a("neuWorte.txt"), "W1\r\n");
    durchgang();
    EXPECT_EQ(inA("_u1.neu"), "W1\r\n");
    EXPECT_EQ(inA("neuWorte.txt.zustellung"), "W1\r\n");
    fs::remove_all(a("_u2.neu"));
    fs::remove_all(a("_u2.neu.zustellung"));
    durchgang();
    EXPECT_EQ(inA("_u2.neu"), "W1\r\n");
    EXPECT_EQ(inA("_u1.neu"), "W1\r\n");
    EXPECT_FALSE(fs::exists(a("neuWorte.txt.zustellung")));
  }
}

// A claim or remainder whose delete fails stays with everything delivered:
// the next passes give each member only what it has not got yet.
TEST_F(Kern, UebriggebliebenerClaimKommtNichtZweimal) {
  for (const char* gehalten : {"neuWorte.txt.zustellung", "_u2.neu.zustellung"}) {
    SCOPED_TRACE(gehalten);
    neuerPool("A\tu1\r\nA\tu2\r\n", 1);
    schreiben(a("neuWorte.txt.zustellung"), "W1\r\n");
    schreiben(a("_u2.neu.zustellung"), "R\r\n");
    {
      plat::SharedFile halter = halten(a(gehalten), plat::Share::shared);
      durchgang();
    }
    ASSERT_TRUE(fs::exists(a(gehalten)));
    EXPECT_EQ(inA("_u1.neu"), "W1\r\n");
    EXPECT_EQ(inA("_u2.neu"), "R\r\nW1\r\n");
    schreiben(a("neuWorte.txt"), "W2\r\n");
    durchgang();
    EXPECT_EQ(inA("_u1.neu"), "W1\r\nW2\r\n");
    EXPECT_EQ(inA("_u2.neu"), "R\r\nW1\r\nW2\r\n");
    durchgang();
    EXPECT_EQ(inA("_u1.neu"), "W1\r\nW2\r\n");
    EXPECT_EQ(inA("_u2.neu"), "R\r\nW1\r\nW2\r\n");
    for (const fs::directory_entry& e : fs::directory_iterator(ziel() / "A"))
      EXPECT_TRUE(e.path().filename().string().rfind("_u", 0) == 0) << e.path();
  }
}

// What the delivery record says is checked against the files: a record left
// without its claim says nothing about a new one (even with the old inode);
// an append into an old claim or a member, named before it is made, counts
// as made when the size says so. The text reaches the member once each time.
TEST_F(Kern, ZustellvermerkLaesstNichtsZweimalKommen) {
  const auto claimUndText = [this] {
    return "C " + stand(a("neuWorte.txt.zustellung"), true) + "\nQ " +
           stand(a("neuWorte.txt"), true) + " 0 4 8\nM u1 0 4 0 0 0 " + stand(a("_u1.neu"), true) +
           "\n";
  };
  const auto begonnen = [this] {
    return "C " + stand(a("neuWorte.txt.zustellung"), false) + " 4\nOM u1 0 4 0 0 0 " +
           stand(a("_u1.neu"), false) + " 4\n";
  };
  struct Fall {
    const char* name;
    const char* mitglied;
    const char* claim;
    const char* text;
    std::function<std::string()> vermerk;
    const char* erwartet;
  };
  const Fall faelle[] = {
      {"alter Vermerk, neuer Claim", nullptr, nullptr, "W1\r\n",
       [this] { return "C " + stand(a("neuWorte.txt"), false) + " 4\nM u1 0 4 0 0 0 0 0 0\n"; },
       "W1\r\n"},
      {"angehaengt, nicht geloescht", "W1\r\n", "W1\r\nW2\r\n", "W2\r\n", claimUndText,
       "W1\r\nW2\r\n"},
      {"noch nicht angehaengt", "W1\r\n", "W1\r\n", "W2\r\n", claimUndText, "W1\r\nW2\r\n"},
      {"neuer Text, alter Inode", "W1\r\n", "W1\r\nW2\r\n", "W3\r\n", claimUndText,
       "W1\r\nW2\r\nW3\r\n"},
      {"Anhaengen begonnen, gemacht", "W1\r\n", "W1\r\n", nullptr, begonnen, "W1\r\n"},
      {"Anhaengen begonnen, nicht gemacht", "", "W1\r\n", nullptr, begonnen, "W1\r\n"},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    neuerPool("A\tu1\r\n", 20);
    for (const auto& [datei, inhalt] : {std::pair{"_u1.neu", f.mitglied},
                                        {"neuWorte.txt.zustellung", f.claim},
                                        {"neuWorte.txt", f.text}})
      if (inhalt != nullptr) schreiben(a(datei), inhalt);
    vermerk(f.vermerk());
    durchgang();
    EXPECT_EQ(inA("_u1.neu"), f.erwartet);
    EXPECT_FALSE(fs::exists(a("neuWorte.txt")));
    EXPECT_FALSE(fs::exists(a("neuWorte.txt.zustellung")));
    EXPECT_FALSE(fs::exists(a(plat::ownTempName("neuWorte.txt.zustellung.vermerk"))));
  }
}

// A text larger than one piece reaches every member whole, also through a
// remainder (the user list's last line has no line end).
TEST_F(Kern, GrosserTextKommtGanzAn) {
  benutzer(vktest::probe("benutzer_ohne_zeilenende.dat"));
  std::string text;
  for (int i = 0; text.size() < (5U << 20); ++i)
    text += "Wort" + std::to_string(i) + "\r\n";
  schreiben(a("neuWorte.txt"), text);
  fs::create_directory(a("_u2.neu"));
  durchgang();
  EXPECT_TRUE(inA("_u1.neu") == text);
  EXPECT_TRUE(inA("_u2.neu.zustellung") == text);
  fs::remove(a("_u2.neu"));
  TriggerAuswerten();
  EXPECT_TRUE(inA("_u2.neu") == text);
  EXPECT_TRUE(inA("_u1.neu") == text);
}

// A member write that fails half-way is cut back, the member gets the text
// whole from its remainder; a claim whose flush fails leaves the new lines.
TEST_F(Kern, FehlschlagBeimSchreibenLaesstNichtsHalbes) {
  benutzer("A\tu1\r\n");
  schreiben(a("_u1.neu"), "alt\r\n");
  schreiben(a("neuWorte.txt"), "W1\r\nW2\r\n");
  plat::setWriteFault(3);
  durchgang();
  EXPECT_EQ(inA("_u1.neu"), "alt\r\n");
  EXPECT_EQ(inA("_u1.neu.zustellung"), "W1\r\nW2\r\n");
  TriggerAuswerten();
  EXPECT_EQ(inA("_u1.neu"), "alt\r\nW1\r\nW2\r\n");

  schreiben(a("neuWorte.txt.zustellung"), "W3\r\n");
  schreiben(a("neuWorte.txt"), "W4\r\n");
  plat::setSyncFault(true);
  durchgang();
  plat::setSyncFault(false);
  EXPECT_EQ(inA("neuWorte.txt"), "W4\r\n");
  durchgang();
  EXPECT_EQ(inA("_u1.neu"), "alt\r\nW1\r\nW2\r\nW3\r\nW4\r\n");

  // A whole append whose mark in the batch record fails counts as failed:
  // it is cut back before its remainder brings the text again.
  schreiben(a("neuWorte.txt"), "W5\r\n");
  plat::setBatchMarkFault(true);
  durchgang();
  durchgang();
  EXPECT_EQ(inA("_u1.neu"), "alt\r\nW1\r\nW2\r\nW3\r\nW4\r\nW5\r\n");
}

// A trigger that can be neither read nor deleted is reported once and not
// found again before the next full Pause; a held trigger sees a stop; the
// workstation line reaches the log escaped.
TEST_F(Kern, KeineSchleifeUndKeinRohesSteuerzeichen) {
  const fs::path tr = ziel() / "Trigger";
  schreiben(tr / "POOL-\xFF.trg", "Vokarium5-Trigger\r\nX\r\n");
  ASSERT_TRUE(TriggerSuchen());
  TriggerLoeschen();
  EXPECT_FALSE(TriggerSuchen()) << "looked at again only after the Pause";
  optionen().pause = 1;
  AufTriggerWarten();
  EXPECT_EQ(schleife().triggerliste.size(), 1U) << "found again once the Pause is over";
  schleife().triggerliste.clear();
  fs::remove(tr / "POOL-\xFF.trg");

  protokoll().verbose = true;
  schreiben(tr / "T1001.trg", "Vokarium5-Trigger\r\nC\r\n");
  schreiben(tr / "T1002.trg", "Vokarium5-Trigger\r\nA\x1B[31mB\r\n");
  ASSERT_TRUE(TriggerSuchen());
  TriggerLoeschen();
  EXPECT_EQ(log_.find('\x1B'), std::string::npos);
  EXPECT_TRUE(imLog("Platz : A\\x1B[31mB"));

  schreiben(tr / "T1003.trg", "Vokarium5-Trigger\r\nC\r\n");
  plat::SharedFile schreiber = halten(tr / "T1003.trg");
  schleife().triggerWartezeitMs = 24 * 3600 * 1000;
  stopAnforderung().store(1);
  EXPECT_EQ(TriggerLesen(sys(tr / "T1003.trg")), TriggerStand::gehalten);
  stopAnforderung().store(0);
  schreiber.close();
}

// "Benutzer.dat" held beyond the retries, failing half-way or replaced by
// something that is no file: the previous tables stay.
TEST_F(Kern, UnlesbareBenutzerlisteLaesstDieBisherigeStehen) {
  benutzer("A\tu1\r\n");
  ASSERT_EQ(tabellen().benutzer.size(), 1u);
  {
    plat::SharedFile admin = halten(wurzel_ / "Benutzer.dat");
    BenutzerlisteLesen();
  }
  ASSERT_EQ(tabellen().benutzer.size(), 1u);
  schreiben(wurzel_ / "Benutzer.dat", "B\tu2\r\nC\tu3\r\n");
  plat::setReadFault(8);
  BenutzerlisteLesen();
  EXPECT_EQ(tabellen().pools, std::vector<std::string>{"A"}) << "a read error half-way";
  fs::remove(wurzel_ / "Benutzer.dat");
  ASSERT_EQ(::mkfifo((wurzel_ / "Benutzer.dat").c_str(), 0666), 0);
  BenutzerlisteLesen();
  ASSERT_EQ(tabellen().benutzer.size(), 1u);
  EXPECT_EQ(tabellen().pools, std::vector<std::string>{"A"});
  EXPECT_TRUE(imLog("Benutzerliste nicht lesbar (keine gew\xF6hnliche Datei"));
  // The clients' copy under a folder's name is set aside, not fatal.
  fs::create_directories(ziel() / "BenIntern.dat" / "x");
  optionen().internBenutzerliste = "BenIntern.dat";
  BenutzerlisteSchreiben();
  EXPECT_EQ(lesen(ziel() / "BenIntern.dat"), "A\tu1\t\t\r\n");
  EXPECT_TRUE(fs::is_directory(ziel() / "BenIntern.dat.defekt"));
}

// Without a usable base or target directory the server stops with what to
// do and makes no folder where it was started, nor takes a path from there.
// With one, its log names the folders as the file system has them.
TEST_F(Kern, NurMitBrauchbaremBasisverzeichnis) {
  const fs::path lauf = wurzel_ / "lauf";
  fs::create_directories(lauf / "daten");
  schreiben(lauf / "daten" / "Benutzer.dat", "");
  const fs::path vorher = fs::current_path();
  fs::current_path(lauf);
  const std::string basis = "BasisVerzeichnis=" + sys(wurzel_);
  const auto konfiguration = [this](const std::string& ini) {
    schreiben(wurzel_ / "Vokarium.ini", "[Vokarium]\r\n" + ini + "\r\n");
    optionen().argumente = {"-I" + sys(wurzel_ / "Vokarium.ini")};
    optionen().basisVerzeichnis.clear();
    log_.clear();
    KonfigurationLesen();
  };
  for (const auto& [ini, meldung] :
       {std::pair{std::string("BasisVerzeichnis="),
                  "Basis-Verzeichnis nicht angegeben - vkZentrale mit -D starten"},
        {"BasisVerzeichnis=daten",
         "Basis-Verzeichnis ist kein vollst\xE4ndiger Pfad - vkZentrale mit -D"},
        {"BasisVerzeichnis=" + sys(wurzel_ / "fehlt"),
         "Basis-Verzeichnis nicht gefunden - vkZentrale mit -D"},
        {basis + "\r\nZielVerzeichnis=ziel",
         "ZielVerzeichnis ist kein vollst\xE4ndiger Pfad : ziel\\"}}) {
    SCOPED_TRACE(meldung);
    EXPECT_THROW(konfiguration(ini), Abbruch);
    EXPECT_TRUE(imLog(meldung));
    EXPECT_EQ(std::distance(fs::directory_iterator(lauf), fs::directory_iterator()), 1);
    EXPECT_FALSE(fs::exists(wurzel_ / "fehlt"));
  }
  EXPECT_EQ(BasisAusAngabe("daten"), "");
  EXPECT_EQ(BasisAusAngabe("daten/Benutzer.dat"), "");
  EXPECT_EQ(BasisAusAngabe((lauf / "daten").string()), sys(lauf / "daten") + "\\");
  fs::current_path(vorher);
  konfiguration(basis);
  EXPECT_TRUE(imLog("arbeitet in " + ziel().string() + "/ mit der Benutzerliste " +
                    (wurzel_ / "Benutzer.dat").string()));
}

// A server killed right after an append (to a member, or of a new text to an
// old claim) finds it in its delivery record and does not make it again.
TEST_F(Kern, NachDemAnhaengenGetoeteterServerLiefertNichtZweimal) {
  for (const char* alterClaim : {"", "W1\r\n"}) {
    SCOPED_TRACE(alterClaim);
    neuerPool("A\tu1\r\n", 20);
    if (*alterClaim != 0) schreiben(a("neuWorte.txt.zustellung"), alterClaim);
    schreiben(a("neuWorte.txt"), "W2\r\n");
    getoetetNachDemErstenAnhaengen();
    durchgang();
    EXPECT_EQ(inA("_u1.neu"), std::string(alterClaim) + "W2\r\n");
    EXPECT_FALSE(fs::exists(a("neuWorte.txt.zustellung")));
  }
}

// Nothing goes before it is on the disk: a failed flush of a member file
// (network drive) leaves its remainder, of the file system the claim.
TEST_F(Kern, EinFehlgeschlagenerFlushLoeschtNichts) {
  for (const bool jeDatei : {true, false}) {
    SCOPED_TRACE(jeDatei ? "jede Datei geflusht" : "ein Flush des Dateisystems");
    neuerPool("A\tu1\r\n", 20);
    schleife().jedeDateiFlushen = jeDatei;
    schreiben(a("neuWorte.txt"), "W1\r\n");
    plat::setSyncFault(true);
    durchgang();
    plat::setSyncFault(false);
    EXPECT_EQ(inA(jeDatei ? "_u1.neu.zustellung" : "neuWorte.txt.zustellung"), "W1\r\n");
    if (jeDatei) {
      EXPECT_EQ(inA("_u1.neu"), "");
    } else {
      EXPECT_TRUE(imLog("Wortdateien nicht auf die Platte geschrieben"));
    }
    durchgang();
    EXPECT_EQ(inA("_u1.neu"), "W1\r\n");
    EXPECT_FALSE(fs::exists(a("neuWorte.txt.zustellung")));
  }
}

// At start every pool with only a remainder or only a claim is served; no
// link is followed to a pool folder or the user list.
TEST_F(Kern, StartBedientLiegengebliebenesUndFolgtKeinemLink) {
  const auto lauf = [this](const std::string& mehr) {
    schreiben(wurzel_ / "Vokarium.ini", "[Vokarium]\r\nBasisVerzeichnis=" + sys(wurzel_) +
                                            "\r\nPause=0\r\nEinzelTest=TRUE\r\n" + mehr);
    optionen().argumente = {"-I" + sys(wurzel_ / "Vokarium.ini")};
    ServerArbeit();
  };
  schreiben(wurzel_ / "Benutzer.dat", "A\tu1\r\nB\tu2\r\nL\tu3\r\n");
  schreiben(a("_u1.neu.zustellung"), "R1\r\n");
  schreiben(ziel() / "B" / "neuWorte.txt.zustellung", "C2\r\n");
  schreiben(wurzel_ / "aussen" / "neuWorte.txt.zustellung", "C3\r\n");
  fs::create_directory_symlink(wurzel_ / "aussen", ziel() / "L");
  lauf("");
  EXPECT_EQ(inA("_u1.neu"), "R1\r\n");
  EXPECT_EQ(lesen(ziel() / "B" / "_u2.neu"), "C2\r\n");
  EXPECT_FALSE(fs::exists(wurzel_ / "aussen" / "_u3.neu"));
  EXPECT_TRUE(imLog("Link, wird nicht benutzt : " + sys(ziel() / "L")));
  schreiben(wurzel_ / "aussen" / "Benutzer.dat", "C\tu4\r\n");
  fs::create_directory_symlink(wurzel_ / "aussen", wurzel_ / "liste");
  lauf("BenutzerlistenDatei=liste\\Benutzer.dat\r\n");
  EXPECT_FALSE(fs::exists(ziel() / "C")) << "the list behind the link is not read";
  plat::resetConfinement();
}

// A watch that ends ends the wait, and the folder is made again; a folder
// made again is watched: a trigger there ends the wait before the Pause.
TEST_F(Kern, EndeDerBeobachtungEndetDasWarten) {
  optionen().pause = 3600;
  for (const bool beobachtungEndet : {true, false}) {
    SCOPED_TRACE(beobachtungEndet ? "Beobachtung endet" : "Ordner neu angelegt");
    plat::setWatchFault(beobachtungEndet);
    if (!beobachtungEndet) fs::remove_all(ziel() / "Trigger");
    std::atomic<bool> fertig{false};
    std::thread warten([&fertig] {
      AufTriggerWarten();
      fertig = true;
    });
    if (!beobachtungEndet) {
      EXPECT_TRUE(vktest::warteBis([this] { return fs::is_directory(ziel() / "Trigger"); }));
      schreiben(ziel() / "Trigger" / "POOL-A.trg", "Vokarium5-Trigger\r\nX\r\n");
    }
    const bool gesehen = vktest::warteBis([&fertig] { return fertig.load(); }, 10000);
    stopAnforderung().store(1);
    warten.join();
    stopAnforderung().store(0);
    EXPECT_TRUE(gesehen);
  }
  EXPECT_TRUE(imLog("Trigger-Verzeichnis fehlt, wird neu angelegt"));
}

// A server killed inside the claim's rename leaves the text under both
// names: the next pass takes it as the claim, and every line goes out once.
TEST_F(Kern, ImUmbenennenGeschnittenerClaimKommtEinmal) {
  benutzer("A\tu1\r\nA\tu2\r\n");
  schreiben(a("neuWorte.txt"), "W1\r\nW2\r\n");
  fs::create_hard_link(a("neuWorte.txt"), a("neuWorte.txt.zustellung"));
  durchgang();
  durchgang();
  EXPECT_EQ(inA("_u1.neu"), "W1\r\nW2\r\n");
  EXPECT_EQ(inA("_u2.neu"), "W1\r\nW2\r\n");
  EXPECT_FALSE(fs::exists(a("neuWorte.txt")));
  EXPECT_FALSE(fs::exists(a("neuWorte.txt.zustellung")));
  schreiben(a("neuWorte.txt"), "W3\r\n");
  durchgang();
  EXPECT_EQ(inA("_u1.neu"), "W1\r\nW2\r\nW3\r\n");
}
