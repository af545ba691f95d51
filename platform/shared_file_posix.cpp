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
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
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
  // Test hook: the next flush (of a shared file or a file system) fails.
  std::atomic<bool> syncFault{false};
  std::atomic<long long> writeFault{-1};
  // Test hook: reads fail once this many more bytes were read (negative: off).
  std::atomic<long long> readFault{-1};
  std::mutex sinkMutex;
  std::function<void(const std::string&)> sink;
  std::atomic<unsigned> tempCounter{0};
  // Batch records this process writes now: their open slots are its own
  // appends in progress, never a dead writer's.
  std::mutex batchMutex;
  std::set<std::string> ownBatches;
  // Test hook run between an open and its lock (guarded by sinkMutex).
  std::function<void()> openPause;
  // Test hook run once a recorded append is complete (guarded by sinkMutex).
  std::function<void()> appendDone;
  // Test hook: this many next lock calls fail with lockFaultErrno as a
  // share's server answers them.
  std::atomic<int> lockFaultTimes{0};
  std::atomic<int> lockFaultErrno{0};
  std::atomic<bool> renameUnlinkFault{false};
  std::atomic<bool> batchMarkFault{false};
};

LockState& lockState() {
  static LockState s;
  return s;
}

// fsync of a shared file; false with errno set (EIO for the test hook).
bool flushed(int fd) {
  if (lockState().syncFault.exchange(false)) {
    errno = EIO;
    return false;
  }
  return ::fsync(fd) == 0;
}

// The append just completed: runs the test hook, once.
Err appendComplete() {
  LockState& s = lockState();
  std::function<void()> hook;
  {
    std::lock_guard<std::mutex> g(s.sinkMutex);
    hook = std::exchange(s.appendDone, nullptr);
  }
  if (hook) hook();
  return Err::ok;
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
    if (w == Err::ok && durable && !flushed(fd)) w = fromErrno(errno);
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

// Native path of the intent record of appends to `nativeFile`: beside it,
// under an own temporary name made of the file's name.
std::string intentPath(const std::string& nativeFile) {
  const std::size_t cut = nativeFile.rfind('/');
  const std::size_t anfang = cut == std::string::npos ? 0 : cut + 1;
  return nativeFile.substr(0, anfang) + ownTempName(nativeFile.substr(anfang) + ".anhang");
}

// An intent record: which file (device, inode), its end before the append
// and the append's length. One line "VK-ANHANG dev ino alt laenge".
struct Absicht {
  unsigned long long dev = 0;
  unsigned long long ino = 0;
  long long alt = 0;
  long long laenge = 0;
};

// Reads the intent record at `pfad`; false when there is none. A record
// that cannot be parsed gives true with ino 0 (it matches no file).
bool absichtLesen(const std::string& pfad, Absicht& a) {
  const int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  char buf[128];
  ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
  ::close(fd);
  a = Absicht{};
  if (n <= 0) return true;
  buf[n] = 0;
  if (std::sscanf(buf, "VK-ANHANG %llu %llu %lld %lld", &a.dev, &a.ino, &a.alt, &a.laenge) != 4)
    a = Absicht{};
  return true;
}

// Whether a record written as (dev, ino) is about the file `st`. A writer
// on another mount or machine of the share saw another device number (and,
// through SMB, not always the server's inode number): then the record's
// name, beside the file, and its size window decide.
bool sameRecordedFile(const Absicht& a, const struct stat& st) {
  if (a.ino == 0) return false;
  if (a.dev != static_cast<unsigned long long>(st.st_dev)) return true;
  return a.ino == static_cast<unsigned long long>(st.st_ino);
}

// Holding `fd` exclusively: an intent record left for this file by a writer
// that died in mid-append cuts the file back to the old end. Only the bytes
// the record claims are cut; a record of another file (replaced or gone
// since) is just removed.
void unfertigesAnhaengenZurueck(int fd, struct stat& st, const std::string& nativeFile) {
  const std::string ip = intentPath(nativeFile);
  Absicht a;
  if (!absichtLesen(ip, a)) return;
  if (sameRecordedFile(a, st) && st.st_size > a.alt && st.st_size <= a.alt + a.laenge) {
    if (::ftruncate(fd, static_cast<off_t>(a.alt)) != 0) return;
    st.st_size = static_cast<off_t>(a.alt);
    diagnose("Anhang: unvollendetes Anhaengen zurueckgenommen " + nativeFile);
  }
  ::unlink(ip.c_str());
}

constexpr off_t kSlot = 512;

std::string batchPath(const std::string& nativeDir) {
  return nativeDir + "/" + ownTempName("Sammel.anhang");
}

// Holding `fd`: an open slot of the folder's batch record for this file
// (its writer died) cuts the file back and is closed.
void unfertigeSammelAnhaengeZurueck(int fd, struct stat& st, const std::string& nativeFile) {
  {
    LockState& ls = lockState();
    std::lock_guard<std::mutex> g(ls.batchMutex);
    if (ls.ownBatches.count(batchPath(dirOf(nativeFile))) != 0) return;
  }
  const int bfd =
      ::open(batchPath(dirOf(nativeFile)).c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (bfd < 0) return;
  char slot[kSlot + 1];
  for (off_t pos = 0;; pos += kSlot) {
    const ssize_t n = ::pread(bfd, slot, kSlot, pos);
    if (n < kSlot) break;
    slot[kSlot] = 0;
    Absicht a;
    int anfang = -1;
    if (slot[0] != 'o' ||
        std::sscanf(slot + 2, "VK-ANHANG %llu %llu %lld %lld %n", &a.dev, &a.ino, &a.alt, &a.laenge,
                    &anfang) != 4 ||
        anfang < 0 || !sameRecordedFile(a, st))
      continue;
    const std::string_view rest(slot + 2 + anfang);
    if (rest.substr(0, rest.find('\n')) != nativeFile.substr(nativeFile.rfind('/') + 1)) continue;
    if (st.st_size > a.alt && st.st_size <= a.alt + a.laenge) {
      if (::ftruncate(fd, static_cast<off_t>(a.alt)) != 0) break;
      st.st_size = static_cast<off_t>(a.alt);
      diagnose("Anhang: unvollendetes Anhaengen zurueckgenommen " + nativeFile);
    }
    static_cast<void>(::pwrite(bfd, "f", 1, pos));
  }
  ::close(bfd);
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
    int e = 0;
    bool faultOnShare = false;
    int faults = s.lockFaultTimes.load();
    if (faults > 0 && s.lockFaultTimes.compare_exchange_strong(faults, faults - 1)) {
      e = s.lockFaultErrno.load();
      faultOnShare = true;
    } else {
      if (::fcntl(fd, F_OFD_SETLK, &fl) == 0) return Err::ok;
      e = errno;
    }
    if (e == EAGAIN || e == EACCES) return Err::sharingViolation;
    // An SMB server answers a lock that meets a held one or a lease in
    // recall with EINVAL or EIO: another program holds the file.
    if ((e == EINVAL || e == EIO) && (faultOnShare || fsKind(fd) == FsKind::smb))
      return Err::sharingViolation;
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
    : fd_(std::exchange(o.fd_, -1)),
      path_(std::move(o.path_)),
      appendStart_(std::exchange(o.appendStart_, -1)),
      batch_(std::exchange(o.batch_, nullptr)),
      slot_(std::exchange(o.slot_, -1)),
      recordLeft_(std::exchange(o.recordLeft_, false)) {}

SharedFile& SharedFile::operator=(SharedFile&& o) noexcept {
  if (this != &o) {
    close();
    fd_ = std::exchange(o.fd_, -1);
    path_ = std::move(o.path_);
    appendStart_ = std::exchange(o.appendStart_, -1);
    batch_ = std::exchange(o.batch_, nullptr);
    slot_ = std::exchange(o.slot_, -1);
    recordLeft_ = std::exchange(o.recordLeft_, false);
  }
  return *this;
}

Err SharedFile::open(std::string_view path, Access access, Share share, Disposition disposition) {
  close();
  const std::string np = nativePath(path);
  if (np.empty()) return Err::notFound;
  // Below a confined root nothing is followed, and no open ever blocks: a
  // FIFO or device on the shared drive must not hang the program.
  if (linkOnTheWay(path)) return Err::isLink;
  const bool exclusive = share == Share::exclusive;
  const bool writable =
      access == Access::readWrite || exclusive || disposition == Disposition::createAlways;
  // A reader that finds an intent record first tries to hold the file
  // alone, which cuts back an append whose writer died; while someone holds
  // it, that writer is alive and the reader's own open is refused anyway.
  if (!exclusive && (::access(intentPath(np).c_str(), F_OK) == 0 ||
                     ::access(batchPath(dirOf(np)).c_str(), F_OK) == 0)) {
    SharedFile alleine;
    static_cast<void>(
        alleine.open(path, Access::readWrite, Share::exclusive, Disposition::openExisting));
  }
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
      // ELOOP (a symbolic link) and EISDIR map to isLink and isFolder;
      // ENXIO: a FIFO or socket without a partner.
      if (e == ENXIO) return Err::notAFile;
      return fromErrno(e);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return S_ISDIR(st.st_mode) ? Err::isFolder : Err::notAFile;
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
    // The size as the lock found it (a writer may have appended since the
    // open); an empty file has no append to cut back.
    if (exclusive && ::fstat(fd, &st) != 0) {
      const Err e = fromErrno(errno);
      ::close(fd);
      return e;
    }
    if (exclusive && st.st_size > 0) {
      unfertigesAnhaengenZurueck(fd, st, np);
      unfertigeSammelAnhaengeZurueck(fd, st, np);
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

bool SharedFile::identity(std::uint64_t& device, std::uint64_t& inode) const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;
  device = static_cast<std::uint64_t>(st.st_dev);
  inode = static_cast<std::uint64_t>(st.st_ino);
  return true;
}

bool fileIdentity(std::string_view path, std::uint64_t& device, std::uint64_t& inode) {
  struct stat st {};
  if (::lstat(nativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  device = static_cast<std::uint64_t>(st.st_dev);
  inode = static_cast<std::uint64_t>(st.st_ino);
  return true;
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
  const long long fault = lockState().readFault.load();
  if (fault == 0) {
    lockState().readFault.store(-1);
    return Err::ioError;
  }
  if (fault > 0) n = std::min(n, static_cast<std::size_t>(fault));
  for (;;) {
    ssize_t r = ::read(fd_, buf, n);
    if (r < 0) {
      if (errno == EINTR) continue;
      return fromErrno(errno);
    }
    got = static_cast<std::size_t>(r);
    if (fault > 0) lockState().readFault.store(fault - r);
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
  const long long fault = lockState().writeFault.exchange(-1);
  if (fault >= 0 && static_cast<std::size_t>(fault) < data.size()) {
    static_cast<void>(writeFully(fd_, data.substr(0, static_cast<std::size_t>(fault)), -1));
    return Err::ioError;
  }
  return writeFully(fd_, data, -1);
}

Err SharedFile::endLastLine() {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return fromErrno(errno);
  if (st.st_size == 0) return Err::ok;
  char letztes = 0;
  std::size_t got = 0;
  Err e = readAt(st.st_size - 1, &letztes, 1, got);
  if (e != Err::ok) return e;
  if (got != 1) return Err::ioError;
  // A lone CR is a line end for every reader of word files.
  if (letztes == '\n' || letztes == '\r') return Err::ok;
  return writeFully(fd_, "\r\n", st.st_size);
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

void setWriteFault(long long bytes) {
  lockState().writeFault.store(bytes);
}

void setReadFault(long long bytes) {
  lockState().readFault.store(bytes);
}

void setSyncFault(bool on) {
  lockState().syncFault.store(on);
}

void setBatchMarkFault(bool on) {
  lockState().batchMarkFault.store(on);
}

void setRenameUnlinkFault(bool on) {
  lockState().renameUnlinkFault.store(on);
}

void setAppendDone(std::function<void()> hook) {
  LockState& s = lockState();
  std::lock_guard<std::mutex> g(s.sinkMutex);
  s.appendDone = std::move(hook);
}

void setLockFault(int error, int times) {
  LockState& s = lockState();
  s.lockFaultErrno.store(error);
  s.lockFaultTimes.store(times);
}

Err SharedFile::beginAppend(std::int64_t length, AppendBatch* batch) {
  if (fd_ < 0) return Err::invalidHandle;
  const std::string np = nativePath(path_);
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return fromErrno(errno);
  // An append of this handle that failed half-way is cut back first.
  if (recordLeft_) unfertigesAnhaengenZurueck(fd_, st, np);
  recordLeft_ = false;
  Err e = endLastLine();
  if (e != Err::ok) return e;
  if (::fstat(fd_, &st) != 0) return fromErrno(errno);
  // Not flushed: the record protects against a writer that dies, which is
  // what a kill does; the page cache keeps it for the next holder. After a
  // power loss a torn last line may be left, which is then kept as data.
  const std::string ip = intentPath(np);
  const std::string satz = "VK-ANHANG " + std::to_string(st.st_dev) + " " +
                           std::to_string(st.st_ino) + " " + std::to_string(st.st_size) + " " +
                           std::to_string(length) + "\n";
  const std::string name = np.substr(np.rfind('/') + 1);
  if (batch != nullptr && batch->fd_ >= 0 && satz.size() + name.size() + 4 < kSlot) {
    std::string slot = "o " + satz.substr(0, satz.size() - 1) + " " + name + "\n";
    slot.resize(static_cast<std::size_t>(kSlot), '\0');
    const std::int64_t nr = batch->slots_++;
    e = writeFully(batch->fd_, slot, static_cast<off_t>(nr * kSlot));
    if (e != Err::ok) return e;
    ++batch->open_;
    batch_ = batch;
    slot_ = nr;
  } else {
    const int rfd = ::open(ip.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (rfd < 0) return fromErrno(errno);
    e = writeFully(rfd, satz, 0);
    if (::close(rfd) != 0 && e == Err::ok) e = fromErrno(errno);
    if (e != Err::ok) {
      ::unlink(ip.c_str());
      return e;
    }
  }
  appendStart_ = st.st_size;
  if (::lseek(fd_, st.st_size, SEEK_SET) < 0) {
    e = fromErrno(errno);
    ignoreErr(abortAppend(), "the seek's error is the one to report");
    return e;
  }
  return Err::ok;
}

Err SharedFile::finishAppend(std::string_view commitName) {
  if (fd_ < 0) return Err::invalidHandle;
  appendStart_ = -1;
  if (slot_ >= 0) {
    const Err e = batch_->closeSlot(slot_);
    slot_ = -1;
    batch_ = nullptr;
    return e == Err::ok ? appendComplete() : e;
  }
  const std::string ip = intentPath(nativePath(path_));
  if (commitName.empty()) {
    if (::unlink(ip.c_str()) != 0 && errno != ENOENT) return fromErrno(errno);
    return appendComplete();
  }
  // The mark stands for "complete" even after a power loss: the data is
  // on the disk first. Should the flush fail, the record stays and the next
  // holder cuts the append back.
  if (!flushed(fd_)) return fromErrno(errno);
  if (::rename(ip.c_str(), (dirOf(nativePath(path_)) + "/" + std::string(commitName)).c_str()) != 0)
    return fromErrno(errno);
  return appendComplete();
}

Err SharedFile::abortAppend() {
  if (fd_ < 0) return Err::invalidHandle;
  Err e = Err::ok;
  if (appendStart_ >= 0) {
    if (::ftruncate(fd_, static_cast<off_t>(appendStart_)) != 0) e = fromErrno(errno);
    ::lseek(fd_, static_cast<off_t>(appendStart_), SEEK_SET);
  }
  appendStart_ = -1;
  // Should the cut fail, the record stays and the next holder cuts.
  if (e == Err::ok && slot_ >= 0)
    ignoreErr(batch_->closeSlot(slot_), "an open slot keeps the record for the next holder");
  else if (e == Err::ok)
    ::unlink(intentPath(nativePath(path_)).c_str());
  slot_ = -1;
  batch_ = nullptr;
  return e;
}

Err SharedFile::append(std::string_view data) {
  return append(data, {});
}

Err SharedFile::append(std::string_view data, std::string_view commitName) {
  if (fd_ < 0) return Err::invalidHandle;
  Err e = beginAppend(static_cast<std::int64_t>(data.size()));
  if (e != Err::ok) return e;
  const long long fault = lockState().appendFault.exchange(-1);
  if (fault >= 0 && static_cast<std::size_t>(fault) < data.size()) {
    // The test's crash: part of the data is on the file, the rest never
    // comes, and the intent record stays as a killed writer leaves it.
    static_cast<void>(write(data.substr(0, static_cast<std::size_t>(fault))));
    appendStart_ = -1;
    recordLeft_ = true;
    return Err::ioError;
  }
  e = write(data);
  if (e != Err::ok) {
    // Never leave half an append behind. The write error is what the
    // caller must hear about, whatever the cut gives.
    ignoreErr(abortAppend(), "the write error is reported");
    return e;
  }
  return finishAppend(commitName);
}

Err SharedFile::truncate() {
  if (fd_ < 0) return Err::invalidHandle;
  if (::ftruncate(fd_, 0) != 0) return fromErrno(errno);
  if (::lseek(fd_, 0, SEEK_SET) < 0) return fromErrno(errno);
  return Err::ok;
}

Err SharedFile::sync() {
  if (fd_ < 0) return Err::invalidHandle;
  if (!flushed(fd_)) return fromErrno(errno);
  return Err::ok;
}

Err SharedFile::renameTo(std::string_view newPath) {
  if (fd_ < 0) return Err::invalidHandle;
  if (linkOnTheWay(newPath)) return Err::isLink;
  const std::string from = nativePath(path_);
  const std::string to = nativePath(newPath);
  if (::link(from.c_str(), to.c_str()) == 0) {
    // Without the old name gone the file would be under both names: the
    // rename did not happen.
    const bool refused = lockState().renameUnlinkFault.exchange(false);
    if (refused || ::unlink(from.c_str()) != 0) {
      const int e = refused ? EACCES : errno;
      ::unlink(to.c_str());
      return fromErrno(e);
    }
  } else {
    int e = errno;
    // The new name already names this very file: a rename killed between
    // its link and its unlink. Finishing it is what that caller wanted.
    if (e == EEXIST && sameFile(fd_, to)) {
      if (::unlink(from.c_str()) != 0) return fromErrno(errno);
      path_ = std::string(newPath);
      return Err::ok;
    }
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
  appendStart_ = -1;
  batch_ = nullptr;
  slot_ = -1;
  recordLeft_ = false;
}

Err removeFile(std::string_view path) {
  SharedFile f;
  Err e = f.open(path, Access::readWrite, Share::exclusive, Disposition::openExisting);
  if (e != Err::ok) return e;
  return f.removeAndClose();
}

Err moveFile(std::string_view from, std::string_view to, bool replace) {
  if (linkOnTheWay(from) || linkOnTheWay(to)) return Err::isLink;
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
  if (linkOnTheWay(parent) || linkOnTheWay(to)) return Err::isLink;
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
  if (linkOnTheWay(path)) return Err::isLink;
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
  if (linkOnTheWay(path)) return Err::isLink;
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
  if (lockState().syncFault.exchange(false)) return Err::ioError;
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

AppendBatch::~AppendBatch() {
  end();
}

Err AppendBatch::begin(std::string_view folder) {
  end();
  path_ = batchPath(nativePath(folder));
  // A batch its writer left: every file with an open slot is cut back by
  // holding it once.
  const int alt = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (alt >= 0) {
    char slot[kSlot + 1];
    for (off_t pos = 0; ::pread(alt, slot, kSlot, pos) == kSlot; pos += kSlot) {
      if (slot[0] != 'o') continue;
      slot[kSlot] = 0;
      int anfang = -1;
      if (std::sscanf(slot + 2, "VK-ANHANG %*u %*u %*d %*d %n", &anfang) != 0 || anfang < 0)
        continue;
      const std::string_view rest(slot + 2 + anfang);
      const std::string name(rest.substr(0, rest.find('\n')));
      SharedFile f;
      static_cast<void>(f.open(withBackslash(folder) + systemPath(name), Access::readWrite,
                               Share::exclusive, Disposition::openExisting));
    }
    ::close(alt);
  }
  fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  slots_ = 0;
  open_ = 0;
  if (fd_ < 0) return fromErrno(errno);
  LockState& ls = lockState();
  std::lock_guard<std::mutex> g(ls.batchMutex);
  ls.ownBatches.insert(path_);
  return Err::ok;
}

Err AppendBatch::closeSlot(std::int64_t nr) {
  if (lockState().batchMarkFault.exchange(false)) return Err::ioError;
  const Err e = writeFully(fd_, "f", static_cast<off_t>(nr * kSlot));
  if (e == Err::ok) --open_;
  return e;
}

void AppendBatch::end() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  // An open slot may stand for bytes on a member's file that its writer
  // took for failed and gives again later: the next holder must cut them.
  if (open_ == 0) ::unlink(path_.c_str());
  LockState& ls = lockState();
  std::lock_guard<std::mutex> g(ls.batchMutex);
  ls.ownBatches.erase(path_);
}

std::string ownTempName(std::string_view stem) {
  return ".~vk" + std::string(stem) + ".tmp";
}

Err listOwnTempNames(std::string_view dir, std::string_view prefix,
                     std::vector<std::string>& names) {
  names.clear();
  if (linkOnTheWay(dir)) return Err::isLink;
  std::string nd = nativePath(dir);
  if (nd.empty()) nd.push_back('.');
  DIR* d = ::opendir(nd.c_str());
  if (d == nullptr) return errno == ENOENT ? Err::pathNotFound : fromErrno(errno);
  const std::string anfang = ".~vk" + std::string(prefix);
  while (const dirent* ent = ::readdir(d)) {
    const std::string_view name(ent->d_name);
    if (isOwnTempName(name) && name.substr(0, anfang.size()) == anfang) names.emplace_back(name);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return Err::ok;
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
  ignoreErr(first.removeAndClose(), "a probe file left behind is hidden as an own temp name");
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
