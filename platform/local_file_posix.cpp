// Small local files of the OS layer read whole and replaced atomically (see
// local_file.h). Failures are returned as error codes; a failed replace
// removes its temporary file and leaves the old file as it was.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/local_file.h"

namespace plat {

namespace {

// Creates `dir` and every missing folder above it.
Err makeDirs(const std::string& dir) {
  if (dir.empty()) return Err::ok;
  struct stat st {};
  if (::stat(dir.c_str(), &st) == 0) {
    return S_ISDIR(st.st_mode) ? Err::ok : Err::pathNotFound;
  }
  auto slash = dir.find_last_of('/');
  if (slash != std::string::npos && slash > 0) {
    Err e = makeDirs(dir.substr(0, slash));
    if (e != Err::ok) return e;
  }
  if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) return fromErrno(errno);
  return Err::ok;
}

Err writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return fromErrno(errno);
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return Err::ok;
}

}  // namespace

Err readLocalFile(const std::string& path, std::string& out) {
  out.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    int e = errno;
    return (e == ENOENT || e == ENOTDIR) ? Err::notFound : fromErrno(e);
  }
  char buf[8192];
  Err result = Err::ok;
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      result = fromErrno(errno);
      out.clear();
      break;
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return result;
}

Err replaceLocalFile(const std::string& path, std::string_view data, unsigned mode) {
  auto slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return Err::invalidName;
  Err e = makeDirs(dir);
  if (e != Err::ok) return e;

  // A leading dot and the ".tmp" ending keep the file out of every pattern.
  std::string tmp = (dir.empty() ? std::string() : dir + "/") + "." + name + ".XXXXXX.tmp";
  int fd = ::mkostemps(tmp.data(), 4, O_CLOEXEC);
  if (fd < 0) return fromErrno(errno);
  e = writeAll(fd, data);
  if (e == Err::ok && ::fchmod(fd, static_cast<mode_t>(mode)) != 0) e = fromErrno(errno);
  if (e == Err::ok && ::fsync(fd) != 0) e = fromErrno(errno);
  if (::close(fd) != 0 && e == Err::ok) e = fromErrno(errno);
  if (e == Err::ok && ::rename(tmp.c_str(), path.c_str()) != 0) e = fromErrno(errno);
  if (e != Err::ok) ::unlink(tmp.c_str());
  return e;
}

}  // namespace plat
