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
      if (directoryExists(level)) continue;
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
