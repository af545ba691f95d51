// The helper's tick, its end and the user's word files, with an in-memory
// recognizer.
#include "helper/helfer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/poolfiles.h"
#include "common/texte.h"
#include "common/utilities.h"
#include "helper/wortdateien.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/text_lines.h"
#include "tests/support/baum.h"

namespace {

namespace fs = std::filesystem;
using helfer::Dienste;
using helfer::Folge;
using helfer::Helfer;
using helfer::Phase;
using Zeilen = std::vector<std::string>;

struct Erkenner {
  bool leiste = true;
  bool dialog = false;
  int dialogeGeschlossen = 0;
  int leisteGeschlossen = 0;
  Zeilen worte;  // the user's vocabulary
  Zeilen liste;  // the list fetched last
  bool hinzufuegenGelingt = true;
  bool speichernGelingt = true;  // the recognizer saves the vocabulary
  // Runs while a word file is applied (the server appending meanwhile).
  std::function<void()> waehrendAnwenden;
  Zeilen gestartet;  // program + " " + arguments
  int verbunden = 0;
  int getrennt = 0;
};

Zeilen Lesen(const std::string& pfad) {
  Zeilen zeilen;
  plat::ignoreErr(plat::readLines(pfad, zeilen), "a missing file has no lines");
  return zeilen;
}

plat::Err Anhaengen(const std::string& pfad, const std::string& inhalt) {
  plat::SharedFile f;
  const plat::Err e =
      f.open(pfad, plat::Access::readWrite, plat::Share::exclusive, plat::Disposition::openAlways);
  return e == plat::Err::ok ? f.append(inhalt) : e;
}
void Schreiben(const std::string& pfad, const std::string& inhalt) {
  ASSERT_EQ(Anhaengen(pfad, inhalt), plat::Err::ok);
}

class Helfertest : public ::testing::Test {
 protected:
  void SetUp() override {
    helfer::HelferZuruecksetzen();
    fs::create_directories(baum.wurzel / "Chirurgie");
    vk::responderEinschalten();
    vk::konfiguration().ZielVerzeichnis = baum.sys() + "\\";
    vk::poolZustand().Pool = "Chirurgie";
    vk::poolZustand().Benutzer = "Meier";
    vk::ProgrammverzeichnisSetzen("\\prog\\");
    Helfer().thema = "Allgemein";
    auto& d = Dienste();
    d.leisteDa = [this] { return e.leiste; };
    d.leisteSchliessen = [this] { ++e.leisteGeschlossen; };
    d.benutzerDialogDa = [this] { return e.dialog; };
    d.benutzerDialogSchliessen = [this] { ++e.dialogeGeschlossen, e.dialog = false; };
    d.dragonLaeuft = d.dragonStarten = d.voctoolsStart = [] { return true; };
    d.dragonUserSetzen = [](const std::string&, const std::string&, int) { return true; };
    d.voctoolsEnde = [this] { return e.speichernGelingt; };
    d.worteHolen = [this](bool) { return e.liste = e.worte, true; };
    d.wortAnzahl = [this] { return static_cast<long>(e.liste.size()); };
    d.wortZeile = [this](long i) { return e.liste[static_cast<std::size_t>(i)]; };
    d.worteFreigeben = [this] { e.liste.clear(); };
    d.woerterHinzufuegen = [this](const std::string& pfad) {
      if (e.waehrendAnwenden) e.waehrendAnwenden();
      if (!e.hinzufuegenGelingt) return false;
      for (auto& w : Lesen(pfad))
        e.worte.push_back(w);
      return true;
    };
    d.woerterEntfernen = [this](const std::string& pfad) {
      for (auto& w : Lesen(pfad))
        std::erase(e.worte, w);
      return true;
    };
    d.empfaengerVerbinden = [this] { ++e.verbunden; };
    d.empfaengerTrennen = [this] { ++e.getrennt; };
    d.sprecherName = [] { return std::string("Meier"); };
    d.themaName = [] { return std::string("Allgemein"); };
    d.programmStarten = [this](const std::string& p, const std::string& a) {
      e.gestartet.push_back(p + " " + a);
      return true;
    };
    d.ladefensterOeffnen = d.trayAnzeigen = d.ereignisseVerarbeiten = [] {};
    d.ladeText = d.initText = [](const std::string&) {};
    d.warten = [](bool) {};
  }
  void TearDown() override {
    helfer::HelferZuruecksetzen();
    vk::konfigurationZuruecksetzen();
    vk::poolZustandZuruecksetzen();
    vk::utilitiesZuruecksetzen();
    vk::meldungZuruecksetzen();
    vk::texteZuruecksetzen();
  }

  // A resident helper connected to a running recognizer.
  void Resident() {
    auto& z = Helfer();
    z.bleibtAktiv = true;
    z.phase = Phase::diktat;
    z.fensterWegZaehler = 30;
    helfer::ProfilAktualisieren();
  }
  void Ende() { helfer::DragonEreignis(helfer::Ereignis::statusChanged, 2, 0); }
  void warteAufLeiste() {
    Helfer().phase = Phase::warteAufLeiste;
    Helfer().bleibtAktiv = true;
    e.leiste = false;
  }

  static std::string claim() { return helfer::ClaimPfad(helfer::NeuPfad()); }
  static std::string angewandt() { return helfer::AngewandtPfad(helfer::NeuPfad()); }

  vktest::Baum baum;
  Erkenner e;
};

TEST_F(Helfertest, StartWartetAufDieLeisteUndLaedtDasProfil) {
  auto& z = Helfer();
  warteAufLeiste();
  z.dragonStartDauer = 1;
  helfer::LadefensterGeladen();
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(helfer::HauptTick(), Folge::weiter);
  EXPECT_EQ(helfer::LadefensterTick(), Folge::weiter);
  EXPECT_EQ(z.phase, Phase::warteAufLeiste);
  e.leiste = true;
  helfer::HauptTick();
  EXPECT_EQ(z.phase, Phase::leisteDa);
  // One second of 25 ms ticks before the recognizer counts as ready.
  int ticks = 0;
  for (; z.phase != Phase::dragonBereit && ticks < 100; ++ticks)
    helfer::LadefensterTick();
  EXPECT_EQ(ticks, 41);
  e.worte = {"Appendektomie"};
  helfer::HauptTick();
  EXPECT_EQ(z.phase, Phase::diktat);
  EXPECT_EQ(e.verbunden, 1);
  EXPECT_TRUE(z.gemerkte.contains("appendektomie"));
  EXPECT_EQ(helfer::LadefensterTick(), Folge::schliessen);
}

TEST_F(Helfertest, ScheiterndeDragonStartsWerdenWiederholtOderBeendenDenHelfer) {
  warteAufLeiste();
  vk::SprachVerzeichnisSetzen(plat::systemPath(VK_SOURCE_DIR "/lang/"));
  vk::TextLaden("Deutsch");
  int starts = 0;
  Dienste().dragonStarten = [&starts] { return ++starts >= 3; };
  // Retry twice: the third start succeeds and the helper waits on.
  vk::setNextAnswer(true);
  vk::setNextAnswer(true);
  helfer::LadefensterGeladen();
  EXPECT_EQ(starts, 3);
  ASSERT_EQ(vk::recordedMessages().size(), 2U);
  EXPECT_EQ(helfer::HauptTick(), Folge::weiter);
  EXPECT_EQ(helfer::LadefensterTick(), Folge::weiter);

  // Cancel: no endless wait for a recognizer that cannot start.
  starts = -100;
  vk::clearRecordedMessages();
  helfer::LadefensterGeladen();
  EXPECT_EQ(vk::recordedMessages().size(), 1U);
  EXPECT_EQ(helfer::LadefensterTick(), Folge::schliessen);
  EXPECT_EQ(helfer::HauptTick(), Folge::schliessen);
}

// At the end only the words that are new since the start go to ".ben"
// (a word that differs in case only is known; the same count of words
// may hide a new one), then the main program is started for them.
TEST_F(Helfertest, EndeSammeltNurDieNeuenWoerter) {
  struct Fall {
    Zeilen vorher, danach, ben;
  };
  for (const Fall& f :
       {Fall{{"Alt", "Wort\\gesprochen"},
             {"Alt", "Wort\\gesprochen", "Femur\\Fe mur", "Tibia", "WORT\\GESPROCHEN"},
             {"Femur\\Fe mur", "Tibia"}},
        Fall{{"Alt", "Weg"}, {"Alt", "Neu"}, {"Neu"}}}) {
    SCOPED_TRACE(f.ben.front());
    fs::remove_all(baum.wurzel / "Chirurgie" / "_Meier.ben");
    Helfer() = helfer::HelferZustand{};
    Helfer().thema = "Allgemein";
    e = Erkenner{};
    e.worte = f.vorher;
    Resident();
    e.worte = f.danach;
    Ende();
    EXPECT_EQ(Lesen(helfer::BenPfad()), f.ben);
    helfer::HauptTick();
    EXPECT_EQ(e.getrennt, 1);
    EXPECT_EQ(e.gestartet, Zeilen{"\\prog\\Vokarium.exe -p \"Chirurgie\" -u \"Meier\""});
    EXPECT_EQ(e.leisteGeschlossen, 0);
  }
}

TEST_F(Helfertest, OhneNeueWoerterStartetDasHauptprogrammNurFuerEineVolleBenDatei) {
  e.worte = {"Alt"};
  Resident();
  Ende();
  helfer::HauptTick();
  EXPECT_TRUE(e.gestartet.empty());
  EXPECT_FALSE(baum.gibtEs("Chirurgie/_Meier.ben"));

  Helfer().hauptprogrammAmEnde = true;
  Schreiben(helfer::BenPfad(), "Frueher\r\n");
  Ende();
  helfer::HauptTick();
  EXPECT_EQ(e.gestartet.size(), 1u);
  EXPECT_EQ(Lesen(helfer::BenPfad()), Zeilen{"Frueher"});
}

// Another speaker or topic opened in the recognizer: the helper closes the
// recognizer at every tick until it ends, collects none of the words of
// the speaker it did not open and starts no review; then it watches again.
TEST_F(Helfertest, SprecherwechselSchliesstDenErkennerOhneZuSammeln) {
  for (const helfer::Ereignis wechsel :
       {helfer::Ereignis::speakerChanged, helfer::Ereignis::speakerClosing,
        helfer::Ereignis::topicChanged}) {
    SCOPED_TRACE(static_cast<int>(wechsel));
    e = Erkenner{};
    e.worte = {"Alt"};
    Resident();
    e.worte.push_back("Fremd");
    helfer::DragonEreignis(wechsel, 0, 0);
    EXPECT_EQ(helfer::HauptTick(), Folge::weiter);
    EXPECT_EQ(helfer::HauptTick(), Folge::weiter);
    EXPECT_EQ(e.leisteGeschlossen, 2);
    Ende();
    EXPECT_FALSE(plat::fileExists(helfer::BenPfad()));
    EXPECT_EQ(helfer::HauptTick(), Folge::weiter);
    EXPECT_EQ(e.getrennt, 1);
    EXPECT_EQ(e.leisteGeschlossen, 3);
    EXPECT_TRUE(e.gestartet.empty());
    EXPECT_EQ(Helfer().phase, Phase::diktat);
  }
}

TEST_F(Helfertest, BenutzerDialogWirdJedenTickGeschlossenAuchWennBeschaeftigt) {
  Resident();
  Helfer().beschaeftigt = true;
  e.dialog = true;
  helfer::HauptTick();
  EXPECT_EQ(e.dialogeGeschlossen, 1);
  // The end arriving inside a busy tick leaves the tick's guard set.
  Ende();
  EXPECT_TRUE(Helfer().beschaeftigt);
}

// Each word file is kept or deleted for itself: an empty one and one
// applied go, one whose words the recognizer refused stays claimed.
TEST_F(Helfertest, JedeWortdateiWirdFuerSichGeloeschtOderBehalten) {
  for (const bool neuGelingt : {true, false}) {
    SCOPED_TRACE(neuGelingt);
    Schreiben(helfer::NeuPfad(), neuGelingt ? "" : "Neu\r\n");
    Schreiben(helfer::LoePfad(), "Alt\r\n");
    e.worte = {"Alt", "Bleibt"};
    e.hinzufuegenGelingt = neuGelingt;
    helfer::ProfilAktualisieren();
    EXPECT_EQ(e.worte, Zeilen{"Bleibt"});
    EXPECT_TRUE(Helfer().gemerkte.contains("bleibt"));
    EXPECT_FALSE(plat::fileExists(helfer::NeuPfad()));
    EXPECT_EQ(Lesen(claim()), neuGelingt ? Zeilen{} : Zeilen{"Neu"});
    // A removal applied alone is not applied again at the next start.
    EXPECT_FALSE(plat::fileExists(helfer::LoePfad()));
    EXPECT_FALSE(plat::fileExists(helfer::ClaimPfad(helfer::LoePfad())));
    EXPECT_FALSE(plat::fileExists(helfer::AngewandtPfad(helfer::LoePfad())));
  }
}

// An empty member file is deleted unclaimed; one of a single byte is a word
// and is claimed. A failed append to ".ben" is reported with its step.
TEST_F(Helfertest, LeereDateiGehtEinBytIstEinWortAnhangFehlerWirdGemeldet) {
  plat::Err fehler = plat::Err::ok;
  Schreiben(helfer::NeuPfad(), "");
  EXPECT_EQ(helfer::DateiBeanspruchen(helfer::NeuPfad(), fehler), helfer::Beanspruchung::leer);
  EXPECT_FALSE(plat::fileExists(helfer::NeuPfad()));
  EXPECT_FALSE(plat::fileExists(claim()));
  Schreiben(helfer::NeuPfad(), "A");
  EXPECT_EQ(helfer::DateiBeanspruchen(helfer::NeuPfad(), fehler),
            helfer::Beanspruchung::beansprucht);
  EXPECT_EQ(Lesen(claim()), Zeilen{"A"});
  helfer::AnhangSchritt schritt = helfer::AnhangSchritt::oeffnen;
  plat::setAppendFault(0);
  EXPECT_NE(helfer::ZeilenAnhaengen(baum.sys("Chirurgie\\_Meier.ben"), {"Femur"}, schritt),
            plat::Err::ok);
  EXPECT_EQ(schritt, helfer::AnhangSchritt::schreiben);
}

// The words are safe only when the recognizer has saved them: killed
// before, they come again at the next start. A line torn by a killed
// server is not applied, and a folder under the claim's name is said so.
TEST_F(Helfertest, AngewandteWoerterBleibenBisZurSicherung) {
  Schreiben(helfer::NeuPfad(), "Eins\r\nZwei\r\n");
  plat::setAppendFault(6);
  ASSERT_EQ(Anhaengen(helfer::NeuPfad(), "R08L1032\\sp\r\n"), plat::Err::ioError);
  e.speichernGelingt = false;
  helfer::ProfilAktualisieren();
  EXPECT_EQ(e.worte, (Zeilen{"Eins", "Zwei"}));
  EXPECT_FALSE(plat::fileExists(helfer::NeuPfad()));
  // The recognizer was killed before it saved.
  e.worte.clear();
  e.speichernGelingt = true;
  Schreiben(helfer::NeuPfad(), "Drei\r\n");
  helfer::ProfilAktualisieren();
  EXPECT_EQ(e.worte, (Zeilen{"Eins", "Zwei", "Drei"}));
  EXPECT_FALSE(plat::fileExists(angewandt()));
  EXPECT_FALSE(plat::fileExists(claim()));

  // Killed inside the rename of the claim to its applied name: one file
  // under both names. It is applied once and goes; the next file comes.
  e.worte.clear();
  Schreiben(claim(), "Fuenf\r\n");
  ASSERT_EQ(::link(plat::nativePath(claim()).c_str(), plat::nativePath(angewandt()).c_str()), 0);
  Schreiben(helfer::NeuPfad(), "Sechs\r\n");
  helfer::ProfilAktualisieren();
  EXPECT_EQ(e.worte, (Zeilen{"Fuenf", "Sechs"}));
  EXPECT_FALSE(plat::fileExists(angewandt()));
  EXPECT_FALSE(plat::fileExists(claim()));
  EXPECT_FALSE(plat::fileExists(helfer::NeuPfad()));

  fs::create_directory(plat::nativePath(claim()));
  Schreiben(helfer::NeuPfad(), "Vier\r\n");
  helfer::ProfilAktualisieren();
  EXPECT_EQ(Lesen(helfer::NeuPfad()), Zeilen{"Vier"});
  ASSERT_FALSE(vk::recordedMessages().empty());
  // Text 2560 (the name is taken, not by a file), not "file exists".
  EXPECT_EQ(vk::recordedMessages().back().text.rfind("<?2560 ", 0), 0u)
      << vk::recordedMessages().back().text;
}

// The waiting file is flushed before the claim goes: a failed flush keeps it.
TEST_F(Helfertest, OhneSicherungDerWartedateiBleibtDerClaim) {
  Schreiben(angewandt(), "Eins\r\n");
  Schreiben(claim(), "Zwei\r\n");
  plat::setSyncFault(true);
  EXPECT_NE(helfer::AngewandtVormerken(claim(), angewandt()), plat::Err::ok);
  plat::setSyncFault(false);
  EXPECT_TRUE(plat::fileExists(claim()));
  // Again without the fault: the claim's lines reach the waiting file (once
  // more, as a claim kept is applied again), and the claim goes.
  EXPECT_EQ(helfer::AngewandtVormerken(claim(), angewandt()), plat::Err::ok);
  EXPECT_FALSE(plat::fileExists(claim()));
  EXPECT_EQ(Lesen(angewandt()), (Zeilen{"Eins", "Zwei", "Zwei"}));
}

TEST_F(Helfertest, FehlschlagBehaeltDieDateiUndHoleSieBeimNaechstenStartNach) {
  Schreiben(helfer::NeuPfad(), "Erstes\r\n");
  e.hinzufuegenGelingt = false;
  helfer::ProfilAktualisieren();
  EXPECT_TRUE(e.worte.empty());
  EXPECT_TRUE(plat::fileExists(claim()));
  // Meanwhile the server delivers again: a start whose claim fails again
  // leaves the new file alone; the next one applies both.
  Schreiben(helfer::NeuPfad(), "Zweites\r\n");
  vk::clearRecordedMessages();
  helfer::ProfilAktualisieren();
  EXPECT_EQ(Lesen(helfer::NeuPfad()), Zeilen{"Zweites"});
  EXPECT_TRUE(vk::recordedMessages().empty()) << vk::recordedMessages().front().text;
  e.hinzufuegenGelingt = true;
  helfer::ProfilAktualisieren();
  EXPECT_EQ(e.worte, (Zeilen{"Erstes", "Zweites"}));
  EXPECT_FALSE(plat::fileExists(helfer::NeuPfad()));
  EXPECT_FALSE(plat::fileExists(claim()));
}

// Lines the server delivers while a file is applied, and a file the server
// holds, stay for the next time.
TEST_F(Helfertest, WasDerServerGeradeLiefertBleibt) {
  Schreiben(helfer::NeuPfad(), "Erstes\r\n");
  e.waehrendAnwenden = [this] {
    e.waehrendAnwenden = nullptr;
    Schreiben(helfer::NeuPfad(), "Spaet\r\n");
  };
  helfer::ProfilAktualisieren();
  plat::SharedFile server;
  ASSERT_EQ(server.open(helfer::NeuPfad(), plat::Access::readWrite, plat::Share::exclusive,
                        plat::Disposition::openExisting),
            plat::Err::ok);
  helfer::ProfilAktualisieren();
  server.close();
  EXPECT_EQ(e.worte, Zeilen{"Erstes"});
  EXPECT_EQ(Lesen(helfer::NeuPfad()), Zeilen{"Spaet"});
}

// Pool and user from the command line become pieces of file names in the
// pool folder: a name that leads outside it is refused, with its text.
TEST_F(Helfertest, NamenAusDerBefehlszeileBleibenImPoolordner) {
  baum.umgebungUmleiten();
  Dienste().dragonStammverzeichnis = [this] { return baum.sys() + "\\"; };
  for (const char* zeile :
       {R"(-p Chirurgie -u "\..\..\x" -t Allgemein)", R"(-p .. -u Meier -t Allgemein)"}) {
    vk::clearRecordedMessages();
    EXPECT_EQ(helfer::HelferStart(zeile), Folge::weiter) << zeile;
    const auto& m = vk::recordedMessages();
    EXPECT_TRUE(std::any_of(m.begin(), m.end(), [](const auto& x) {
      return x.text.rfind("<?2304 ", 0) == 0;
    })) << zeile;
  }
}

}  // namespace
