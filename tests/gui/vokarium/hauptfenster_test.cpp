// The main windows of Vokarium and vkPflege, offscreen: the toolbar actions up
// to the order they hand to the editor (recorded here), locks, the helper.
#include "main/hauptfenster.h"

#include <QApplication>
#include <QTest>
#include <vector>

#include "common/dns_ini.h"
#include "common/dragon.h"
#include "main/programmart.h"
#include "tests/unit/common/testbaum.h"

namespace {

struct Auftrag {
  vk::Listenauftrag auftrag;
  bool gesperrt = false;  // the pool lock was held when the editor opened
  std::string wortliste;  // the pool word list at that moment
  std::size_t vergleichsworte = 0;
  std::string benutzer;  // the current user the editor saw
};

class Hauptfenster : public Testbaum {
 protected:
  void SetUp() override {
    Testbaum::SetUp();
    ::setenv("VOKARIUM_DRAGON_SOCKET", (wurzel_ / "run/kein-dragon").c_str(), 1);
    vk::DnsIniZuruecksetzen();
    vk::DragonZuruecksetzen();
    vk::hauptfensterZustandZuruecksetzen();
    vk::konfigurationZuruecksetzen();
    vk::poolZustandZuruecksetzen();
    vk::hauptfensterZustand().listeZeigen = [this](QWidget*, const vk::Listenauftrag& a) {
      auftraege_.push_back(
          {a, gibtEs("ziel/Chirurgie/Sperre.lck"), lesen("ziel/Chirurgie/Wortliste.txt"),
           vk::poolZustand().Vergleichsworte.anzahl(), vk::poolZustand().Benutzer});
      vk::SperreLoesen();  // as the editor does when it closes
    };
    schreiben("ziel/Vokarium.cfg",
              "BasisVerzeichnis=" + sys("") + "\r\nZielVerzeichnis=" + sys("ziel/") +
                  "\r\nWortlistenDatei=Wortliste.txt\r\nGesamtWortlistenDatei=AlleWorte.txt\r\n"
                  "BenutzerlistenDatei=BenIntern.dat\r\nneuWorteTextdatei=\\neuWorte.txt\r\n"
                  "loeWorteTextdatei=\\loeWorte.txt\r\nTriggerName=Trigger\\*.trg\r\n");
    schreiben("ziel/BenIntern.dat",
              "Chirurgie\tMeier\tcurrent\\Allgemein\tAllgemein\r\n"
              "Chirurgie\tSchulz\tcurrent\\Allgemein\tAllgemein\r\n");
    vk::RegSchreiben("LastDirectory", sys("ziel/"));
    vk::RegSchreiben("LastUser", "Meier");
  }
  void TearDown() override {
    fenster_.reset();
    Testbaum::TearDown();
  }

  vk::Hauptfenster& starten(const vk::Programmart& art, const std::string& zeile = "") {
    vk::utilitiesZustand().kommandozeile = zeile;
    fenster_ = std::make_unique<vk::Hauptfenster>(art);
    fenster_->Laden();
    fenster_->show();
    QCoreApplication::processEvents();
    return *fenster_;
  }
  void klicken(const char* schluessel) { fenster_->KnopfKlicken(schluessel); }
  bool an(const char* schluessel) { return fenster_->knopf(schluessel)->isEnabled(); }
  std::string desktop(const std::string& name) { return lesen("desktop/" + name); }

  std::unique_ptr<vk::Hauptfenster> fenster_;
  std::vector<Auftrag> auftraege_;
};

TEST_F(Hauptfenster, LoadingSelectsTheLastUserAndEnablesHisButtons) {
  auto& f = starten(vk::VokariumArt());
  EXPECT_FALSE(f.coPool->isEnabled());  // one pool only
  ASSERT_EQ(f.lbUser->count(), 2);
  EXPECT_EQ(f.lbUser->currentItem()->text(), "Meier | Allgemein");
  EXPECT_EQ(vk::poolZustand().Benutzer, "Meier");
  EXPECT_TRUE(an("Wortliste") && an("BenWoerter") && an("VokabularFixieren"));

  // A topic with its fix file keeps "VokabularFixieren" off.
  schreiben("ziel/Chirurgie/Allgemei_vok.fix", "");
  f.lbUser->setCurrentRow(1);
  EXPECT_EQ(vk::RegLesen("LastUser"), "Schulz");
  EXPECT_FALSE(an("VokabularFixieren"));
  EXPECT_TRUE(an("Neubenutzer"));

  // "Wortliste" opens the selected user's ".ben", without a lock.
  schreiben("ziel/Chirurgie/_Schulz.ben", "Femur\r\n");
  klicken("Wortliste");
  ASSERT_EQ(auftraege_.size(), 1u);
  EXPECT_EQ(auftraege_[0].auftrag.dateiname + "|" + auftraege_[0].auftrag.Thema,
            "_Schulz.ben|Allgemein");
  EXPECT_FALSE(auftraege_[0].gesperrt);

  // A last pool no longer listed gives way to the shown pool.
  vk::RegSchreiben("LastPool", "Aufgeloest");
  auto& g = starten(vk::VokariumArt());
  EXPECT_EQ(g.coPool->currentText(), "Chirurgie");
  EXPECT_EQ(vk::poolZustand().Pool, "Chirurgie");
  // Escape closes the window.
  g.activateWindow();
  g.lbUser->setFocus();
  QTest::keyClick(g.lbUser, Qt::Key_Escape);
  EXPECT_FALSE(g.isVisible());
}

TEST_F(Hauptfenster, ALocationWithoutConfigurationIsForgotten) {
  vk::RegSchreiben("LastDirectory", sys("nirgends/"));
  auto& f = starten(vk::VokariumArt());
  EXPECT_EQ(f.LastDirectory() + vk::RegLesen("LastDirectory"), "");
  EXPECT_EQ(f.coPool->count() + f.lbUser->count(), 0);
  // Choosing the right file loads it.
  vk::setNextFileName(sys("ziel/Vokarium.cfg"));
  f.Auswaehlen();
  EXPECT_EQ(vk::RegLesen("LastDirectory"), sys("ziel/"));
  EXPECT_EQ(f.lbUser->count(), 2);
  // A location without a valid configuration forgets the old one's settings.
  EXPECT_FALSE(vk::konfiguration().BasisVerzeichnis.empty());
  schreiben("leer/Vokarium.cfg", "Pause=1\r\n");
  vk::setNextFileName(sys("leer/Vokarium.cfg"));
  f.Auswaehlen();
  EXPECT_TRUE(vk::konfiguration().BasisVerzeichnis.empty());
  EXPECT_EQ(f.lbUser->count(), 0);
}

// Unattended: without words nothing shows, with words the editor opens them;
// a name the user list does not hold as given brings the identity box.
TEST_F(Hauptfenster, UnattendedUserEndsWithoutWordsAndOpensHisWords) {
  starten(vk::VokariumArt(), "-p Chirurgie -u Meier");
  EXPECT_FALSE(fenster_->isVisible());
  EXPECT_TRUE(auftraege_.empty());
  schreiben("ziel/Chirurgie/_Meier.ben", "Spondylodese\r\n");
  starten(vk::VokariumArt(), "-p Chirurgie -u Meier");
  ASSERT_EQ(auftraege_.size(), 1u);
  EXPECT_EQ(auftraege_[0].auftrag.dateiname, "_Meier.ben");
  EXPECT_EQ(meldungen(), "");
  starten(vk::VokariumArt(), "-u meier");
  EXPECT_EQ(meldungen(), "falsche User-Identifikation : meier statt \n");
}

TEST_F(Hauptfenster, ActionsLeaveNoLockBehind) {
  starten(vk::VokariumArt());
  for (const std::string datei : {"", "fehlt.txt"}) {
    vk::setNextFileName(datei.empty() ? "" : sys(datei));
    klicken("Importieren");
    EXPECT_FALSE(gibtEs("ziel/Chirurgie/Sperre.lck"));
  }
  EXPECT_NE(meldungen().find("fehlt.txt"), std::string::npos);
  schreiben("import.txt", "Femur\r\n");
  vk::setNextFileName(sys("import.txt"));
  klicken("Importieren");
  ASSERT_EQ(auftraege_.size(), 1u);
  EXPECT_TRUE(auftraege_[0].auftrag.vollerPfad && auftraege_[0].gesperrt);
  EXPECT_EQ(auftraege_[0].auftrag.dateiname, sys("import.txt"));
  auftraege_.clear();

  // A total list that does not exist opens nothing, quietly.
  klicken("Gesamtwortliste");
  EXPECT_TRUE(auftraege_.empty());
  EXPECT_FALSE(gibtEs("ziel/Chirurgie/Sperre.lck"));

  schreiben("ziel/Chirurgie/AlleWorte.txt", "Femur\r\nTibia\r\n");
  klicken("Gesamtwortliste");
  ASSERT_EQ(auftraege_.size(), 1u);
  EXPECT_TRUE(auftraege_[0].auftrag.Gesamt && auftraege_[0].gesperrt);
  EXPECT_EQ(auftraege_[0].benutzer, "");  // the pool's list is no member's
  // The member still selected is the one whose new words "Wortliste" opens.
  schreiben("ziel/Chirurgie/_Meier.ben", "Tibia\r\n");
  klicken("Wortliste");
  ASSERT_EQ(auftraege_.size(), 2u);
  EXPECT_EQ(auftraege_[1].auftrag.dateiname, "_Meier.ben");
  EXPECT_EQ(vk::poolZustand().Benutzer, "Meier");

  // "Neubenutzer" gives the selected user the whole pool.
  fenster_->lbUser->setCurrentRow(1);
  klicken("Neubenutzer");
  EXPECT_EQ(lesen("ziel/Chirurgie/_Schulz.neu"), "Femur\r\nTibia\r\n");
  EXPECT_FALSE(gibtEs("ziel/Chirurgie/Sperre.lck"));
}

TEST_F(Hauptfenster, OwnWordsStartTheHelperWhenTheRecognizerIsNotRunning) {
  vk::ProgrammverzeichnisSetzen(sys("prog/"));
  starten(vk::VokariumArt());
  klicken("BenWoerter");
  EXPECT_NE(meldungen().find("vkHelfer"), std::string::npos) << meldungen();
  vk::clearRecordedMessages();
  schreiben("prog/vkHelfer", "#!/bin/sh\nprintf '%s|' \"$@\" >\"$(dirname \"$0\")/args\"\n");
  std::filesystem::permissions(wurzel_ / "prog/vkHelfer", std::filesystem::perms::owner_all);
  vk::ProgrammverzeichnisSetzen(sys("prog/"));
  starten(vk::VokariumArt());
  klicken("BenWoerter");
  EXPECT_EQ(lesen("prog/args"), "-e|-p|Chirurgie|-u|Meier|");
  // The recognizer still does not answer: nothing opens, the lock is gone.
  EXPECT_TRUE(auftraege_.empty());
  EXPECT_FALSE(gibtEs("ziel/Chirurgie/Sperre.lck"));

  // vkPflege never starts the helper.
  std::filesystem::remove(wurzel_ / "prog/args");
  starten(vk::PflegeArt());
  fenster_->lbUser->setCurrentRow(0);
  klicken("BenWoerter");
  EXPECT_FALSE(gibtEs("prog/args"));
  EXPECT_FALSE(gibtEs("ziel/Chirurgie/Sperre.lck"));
}

TEST_F(Hauptfenster, MaintenanceToolbarAndItsRules) {
  auto& f = starten(vk::PflegeArt());
  EXPECT_EQ(f.knopf("VokabularFixieren"), nullptr);
  // Selecting only switches the user buttons; nothing is stored.
  EXPECT_TRUE(an("BenWoerter"));
  f.lbUser->setCurrentRow(-1);
  EXPECT_FALSE(an("BenWoerter") || an("VokariumLink"));
  EXPECT_TRUE(an("Wortliste") && an("Teilwortliste") && an("Abschluss"));
  f.lbUser->setCurrentRow(1);
  EXPECT_TRUE(an("BenWoerter") && an("DragonLink"));
  EXPECT_EQ(vk::RegLesen("LastUser"), "Meier");

  // Each new shortcut of a user takes the next symbol, 2 to 9 in turn.
  std::string symbole;
  for (int i = 0; i < 10; ++i) {
    klicken("VokariumLink");
    const std::string link = desktop("Schulz Chirurgie.desktop");
    symbole += link[link.find("IconIndex=") + 10];
  }
  EXPECT_EQ(symbole, "2345678923");
}

TEST_F(Hauptfenster, RevisionSnapshotAndTheDifferenceList) {
  starten(vk::PflegeArt());
  klicken("Teilwortliste");
  // It names the button that starts the revision cycle.
  EXPECT_EQ(meldungen().rfind("Dieser Pool wurde noch nie", 0), 0u) << meldungen();
  EXPECT_FALSE(gibtEs("ziel/Chirurgie/Sperre.lck"));
  EXPECT_TRUE(auftraege_.empty());

  schreiben("ziel/Chirurgie/AlleWorte.txt", "Femur\r\nTibia\r\n");
  vk::clearRecordedMessages();
  klicken("Abschluss");
  EXPECT_EQ(lesen("ziel/Chirurgie/Bearbeitet.dat"), "Femur\r\nTibia\r\n");
  EXPECT_EQ(meldungen().rfind("Der Pool Chirurgie ist jetzt", 0), 0u) << meldungen();
  klicken("Teilwortliste");
  ASSERT_EQ(auftraege_.size(), 1u);
  EXPECT_TRUE(auftraege_[0].auftrag.wartung && auftraege_[0].gesperrt);
  EXPECT_EQ(auftraege_[0].auftrag.dateiname, "AlleWorte.txt");
  EXPECT_EQ(auftraege_[0].vergleichsworte, 2u);

  // "Wortliste" without a user: every ".ben" into the pool word list.
  schreiben("ziel/Chirurgie/_Meier.ben", "Femur\r\n");
  schreiben("ziel/Chirurgie/_Schulz.ben", "Radius\r\n");
  klicken("Wortliste");
  ASSERT_EQ(auftraege_.size(), 2u);
  EXPECT_EQ(auftraege_[1].auftrag.dateiname + "|" + auftraege_[1].wortliste,
            "Wortliste.txt|Femur\r\nRadius\r\n");
  EXPECT_TRUE(auftraege_[1].gesperrt);
  EXPECT_FALSE(gibtEs("ziel/Chirurgie/_Meier.ben") || gibtEs("ziel/Chirurgie/_Schulz.ben"));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
