// One recognizer world per test: a temporary tree set up by the real
// `natspeak --setup`, the real `natspeak --headless` on it, and the client
// modules answering every message through the test responder.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "tests/support/baum.h"

class DragonWelt : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string nativ(const std::string& rel) const { return baum_.pfad(rel); }
  std::string system(const std::string& rel) const { return plat::systemPath(nativ(rel)); }
  std::string master() const { return system("R") + "\\"; }

  // natspeak --setup: Anna (topics Allgemein with two user words, and
  // Chirurgie in folder "chir") and Bernd (Allgemein).
  void einrichten();

  // natspeak with these arguments (UTF-8): its standard output and exit code.
  std::string natspeak(const QStringList& args, int* code = nullptr);
  std::string ctl(const QStringList& args, int* code = nullptr) {
    return natspeak(QStringList{"--ctl"} + args, code);
  }
  // The value of one line "key=value" of `natspeak --ctl state`.
  std::string zustand(const std::string& key);

  // Starts `natspeak --headless` (or with its windows, on the offscreen
  // platform) with extra arguments and waits until it answers.
  QProcess* starten(const QStringList& extra = {}, bool headless = true);

  // A cp1252 file by its system form path.
  void dateiSchreiben(const std::string& pfad, const std::string& inhalt) {
    vktest::schreiben(plat::nativePath(pfad), inhalt);
  }
  std::string dateiLesen(const std::string& pfad) { return vktest::lesen(plat::nativePath(pfad)); }

  // Whether a recorded message contains text number n, or the text.
  bool gemeldet(int nummer) const;
  bool gemeldetText(const std::string& text) const;

  // Runs the event loop until `bedingung` holds or 5 seconds passed.
  bool warten(const std::function<bool()>& bedingung);

  vktest::Baum baum_;
  std::vector<std::unique_ptr<QProcess>> prozesse_;
};
