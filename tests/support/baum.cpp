// The shared test helpers (see baum.h).
#include "tests/support/baum.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/paths.h"

extern char** environ;

namespace vktest {

std::string lesen(const fs::path& datei) {
  std::ifstream f(datei, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void schreiben(const fs::path& datei, std::string_view inhalt) {
  if (datei.has_parent_path()) fs::create_directories(datei.parent_path());
  std::ofstream(datei, std::ios::binary | std::ios::trunc)
      .write(inhalt.data(), static_cast<std::streamsize>(inhalt.size()));
}

std::string sys(const fs::path& p) {
  return plat::systemPath(p.string());
}

std::string crlf(std::initializer_list<std::string_view> zeilen) {
  std::string r;
  for (std::string_view z : zeilen) {
    r += z;
    r += "\r\n";
  }
  return r;
}

fs::path probePfad(const std::string& name) {
  return fs::path(VK_TEST_DATA_DIR) / name;
}

std::string probe(const std::string& name) {
  return lesen(probePfad(name));
}

bool warteBis(const std::function<bool()>& bedingung, int ms) {
  const auto ende = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < ende) {
    if (bedingung()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return bedingung();
}

Baum::Baum() {
  std::string muster = (fs::temp_directory_path() / "vktest.XXXXXX").string();
  wurzel = ::mkdtemp(muster.data());
}

Baum::~Baum() {
  for (auto it = gemerkt_.rbegin(); it != gemerkt_.rend(); ++it) {
    if (it->second) ::setenv(it->first.c_str(), it->second->c_str(), 1);
    if (!it->second) ::unsetenv(it->first.c_str());
  }
  std::error_code e;
  fs::remove_all(wurzel, e);
}

bool Baum::gibtEs(const std::string& rel) const {
  std::error_code e;
  return fs::exists(fs::symlink_status(pfad(rel), e));
}

void Baum::env(const std::string& name, const char* wert) {
  const char* alt = std::getenv(name.c_str());
  gemerkt_.emplace_back(name, alt ? std::optional<std::string>(alt) : std::nullopt);
  if (wert) ::setenv(name.c_str(), wert, 1);
  if (!wert) ::unsetenv(name.c_str());
}

void Baum::umgebungUmleiten() {
  for (const auto& [name, ordner] : {std::pair{"VOKARIUM_REGISTRY_DIR", "reg"},
                                     {"XDG_CONFIG_HOME", "config"},
                                     {"XDG_DESKTOP_DIR", "desktop"},
                                     {"XDG_RUNTIME_DIR", "run"}}) {
    fs::create_directories(pfad(ordner));
    env(name, pfad(ordner).c_str());
  }
  env("VOKARIUM_TRACE_SOCKET", pfad("run/trace").c_str());
}

Prozess::~Prozess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

void Prozess::start(const fs::path& ordner, const std::vector<std::string>& argv) {
  static int zaehler = 0;
  ++zaehler;
  aus_ = ordner / ("aus" + std::to_string(zaehler) + ".txt");
  err_ = ordner / ("err" + std::to_string(zaehler) + ".txt");
  std::vector<char*> args;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, aus_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&fa, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (::posix_spawn(&pid_, args[0], &fa, nullptr, args.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&fa);
}

int Prozess::ende(int ms) {
  int s = 0;
  if (pid_ <= 0 || !warteBis([&] { return ::waitpid(pid_, &s, WNOHANG) == pid_; }, ms)) return -1;
  pid_ = -1;
  return WIFEXITED(s) ? WEXITSTATUS(s) : 128 + WTERMSIG(s);
}

void Prozess::signal(int sig) const {
  if (pid_ > 0) ::kill(pid_, sig);
}

}  // namespace vktest
