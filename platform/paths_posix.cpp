// Path conversion and folder services of the POSIX OS layer. System-form
// paths ("\srv\pool\Worte.dat", cp1252) become native paths ("/srv/pool/
// Worte.dat", UTF-8) only here, at the call. Failures come back as Err
// codes; nothing here throws or ends the program.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "platform/encoding.h"
#include "platform/paths.h"
#include "platform/shared_file.h"

namespace plat {

std::string nativePath(std::string_view systemPath) {
  std::string s(systemPath);
  std::replace(s.begin(), s.end(), '\\', '/');
  return cp1252ToUtf8(s);
}

std::string systemPath(std::string_view nativePath) {
  std::string s = utf8ToCp1252(nativePath);
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

bool isSafeName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || c == '\\' || c == '/' || c == ':') return false;
  }
  return true;
}

std::string withBackslash(std::string_view dir) {
  std::string s(dir);
  if (!s.empty() && s.back() != '\\') s += '\\';
  return s;
}

std::string programPath() {
  std::string buf(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return std::string();
  buf.resize(static_cast<std::size_t>(n));
  return systemPath(buf);
}

std::string programDirectory() {
  std::string p = programPath();
  std::size_t cut = p.rfind('\\');
  return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}

std::string tempDirectory() {
  const char* t = std::getenv("TMPDIR");
  std::string dir = (t && *t) ? t : "/tmp";
  return withBackslash(systemPath(dir));
}

std::string tempFileName(std::string_view prefix) {
  std::string tmpl = nativePath(tempDirectory()) + cp1252ToUtf8(prefix) + "XXXXXX";
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) return std::string();
  ::close(fd);
  return systemPath(tmpl);
}

namespace {

// The confined roots (native, single slashes, ending with "/").
struct Einschluss {
  std::mutex m;
  std::vector<std::string> wurzeln;
};

Einschluss& einschluss() {
  static Einschluss e;
  return e;
}

std::string einfacheSchraegstriche(std::string s) {
  s.erase(std::unique(s.begin(), s.end(), [](char a, char b) { return a == '/' && b == '/'; }),
          s.end());
  return s;
}

}  // namespace

void confineBelow(std::string_view root) {
  std::string w = einfacheSchraegstriche(nativePath(root));
  if (w.empty()) return;
  if (w.back() != '/') w += '/';
  Einschluss& e = einschluss();
  std::lock_guard<std::mutex> g(e.m);
  if (std::find(e.wurzeln.begin(), e.wurzeln.end(), w) == e.wurzeln.end()) e.wurzeln.push_back(w);
}

void resetConfinement() {
  Einschluss& e = einschluss();
  std::lock_guard<std::mutex> g(e.m);
  e.wurzeln.clear();
}

bool linkOnTheWay(std::string_view path) {
  const std::string np = einfacheSchraegstriche(nativePath(path));
  std::string wurzel;
  {
    Einschluss& e = einschluss();
    std::lock_guard<std::mutex> g(e.m);
    // The longest root that holds the path: below it nothing is followed.
    for (const std::string& w : e.wurzeln)
      if (np.compare(0, w.size(), w) == 0 && w.size() > wurzel.size()) wurzel = w;
  }
  if (wurzel.empty()) return false;
  for (std::size_t i = wurzel.size(); i <= np.size(); ++i) {
    if (i < np.size() && np[i] != '/') continue;
    if (np[i - 1] == '/') continue;
    struct stat st {};
    if (::lstat(np.substr(0, i).c_str(), &st) != 0) return false;
    if (S_ISLNK(st.st_mode)) return true;
  }
  return false;
}

PathKind pathKind(std::string_view path) {
  struct stat st {};
  if (::lstat(nativePath(path).c_str(), &st) != 0) return PathKind::missing;
  if (S_ISREG(st.st_mode)) return PathKind::regular;
  if (S_ISDIR(st.st_mode)) return PathKind::directory;
  if (S_ISLNK(st.st_mode)) return PathKind::link;
  return PathKind::other;
}

std::string whyNoFile(std::string_view path) {
  if (linkOnTheWay(path)) {
    std::string ohneLetzten(path);
    const std::size_t cut = ohneLetzten.find_last_of("\\/");
    if (cut != std::string::npos) ohneLetzten.erase(cut);
    if (linkOnTheWay(ohneLetzten)) return "symbolischer Link im Pfad";
  }
  switch (pathKind(path)) {
    case PathKind::missing:
    case PathKind::regular:
      return std::string();
    case PathKind::directory:
      return "Verzeichnis statt Datei";
    case PathKind::link:
      return "symbolischer Link";
    case PathKind::other:
      break;
  }
  return "keine gew\xF6hnliche Datei (FIFO, Ger\xE4t oder Socket)";
}

bool fileExists(std::string_view path) {
  struct stat st {};
  return ::stat(nativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool directoryExists(std::string_view path) {
  struct stat st {};
  return ::stat(nativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

FileInfo fileInfo(std::string_view path) {
  FileInfo fi;
  struct stat st {};
  if (::stat(nativePath(path).c_str(), &st) != 0) return fi;
  fi.exists = true;
  fi.isDirectory = S_ISDIR(st.st_mode);
  fi.size = static_cast<std::uint64_t>(st.st_size);
  fi.modified = static_cast<std::int64_t>(st.st_mtime);
  return fi;
}

Err createDirectory(std::string_view path) {
  if (linkOnTheWay(path)) return Err::isLink;
  std::string np = nativePath(path);
  while (np.size() > 1 && np.back() == '/')
    np.pop_back();
  if (np.empty()) return Err::pathNotFound;
  if (::mkdir(np.c_str(), 0777) == 0) return Err::ok;
  int e = errno;
  if (e == EEXIST) {
    struct stat st {};
    if (::stat(np.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Err::ok;
    return Err::fileExists;
  }
  if (e == ENOENT) return Err::pathNotFound;
  return fromErrno(e);
}

Err createDirectoryTree(std::string_view path) {
  std::string s(path);
  if (s.empty()) return Err::pathNotFound;
  // Every prefix that ends before a separator is one level to create.
  for (std::size_t i = 1; i <= s.size(); ++i) {
    if (i == s.size() || s[i] == '\\' || s[i] == '/') {
      std::string level = s.substr(0, i);
      if (level.empty() || level.back() == '\\' || level.back() == '/') continue;
      if (directoryExists(level) && !linkOnTheWay(level)) continue;
      Err e = createDirectory(level);
      if (e != Err::ok) return e;
    }
  }
  return Err::ok;
}

namespace {

unsigned char foldCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  // Latin-1 letters of cp1252 (except the division sign).
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  return c;
}

}  // namespace

bool matchesPattern(std::string_view name, std::string_view pattern) {
  std::size_t n = 0, p = 0;
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || foldCase(static_cast<unsigned char>(pattern[p])) ==
                                         foldCase(static_cast<unsigned char>(name[n])))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

Err listDirectory(std::string_view dir, std::string_view pattern, ListKind kind,
                  std::vector<std::string>& names) {
  names.clear();
  if (linkOnTheWay(dir)) return Err::isLink;
  std::string nd = nativePath(dir);
  if (nd.empty()) nd.push_back('.');
  DIR* d = ::opendir(nd.c_str());
  if (!d) {
    int e = errno;
    return e == ENOENT ? Err::pathNotFound : fromErrno(e);
  }
  if (nd.back() != '/') nd += '/';
  while (dirent* ent = ::readdir(d)) {
    std::string_view raw(ent->d_name);
    if (raw == "." || raw == "..") continue;
    std::string name = systemPath(raw);
    if (isOwnTempName(name) || !matchesPattern(name, pattern)) continue;
    if (kind != ListKind::both) {
      struct stat st {};
      if (::stat((nd + std::string(raw)).c_str(), &st) != 0) continue;
      bool isDir = S_ISDIR(st.st_mode);
      if ((kind == ListKind::directories) != isDir) continue;
    }
    names.push_back(std::move(name));
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return Err::ok;
}

}  // namespace plat
