// Pool file operations in one process: the output file, its failures and
// its ways into place (with backups), the journal, copying the pool, the
// lock, the word sets, the own-words file and the user list.
#include "testbaum.h"

#include "common/journal.h"
#include "common/zeichenketten.h"
#include "platform/shared_file.h"

namespace {

using Pool = Testbaum;

TEST_F(Pool, AppendAndWriteLinesCrLf) {
  schreiben("ziel/Chirurgie/AlleWorte.txt", "alt\r\n");
  ASSERT_TRUE(vk::AppendPool());
  vk::ZeileSchreiben("Arm");
  vk::AlleSchreiben(std::vector<std::string>{"Bein", "OP\\Oh Peh"});
  ASSERT_TRUE(vk::AusgabeSchliessen());
  vk::ZeileSchreiben("verloren");  // without an open output: nothing
  ASSERT_TRUE(vk::AppendBen("Meier", true));
  for (const char* w : {"b", "a", "c"})
    vk::poolZustand().Markierte.hinzufuegen(w);
  vk::poolZustand().Markierte.entfernen("A");
  vk::AlleMarkiertenSchreiben();
  ASSERT_TRUE(vk::AusgabeAnhaengen(false));  // replaces the open output
  vk::ZeileSchreiben("neu");
  vk::AusgabeSchliessen();
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "_Meier.loe", "neuWorte.txt"}),
            "alt\r\nArm\r\nBein\r\nOP\\Oh Peh\r\n|b\r\nc\r\n|neu\r\n");
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();
}

// "_\..\..\x.neu" leads through the members' folder to the target folder.
TEST_F(Pool, UnsafeUserNameNeverBecomesAPath) {
  std::filesystem::create_directories(wurzel_ / "ziel/Chirurgie/_");
  EXPECT_FALSE(vk::AppendBen("\\..\\..\\x", false));
  EXPECT_FALSE(vk::NeubenutzerKopie("a\\b"));
  EXPECT_EQ(vk::recordedMessages().size(), 2U);
  vk::ZeileSchreiben("nirgends");
  EXPECT_FALSE(gibtEs("ziel/x.neu"));
}

// The output file into place: replacing with a backup of the old content
// (a first save has none), renamed over a target, or saved as total list
// with its backup while the output file stays.
TEST_F(Pool, OutputIntoPlace) {
  schreiben("ziel/Chirurgie/Wortliste.txt", "vorher\r\n");
  schreiben("ziel/Chirurgie/Wortliste.bak", "uralt\r\n");
  ASSERT_TRUE(vk::AusgabeAnlegen(true));
  std::string temp = vk::poolZustand().ausgabePfad;
  vk::ZeileSchreiben("nachher");
  ASSERT_TRUE(vk::MitSicherungErsetzen(vk::WortlistenPfad()));
  EXPECT_FALSE(plat::fileExists(temp));
  ASSERT_TRUE(vk::AusgabeAnlegen(true));
  vk::ZeileSchreiben("erst");
  ASSERT_TRUE(vk::MitSicherungErsetzen(sys("ziel/Chirurgie/Neu.dat")));
  schreiben("ziel/Chirurgie/neuWorte.txt", "alt\r\n");
  ASSERT_TRUE(vk::AusgabeAnlegen(true));
  vk::ZeileSchreiben("ersetzt");
  ASSERT_TRUE(vk::AusgabeUmbenennen(vk::NeuWortePfad()));
  EXPECT_EQ(poolDateien({"Wortliste.txt", "Wortliste.bak", "Neu.dat", "Neu.bak", "neuWorte.txt"}),
            "nachher\r\n|vorher\r\n|erst\r\n|-|ersetzt\r\n");

  schreiben("ziel/Chirurgie/AlleWorte.txt", "gesamt alt\r\n");
  schreiben("ziel/Chirurgie/AlleWorte.bak", "noch aelter\r\n");
  ASSERT_TRUE(vk::AusgabeAnlegen(true));
  temp = vk::poolZustand().ausgabePfad;
  vk::ZeileSchreiben("gesamt neu");
  ASSERT_TRUE(vk::GesamtlisteSichern());
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "AlleWorte.bak"}), "gesamt neu\r\n|gesamt alt\r\n");
  EXPECT_EQ(plat::removeFile(temp), plat::Err::ok);  // the output file stays
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();
}

// A write or a flush of the output that fails is reported, never success.
TEST_F(Pool, FailedWriteOrFlushOfTheOutputIsReported) {
  for (const bool beimSchreiben : {true, false}) {
    ASSERT_TRUE(vk::AppendPool());
    vk::ZeileSchreiben("Arm");
    if (beimSchreiben) plat::setAppendFault(0);
    if (!beimSchreiben) plat::setSyncFault(true);
    EXPECT_FALSE(vk::AusgabeSchliessen()) << beimSchreiben;
  }
  plat::setSyncFault(false);
  EXPECT_EQ(vk::recordedMessages().size(), 2U) << meldungen();
}

// A journal that cannot be flushed is not taken, so nothing is appended;
// finishing deletes the word file only while it is the file that was read.
TEST_F(Pool, JournalFlushedFirstAndDeletesOnlyTheWordFileRead) {
  const std::string ordner = sys("ziel/Chirurgie");
  vk::Journal j;
  vk::JournalAnhaengen(j, ordner + "\\AlleWorte.txt", "Arm\r\n", 1);
  plat::setSyncFault(true);
  EXPECT_FALSE(vk::JournalAnlegen(j, ordner));
  plat::setSyncFault(false);
  for (const bool ersetzt : {true, false}) {
    schreiben("ziel/Chirurgie/_Meier.neu", "Arm\r\n");
    vk::Journal w;
    vk::JournalWortdatei(w, ordner + "\\_Meier.neu", -1, 0);
    if (ersetzt) {
      schreiben("ziel/neu", "Bein\r\n");
      std::filesystem::rename(wurzel_ / "ziel/neu", wurzel_ / "ziel/Chirurgie/_Meier.neu");
    }
    ASSERT_TRUE(vk::JournalAnlegen(w, ordner));
    vk::JournalAbschliessen(w);
    EXPECT_EQ(gibtEs("ziel/Chirurgie/_Meier.neu"), ersetzt);
  }
}

TEST_F(Pool, CopyPoolAndNewUserCopy) {
  EXPECT_FALSE(vk::NeubenutzerKopie("Meier"));
  EXPECT_FALSE(gibtEs("ziel/Chirurgie/_Meier.neu"));
  EXPECT_EQ(meldungen(), "Der Pool hat noch keinen Inhalt\n");

  schreiben("ziel/Chirurgie/AlleWorte.txt", "Arm\r\nBein\r\n");
  schreiben("ziel/Chirurgie/_Meier.neu", "wird ersetzt\r\n");
  ASSERT_TRUE(vk::NeubenutzerKopie("Meier"));
  EXPECT_EQ(lesen("ziel/Chirurgie/_Meier.neu"), "Arm\r\nBein\r\n");
}

TEST_F(Pool, LockHeldAskedReleasedDeletesFileAndDropsDeleteList) {
  vk::LoeschListeHinzufuegen("OP", "  Oh Peh ");
  EXPECT_TRUE(vk::poolZustand().LoeschListe->enthaelt("op\\oh peh"));

  vk::poolZustand().Automatikbetrieb = true;  // keeps the list
  ASSERT_TRUE(vk::SperreSetzen());
  EXPECT_TRUE(vk::poolZustand().LoeschListe);
  vk::SperreLoesen();
  EXPECT_FALSE(gibtEs("ziel/Chirurgie/Sperre.lck"));

  vk::poolZustand().Automatikbetrieb = false;
  schreiben("ziel/Chirurgie/Sperre.lck", "liegengeblieben");  // nobody holds it
  ASSERT_TRUE(vk::SperreSetzen());
  EXPECT_FALSE(vk::poolZustand().LoeschListe);
  vk::SperreLoesen();
  vk::SperreLoesen();  // nothing held: nothing happens
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();

  // Held by another program: the user is asked; Cancel refuses, Retry tries
  // again (still held: asked again).
  plat::SharedFile halter;
  ASSERT_EQ(halten(halter, "ziel/Chirurgie/Sperre.lck"), plat::Err::ok);
  EXPECT_FALSE(vk::SperreSetzen());
  int fragen = 0;
  vk::setAnswerFunction([&](const vk::AufgezeichneteMeldung& m) {
    EXPECT_EQ(m.text, vk::ersetzen(vk::TextMitWert(2501, "Chirurgie"), "\\n", "\r"));
    if (++fragen == 2) halter.close();
    return true;
  });
  EXPECT_TRUE(vk::SperreSetzen());
  EXPECT_EQ(fragen, 2);
  EXPECT_EQ(vk::recordedMessages().size(), 3U);
  vk::setAnswerFunction(nullptr);
  vk::SperreLoesen();
}

TEST(Wortmengen, KeysWithoutCaseIncludingUmlauts) {
  vk::Wortmenge m;
  EXPECT_TRUE(m.hinzufuegen("\xC4rztin"));
  EXPECT_FALSE(m.hinzufuegen("\xE4rztin"));  // the same key
  EXPECT_TRUE(m.enthaelt("\xE4RZTIN") && m.hinzufuegen("Arztin") && m.entfernen("ARZTIN"));
  EXPECT_EQ(m.anzahl(), 1U);
  vk::GeordneteWortmenge g;
  for (const char* w : {"c", "a", "B", "b", "d"})
    g.hinzufuegen(w);
  g.entfernen("A");
  std::string folge;
  for (const auto& w : g.elemente())
    folge += w;
  EXPECT_EQ(folge, "cBd");
  EXPECT_TRUE(g.hinzufuegen("a"));
  EXPECT_EQ(g.elemente().back(), "a");
}

TEST_F(Pool, OwnWordsFileTrimmedWithoutEmptyLines) {
  EXPECT_TRUE(vk::BenDateiEinlesen(sys("ziel/Chirurgie/_Meier.ben")));  // missing: nothing
  schreiben("ziel/Chirurgie/_Meier.ben", "  Arm \r\n\r\n   \r\nBein\nARM\r\nx\r\nOP\\Oh Peh");
  ASSERT_TRUE(vk::BenDateiEinlesen(sys("ziel/Chirurgie/_Meier.ben")));
  const auto& m = vk::poolZustand().BenWorte;
  EXPECT_EQ(m.anzahl(), 4U);
  EXPECT_TRUE(m.enthaelt("arm") && m.enthaelt("x"));
  EXPECT_TRUE(m.enthaelt("OP\\Oh Peh"));
}

TEST_F(Pool, UserListPoolsOnceUsersByUserAndTopic) {
  schreiben("ziel/BenIntern.dat",
            "Chirurgie\tMeier\tcurrent\\a\tAllgemein\r\n"
            "chirurgie\tSchulz\tcurrent\\b\tAllgemein\r\n"
            "Innere\tMEIER\tcurrent\\c\tallgemein\r\n"  // same user and topic: skipped
            "\r\n"
            "Innere\tnur drei\tFelder\r\n"
            "..\tBoese\tcurrent\\x\tT\r\n"
            "Innere\t..\tcurrent\\y\tT\r\n"
            "Innere\tMeier\tcurrent\\d\tKardio\r\n");
  ASSERT_TRUE(vk::BenutzerLesen());
  const auto& z = vk::poolZustand();
  EXPECT_EQ(z.Pools, (std::vector<std::string>{"Chirurgie", "Innere"}));
  ASSERT_EQ(z.Benutzerliste.size(), 3U);
  const auto e = vk::BenutzerZeileTeilen("P\tMeier\tcurrent\\t1\tThema\tmit\tTabs");
  EXPECT_EQ(e.unterverzeichnis + "|" + e.thema, "current\\t1|Thema\tmit\tTabs");
  EXPECT_EQ(z.Benutzerliste[1].benutzer, "Schulz");
  EXPECT_EQ(z.Benutzerliste[2].thema, "Kardio");
  plat::setReadFault(40);  // a lost drive in the middle of the list is no end
  EXPECT_FALSE(vk::BenutzerLesen());

  std::filesystem::remove(wurzel_ / "ziel/BenIntern.dat");
  EXPECT_FALSE(vk::BenutzerLesen());
  EXPECT_TRUE(z.Pools.empty());
  EXPECT_NE(meldungen().find(vk::TextMitWert(2102, vk::BenutzerlistenPfad())), std::string::npos);
}

}  // namespace
