// What the tests share: a temporary folder per test (removed afterwards,
// the environment variables it sets put back), files written and read as
// bytes (pool files are cp1252 with CR LF, so tests spell them as bytes),
// the broken sample files of tests/data and programs started with their
// output in files. A helper that fails reports it through the test framework's
// failure of the test that called it.
#pragma once

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vktest {

namespace fs = std::filesystem;

std::string lesen(const fs::path& datei);
// Writes `inhalt` as it is, making the folders on the way.
void schreiben(const fs::path& datei, std::string_view inhalt);
// System form of a native path ("/tmp/a/b" -> "\tmp\a\b").
std::string sys(const fs::path& p);
// Lines as the programs write them: each ended by CR LF.
std::string crlf(std::initializer_list<std::string_view> zeilen);
// The bytes of a sample file of tests/data.
std::string probe(const std::string& name);
fs::path probePfad(const std::string& name);
// Polls `bedingung` every 20 ms for up to `ms`.
bool warteBis(const std::function<bool()>& bedingung, int ms = 20000);

class Baum {
 public:
  Baum();
  ~Baum();
  Baum(const Baum&) = delete;
  Baum& operator=(const Baum&) = delete;

  // Native path below the tree.
  std::string pfad(const std::string& rel = {}) const {
    return (rel.empty() ? wurzel : wurzel / rel).string();
  }
  // System form of a path below the tree; `rel` may use "\\" ("a\\b").
  std::string sys(const std::string& rel = {}) const {
    return rel.empty() ? vktest::sys(wurzel) : vktest::sys(wurzel) + "\\" + rel;
  }
  std::string lesen(const std::string& rel) const { return vktest::lesen(pfad(rel)); }
  void schreiben(const std::string& rel, std::string_view inhalt) const {
    vktest::schreiben(pfad(rel), inhalt);
  }
  bool gibtEs(const std::string& rel) const;

  // Sets (nullptr: removes) a variable until the tree goes.
  void env(const std::string& name, const char* wert);
  // Registry, configuration, desktop, runtime folder and trace socket of
  // the programs below the tree (reg/, config/, desktop/, run/).
  void umgebungUmleiten();

  fs::path wurzel;

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> gemerkt_;
};

// A program started with stdin from /dev/null and its output going to
// files in `ordner`; killed when the object goes while it still runs.
class Prozess {
 public:
  Prozess() = default;
  Prozess(const Prozess&) = delete;
  Prozess& operator=(const Prozess&) = delete;
  ~Prozess();

  // argv[0] is the program's path.
  void start(const fs::path& ordner, const std::vector<std::string>& argv);
  // Exit code (128 + signal when killed), -1 when it did not end within `ms`.
  int ende(int ms = 30000);
  void signal(int sig) const;
  std::string ausgabe() const { return lesen(aus_); }
  std::string fehler() const { return lesen(err_); }

 private:
  int pid_ = -1;
  fs::path aus_;
  fs::path err_;
};

}  // namespace vktest
