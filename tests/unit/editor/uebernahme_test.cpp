// "Speichern" and "Uebernehmen" of each kind of list, byte for byte in the pool
// files: no word is given up silently, a take-over happens once.
#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <functional>

#include "anhaenger.h"
#include "editor_baum.h"
#include "main/editor/pruefsumme.h"
#include "platform/shared_file.h"
#include "platform/system.h"
#include "platform/text_lines.h"

namespace {

const char* const kPool = "ziel/Chirurgie/";

std::string p(const std::string& datei) {
  return kPool + datei;
}

class Uebernahme : public EditorBaum {
 protected:
  // The next program takes the pool's files and finishes what is open.
  static void naechstesProgramm() {
    vk::poolZustand().sperre.close();
    ASSERT_TRUE(vk::SperreSetzen());
    vk::SperreLoesen();
  }
};

TEST_F(Uebernahme, NewWordsGoToBothPoolFilesAndTheWordListIsDeleted) {
  schreiben(p("AlleWorte.txt"), "alt\r\n");
  schreiben(p("neuWorte.txt"), "offen\r\n");
  schreiben(p("Wortliste.txt"), "Arm\r\nBein\\ Bain \r\nCT\r\nZeh\r\n");
  vk::poolZustand().Benutzer = "Meier";
  ASSERT_TRUE(bauen(liste("Wortliste.txt")));
  vk::HakenSetzen(zeileVon("Zeh"), false);
  vk::ZeileAendern(zeileVon("Arm"), "Arme ", " ");
  ASSERT_TRUE(vk::ListeUebernehmen());
  const std::string neu = "Arme\r\nBein\\Bain\r\nCT\\C. T.\r\n";
  EXPECT_EQ(
      poolDateien({"AlleWorte.txt", "neuWorte.txt", "_Meier.loe", "Wortliste.txt", "loeWorte.txt"}),
      "alt\r\n" + neu + "|offen\r\n" + neu + "|Arm\r\n|-|-");
  EXPECT_TRUE(triggerDa());
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();

  // All unchecked: nothing to send, but the list goes.
  schreiben(p("Wortliste.txt"), "Ohr\r\n");
  ASSERT_TRUE(bauen(liste("Wortliste.txt")));
  vk::Markieren({0}, false);
  ASSERT_TRUE(vk::ListeUebernehmen());
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "Wortliste.txt"}), "alt\r\n" + neu + "|-");
}

// Unattended, the take-over needs the pool lock.
TEST_F(Uebernahme, AutomaticModeTakesOverOnlyUnderThePoolLock) {
  vk::poolZustand().Automatikbetrieb = true;
  schreiben(p("Wortliste.txt"), "Arm\r\n");
  ASSERT_TRUE(bauen(liste("Wortliste.txt")));
  {
    plat::SharedFile andere;
    ASSERT_EQ(halten(andere, p("Sperre.lck")), plat::Err::ok);
    EXPECT_FALSE(vk::ListeUebernehmen());  // question 2501 answered with Cancel
  }
  EXPECT_EQ(vk::recordedMessages().size(), 1U);
  EXPECT_EQ(poolDateien({"Wortliste.txt", "AlleWorte.txt"}), "Arm\r\n|-");
  EXPECT_TRUE(vk::ListeUebernehmen());
  EXPECT_TRUE(vk::poolZustand().sperre.isOpen());
  EXPECT_EQ(lesen(p("AlleWorte.txt")), "Arm\r\n");
}

// Any import file name gets a backup beside it. An import's take-over
// deletes nothing: not the user's file, nor the pool word list.
TEST_F(Uebernahme, ImportSaveKeepsABakAndItsTakeOverDeletesNothing) {
  for (const auto& [name, sicherung] : {std::pair{"liste.txt", "liste.bak"},
                                        {"LISTE.TXT", "LISTE.bak"},
                                        {"liste.csv", "liste.csv.bak"},
                                        {"liste", "liste.bak"}}) {
    SCOPED_TRACE(name);
    const std::string datei = std::string("import/") + name;
    schreiben(datei, "eins\r\nzwei\r\n");
    ASSERT_TRUE(bauen(import(datei)));
    vk::HakenSetzen(zeileVon("eins"), false);
    ASSERT_TRUE(vk::ListeSpeichern()) << meldungen();
    EXPECT_EQ(lesen(datei) + lesen(std::string("import/") + sicherung), "zwei\r\neins\r\nzwei\r\n");
  }
  // "liste" and "liste.txt" share their backup's name.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(wurzel_ / "import"), {}), 7);
  EXPECT_FALSE(triggerDa());
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();

  schreiben(p("Wortliste.txt"), "x\r\n");
  ASSERT_TRUE(bauen(import("import/liste.txt")));
  ASSERT_TRUE(vk::ListeUebernehmen());
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "neuWorte.txt", "Wortliste.txt"}),
            "zwei\r\n|zwei\r\n|x\r\n");
  EXPECT_EQ(lesen("import/liste.txt"), "zwei\r\n");
}

// A take-over deletes only the file it showed and only what it read: lines
// the helper appended meanwhile stay for next time.
TEST_F(Uebernahme, TakeOverRemovesOnlyWhatTheShownFileHeldWhenRead) {
  vk::poolZustand().Benutzer = "Meier";
  schreiben(p("Wortliste.txt"), "Gesammelt\r\n");
  schreiben(p("_Meier.ben"), "Femur\r\n");
  ASSERT_TRUE(bauen(liste("_Meier.ben")));
  {
    plat::SharedFile helfer;
    ASSERT_EQ(halten(helfer, p("_Meier.ben")), plat::Err::ok);
    ASSERT_EQ(helfer.append("Tibia\r\n"), plat::Err::ok);
  }
  ASSERT_TRUE(vk::ListeUebernehmen());
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "_Meier.ben"}), "Femur\r\n|Tibia\r\n");

  // Nothing came meanwhile: the file is gone.
  ASSERT_TRUE(bauen(liste("_Meier.ben")));
  ASSERT_TRUE(vk::ListeUebernehmen());
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "_Meier.ben"}), "Femur\r\nTibia\r\n|-");

  // A file replaced since it was read holds nothing known to be shown.
  schreiben(p("_Meier.ben"), "Radius\r\n");
  ASSERT_TRUE(bauen(liste("_Meier.ben")));
  schreiben(p("_Meier.ben"), "Ulna\r\n");
  ASSERT_TRUE(vk::ListeUebernehmen());
  EXPECT_EQ(lesen(p("_Meier.ben")), "Ulna\r\n");

  // The total list's take-over leaves the pool word list alone too.
  ASSERT_TRUE(bauen(gesamt()));
  ASSERT_TRUE(vk::ListeUebernehmen());
  EXPECT_EQ(lesen(p("Wortliste.txt")), "Gesammelt\r\n");
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();
}

// A changed unchecked row replaces the old one in his vocabulary: without the
// recognizer the old form goes to his ".loe", the new one to his ".neu".
// Own words and new words alike; a row changed back changes nothing.
TEST_F(Uebernahme, ChangedUncheckedRowReplacesTheOldOneInHisVocabulary) {
  auto& z = vk::editorZustand();
  vk::poolZustand().Benutzer = "Meier";
  z.art = vk::Listenart::Anwender;
  z.listenPfad = sys(p("AlleWorte.txt"));
  z.zeilen = {{"Hallux", "", false}, {"Talus", "", false}, {"Calcaneus", "", false}};
  ASSERT_TRUE(vk::ZeileAendern(0, "Hallux", "Hallux valgus"));
  ASSERT_TRUE(vk::ZeileAendern(1, "Talos", ""));
  ASSERT_TRUE(vk::ZeileAendern(1, "Talus", ""));
  vk::clearRecordedMessages();
  vk::ListeUebernehmen();
  EXPECT_EQ(poolDateien({"_Meier.loe", "_Meier.neu", "AlleWorte.txt"}),
            "Hallux\r\nTalos\r\n|Hallux\\Hallux valgus\r\nTalus\r\n|-");

  std::filesystem::remove_all(wurzel_ / kPool);
  vk::LoeschListeVerwerfen();  // as the closed window leaves it
  schreiben(p("_Meier.ben"), "Arm\r\nBein\r\n");
  ASSERT_TRUE(bauen(liste("_Meier.ben")));
  ASSERT_TRUE(vk::ZeileAendern(zeileVon("Arm"), "Arme", ""));
  vk::HakenSetzen(zeileVon("Arme"), false);
  ASSERT_TRUE(vk::ListeUebernehmen());
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "_Meier.loe", "_Meier.neu"}),
            "Bein\r\n|Arm\r\n|Arme\r\n");
}

TEST_F(Uebernahme, TotalListTakeOverRewritesItAndAppendsToThePendingTexts) {
  schreiben(p("AlleWorte.txt"), "Arm\r\nBein\r\nZeh\r\n");
  schreiben(p("AlleWorte.bak"), "uralt\r\n");
  schreiben(p("neuWorte.txt"), "noch nicht verteilt\r\n");
  schreiben(p("loeWorte.txt"), "weg\r\n");
  ASSERT_TRUE(bauen(gesamt()));
  vk::HakenSetzen(zeileVon("Zeh"), false);
  ASSERT_TRUE(vk::ListeUebernehmen());
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "AlleWorte.bak", "neuWorte.txt", "loeWorte.txt"}),
            "Arm\r\nBein\r\n|Arm\r\nBein\r\nZeh\r\n|noch nicht verteilt\r\nArm\r\nBein\r\n|"
            "weg\r\nZeh\r\n");
  EXPECT_TRUE(triggerDa());
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();

  // "Speichern" writes the checked rows, keeps ".bak", sends nothing.
  std::filesystem::remove(wurzel_ / "ziel/Trigger/POOL-Chirurgie.trg");
  ASSERT_TRUE(bauen(gesamt()));
  vk::HakenSetzen(zeileVon("Arm"), false);
  ASSERT_TRUE(vk::ListeSpeichern());
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "AlleWorte.bak"}), "Bein\r\n|Arm\r\nBein\r\n");
  EXPECT_FALSE(triggerDa());

  // A list another program replaced meanwhile keeps every line of it.
  ASSERT_TRUE(bauen(gesamt()));
  schreiben(p("AlleWorte.txt"), "Femur\r\nTibia\r\n");
  ASSERT_TRUE(vk::ListeSpeichern());
  EXPECT_EQ(lesen(p("AlleWorte.txt")), "Bein\r\nFemur\r\nTibia\r\n");
}

TEST_F(Uebernahme, MaintenanceWritesEachWordOnceAndSendsTheCheckedOnes) {
  schreiben(p("AlleWorte.txt"), "alt\r\nneu\\Noi\r\nalt\r\nweg\r\nanders\r\n");
  vk::poolZustand().Vergleichsworte.hinzufuegen("alt");
  ASSERT_TRUE(bauen(wartung()));
  // Only the lines not compared yet are shown; all are kept for the take-over.
  EXPECT_EQ(zeilen(), (std::vector<std::string>{"neu|Noi|x", "weg||x", "anders||x"}));
  EXPECT_EQ(vk::poolZustand().BenWorte.anzahl(), 4U);
  vk::HakenSetzen(zeileVon("weg"), false);
  vk::ZeileAendern(zeileVon("anders"), "anderes", "");
  ASSERT_TRUE(vk::ListeUebernehmen());
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "AlleWorte.bak", "neuWorte.txt", "loeWorte.txt"}),
            "alt\r\nneu\\Noi\r\nanderes\r\n|alt\r\nneu\\Noi\r\nalt\r\nweg\r\nanders\r\n|"
            "neu\\Noi\r\nanderes\r\n|weg\r\nanders\r\n");
  EXPECT_FALSE(vk::editorZustand().auftrag.wartung);
  EXPECT_TRUE(triggerDa());
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();
}

// A held total list: the user is asked; Retry completes once it is free.
TEST_F(Uebernahme, LockedTotalListAsksAndRetryCompletes) {
  schreiben(p("AlleWorte.txt"), "alt\r\n");
  schreiben(p("Wortliste.txt"), "Arm\r\n");
  ASSERT_TRUE(bauen(liste("Wortliste.txt")));
  auto halter = std::make_unique<plat::SharedFile>();
  ASSERT_EQ(halten(*halter, p("AlleWorte.txt")), plat::Err::ok);
  vk::setAnswerFunction([&halter](const vk::AufgezeichneteMeldung&) {
    halter.reset();
    return true;
  });
  EXPECT_TRUE(vk::ListeUebernehmen());
  vk::setAnswerFunction({});
  ASSERT_EQ(vk::recordedMessages().size(), 1U);
  EXPECT_EQ(vk::recordedMessages()[0].art, vk::MeldungsArt::nachfrage);
  EXPECT_NE(meldungen().find(sys(p("AlleWorte.txt"))), std::string::npos) << meldungen();
  EXPECT_NE(meldungen().find(sys(p("Wortliste.txt"))), std::string::npos) << meldungen();
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "neuWorte.txt", "Wortliste.txt"}),
            "alt\r\nArm\r\n|Arm\r\n|-");

  // A total list that stays held cannot be replaced and sends nothing:
  // members would delete words the pool still holds.
  ASSERT_TRUE(bauen(gesamt()));
  vk::HakenSetzen(zeileVon("alt"), false);
  plat::SharedFile halter2;
  ASSERT_EQ(halten(halter2, p("AlleWorte.txt")), plat::Err::ok);
  vk::clearRecordedMessages();
  EXPECT_FALSE(vk::ListeUebernehmen());
  EXPECT_EQ(vk::recordedMessages().size(), 1U) << meldungen();  // the question only
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "loeWorte.txt", "neuWorte.txt", "AlleWorte.bak"}),
            "alt\r\nArm\r\n|-|Arm\r\n|-");
}

// Runs `schritt` in a child process that is killed (-9) at its first
// message or question, as a kill at that moment would stop the program.
void getoetetBeiErsterMeldung(const std::function<void()>& schritt) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    vk::setBeimAufzeichnen([](const vk::AufgezeichneteMeldung&) { ::raise(SIGKILL); });
    schritt();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status)) << "the child ran to its end";
}

// A take-over stopped anywhere happens exactly once: the next program that
// takes the pool's files finishes it, or drops it when nothing was written.
TEST_F(Uebernahme, ATakeOverStoppedAnywhereHappensOnce) {
  const struct {
    const char* name;
    const char* gehalten;  // held by another program while the take-over runs
    bool getoetet;
    long long fehler;    // append fault: the disk is full after this many bytes
    bool halbesJournal;  // killed while writing the journal: nothing happens
  } faelle[] = {
      {"getoetet zwischen den Anhaengen", "neuWorte.txt", true, -1, false},
      {"getoetet vor dem Loeschen der Wortliste", "Wortliste.txt", true, -1, false},
      {"Datentraeger voll", nullptr, false, 3, false},
      {"Abbrechen bei gesperrter Gesamtliste", "AlleWorte.txt", false, -1, false},
      {"Abbrechen bei gesperrtem neuWorte", "neuWorte.txt", false, -1, false},
      {"getoetet beim Schreiben des Journals", nullptr, false, -1, true},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    std::filesystem::remove_all(wurzel_ / kPool);
    std::filesystem::remove(wurzel_ / "ziel/Trigger/POOL-Chirurgie.trg");
    vk::clearRecordedMessages();
    schreiben(p("AlleWorte.txt"), "alt\r\n");
    schreiben(p("Wortliste.txt"), "Arm\r\nBein\r\n");
    ASSERT_TRUE(bauen(liste("Wortliste.txt")));
    {
      plat::SharedFile halter;
      if (f.gehalten) {
        ASSERT_EQ(halten(halter, p(f.gehalten)), plat::Err::ok);
      }
      if (f.halbesJournal) {
        schreiben(p(plat::ownTempName("Journal-1")),
                  "VOKARIUM-JOURNAL 1\r\nAnhang\t" + sys(p("AlleWorte.txt")) + "\t11\r\nArm\r\n");
      } else if (f.getoetet) {
        getoetetBeiErsterMeldung([] { vk::ListeUebernehmen(); });
      } else {
        plat::setAppendFault(f.fehler);
        EXPECT_FALSE(vk::ListeUebernehmen());
        EXPECT_FALSE(vk::recordedMessages().empty());
      }
    }
    EXPECT_TRUE(gibtEs(p("Wortliste.txt")));
    naechstesProgramm();
    EXPECT_EQ(
        poolDateien({"AlleWorte.txt", "neuWorte.txt", "Wortliste.txt"}),
        f.halbesJournal ? "alt\r\n|-|Arm\r\nBein\r\n" : "alt\r\nArm\r\nBein\r\n|Arm\r\nBein\r\n|-");
    EXPECT_EQ(triggerDa(), !f.halbesJournal);
    std::vector<std::string> reste;
    ASSERT_EQ(plat::listOwnTempNames(sys(kPool), "", reste), plat::Err::ok);
    EXPECT_TRUE(reste.empty()) << reste.front();
  }
}

// A journal naming the word file's identity (a remade file may get the old
// inode), length and hash: only a file starting with those bytes loses them;
// a first-form journal (no hash) goes by identity and length.
TEST_F(Uebernahme, AJournalDeletesFromTheWordFileOnlyTheBytesItRead) {
  // Journal form, what the take-over read ("": no hash), the file after.
  const std::tuple<const char*, const char*, const char*> faelle[] = {
      {"VOKARIUM-JOURNAL 2", "Arm\r\n", "Ohr\r\nNase\r\n"},
      {"VOKARIUM-JOURNAL 2", "Ohr\r\n", "Nase\r\n"},
      {"VOKARIUM-JOURNAL 1", "", "Nase\r\n"}};
  for (const auto& [kopf, gelesen, danach] : faelle) {
    SCOPED_TRACE(std::string(kopf) + " " + gelesen);
    schreiben(p("Wortliste.txt"), "Ohr\r\nNase\r\n");
    std::uint64_t geraet = 0;
    std::uint64_t knoten = 0;
    ASSERT_TRUE(plat::fileIdentity(sys(p("Wortliste.txt")), geraet, knoten));
    char hash[18] = "";
    if (*gelesen != '\0')
      std::snprintf(hash, sizeof hash, "\t%016llx",
                    static_cast<unsigned long long>(vk::Pruefsumme(gelesen)));
    schreiben(p(plat::ownTempName("Journal-3")),
              std::string(kopf) + "\r\nWortdatei\t" + sys(p("Wortliste.txt")) + "\t" +
                  std::to_string(geraet) + "\t" + std::to_string(knoten) + "\t5" + hash +
                  "\r\nEnde\r\n");
    naechstesProgramm();
    EXPECT_EQ(poolDateien({"Wortliste.txt", plat::ownTempName("Journal-3").c_str()}),
              std::string(danach) + "|-");
  }
}

// Killed after the total list's rewrite: the next program sends the texts.
// A journal whose rewrite never happened is dropped.
TEST_F(Uebernahme, ATotalListRewriteIsFollowedByItsTextsOrNothing) {
  schreiben(p("AlleWorte.txt"), "Arm\r\nBein\r\nZeh\r\n");
  ASSERT_TRUE(bauen(gesamt()));
  vk::HakenSetzen(zeileVon("Zeh"), false);
  {
    plat::SharedFile halter;
    ASSERT_EQ(halten(halter, p("neuWorte.txt")), plat::Err::ok);
    getoetetBeiErsterMeldung([] { vk::ListeUebernehmen(); });
  }
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "neuWorte.txt"}), "Arm\r\nBein\r\n|");
  ASSERT_TRUE(vk::SperreSetzen());
  EXPECT_EQ(poolDateien({"neuWorte.txt", "loeWorte.txt"}), "Arm\r\nBein\r\n|Zeh\r\n");

  schreiben(p(plat::ownTempName("Journal-2")),
            "VOKARIUM-JOURNAL 1\r\nVorbedingung\t" + sys(p("AlleWorte.txt")) +
                "\t5\t0123456789abcdef\r\nAnhang\t" + sys(p("loeWorte.txt")) +
                "\t6\r\nBein\r\nEnde\r\n");
  ASSERT_TRUE(vk::SperreSetzen());
  EXPECT_EQ(lesen(p("loeWorte.txt")), "Zeh\r\n");
  EXPECT_FALSE(gibtEs(p(plat::ownTempName("Journal-2"))));
}

// A total list torn by a kill shows no fragment, so its take-over sends none.
TEST_F(Uebernahme, AFragmentNeverBecomesAPoolWord) {
  schreiben(p("AlleWorte.txt"), "Femur\r\nTibia\r\n");
  getoetetBeiErsterMeldung([this] {
    plat::SharedFile f;
    if (f.open(sys(p("AlleWorte.txt")), plat::Access::readWrite, plat::Share::exclusive,
               plat::Disposition::openExisting) == plat::Err::ok &&
        f.beginAppend(18) == plat::Err::ok && f.write("Spondylo") == plat::Err::ok)
      ::raise(SIGKILL);
  });
  ASSERT_TRUE(bauen(gesamt()));
  EXPECT_EQ(zeilen(), (std::vector<std::string>{"Femur||x", "Tibia||x"}));
  ASSERT_TRUE(vk::ListeUebernehmen());
  EXPECT_EQ(poolDateien({"AlleWorte.txt", "neuWorte.txt"}),
            "Femur\r\nTibia\r\n|Femur\r\nTibia\r\n");
}

// Lines another workstation appends while the total list is open and while
// it is rewritten survive, except the one the editor took out itself.
TEST_F(Uebernahme, LinesAppendedMeanwhileSurviveTheRewrite) {
  // The other program may hold the list for a while on a busy machine: the
  // editor keeps trying instead of asking.
  vk::editorZustand().pauseMs = 1;
  vk::editorZustand().versucheGesamtliste = 10000;
  vk::editorZustand().versucheNeuWorte = 10000;
  for (const bool speichern : {false, true}) {
    SCOPED_TRACE(speichern ? "Speichern" : "Uebernehmen");
    std::string liste;
    for (int i = 0; i < 300; ++i)
      liste += "Wort" + std::to_string(i) + "\r\n";
    schreiben(p("AlleWorte.txt"), liste + "Zeh\r\n");
    ASSERT_TRUE(bauen(gesamt()));
    vk::HakenSetzen(zeileVon("Zeh"), false);
    const std::string pfad = sys(p("AlleWorte.txt"));
    const pid_t pid = anhaengerStarten(pfad, "Fremd", 150);
    while (lesen(p("AlleWorte.txt")).find("Fremd5\r\n") == std::string::npos)
      plat::sleepMs(1);
    // The editor took "Zeh" out: appended again meanwhile, it stays out.
    {
      plat::SharedFile f;
      while (f.open(pfad, plat::Access::readWrite, plat::Share::exclusive,
                    plat::Disposition::openExisting) != plat::Err::ok)
        plat::sleepMs(1);
      ASSERT_EQ(f.append("Zeh\r\n"), plat::Err::ok);
    }
    ASSERT_TRUE(speichern ? vk::ListeSpeichern() : vk::ListeUebernehmen());
    int status = -1;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_EQ(status, 0);
    std::vector<std::string> z;
    ASSERT_EQ(plat::readLines(pfad, z), plat::Err::ok);
    const auto anzahl = [&z](const std::string& w) { return std::count(z.begin(), z.end(), w); };
    for (int n = 1; n <= 150; ++n)
      ASSERT_EQ(anzahl("Fremd" + std::to_string(n)), 1) << n;
    EXPECT_EQ(anzahl("Wort299") + anzahl("Zeh"), 1);
  }
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();
}

}  // namespace
