// The main windows' procedures without a window: command line, user list
// entries, the unattended start, collecting the members' ".ben" files.
#include "main/hauptkern.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "common/konfiguration.h"
#include "platform/shared_file.h"
#include "platform/system.h"
#include "tests/unit/common/testbaum.h"
#include "tests/unit/editor/anhaenger.h"

namespace {

using vk::AutoStart;
using vk::BefehlszeileAuswerten;

// Each case: the line and what it gives as "pool|user|D|A" ("-": not given).
TEST(Befehlszeile, OptionsValuesAndQuotes) {
  const std::pair<const char*, const char*> faelle[] = {
      {"  -p \"Innere Medizin\" -uMeier  ", "Innere Medizin|Meier||"},
      {"-P Chirurgie -U Meier -d -a", "-|-||"},          // letters count exactly
      {"-D -A -p Chirurgie", "Chirurgie|-|D|A"},         // the flags take no value
      {"-p Unfall-Chirurgie", "Unfall-Chirurgie|-||"},   // a "-" inside a value
      {"-u Meier -p \"Innere Medizin -D", "-|Meier||"},  // unclosed: dropped, parse ends
      {"", "-|-||"},
      {"-", "-|-||"},
  };
  for (const auto& [zeile, erwartet] : faelle) {
    const auto b = BefehlszeileAuswerten(zeile);
    EXPECT_EQ((b.mitPool ? b.pool : "-") + "|" + (b.mitBenutzer ? b.benutzer : "-") + "|" +
                  (b.optionD ? "D" : "") + "|" + (b.optionA ? "A" : ""),
              erwartet)
        << zeile;
  }
}

// The entry's parts; the last pool and user entry that match are selected.
TEST(Eintraege, SplitSelectAndLastMatchWins) {
  std::string benutzer;
  std::string thema = "vorher";
  vk::EintragTeilen(" Meier  |  Allgemein Medizin ", benutzer, thema);
  EXPECT_EQ(benutzer + "|" + thema, "Meier|Allgemein Medizin");
  vk::EintragTeilen("Schulz", benutzer, thema);  // no topic: it stays
  EXPECT_EQ(benutzer + "|" + thema, "Schulz|Allgemein Medizin");
  EXPECT_EQ(vk::PoolIndex({}, "A"), -1);
  EXPECT_EQ(vk::PoolIndex({"A", "B", "C"}, "x"), 0);
  EXPECT_EQ(vk::PoolIndex({"A", "B", "A"}, "A"), 2);
  const std::vector<std::string> e{"Meier | Allgemein", "Schulz | Allgemein", "Meier | Chirurgie"};
  EXPECT_EQ(vk::BenutzerIndex(e, "Meier"), 2);
  EXPECT_EQ(vk::BenutzerIndex(e, "meier"), -1);
}

class Hauptkern : public Testbaum {
 protected:
  std::string pool(const std::string& name) const { return "ziel/Chirurgie/" + name; }
};

TEST_F(Hauptkern, UnattendedStartDecidesByTheFilesOfThePool) {
  auto& k = vk::konfiguration();
  // Without a user: the pool word list decides.
  EXPECT_EQ(vk::AutomatikEntscheiden(false, "", true), AutoStart::nichts);
  schreiben(pool("Wortliste.txt"), "");
  EXPECT_EQ(vk::AutomatikEntscheiden(false, "", true), AutoStart::offeneWorte);

  // With a user his ".ben" becomes the word list of the run.
  EXPECT_EQ(vk::AutomatikEntscheiden(true, "Meier", true), AutoStart::beenden);
  EXPECT_EQ(k.WortlistenDatei, "_Meier.ben");
  schreiben(pool("_Meier.ben"), "");
  EXPECT_EQ(vk::AutomatikEntscheiden(true, "Meier", true), AutoStart::beenden);
  // vkPflege checks no size.
  EXPECT_EQ(vk::AutomatikEntscheiden(true, "Meier", false), AutoStart::wortliste);
  schreiben(pool("_Meier.ben"), "Femur\r\n");
  EXPECT_EQ(vk::AutomatikEntscheiden(true, "Meier", true), AutoStart::wortliste);

  // A name that leads outside the pool folder finds no file, though the
  // file it leads to is there ("_\..\..\x.ben" through the members' folder).
  schreiben("ziel/x.ben", "Femur\r\n");
  std::filesystem::create_directories(wurzel_ / pool("_"));
  EXPECT_EQ(vk::AutomatikEntscheiden(true, "\\..\\..\\x", false), AutoStart::beenden);
  schreiben("Wortliste.txt", "");
  k.WortlistenDatei = "Wortliste.txt";
  vk::poolZustand().Pool = "..";
  EXPECT_EQ(vk::AutomatikEntscheiden(false, "", false), AutoStart::nichts);
}

// Claims a run that died left come first; an entry of a claim's name (an
// older claim, a folder) makes the claim take the next number.
TEST_F(Hauptkern, CollectingMergesEveryBenAndLeftOverClaims) {
  schreiben(pool("Wortliste.txt"), "Alt\r\n");
  schreiben(pool("_Meier.ben"), "Femur\r\nx\r\nOP\r\n\r\nTibia\\Ti bia\r\n");
  schreiben(pool("_Schulz.ben"), "Radius");
  schreiben(pool("_Kunz.ben"), "");
  schreiben(pool("_Meier.ben.inArbeit"), "Humerus\r\n");
  std::filesystem::create_directories(wurzel_ / pool("_Schulz.ben.inArbeit"));
  schreiben(pool("_Lang.BEN"), "Fibula\r\n");  // not lower case: stays
  ASSERT_TRUE(vk::BenDateienSammeln(true));
  EXPECT_EQ(lesen(pool("Wortliste.txt")),
            "Alt\r\nHumerus\r\nFemur\r\nOP\r\nTibia\\Ti bia\r\nRadius\r\n");
  for (const char* weg : {"_Meier.ben", "_Schulz.ben", "_Kunz.ben", "_Meier.ben.inArbeit",
                          "_Meier.ben.1.inArbeit", "_Schulz.ben.1.inArbeit"})
    EXPECT_FALSE(gibtEs(pool(weg))) << weg;
  EXPECT_TRUE(gibtEs(pool("_Lang.BEN")));
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();

  // A ".ben" held beyond the retries waits for the next run; a claim that
  // cannot be read is reported and stays.
  schreiben(pool("_Meier.ben"), "Ulna\r\n");
  schreiben(pool("_Kunz.ben.inArbeit"), "Patella\r\n");
  plat::SharedFile helfer;
  plat::SharedFile anderer;
  ASSERT_EQ(halten(helfer, pool("_Meier.ben")), plat::Err::ok);
  ASSERT_EQ(halten(anderer, pool("_Kunz.ben.inArbeit")), plat::Err::ok);
  ASSERT_TRUE(vk::BenDateienSammeln(false));
  EXPECT_FALSE(gibtEs(pool("_Meier.ben.inArbeit")));
  EXPECT_EQ(vk::recordedMessages().size(), 1U) << meldungen();
  helfer.close();
  anderer.close();
  EXPECT_EQ(lesen(pool("_Meier.ben")) + lesen(pool("_Kunz.ben.inArbeit")), "Ulna\r\nPatella\r\n");
}

// Lines that are no words (a NUL byte, a 5 MB line) never reach the pool
// word list; the user learns which. A lone CR ends a line.
TEST_F(Hauptkern, CollectingRefusesLinesThatAreNoWords) {
  schreiben(pool("_Meier.ben"), std::string("Alpha\rBeta\rGamma\rNUL\0x\r", 23) +
                                    std::string(5'000'000, 'x') + "\r\nDelta\r\n");
  schreiben(pool("_Schulz.ben.inArbeit"), "Femur\r\nTab\tWort\r\n");
  ASSERT_TRUE(vk::BenDateienSammeln(false));
  EXPECT_EQ(lesen(pool("Wortliste.txt")), "Femur\r\nAlpha\r\nBeta\r\nGamma\r\nDelta\r\n");
  for (const auto& [datei, anzahl, zeilen] :
       {std::tuple{"_Meier.ben", "2", "4, 5"}, {"_Schulz.ben", "1", "2"}}) {
    const std::string text = vk::TextMitWerten(2589, anzahl, sys(pool(datei)));
    EXPECT_NE(meldungen().find(vk::WertEinsetzen(text, zeilen)), std::string::npos) << meldungen();
  }
  EXPECT_FALSE(gibtEs(pool("_Meier.ben")));
}

TEST_F(Hauptkern, AWordListThatCannotBeWrittenDeletesNoWords) {
  std::filesystem::create_directories(wurzel_ / pool("Wortliste.txt"));
  schreiben(pool("_Meier.ben"), "Femur\r\n");
  EXPECT_FALSE(vk::BenDateienSammeln(false));
  EXPECT_NE(meldungen(), "");
  // The words wait as a claim and are merged by the next run.
  EXPECT_EQ(lesen(pool("_Meier.ben.inArbeit")), "Femur\r\n");
  std::filesystem::remove(wurzel_ / pool("Wortliste.txt"));
  schreiben(pool("_Meier.ben"), "Tibia\r\n");
  ASSERT_TRUE(vk::BenDateienSammeln(false));
  EXPECT_EQ(lesen(pool("Wortliste.txt")), "Femur\r\nTibia\r\n");
  EXPECT_FALSE(gibtEs(pool("_Meier.ben.inArbeit")));
  EXPECT_FALSE(gibtEs(pool("_Meier.ben.1.inArbeit")));
  // A word list that could not be flushed to the disk deletes no words either.
  schreiben(pool("_Meier.ben"), "Radius\r\n");
  plat::setSyncFault(true);
  EXPECT_FALSE(vk::BenDateienSammeln(false));
  plat::setSyncFault(false);
  EXPECT_EQ(lesen(pool("_Meier.ben.inArbeit")), "Radius\r\n");
}

// A helper appends word after word to "_Meier.ben" while the main program
// collects again and again: every word ends up in the word list.
TEST_F(Hauptkern, NoWordIsLostWhileAHelperAppends) {
  constexpr int kWorte = 400;
  const pid_t kind = anhaengerStarten(sys(pool("_Meier.ben")), "Wort", kWorte);
  ASSERT_GE(kind, 0);
  int status = 0;
  while (::waitpid(kind, &status, WNOHANG) == 0)
    ASSERT_TRUE(vk::BenDateienSammeln(false));
  EXPECT_EQ(status, 0);
  ASSERT_TRUE(vk::BenDateienSammeln(false));
  const std::string liste = lesen(pool("Wortliste.txt"));
  for (int i = 1; i <= kWorte; ++i)
    EXPECT_NE(liste.find("Wort" + std::to_string(i) + "\r\n"), std::string::npos) << i;
}

}  // namespace

// A run killed inside the rename of a ".ben" to its claim leaves one file
// under both names: the next run merges its words once.
TEST_F(Hauptkern, ABenCutInItsRenameIsMergedOnce) {
  schreiben(pool("_Meier.ben"), "Femur\r\n");
  std::filesystem::create_hard_link(wurzel_ / pool("_Meier.ben"),
                                    wurzel_ / pool("_Meier.ben.inArbeit"));
  ASSERT_TRUE(vk::BenDateienSammeln(false));
  EXPECT_EQ(lesen(pool("Wortliste.txt")), "Femur\r\n");
  EXPECT_FALSE(gibtEs(pool("_Meier.ben")));
  EXPECT_FALSE(gibtEs(pool("_Meier.ben.inArbeit")));
}
