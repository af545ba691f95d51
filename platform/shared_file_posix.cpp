// SharedFile on POSIX: Windows share modes mapped onto open-file-description
// locks (flock where a file system refuses them), taken without blocking and
// verified against the path afterwards. Other programs and workstations are
// assumed to use the same locks; a program that ignores them (an editor, a
// backup tool) is not excluded. Locks vanish with the process that held them.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"

namespace plat {

namespace {

struct LockState {
  std::atomic<bool> useFlock{false};
  // Test hook: the next append writes only this many bytes and then fails
  // as a killed writer would leave it (negative: off).
  std::atomic<long long> appendFault{-1};
  std::mutex sinkMutex;
  std::function<void(const std::string&)> sink;
  std::atomic<unsigned> tempCounter{0};
  // Test hook run between an open and its lock (guarded by sinkMutex).
  std::function<void()> openPause;
};

LockState& lockState() {
  static LockState s;
  return s;
}

void diagnose(const std::string& line) {
  LockState& s = lockState();
  std::lock_guard<std::mutex> g(s.sinkMutex);
  if (s.sink) s.sink(line);
}

// Writes all of `data` at `offset`, or at the descriptor's position when
// offset < 0.
Err writeFully(int fd, std::string_view data, off_t offset) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = offset < 0 ? ::write(fd, data.data() + done, data.size() - done)
                           : ::pwrite(fd, data.data() + done, data.size() - done,
                                      offset + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return fromErrno(errno);
    }
    done += static_cast<std::size_t>(n);
  }
  return Err::ok;
}

std::string dirOf(const std::string& nativeFile) {
  std::size_t cut = nativeFile.rfind('/');
  if (cut == std::string::npos) return ".";
  if (cut == 0) return "/";
  return nativeFile.substr(0, cut);
}

void syncDir(const std::string& nativeDir) {
  int dfd = ::open(nativeDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

// Native path of a fresh temporary name beside `nativeFile`. The name starts
// with ".~vk" and ends with ".tmp", which no pattern of the system matches.
std::string tempBeside(const std::string& nativeFile) {
  unsigned n = lockState().tempCounter.fetch_add(1);
  return dirOf(nativeFile) + "/.~vk" + std::to_string(::getpid()) + "-" + std::to_string(n) +
         ".tmp";
}

// Writes `data` into a new temporary file beside `nativeTarget`.
Err writeTemp(const std::string& nativeTarget, std::string_view data, bool durable,
              std::string& tmp) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    tmp = tempBeside(nativeTarget);
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      int e = errno;
      return e == ENOENT ? Err::pathNotFound : fromErrno(e);
    }
    Err w = writeFully(fd, data, -1);
    if (w == Err::ok && durable && ::fsync(fd) != 0) w = fromErrno(errno);
    if (::close(fd) != 0 && w == Err::ok) w = fromErrno(errno);
    if (w != Err::ok) ::unlink(tmp.c_str());
    return w;
  }
  return Err::fileExists;
}

// Renames a written temporary file onto its target; on failure the
// temporary file is removed and the target stays as it was.
Err renameIntoPlace(const std::string& tmp, const std::string& nativeTarget, bool durable) {
  if (::rename(tmp.c_str(), nativeTarget.c_str()) != 0) {
    Err e = fromErrno(errno);
    ::unlink(tmp.c_str());
    return e;
  }
  if (durable) syncDir(dirOf(nativeTarget));
  return Err::ok;
}

// unknown: fstatfs failed, as it does on CIFS for a file whose name another
// client has renamed or deleted; treated as a network file system.
enum class FsKind { local, smb, nfs, unknown };

FsKind fsKind(int fd) {
  struct statfs fs {};
  if (::fstatfs(fd, &fs) != 0) return FsKind::unknown;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:  // NFS
      return FsKind::nfs;
    case 0x517BUL:      // SMB
    case 0xFF534D42UL:  // CIFS
    case 0xFE534D42UL:  // SMB2
      return FsKind::smb;
    default:
      return FsKind::local;
  }
}

// Whether the folder's listing, read afresh, has `leaf` as the file `ino`.
bool listedAs(const std::string& nativeDir, const std::string& leaf, ino_t ino) {
  DIR* d = ::opendir(nativeDir.c_str());
  if (d == nullptr) return false;
  bool listed = false;
  while (const dirent* e = ::readdir(d)) {
    if (leaf == e->d_name) {
      listed = e->d_ino == ino;
      break;
    }
  }
  ::closedir(d);
  return listed;
}

// Whether the path still names the file held open as `fd`, whose fstat is
// `held` (an open file's device and inode never change). On a network file
// system a stat of the path may be answered from the client's cache (a
// CIFS client even asks through the handle it holds), so there the path is
// opened afresh (an SMB server refuses a name whose deletion is pending,
// which a listing still shows) and the folder is listed afresh (an NFSv4
// client may answer an open from its cache, not a listing): both must name
// the held file.
bool nameStillNames(int fd, const struct stat& held, const std::string& nativePath) {
  struct stat ps {};
  if (fsKind(fd) == FsKind::local) {
    return ::stat(nativePath.c_str(), &ps) == 0 && held.st_dev == ps.st_dev &&
           held.st_ino == ps.st_ino;
  }
  const int probe = ::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (probe < 0) return false;
  const bool same =
      ::fstat(probe, &ps) == 0 && held.st_dev == ps.st_dev && held.st_ino == ps.st_ino;
  ::close(probe);
  const std::size_t cut = nativePath.rfind('/');
  return same && listedAs(dirOf(nativePath), nativePath.substr(cut + 1), held.st_ino);
}

bool sameFile(int fd, const std::string& nativePath) {
  struct stat held {};
  return ::fstat(fd, &held) == 0 && nameStillNames(fd, held, nativePath);
}

}  // namespace

void setDiagnosticSink(std::function<void(const std::string&)> sink) {
  LockState& s = lockState();
  std::lock_guard<std::mutex> g(s.sinkMutex);
  s.sink = std::move(sink);
}

void setOpenPause(std::function<void()> pause) {
  LockState& s = lockState();
  std::lock_guard<std::mutex> g(s.sinkMutex);
  s.openPause = std::move(pause);
}

namespace {

void runOpenPause() {
  std::function<void()> pause;
  {
    LockState& s = lockState();
    std::lock_guard<std::mutex> g(s.sinkMutex);
    pause = std::exchange(s.openPause, nullptr);
  }
  if (pause) pause();
}

}  // namespace

Err lockDescriptor(int fd, bool exclusive) {
  LockState& s = lockState();
  if (!s.useFlock.load()) {
    struct flock fl {};
    fl.l_type = static_cast<short>(exclusive ? F_WRLCK : F_RDLCK);
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;
    fl.l_pid = 0;
    if (::fcntl(fd, F_OFD_SETLK, &fl) == 0) return Err::ok;
    int e = errno;
    if (e == EAGAIN || e == EACCES) return Err::sharingViolation;
    // An SMB server answers a lock that meets a held one or a lease in
    // recall with EINVAL or EIO: another program holds the file.
    if ((e == EINVAL || e == EIO) && fsKind(fd) == FsKind::smb) return Err::sharingViolation;
    if (e != EINVAL && e != ENOTSUP && e != EOPNOTSUPP) return fromErrno(e);
    if (!s.useFlock.exchange(true)) {
      diagnose("Sperre: Dateisystem lehnt fcntl-Sperren ab, weiter mit flock");
    }
  }
  if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return Err::ok;
  int e = errno;
  if (e == EWOULDBLOCK) return Err::sharingViolation;
  return fromErrno(e);
}

SharedFile::~SharedFile() {
  close();
}

SharedFile::SharedFile(SharedFile&& o) noexcept
    : fd_(std::exchange(o.fd_, -1)), path_(std::move(o.path_)) {}

SharedFile& SharedFile::operator=(SharedFile&& o) noexcept {
  if (this != &o) {
    close();
    fd_ = std::exchange(o.fd_, -1);
    path_ = std::move(o.path_);
  }
  return *this;
}

Err SharedFile::open(std::string_view path, Access access, Share share, Disposition disposition) {
  close();
  const std::string np = nativePath(path);
  if (np.empty()) return Err::notFound;
  // Below a confined root nothing is followed, and no open ever blocks: a
  // FIFO or device on the shared drive must not hang the program.
  if (linkOnTheWay(path)) return Err::accessDenied;
  const bool exclusive = share == Share::exclusive;
  const bool writable =
      access == Access::readWrite || exclusive || disposition == Disposition::createAlways;
  int flags = (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW;
  if (disposition == Disposition::createNew) flags |= O_CREAT | O_EXCL;
  if (disposition == Disposition::openAlways || disposition == Disposition::createAlways) {
    flags |= O_CREAT;
  }
  // Another program may delete or replace the file between our open and our
  // lock; then the path names a different file and we start over on it.
  for (int attempt = 0; attempt < 100; ++attempt) {
    int fd = ::open(np.c_str(), flags, 0666);
    if (fd < 0) {
      int e = errno;
      if (e == ENOENT) {
        // Missing file, or missing folder on the way.
        std::string dir = dirOf(np);
        struct stat st {};
        return ::stat(dir.c_str(), &st) == 0 ? Err::notFound : Err::pathNotFound;
      }
      // ELOOP: the name is a symbolic link; ENXIO: a FIFO or socket
      // without a partner.
      if (e == ELOOP || e == ENXIO || e == EISDIR) return Err::accessDenied;
      return fromErrno(e);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return Err::accessDenied;
    }
    // Blocking I/O from here on: of the flags F_SETFL changes, the open set
    // only O_NONBLOCK.
    if (::fcntl(fd, F_SETFL, 0) != 0) {
      ::close(fd);
      return fromErrno(errno);
    }
    runOpenPause();
    Err le = lockDescriptor(fd, exclusive);
    if (le != Err::ok) {
      ::close(fd);
      return le;
    }
    if (!nameStillNames(fd, st, np)) {
      ::close(fd);
      if (disposition == Disposition::createNew) flags &= ~O_EXCL;
      continue;
    }
    if (disposition == Disposition::createAlways && ::ftruncate(fd, 0) != 0) {
      Err e = fromErrno(errno);
      ::close(fd);
      return e;
    }
    fd_ = fd;
    path_ = std::string(path);
    return Err::ok;
  }
  return Err::sharingViolation;
}

Err SharedFile::openRetrying(std::string_view path, Access access, Share share,
                             Disposition disposition, int attempts, int pauseMs) {
  Err e = Err::ok;
  for (int attempt = 0; attempt < std::max(attempts, 1); ++attempt) {
    if (attempt > 0) sleepMs(pauseMs);
    e = open(path, access, share, disposition);
    if (!heldByOther(e)) break;
  }
  return e;
}

std::int64_t SharedFile::size() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

Err SharedFile::readAll(std::string& out) {
  return readAll(out, static_cast<std::size_t>(-1));
}

Err SharedFile::readAll(std::string& out, std::size_t limit) {
  out.clear();
  if (fd_ < 0) return Err::invalidHandle;
  std::int64_t sz = size();
  if (sz > 0) out.reserve(std::min(static_cast<std::size_t>(sz), limit));
  char buf[65536];
  off_t off = 0;
  while (out.size() < limit) {
    ssize_t n = ::pread(fd_, buf, sizeof buf, off);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fromErrno(errno);
    }
    if (n == 0) return Err::ok;
    out.append(buf, std::min(static_cast<std::size_t>(n), limit - out.size()));
    off += n;
  }
  return Err::ok;
}

Err SharedFile::readAt(std::int64_t offset, char* buf, std::size_t n, std::size_t& got) {
  got = 0;
  if (fd_ < 0) return Err::invalidHandle;
  while (got < n) {
    ssize_t r =
        ::pread(fd_, buf + got, n - got, static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (r < 0) {
      if (errno == EINTR) continue;
      return fromErrno(errno);
    }
    if (r == 0) break;
    got += static_cast<std::size_t>(r);
  }
  return Err::ok;
}

Err SharedFile::read(char* buf, std::size_t n, std::size_t& got) {
  got = 0;
  if (fd_ < 0) return Err::invalidHandle;
  for (;;) {
    ssize_t r = ::read(fd_, buf, n);
    if (r < 0) {
      if (errno == EINTR) continue;
      return fromErrno(errno);
    }
    got = static_cast<std::size_t>(r);
    return Err::ok;
  }
}

Err SharedFile::seek(std::int64_t offset) {
  if (fd_ < 0) return Err::invalidHandle;
  if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) return fromErrno(errno);
  return Err::ok;
}

Err SharedFile::write(std::string_view data) {
  if (fd_ < 0) return Err::invalidHandle;
  return writeFully(fd_, data, -1);
}

Err SharedFile::cutTornLine() {
  if (fd_ < 0) return Err::invalidHandle;
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return fromErrno(errno);
  off_t ende = st.st_size;
  char buf[4096];
  // Back from the end to the last line break, in blocks.
  while (ende > 0) {
    const off_t von =
        ende > static_cast<off_t>(sizeof buf) ? ende - static_cast<off_t>(sizeof buf) : 0;
    const std::size_t n = static_cast<std::size_t>(ende - von);
    std::size_t got = 0;
    Err e = readAt(von, buf, n, got);
    if (e != Err::ok) return e;
    if (got != n) return Err::ioError;
    if (ende == st.st_size && buf[n - 1] == '\n') return Err::ok;
    const void* lf = ::memrchr(buf, '\n', n);
    if (lf != nullptr) {
      ende = von + static_cast<off_t>(static_cast<const char*>(lf) - buf) + 1;
      break;
    }
    ende = von;
  }
  if (ende == st.st_size) return Err::ok;
  if (::ftruncate(fd_, ende) != 0) return fromErrno(errno);
  return Err::ok;
}

Err SharedFile::resize(std::int64_t length) {
  if (fd_ < 0) return Err::invalidHandle;
  if (::ftruncate(fd_, static_cast<off_t>(length)) != 0) return fromErrno(errno);
  if (::lseek(fd_, static_cast<off_t>(length), SEEK_SET) < 0) return fromErrno(errno);
  return Err::ok;
}

void setAppendFault(long long bytes) {
  lockState().appendFault.store(bytes);
}

Err SharedFile::append(std::string_view data) {
  if (fd_ < 0) return Err::invalidHandle;
  // Every writer of the shared files writes whole lines, so a last line
  // without its line end is the rest of an append cut by a crash; its full
  // text comes again with the redelivery. Gluing the new lines to it would
  // merge two words into one.
  Err c = cutTornLine();
  if (c != Err::ok) return c;
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return fromErrno(errno);
  const long long fault = lockState().appendFault.exchange(-1);
  if (fault >= 0 && static_cast<std::size_t>(fault) < data.size()) {
    // The test's crash: part of the data is on the file, the rest never
    // comes, and nothing is cut back.
    static_cast<void>(writeFully(fd_, data.substr(0, static_cast<std::size_t>(fault)), st.st_size));
    return Err::ioError;
  }
  Err e = writeFully(fd_, data, st.st_size);
  if (e != Err::ok) {
    // Never leave half an append behind: cut back to the old end. The write
    // error is what the caller must hear about, whatever the cut gives.
    int cut = ::ftruncate(fd_, st.st_size);
    static_cast<void>(cut);
    return e;
  }
  if (::lseek(fd_, st.st_size + static_cast<off_t>(data.size()), SEEK_SET) < 0) {
    return fromErrno(errno);
  }
  return Err::ok;
}

Err SharedFile::truncate() {
  if (fd_ < 0) return Err::invalidHandle;
  if (::ftruncate(fd_, 0) != 0) return fromErrno(errno);
  if (::lseek(fd_, 0, SEEK_SET) < 0) return fromErrno(errno);
  return Err::ok;
}

Err SharedFile::sync() {
  if (fd_ < 0) return Err::invalidHandle;
  if (::fsync(fd_) != 0) return fromErrno(errno);
  return Err::ok;
}

Err SharedFile::renameTo(std::string_view newPath) {
  if (fd_ < 0) return Err::invalidHandle;
  if (linkOnTheWay(newPath)) return Err::accessDenied;
  const std::string from = nativePath(path_);
  const std::string to = nativePath(newPath);
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
  } else {
    int e = errno;
    if (e == EEXIST) return Err::fileExists;
    if (e == ENOENT) return Err::pathNotFound;
    // File systems without hard links: check, then rename.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return Err::fileExists;
    if (::rename(from.c_str(), to.c_str()) != 0) return fromErrno(errno);
  }
  path_ = std::string(newPath);
  return Err::ok;
}

Err SharedFile::replaceHeld(std::string_view data, bool durable) {
  if (fd_ < 0) return Err::invalidHandle;
  const std::string np = nativePath(path_);
  std::string tmp;
  const Err e = writeTemp(np, data, durable, tmp);
  if (e != Err::ok) return e;
  return renameIntoPlace(tmp, np, durable);
}

Err SharedFile::removeAndClose() {
  if (fd_ < 0) return Err::invalidHandle;
  const std::string np = nativePath(path_);
  Err e = Err::ok;
  if (!sameFile(fd_, np)) {
    e = Err::notFound;
  } else if (::unlink(np.c_str()) != 0) {
    e = fromErrno(errno);
  }
  close();
  return e;
}

void SharedFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  path_.clear();
}

Err removeFile(std::string_view path) {
  SharedFile f;
  Err e = f.open(path, Access::readWrite, Share::exclusive, Disposition::openExisting);
  if (e != Err::ok) return e;
  return f.removeAndClose();
}

Err moveFile(std::string_view from, std::string_view to, bool replace) {
  if (linkOnTheWay(from) || linkOnTheWay(to)) return Err::accessDenied;
  if (directoryExists(from)) {
    FileInfo target = fileInfo(to);
    if (target.exists && !replace) return Err::fileExists;
    if (::rename(nativePath(from).c_str(), nativePath(to).c_str()) != 0) return fromErrno(errno);
    return Err::ok;
  }
  SharedFile src;
  Err e = src.open(from, Access::readWrite, Share::exclusive, Disposition::openExisting);
  if (e != Err::ok) return e;
  if (!replace) return src.renameTo(to);
  // Replacing: the old target must not be held by anyone either; hold it
  // while the rename puts the new file in its place.
  SharedFile old;
  e = old.open(to, Access::readWrite, Share::exclusive, Disposition::openExisting);
  if (e != Err::ok && e != Err::notFound) return e;
  if (::rename(nativePath(from).c_str(), nativePath(to).c_str()) != 0) return fromErrno(errno);
  return Err::ok;
}

Err renameEntry(std::string_view from, std::string_view to) {
  std::string parent(from);
  const std::size_t cut = parent.find_last_of("\\/");
  if (cut != std::string::npos) parent.erase(cut);
  if (linkOnTheWay(parent) || linkOnTheWay(to)) return Err::accessDenied;
  if (::rename(nativePath(from).c_str(), nativePath(to).c_str()) != 0) return fromErrno(errno);
  return Err::ok;
}

Err copyFile(std::string_view from, std::string_view to, bool failIfExists) {
  std::string data;
  {
    SharedFile src;
    Err e = src.open(from, Access::read, Share::denyWrite, Disposition::openExisting);
    if (e != Err::ok) return e;
    e = src.readAll(data);
    if (e != Err::ok) return e;
  }
  return failIfExists ? publishNew(to, data, false) : publishReplace(to, data, false);
}

Err publishNew(std::string_view path, std::string_view data, bool durable) {
  if (linkOnTheWay(path)) return Err::accessDenied;
  const std::string np = nativePath(path);
  std::string tmp;
  Err e = writeTemp(np, data, durable, tmp);
  if (e != Err::ok) return e;
  if (::link(tmp.c_str(), np.c_str()) == 0) {
    ::unlink(tmp.c_str());
  } else {
    int le = errno;
    if (le == EEXIST) {
      ::unlink(tmp.c_str());
      return Err::fileExists;
    }
    // File systems without hard links: check, then rename (a small window
    // in which a second writer of the same name could be overwritten).
    struct stat st {};
    if (::lstat(np.c_str(), &st) == 0) {
      ::unlink(tmp.c_str());
      return Err::fileExists;
    }
    return renameIntoPlace(tmp, np, durable);
  }
  if (durable) syncDir(dirOf(np));
  return Err::ok;
}

Err publishReplace(std::string_view path, std::string_view data, bool durable) {
  if (linkOnTheWay(path)) return Err::accessDenied;
  const std::string np = nativePath(path);
  std::string tmp;
  Err e = writeTemp(np, data, durable, tmp);
  if (e != Err::ok) return e;
  SharedFile old;
  e = old.open(path, Access::readWrite, Share::exclusive, Disposition::openExisting);
  if (e != Err::ok && e != Err::notFound) {
    ::unlink(tmp.c_str());
    return e;
  }
  return renameIntoPlace(tmp, np, durable);
}

Err syncFileSystem(std::string_view dir) {
  const int dfd = ::open(nativePath(dir).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return fromErrno(errno);
  Err e = ::syncfs(dfd) == 0 ? Err::ok : fromErrno(errno);
  ::close(dfd);
  return e;
}

bool syncFileSystemSuffices(std::string_view dir) {
  struct statfs fs {};
  if (::statfs(nativePath(dir).c_str(), &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53UL:      // ext2, ext3, ext4
    case 0x58465342UL:  // XFS
    case 0x9123683EUL:  // Btrfs
    case 0xF2F52010UL:  // F2FS
    case 0x794C7630UL:  // overlay (syncs its upper file system)
    case 0x01021994UL:  // tmpfs (no disk: nothing to flush either way)
      return true;
    default:
      return false;
  }
}

bool isOwnTempName(std::string_view name) {
  return name.size() > 8 && name.substr(0, 4) == ".~vk" && name.substr(name.size() - 4) == ".tmp";
}

LockProbe probeLocking(std::string_view dir) {
  std::string probe = withBackslash(dir) + ".~vkprobe" + std::to_string(::getpid()) + ".tmp";
  SharedFile first;
  if (first.open(probe, Access::readWrite, Share::exclusive, Disposition::openAlways) != Err::ok) {
    return LockProbe::cannotTell;
  }
  SharedFile second;
  Err e = second.open(probe, Access::read, Share::denyWrite, Disposition::openExisting);
  second.close();
  first.removeAndClose();
  if (e != Err::sharingViolation) return LockProbe::fails;
  struct statfs fs {};
  if (::statfs(nativePath(dir).c_str(), &fs) == 0) {
    // NFS, SMB/CIFS: the local check cannot show whether locks reach the
    // other workstations (nolock, local_lock, nobrl mounts).
    switch (static_cast<unsigned long>(fs.f_type)) {
      case 0x6969UL:      // NFS
      case 0x517BUL:      // SMB
      case 0xFF534D42UL:  // CIFS
      case 0xFE534D42UL:  // SMB2
        return LockProbe::cannotTell;
      default:
        break;
    }
  }
  return LockProbe::works;
}

}  // namespace plat
