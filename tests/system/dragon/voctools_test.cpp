// Vocabulary access of the clients against the real recognizer stand-in.
#include "common/dragon.h"
#include "common/dragon_voctools.h"
#include "common/meldung.h"
#include "common/poolfiles.h"
#include "common/texte.h"
#include "dragon_welt.h"
#include "platform/shared_file.h"

using namespace vk;

namespace {

struct Zeilen : VocZeilenZiel {
  std::size_t erwartet = 0;
  std::vector<VocZeile> zeilen;
  void zeilenErwartet(std::size_t n) override { erwartet = n; }
  void zeileAnfuegen(const VocZeile& z) override { zeilen.push_back(z); }
};

class Vokabular : public DragonWelt {
 protected:
  void SetUp() override {
    DragonWelt::SetUp();
    einrichten();
    starten({"--speaker", "Anna", "--topic", "Allgemein"});
    ASSERT_TRUE(VoctoolsStart());
  }
  std::string benutzerDatei() {
    return dateiLesen(master() + "Anna\\current\\Allgemein\\user.voc");
  }
};

}  // namespace

TEST_F(Vokabular, WordLinesBecomeWordsByTheBackslashRule) {
  ASSERT_TRUE(WortAnalysieren("\\Anfang\\x"));
  EXPECT_EQ(Voctools().wort, (dragon::Word{"\\Anfang\\x", ""}));
  ASSERT_TRUE(WortAnalysieren("a\\b\\c"));
  EXPECT_EQ(Voctools().wort, (dragon::Word{"a", "b\\c"}));
  EXPECT_FALSE(WortAnalysieren(""));
  EXPECT_TRUE(recordedMessages().empty());
  EXPECT_FALSE(WortAnalysieren(std::string(129, 'x')));
  EXPECT_FALSE(WortAnalysieren("x\\Tab\there"));
  EXPECT_EQ(recordedMessages().size(), 2u);
  EXPECT_TRUE(gemeldet(2552));
  EXPECT_EQ(WortZeile({" EKG ", " E K G "}), "EKG\\E K G");
  EXPECT_EQ(WortZeile({"Zyste ", "  "}), "Zyste");
}

TEST_F(Vokabular, AddGetRemoveRoundTripKeepsSpokenFormsAndUmlauts) {
  dateiSchreiben(system("neu.txt"),
                 "Gru\xDF\r\n\r\n\xC4rztin\\\xC4rztin Doktor\r\nMeier\r\n\\Pfad\r\n"
                 "Kaputt\\\x01\r\n");
  ASSERT_TRUE(WoerterHinzufuegen(system("neu.txt")));
  EXPECT_TRUE(gemeldet(2552));  // the line with a control character
  EXPECT_TRUE(Voctools().geaendert);
  EXPECT_EQ(zustand("saves"), "0");
  VoctoolsEnde();
  EXPECT_EQ(zustand("saves"), "1");
  EXPECT_EQ(benutzerDatei(),
            "Meier\r\nM\xFCller\\Mueller\r\nGru\xDF\r\n\xC4rztin\\\xC4rztin Doktor\r\n"
            "\\Pfad\r\n");

  ASSERT_TRUE(VoctoolsStart());
  ASSERT_TRUE(WorteHolen(true));
  EXPECT_EQ(Voctools().sprecher, "Anna");
  ASSERT_EQ(Voctools().liste.size(), 5u);
  EXPECT_EQ(WortZeile(Voctools().liste[3]), "\xC4rztin\\\xC4rztin Doktor");
  ASSERT_TRUE(WorteHolen(false));
  EXPECT_EQ(Voctools().liste.size(), 5005u);

  dateiSchreiben(system("weg.txt"), "\xC4rztin\\\xC4rztin Doktor\r\nFehlt\r\nMeier\r\n");
  ASSERT_TRUE(DateiWoerterEntfernen(system("weg.txt")));
  VoctoolsEnde();
  EXPECT_EQ(benutzerDatei(), "M\xFCller\\Mueller\r\nGru\xDF\r\n\\Pfad\r\n");
}

TEST_F(Vokabular, WoerterEntfernenTakesTheDeleteList) {
  EXPECT_EQ(WoerterEntfernen(), 0);
  EXPECT_TRUE(LoeschListeHinzufuegen("M\xFCller", "Mueller"));
  EXPECT_TRUE(LoeschListeHinzufuegen("NieDagewesen", ""));
  EXPECT_EQ(WoerterEntfernen(), 2);
  EXPECT_FALSE(poolZustand().LoeschListe.has_value());
  VoctoolsEnde();
  EXPECT_EQ(benutzerDatei(), "Meier\r\n");

  // The removal call fails (the recognizer is gone): the list stays, so
  // the deletions are not lost with it.
  ASSERT_TRUE(VoctoolsStart());
  EXPECT_TRUE(LoeschListeHinzufuegen("Meier", ""));
  ctl({"quit"});
  ASSERT_TRUE(prozesse_.back()->waitForFinished(10000));
  EXPECT_EQ(WoerterEntfernen(), 0);
  EXPECT_TRUE(gemeldet(2558));
  ASSERT_TRUE(poolZustand().LoeschListe.has_value());
  EXPECT_TRUE(poolZustand().LoeschListe->enthaelt("Meier"));
}

// Fetching, an empty file and words already there change nothing, so the
// end saves nothing; a missing file or a read error after its first word
// is never taken for applied.
TEST_F(Vokabular, NoChangeNoSaveAndAnUnreadableFileIsNeverApplied) {
  ASSERT_TRUE(WorteHolen(true));
  dateiSchreiben(system("da.txt"), "Meier\r\n");
  dateiSchreiben(system("leer.neu"), "");
  EXPECT_TRUE(WoerterHinzufuegen(system("da.txt")));
  EXPECT_TRUE(WoerterHinzufuegen(system("leer.neu")));
  EXPECT_FALSE(Voctools().geaendert);
  VoctoolsEnde();
  EXPECT_EQ(zustand("saves"), "0");
  EXPECT_FALSE(Voctools().initialisiert);
  VoctoolsEnde();

  ASSERT_TRUE(VoctoolsStart());
  EXPECT_FALSE(WoerterHinzufuegen(system("fehlt.neu")));
  EXPECT_TRUE(gemeldetText(TextMitWert(2557, system("fehlt.neu"))));
  EXPECT_FALSE(DateiWoerterEntfernen(system("fehlt.loe")));
  dateiSchreiben(system("halb.neu"), "Arm\r\nBein\r\n");
  plat::setReadFault(5);
  EXPECT_FALSE(WoerterHinzufuegen(system("halb.neu")));
  plat::setReadFault(-1);
}

// The view lists the user's words not in his own list; the list holds all.
TEST_F(Vokabular, OwnWordsViewAndWritingTheList) {
  ASSERT_TRUE(WorteHolen(true));
  poolZustand().BenWorte.hinzufuegen("meier");
  Zeilen z;
  VocWorteZeigen(poolZustand().BenWorte, z);
  EXPECT_EQ(z.erwartet, 2u);
  ASSERT_EQ(z.zeilen.size(), 1u);
  EXPECT_EQ(z.zeilen[0].text, " ");
  EXPECT_FALSE(z.zeilen[0].angehakt);
  EXPECT_EQ(z.zeilen[0].geschrieben + "\\" + z.zeilen[0].gesprochen, "M\xFCller\\Mueller");
  ASSERT_TRUE(AusgabeAnlegen(true));
  const std::string pfad = poolZustand().ausgabePfad;
  VocWorteSchreiben();
  ASSERT_TRUE(AusgabeSchliessen());
  EXPECT_EQ(dateiLesen(pfad), "Meier\r\nM\xFCller\\Mueller\r\n");
}

TEST_F(Vokabular, LongListsTravelInPartsAndReturnExactlyTheChangedWords) {
  // More words than one part holds, with a word that cannot travel at a
  // part's border, a present word and a word repeated in a later part.
  dragon::WordList worte;
  for (int i = 0; i < 5000; ++i)
    worte.push_back({"Teil" + std::to_string(i), i % 2 == 0 ? "t " + std::to_string(i) : ""});
  worte[100] = {"Meier", ""};
  worte[2047] = {"Kaputt\x01", ""};
  worte[3000] = worte[10];
  dragon::WordList erwartet;
  for (std::size_t i = 0; i < worte.size(); ++i)
    if (i != 100 && i != 2047 && i != 3000) erwartet.push_back(worte[i]);
  auto& vb = Voctools().tools->vocabularyBuilder();
  dragon::WordList geaendert;
  dragon::Error e;
  ASSERT_TRUE(vb.addWords(worte, 1, geaendert, e)) << e.description;
  EXPECT_EQ(geaendert, erwartet);
  ASSERT_TRUE(vb.addWords(worte, 1, geaendert, e));
  EXPECT_TRUE(geaendert.empty());
  EXPECT_EQ(zustand("user-words"), std::to_string(2 + erwartet.size()));
  ASSERT_TRUE(vb.removeWords(worte, geaendert, e));
  erwartet.insert(erwartet.begin() + 100, {"Meier", ""});
  EXPECT_EQ(geaendert, erwartet);
  EXPECT_EQ(zustand("user-words"), "1");
}
