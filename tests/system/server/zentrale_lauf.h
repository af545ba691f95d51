// The real vkZentrale on a temporary tree of its own (base directory, INI
// file, registry, unit folder), no display and no terminal.
#pragma once

#include <signal.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "tests/support/baum.h"

namespace testlauf {

namespace fs = std::filesystem;

using vktest::lesen;
using vktest::Prozess;
using vktest::schreiben;
using vktest::sys;
using vktest::warteBis;

class Baum : public vktest::Baum {
 public:
  Baum() : basis(wurzel / "basis"), ziel(basis / "Vokarium"), ini(wurzel / "Vokarium.ini") {
    umgebungUmleiten();
    fs::create_directories(basis);
    fs::create_directories(wurzel / "units");
    env("VOKARIUM_UNIT_DIR", pfad("units").c_str());
    env("DISPLAY", nullptr);
    env("WAYLAND_DISPLAY", nullptr);
    iniSchreiben("");
    registryBasis(basis);
  }

  // The base directory as the dialog of an earlier start left it.
  static void registryBasis(const fs::path& p) {
    EXPECT_EQ(plat::regWriteString(plat::Hive::localMachine, "Software\\QMT\\Vokarium",
                                   "LastBasisDirectory", vktest::sys(p)),
              plat::Err::ok);
  }

  // The INI file with the base directory and a 1 s pause, plus `mehr`.
  void iniSchreiben(const std::string& mehr) {
    schreiben(ini,
              "[Vokarium]\r\nBasisVerzeichnis=" + vktest::sys(basis) + "\r\nPause=1\r\n" + mehr);
  }

  void benutzer(const std::string& zeilen) { schreiben(basis / "Benutzer.dat", zeilen); }

  fs::path pool(const std::string& name) const { return ziel / name; }

  fs::path trigger(const std::string& id) const { return ziel / "Trigger" / (id + ".trg"); }

  // Published whole under a temporary name, as clients do.
  void triggerSchreiben(const std::string& id,
                        const std::string& inhalt = "Vokarium5-Trigger\r\nPLATZ1\r\n") {
    const fs::path tmp = ziel / "Trigger" / (".x" + id + ".tmp");
    schreiben(tmp, inhalt);
    fs::rename(tmp, trigger(id));
  }

  fs::path basis;
  fs::path ziel;
  fs::path ini;
};

}  // namespace testlauf
