// Machine, user and process services on POSIX: names from the environment
// and the host, XDG folders, programs started with posix_spawn and reaped
// with waitpid, and desktop launchers as freedesktop ".desktop" files.
// Failures come back as error codes (a program that cannot be found or
// started: notFound / accessDenied); nothing here ends the process.
// Launchers are replaced whole, so the desktop never shows half a file.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "platform/encoding.h"
#include "platform/local_file.h"
#include "platform/paths.h"
#include "platform/system.h"

extern char** environ;

namespace plat {

namespace {

std::string envValue(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? std::string(v) : std::string();
}

std::string homeDirectory() {
  std::string home = envValue("HOME");
  return home.empty() ? std::string("/") : home;
}

// Native folder -> system form with a trailing "\".
std::string systemFolder(const std::string& native) {
  return withBackslash(systemPath(native));
}

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool endsWithExe(std::string_view s) {
  if (s.size() < 4) return false;
  std::string_view tail = s.substr(s.size() - 4);
  return tail[0] == '.' && (tail[1] | 0x20) == 'e' && (tail[2] | 0x20) == 'x' &&
         (tail[3] | 0x20) == 'e';
}

// Finds a program by native name: a name with "/" as it stands, a bare name
// along $PATH (the first executable one). Empty when there is none.
std::string locate(const std::string& name) {
  if (name.find('/') != std::string::npos) return isRegularFile(name) ? name : std::string();
  std::string path = envValue("PATH");
  if (path.empty()) path = "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  for (;;) {
    auto colon = path.find(':', start);
    std::string dir = path.substr(start, colon == std::string::npos ? colon : colon - start);
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
    if (isRegularFile(candidate) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string::npos) return std::string();
    start = colon + 1;
  }
}

// The native file to run for a program name of the system form: the name
// itself, or without its ".exe" when only that exists.
std::string resolveProgram(std::string_view program) {
  std::string native = nativePath(program);
  std::string found = locate(native);
  if (found.empty() && endsWithExe(native)) found = locate(native.substr(0, native.size() - 4));
  return found;
}

int exitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// Quotes one argument of an Exec line: reserved characters need double
// quotes, inside which ", `, $ and \ take a backslash; % is doubled since
// it introduces field codes.
std::string quoteExecArg(std::string_view arg) {
  static constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string out;
  bool quote = arg.empty() || arg.find_first_of(reserved) != std::string_view::npos;
  if (quote) out += '"';
  for (char c : arg) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    out += c;
    if (c == '%') out += '%';
  }
  if (quote) out += '"';
  return out;
}

// The general escapes of a desktop-entry string value, applied after the
// Exec quoting: backslash, line break, carriage return and tab.
std::string escapeValue(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The lines of a description as one line of a desktop entry: each line
// trimmed, the non-empty ones joined with ", ".
std::string oneLine(std::string_view text) {
  std::string out;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view part = text.substr(start, end - start);
    const std::size_t first = part.find_first_not_of(" \t");
    if (first != std::string_view::npos) {
      part = part.substr(first, part.find_last_not_of(" \t") - first + 1);
      if (!out.empty()) out += ", ";
      out += part;
    }
    start = end + 1;
  }
  return out;
}

// GNOME starts a launcher on its desktop only when it is marked trusted in
// the file's metadata; where "gio" is there it is asked to do so, for at
// most two seconds. Desktops without that mark ignore it.
void markTrusted(const std::string& file) {
  const std::string gio = locate("gio");
  if (gio.empty()) return;
  std::vector<std::string> args{gio, "set", file, "metadata::trusted", "true"};
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  // Its complaints (no metadata service) are no concern of the user's.
  posix_spawn_file_actions_t quiet;
  ::posix_spawn_file_actions_init(&quiet);
  ::posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  ::posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, gio.c_str(), &quiet, nullptr, argv.data(), environ);
  ::posix_spawn_file_actions_destroy(&quiet);
  if (rc != 0) return;
  Process p{pid};
  int code = 0;
  if (waitProcess(p, 2000, code) == ProcessState::running) {
    ::kill(pid, SIGKILL);
    waitProcess(p, -1, code);
  }
}

std::string withoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

}  // namespace

std::string workstationName() {
  std::string name = utf8ToCp1252(envValue("CLIENTNAME"));
  if (name.empty()) {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0) name = utf8ToCp1252(host);
  }
  if (name.size() > 64) name.resize(64);
  return name;
}

int defaultLanguageId() {
  // The variable that decides the language of messages, as setlocale does.
  std::string locale = envValue("LC_ALL");
  if (locale.empty()) locale = envValue("LC_MESSAGES");
  if (locale.empty()) locale = envValue("LANG");
  std::string lang = locale.substr(0, locale.find_first_of("_.@-"));
  std::transform(lang.begin(), lang.end(), lang.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
  if (lang == "de") return 0x07;
  if (lang == "es") return 0x0A;
  if (lang == "fr") return 0x0C;
  if (lang == "it") return 0x10;
  if (lang == "nl") return 0x13;
  return 0x09;
}

std::string appDataDirectory() {
  std::string dir = envValue("XDG_CONFIG_HOME");
  if (dir.empty()) dir = homeDirectory() + "/.config";
  return systemFolder(dir);
}

namespace {

// The value of `key` in a "user-dirs.dirs" file, the way the desktops read
// it: a line KEY="$HOME/Folder" or KEY="/absolute/folder", the last one
// wins; "$HOME" alone means the home folder. Empty when there is none.
std::string userDirsValue(const std::string& file, std::string_view key, const std::string& home) {
  std::string text;
  if (readLocalFile(file, text) != Err::ok) return {};
  std::string found;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
      line.remove_prefix(1);
    if (!line.starts_with(key) || line.substr(key.size()).rfind("=\"", 0) != 0) continue;
    line.remove_prefix(key.size() + 2);
    const std::size_t close = line.find('"');
    if (close == std::string_view::npos) continue;
    std::string value;
    for (std::size_t i = 0; i < close; ++i) {
      if (line[i] == '\\' && i + 1 < close) ++i;
      value += line[i];
    }
    if (value == "$HOME" || value.rfind("$HOME/", 0) == 0) {
      value = home + value.substr(5);
    } else if (value.empty() || value.front() != '/') {
      continue;
    }
    found = withoutTrailingSlash(value);
  }
  return found;
}

}  // namespace

std::string desktopDirectory() {
  std::string dir = envValue("XDG_DESKTOP_DIR");
  if (dir.empty()) {
    std::string config = envValue("XDG_CONFIG_HOME");
    if (config.empty()) config = homeDirectory() + "/.config";
    dir = userDirsValue(config + "/user-dirs.dirs", "XDG_DESKTOP_DIR", homeDirectory());
  }
  if (dir.empty()) dir = homeDirectory() + "/Desktop";
  return systemFolder(dir);
}

std::string runtimeDirectory() {
  std::string dir = envValue("XDG_RUNTIME_DIR");
  return withoutTrailingSlash(dir.empty() ? std::string("/tmp") : dir);
}

void sleepMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::int64_t processId() {
  return ::getpid();
}

std::uint32_t tickCount() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
            static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

std::vector<std::string> splitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  std::string current;
  bool inToken = false;  // a quote pair alone makes an (empty) argument
  bool quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inToken = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inToken) args.push_back(std::move(current));
      current.clear();
      inToken = false;
    } else {
      current += c;
      inToken = true;
    }
  }
  if (inToken) args.push_back(std::move(current));
  return args;
}

std::string programFile(std::string_view program) {
  const std::string found = resolveProgram(program);
  if (!found.empty()) return systemPath(found);
  std::string name(program);
  if (endsWithExe(name)) name.resize(name.size() - 4);
  return name;
}

Err startProcess(std::string_view program, const std::vector<std::string>& args, Process& p) {
  p.pid = -1;
  std::string file = resolveProgram(program);
  if (file.empty()) return Err::notFound;
  std::vector<std::string> utf8;
  utf8.reserve(args.size() + 1);
  utf8.push_back(file);
  for (const auto& a : args)
    utf8.push_back(cp1252ToUtf8(a));
  std::vector<char*> argv;
  for (auto& a : utf8)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  int rc = ::posix_spawn(&pid, file.c_str(), nullptr, nullptr, argv.data(), environ);
  if (rc != 0) return fromErrno(rc);
  p.pid = pid;
  return Err::ok;
}

ProcessState waitProcess(Process& p, int timeoutMs, int& exitCode) {
  if (p.pid <= 0) return ProcessState::failed;
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  int sliceMs = 1;
  for (;;) {
    int status = 0;
    pid_t r = ::waitpid(p.pid, &status, timeoutMs < 0 ? 0 : WNOHANG);
    if (r == p.pid) {
      exitCode = exitCodeOf(status);
      p.pid = -1;  // reaped: the number may belong to another process now
      return ProcessState::exited;
    }
    if (r < 0 && errno != EINTR) return ProcessState::failed;
    if (r == 0) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return ProcessState::running;
      sleepMs(static_cast<int>(std::min<long long>(sliceMs, left)));
      sliceMs = std::min(sliceMs * 2, 20);
    }
  }
}

Err runProgram(std::string_view program, const std::vector<std::string>& args, int& exitCode) {
  Process p;
  Err e = startProcess(program, args, p);
  if (e != Err::ok) return e;
  return waitProcess(p, -1, exitCode) == ProcessState::exited ? Err::ok : Err::unknown;
}

Err writeDesktopLauncher(std::string_view dir, const DesktopLauncher& link) {
  if (!isSafeName(link.fileName)) return Err::invalidName;
  std::string name = link.fileName;
  constexpr std::string_view ext = ".desktop";
  if (name.size() > ext.size()) {
    std::string tail = name.substr(name.size() - ext.size());
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
    if (tail == ext) name.resize(name.size() - ext.size());
  }

  std::string program = resolveProgram(link.program);
  if (program.empty()) {
    program = nativePath(link.program);
    if (endsWithExe(program)) program.resize(program.size() - 4);
  }
  std::string exec = quoteExecArg(program);
  for (const auto& a : splitCommandLine(link.arguments)) {
    exec += ' ';
    exec += quoteExecArg(cp1252ToUtf8(a));
  }

  std::string text = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
  text += "Name=" + escapeValue(cp1252ToUtf8(name)) + "\n";
  const std::string comment = oneLine(link.description);
  if (!comment.empty()) text += "Comment=" + escapeValue(cp1252ToUtf8(comment)) + "\n";
  text += "Exec=" + escapeValue(exec) + "\n";
  if (!link.workingDir.empty())
    text += "Path=" + escapeValue(withoutTrailingSlash(nativePath(link.workingDir))) + "\n";
  if (!link.icon.empty()) {
    text += "Icon=" + escapeValue(nativePath(link.icon)) + "\n";
    text += "X-Vokarium-IconIndex=" + std::to_string(link.iconIndex) + "\n";
  }
  text += "Terminal=false\n";
  const std::string file = nativePath(withBackslash(dir) + link.fileName);
  const Err e = replaceLocalFile(file, text, 0755);
  if (e == Err::ok) markTrusted(file);
  return e;
}

}  // namespace plat
