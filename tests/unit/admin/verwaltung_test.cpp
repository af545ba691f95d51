// The administration procedures on a temporary Speicherort.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <tuple>

#include "admin/user_suchen.h"
#include "admin/verwaltung.h"
#include "tests/support/baum.h"

namespace fs = std::filesystem;
using namespace std::string_literals;
using namespace admin;

namespace {

class Verwaltung : public ::testing::Test {
 protected:
  void SetUp() override {
    baum_.env("VOKARIUM_REGISTRY_DIR", baum_.pfad("reg").c_str());
    fs::create_directories(baum_.wurzel / "S");
    verwaltungZuruecksetzen();
    GefundeneLeeren();
    verwaltung().speicherort = baum_.sys("S") + "\\";
    auto& r = verwaltung().rueckmeldung;
    r.meldung = [this](int nr, const std::string& w) { meldungen_.emplace_back(nr, w); };
    r.fehler = [&r](plat::Err, int nr, const std::string& w) { r.meldung(nr, w); };
  }
  void schreiben(const std::string& rel, const std::string& inhalt) {
    baum_.schreiben("S/" + rel, inhalt);
  }
  // A recognizer user with topics (name, folder) whose folders exist.
  void sprecher(const std::string& user,
                const std::vector<std::pair<std::string, std::string>>& topics) {
    std::string ini = "[Options]\r\nx=1\r\n[Topics]\r\n";
    for (const auto& [t, f] : topics) {
      ini += t + "=" + f + "\r\n";
      fs::create_directories(baum_.wurzel / "S" / user / "current" / f);
    }
    schreiben(user + "/current/topics.ini", ini);
  }
  static std::vector<std::string> zeilenText() {
    std::vector<std::string> r;
    for (const Zeile& z : verwaltung().zeilen)
      r.push_back(z.pool + "|" + z.user + "|" + z.topic);
    return r;
  }
  std::vector<int> nummern() const {
    std::vector<int> r;
    for (const auto& m : meldungen_)
      r.push_back(m.first);
    return r;
  }

  vktest::Baum baum_;
  std::vector<std::pair<int, std::string>> meldungen_;  // text number, value
};

TEST_F(Verwaltung, UserListReadingSkipsShortLinesAndKeepsFirstOfAPair) {
  EXPECT_TRUE(BenutzerlistenLesen());  // no list yet: quietly empty
  schreiben(
      "Benutzer.dat",
      "Chirurgie\tMeier\tcurrent\\Allg\tAllgemein\r\nKurz\tOhne\tcurrent\\x\r\n   \r\n"
      "Innere\tmeier\tcurrent\\Other\tALLGEMEIN\r\n Blank\tBauer\tcurrent\\b\tTopic\twith\ttabs\n"
      "Innere\tSchulz\tcurrent\\s\tS\r\nNul\tN\0l\tcurrent\\n\tN"s);
  ASSERT_TRUE(BenutzerlistenLesen());
  EXPECT_EQ(zeilenText(),
            (std::vector<std::string>{" Blank|Bauer|Topic\twith\ttabs", "Chirurgie|Meier|Allgemein",
                                      "Innere|Schulz|S"}));
  EXPECT_EQ(verwaltung().zeilen[1].folder, "current\\Allg");
  // The choice list: pools in order of arrival, blank names never.
  EXPECT_EQ(verwaltung().poolListe, (std::vector<std::string>{"Chirurgie", "Innere"}));
  EXPECT_EQ(verwaltung().aktuellerPool, "Chirurgie");
  EXPECT_TRUE(meldungen_.empty());

  // Reading again after the rows were emptied gives the same rows, not none.
  ASSERT_TRUE(BenutzerlistenLesen());
  EXPECT_EQ(verwaltung().zeilen.size(), 3u);
}

TEST_F(Verwaltung, TopicListSectionAndEntryRules) {
  schreiben("Meier/current/topics.ini",
            "Vorher=drin\r\n[topics]\r\nKlein=falsch\r\n  [Topics]  \r\n Bericht = Ordner A \r\n"
            "ohneGleich\r\n=nurWert\r\nBERICHT =zweiter\r\nBoese=..\r\nPfad=a\\b\r\n"
            "Letzter=L\r\n[Andere]\r\nDanach=weg\r\n");
  fs::create_directories(baum_.wurzel / "S/Meier/current/L");
  fs::create_directories(baum_.wurzel / "S/Meier/current/zweiter");
  const std::string pfad = verwaltung().speicherort + "Meier\\current\\topics.ini";

  TopicsLesen(SuchModus::register_, "Meier", pfad);
  // Blanks around "=" stay; the first folder of a topic stays.
  EXPECT_TRUE(GefundenPruefen("Meier", "current\\ Ordner A", "Bericht "));
  EXPECT_TRUE(GefundenPruefen("meier", "current\\ Ordner A", "BERICHT "));
  EXPECT_FALSE(GefundenPruefen("Meier", "current\\ordner a", "Bericht "));
  EXPECT_TRUE(GefundenPruefen("Meier", "current\\L", "Letzter"));
  EXPECT_EQ(userSuchen().gefundene.size(), 2u);

  TopicsLesen(SuchModus::liste, "Meier", pfad);
  EXPECT_EQ(zeilenText(), (std::vector<std::string>{"  ?|Meier|Bericht ", "  ?|Meier|Letzter"}));
  EXPECT_TRUE(verwaltung().poolListe.empty());
  // The missing folder is named in each mode; the existing one never.
  const std::string fehlt = verwaltung().speicherort + "Meier\\current\\ Ordner A";
  EXPECT_EQ(meldungen_, (std::vector{std::pair{2103, fehlt}, std::pair{2103, fehlt}}));
}

TEST_F(Verwaltung, SearchSkipsNonUsersAndReportsMissingTopicLists) {
  sprecher("Meier", {{"Allgemein", "Allg"}, {"Radiologie", "Rad"}});
  sprecher("Bauer", {{"Allgemein", "A"}});
  fs::create_directories(baum_.wurzel / "S/Vokarium/Trigger");
  fs::create_directories(baum_.wurzel / "S/Ohne/current");
  ZeileAufnehmen("Chirurgie", "MEIER", "current\\Allg", "allgemein");

  BenutzerSuchen(SuchModus::liste);
  Sortieren();
  EXPECT_EQ(zeilenText(), (std::vector<std::string>{"  ?|Bauer|Allgemein", "  ?|Meier|Radiologie",
                                                    "Chirurgie|MEIER|allgemein"}));
  EXPECT_EQ(nummern(), std::vector<int>{2102});
  EXPECT_EQ(meldungen_[0].second, verwaltung().speicherort + "Ohne\\current\\topics.ini");
}

TEST_F(Verwaltung, PoolNamesAtTheirLimits) {
  ZeileAufnehmen("  ?", "Meier", "current\\a", "A");
  EXPECT_FALSE(PoolUebernehmen("Tab\tPool"));
  EXPECT_FALSE(PoolUebernehmen(std::string(32, 'p')));
  EXPECT_FALSE(PoolZuweisen({0}));
  // The server would refuse 'Ortho and read "Team" as Team.
  EXPECT_FALSE(PoolUebernehmen("'Ortho"));
  EXPECT_FALSE(PoolUebernehmen("\"Team\""));
  EXPECT_FALSE(PoolZuweisen({0}));
  EXPECT_EQ(nummern(), (std::vector<int>{2110, 866, 2115, 2115}));
  EXPECT_TRUE(PoolUebernehmen(std::string(31, 'p')));
  // A name beginning with a blank is assigned but never offered for picking.
  EXPECT_TRUE(PoolUebernehmen(" Vorlaeufig"));
  EXPECT_TRUE(PoolZuweisen({0}));
  EXPECT_EQ(verwaltung().zeilen[0].pool, " Vorlaeufig");
  EXPECT_EQ(verwaltung().poolListe, std::vector<std::string>{std::string(31, 'p')});
}

TEST_F(Verwaltung, SortingRemovingAndAddingAgain) {
  ZeileAufnehmen("b", "Zeta", "current\\1", "T");
  ZeileAufnehmen("A", "alpha", "current\\2", "T");
  ZeileAufnehmen("\xC4rzte", "Mitte", "current\\3", "T");  // cp1252 capital A umlaut
  ZeileAufnehmen("a", "Beta", "current\\4", "T");
  Sortieren();  // German order: the umlaut with its letter, not after Z
  const std::vector<std::string> nachPool{"A|alpha|T", "a|Beta|T", "\xC4rzte|Mitte|T", "b|Zeta|T"};
  EXPECT_EQ(zeilenText(), nachPool);
  SpalteGeklickt(Spalte::user);
  EXPECT_EQ(zeilenText(), nachPool);
  SpalteGeklickt(Spalte::user);
  EXPECT_TRUE(verwaltung().absteigend);
  EXPECT_EQ(zeilenText().front() + " " + zeilenText().back(), "b|Zeta|T A|alpha|T");
  // A removed row's user and topic may be added again.
  Entfernen({0});
  ZeileAufnehmen("c", "Zeta", "current\\1", "T");
  EXPECT_EQ(zeilenText().back(), "c|Zeta|T");
}

// Each case: rows ("pool|user|topic|folder", ";" between two), the text
// expected and the rows it selects.
TEST_F(Verwaltung, SaveChecksFindTheFirstOffendingRows) {
  sprecher("Meier", {{"Allgemein", "Allg"}, {"Radiologie", "Rad"}, {"Zweit", "Allg"}});
  sprecher("Bauer", {{"Allgemein", "A"}});
  const std::tuple<std::string, int, std::vector<std::size_t>> faelle[] = {
      {"P|Bauer|Allgemein|current\\A;  ?|Meier|Allgemein|current\\Allg", 2104, {1}},
      // The folder is compared with case; a user who is gone is not found.
      {"P|Meier|Allgemein|current\\allg", 2105, {0}},
      {"P|Weg|Allgemein|current\\Allg", 2105, {0}},
      {"P|Meier|Allgemein|current\\Allg;Q|Bauer|Allgemein|current\\A;P|Meier|Radiologie|"
       "current\\Rad",
       2106,
       {0, 2}},
      {"P|Meier|Allgemein|current\\Allg;Q|Meier|Zweit|current\\Allg", 2108, {0, 1}},
      {std::string(32, 'p') + "|Bauer|Allgemein|current\\A", 866, {0}},
      {"..|Bauer|Allgemein|current\\A", 2110, {0}},
      {"P|Bauer|Allgemein|current\\A;P| Meier|Allgemein|current\\Allg", 2116, {1}},
      {"P|Bauer|\"Allgemein\"|current\\A", 2116, {0}}};
  for (const auto& [zeilen, nr, erwartet] : faelle) {
    SCOPED_TRACE(zeilen);
    verwaltung().zeilen.clear();
    std::istringstream s(zeilen);
    for (std::string z; std::getline(s, z, ';');) {
      std::string f[4];
      std::istringstream felder(z);
      for (std::string& x : f)
        std::getline(felder, x, '|');
      verwaltung().zeilen.push_back({f[0], f[1], f[2], f[3]});
    }
    meldungen_.clear();
    std::vector<std::size_t> markiert;
    EXPECT_FALSE(BenutzerlisteSpeichern(markiert));
    EXPECT_EQ(nummern(), std::vector<int>{nr});
    EXPECT_EQ(markiert, erwartet);
    EXPECT_FALSE(fs::exists(baum_.wurzel / "S/Benutzer.dat"));
  }
}

TEST_F(Verwaltung, SavedListFollowsTheDisplayOrderAndReplacesTheOldList) {
  sprecher("Meier", {{"Allgemein", "Allg"}, {"Radiologie", "Rad"}});
  sprecher("Bauer", {{"Allgemein", "A"}});
  schreiben("Benutzer.dat", "alt\r\n");
  ZeileAufnehmen("Innere", "Meier", "current\\Rad", "Radiologie");
  ZeileAufnehmen("Chirurgie", "Meier", "current\\Allg", "Allgemein");
  ZeileAufnehmen("Chirurgie", "Bauer", "current\\A", "Allgemein");
  SpalteGeklickt(Spalte::user);
  // A reader (the server) that has the old list open keeps reading the old
  // list whole: the new one is put in place by rename, never written over
  // the old one.
  std::ifstream leser(baum_.wurzel / "S/Benutzer.dat", std::ios::binary);
  std::vector<std::size_t> markiert;
  ASSERT_TRUE(BenutzerlisteSpeichern(markiert));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(leser), {}), "alt\r\n");
  EXPECT_EQ(baum_.lesen("S/Benutzer.dat"),
            "Chirurgie\tBauer\tcurrent\\A\tAllgemein\r\n"
            "Innere\tMeier\tcurrent\\Rad\tRadiologie\r\n"
            "Chirurgie\tMeier\tcurrent\\Allg\tAllgemein\r\n");
  EXPECT_TRUE(meldungen_.empty());
  // Nothing but the list is left in the folder (no temporary file).
  int dateien = 0;
  for (const auto& e : fs::directory_iterator(baum_.wurzel / "S"))
    dateien += e.is_regular_file();
  EXPECT_EQ(dateien, 1);

  // A list that cannot be replaced is reported with its path.
  fs::remove(baum_.wurzel / "S/Benutzer.dat");
  fs::create_directories(baum_.wurzel / "S/Benutzer.dat/belegt");
  EXPECT_FALSE(BenutzerlisteSpeichern(markiert));
  EXPECT_EQ(nummern(), std::vector<int>{2109});
  EXPECT_EQ(meldungen_[0].second, benutzerlistenPfad());

  // Without a Speicherort nothing is written into the working folder.
  meldungen_.clear();
  verwaltung().speicherort.clear();
  EXPECT_FALSE(BenutzerlisteSpeichern(markiert));
  EXPECT_EQ(nummern(), std::vector<int>{2109});
  EXPECT_FALSE(fs::exists("Benutzer.dat"));
}

}  // namespace
