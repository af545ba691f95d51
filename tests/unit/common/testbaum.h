// A temporary tree per test with the programs' folders redirected into it,
// the client library's state reset, the responder and the language files.
#pragma once

#include <gtest/gtest.h>
#include <filesystem>
#include <optional>
#include <string>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/server_trigger.h"
#include "common/texte.h"
#include "common/utilities.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "tests/support/baum.h"

class Testbaum : public ::testing::Test {
 protected:
  void SetUp() override {
    baum_.emplace();
    wurzel_ = baum_->wurzel;
    baum_->umgebungUmleiten();
    std::filesystem::create_directories(wurzel_ / "ziel/Chirurgie/");
    vk::konfigurationZuruecksetzen();
    vk::texteZuruecksetzen();
    vk::poolZustandZuruecksetzen();
    vk::triggerZuruecksetzen();
    vk::utilitiesZuruecksetzen();
    vk::traceZuruecksetzen();
    vk::meldungZuruecksetzen();
    vk::responderEinschalten();
    vk::SprachVerzeichnisSetzen(plat::systemPath(VK_SOURCE_DIR "/lang/"));
    vk::TextLaden("Deutsch");
    auto& k = vk::konfiguration();
    k.ZielVerzeichnis = sys("ziel/");
    k.GesamtWortlistenDatei = "AlleWorte.txt";
    k.WortlistenDatei = "Wortliste.txt";
    k.neuWorteTextdatei = "\\neuWorte.txt";
    k.loeWorteTextdatei = "\\loeWorte.txt";
    k.BenutzerlistenDatei = "BenIntern.dat";
    k.TriggerName = "Trigger\\*.trg";
    vk::poolZustand().Pool = "Chirurgie";
  }

  void TearDown() override {
    vk::poolZustandZuruecksetzen();
    baum_.reset();
  }

  // A path below the tree in system form.
  std::string sys(const std::string& rel) const { return plat::systemPath(baum_->pfad(rel)); }
  void schreiben(const std::string& rel, const std::string& inhalt) const {
    baum_->schreiben(rel, inhalt);
  }
  std::string lesen(const std::string& rel) const { return baum_->lesen(rel); }
  bool gibtEs(const std::string& rel) const { return baum_->gibtEs(rel); }

  // Holds the file (made when missing) as another program would, while `f` is open.
  plat::Err halten(plat::SharedFile& f, const std::string& rel) const {
    return f.open(sys(rel), plat::Access::readWrite, plat::Share::exclusive,
                  plat::Disposition::openAlways);
  }

  // These files of the pool folder, "|" between two, "-" for a missing one.
  std::string poolDateien(std::initializer_list<const char*> namen) const {
    std::string r;
    const char* trenner = "";
    for (const char* n : namen) {
      const std::string rel = std::string("ziel/Chirurgie/") + n;
      r += trenner + (gibtEs(rel) ? lesen(rel) : "-");
      trenner = "|";
    }
    return r;
  }
  static std::string meldungen() {
    std::string alle;
    for (const auto& m : vk::recordedMessages())
      alle += m.text + "\n";
    return alle;
  }

  std::optional<vktest::Baum> baum_;
  std::filesystem::path wurzel_;
};
