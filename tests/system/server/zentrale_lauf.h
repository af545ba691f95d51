// Runs the real vkZentrale on a temporary tree of its own: base directory,
// INI file, registry, unit folder and trace socket below one temp folder,
// no display and no terminal. Helpers write files as a client would.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "platform/registry.h"
#include "tests/support/baum.h"

extern char** environ;

namespace testlauf {

namespace fs = std::filesystem;

using vktest::lesen;
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
    // The base directory as the dialog of an earlier start left it.
    EXPECT_EQ(plat::regWriteString(plat::Hive::localMachine, "Software\\QMT\\Vokarium",
                                   "LastBasisDirectory", vktest::sys(basis)),
              plat::Err::ok);
  }

  // The INI file with the base directory and a 1 s pause, plus `mehr`.
  void iniSchreiben(const std::string& mehr) {
    vktest::schreiben(
        ini, "[Vokarium]\r\nBasisVerzeichnis=" + vktest::sys(basis) + "\r\nPause=1\r\n" + mehr);
  }

  void benutzer(const std::string& zeilen) { vktest::schreiben(basis / "Benutzer.dat", zeilen); }

  fs::path pool(const std::string& name) const { return ziel / name; }

  // Appends to a pool text as a client does, then writes the trigger.
  void poolText(const std::string& pool, const std::string& datei, const std::string& zeilen) {
    std::ofstream f(ziel / pool / datei, std::ios::binary | std::ios::app);
    f << zeilen;
  }

  fs::path trigger(const std::string& id) const { return ziel / "Trigger" / (id + ".trg"); }

  // Published whole under a temporary name, as clients do.
  void triggerSchreiben(const std::string& id,
                        const std::string& inhalt = "Vokarium5-Trigger\r\nPLATZ1\r\n") {
    const fs::path tmp = ziel / "Trigger" / (".x" + id + ".tmp");
    vktest::schreiben(tmp, inhalt);
    fs::rename(tmp, trigger(id));
  }

  fs::path basis;
  fs::path ziel;
  fs::path ini;
};

class Lauf {
 public:
  Lauf() = default;
  Lauf(const Lauf&) = delete;
  Lauf& operator=(const Lauf&) = delete;
  ~Lauf() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      int s = 0;
      waitpid(pid_, &s, 0);
    }
  }

  // Starts `programm` (default the server) with `args`; output to files
  // in `ordner`.
  void start(const fs::path& ordner, const std::vector<std::string>& args,
             const std::string& programm = VK_ZENTRALE_EXE) {
    static int zaehler = 0;
    ++zaehler;
    aus_ = ordner / ("aus" + std::to_string(zaehler) + ".txt");
    err_ = ordner / ("err" + std::to_string(zaehler) + ".txt");
    std::vector<std::string> alle{programm};
    alle.insert(alle.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : alle)
      argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, aus_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn(&pid_, programm.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
  }

  // Exit code, or -1 when it did not end within `ms`.
  int ende(int ms = 30000) {
    int s = 0;
    if (pid_ <= 0 || !warteBis([&] { return waitpid(pid_, &s, WNOHANG) == pid_; }, ms)) return -1;
    pid_ = -1;
    return WIFEXITED(s) ? WEXITSTATUS(s) : 128 + WTERMSIG(s);
  }

  void signal(int sig) const { kill(pid_, sig); }
  bool laeuft() const { return pid_ > 0 && kill(pid_, 0) == 0; }
  std::string ausgabe() const { return lesen(aus_); }
  std::string fehler() const { return lesen(err_); }

 private:
  pid_t pid_ = -1;
  fs::path aus_;
  fs::path err_;
};

}  // namespace testlauf
