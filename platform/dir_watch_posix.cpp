// Folder change notification with inotify: names created, deleted or moved
// in or out, and files closed after writing, in the one folder (not its
// subfolders). inotify sees only changes made through this machine's
// kernel; changes by other machines on a network file system may never
// arrive, so every caller waits with a time-out.
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/dir_watch.h"
#include "platform/paths.h"

namespace plat {

namespace {

std::atomic<bool>& watchFault() {
  static std::atomic<bool> an{false};
  return an;
}

}  // namespace

DirWatch::~DirWatch() {
  stop();
}

Err DirWatch::start(std::string_view dir) {
  stop();
  int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return fromErrno(errno);
  const std::string native = dir.empty() ? std::string(".") : nativePath(dir);
  const std::uint32_t mask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                             IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
  int wd = ::inotify_add_watch(fd, native.c_str(), mask);
  if (wd < 0) {
    int e = errno;
    ::close(fd);
    return e == ENOTDIR ? Err::pathNotFound : fromErrno(e);
  }
  fd_ = fd;
  wd_ = wd;
  return Err::ok;
}

WatchResult DirWatch::wait(int timeoutMs) {
  if (fd_ < 0 || watchFault().exchange(false)) return WatchResult::failed;
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  pollfd p{fd_, POLLIN, 0};
  for (;;) {
    int left = -1;
    if (timeoutMs >= 0) {
      auto ms = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      left = ms < 0 ? 0 : static_cast<int>(ms);
    }
    int r = ::poll(&p, 1, left);
    if (r > 0) break;
    if (r == 0) return WatchResult::timeout;
    if (errno != EINTR) return WatchResult::failed;
  }
  // Consume everything queued so far: one `changed` stands for all of it.
  alignas(inotify_event) char buf[4096];
  bool any = false;
  bool gone = false;
  for (;;) {
    ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) break;
      return any ? WatchResult::changed : WatchResult::failed;
    }
    if (n == 0) break;
    any = true;
    for (ssize_t off = 0; off < n;) {
      inotify_event ev{};
      std::memcpy(&ev, buf + off, sizeof ev);
      if ((ev.mask & IN_IGNORED) != 0) gone = true;
      off += static_cast<ssize_t>(sizeof(inotify_event) + ev.len);
    }
  }
  // The folder itself was deleted or moved away: report it as a change
  // once; the watch has ended, so later waits fail.
  if (gone) stop();
  return any ? WatchResult::changed : WatchResult::timeout;
}

void setWatchFault(bool on) {
  watchFault().store(on);
}

void DirWatch::stop() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  wd_ = -1;
}

}  // namespace plat
