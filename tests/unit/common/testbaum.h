// A temporary tree per test: registry, configuration, desktop and runtime
// folders redirected into it, all module states of the client library reset,
// messages answered by the responder, texts from the project's language
// files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/server_trigger.h"
#include "common/texte.h"
#include "common/utilities.h"
#include "platform/paths.h"

class Testbaum : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    wurzel_ = std::filesystem::temp_directory_path() /
              ("vk-common-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
               std::to_string(::getpid()));
    std::filesystem::remove_all(wurzel_);
    for (const char* d : {"reg", "config", "desktop", "run", "ziel/Chirurgie/"})
      std::filesystem::create_directories(wurzel_ / d);
    for (const auto& [name, ordner] : {std::pair{"VOKARIUM_REGISTRY_DIR", "reg"},
                                       {"XDG_CONFIG_HOME", "config"},
                                       {"XDG_DESKTOP_DIR", "desktop"},
                                       {"XDG_RUNTIME_DIR", "run"},
                                       {"VOKARIUM_TRACE_SOCKET", "run/trace"}})
      ::setenv(name, (wurzel_ / ordner).c_str(), 1);
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
    std::filesystem::remove_all(wurzel_);
  }

  // A path below the tree in system form, as the programs keep paths.
  std::string sys(const std::string& rel) const {
    return plat::systemPath((wurzel_ / rel).string());
  }

  void schreiben(const std::string& rel, const std::string& inhalt) const {
    std::filesystem::create_directories((wurzel_ / rel).parent_path());
    std::ofstream(wurzel_ / rel, std::ios::binary) << inhalt;
  }
  std::string lesen(const std::string& rel) const {
    std::ifstream f(wurzel_ / rel, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  bool gibtEs(const std::string& rel) const { return std::filesystem::exists(wurzel_ / rel); }

  // Texts of all messages so far, one per line.
  static std::string meldungen() {
    std::string alle;
    for (const auto& m : vk::recordedMessages())
      alle += m.text + "\n";
    return alle;
  }

  std::filesystem::path wurzel_;
};
