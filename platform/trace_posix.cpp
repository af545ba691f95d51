// Trace transport over a Unix datagram socket (see trace.h). The sender
// connects once per run; a viewer that is missing, gone or too slow costs a
// lost line, never an error, a signal or a wait longer than the send
// time-out. The receiver replaces a stale socket file left by a viewer that
// died, but never a live viewer's socket or a file that is no socket.
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/system.h"
#include "platform/trace.h"

namespace plat {

namespace {

constexpr int kSendTimeoutMs = 5000;

// The sender side of this process: found once, kept until traceReset().
struct TraceState {
  std::mutex mutex;
  bool lookedUp = false;
  int fd = -1;
};

TraceState& traceState() {
  static TraceState state;
  return state;
}

bool makeAddress(const std::string& path, sockaddr_un& addr) {
  addr = sockaddr_un{};
  addr.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.data(), path.size());
  return true;
}

int connectTo(const std::string& path) {
  sockaddr_un addr{};
  if (!makeAddress(path, addr)) return -1;
  int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::string traceSocketPath() {
  const char* redirect = std::getenv("VOKARIUM_TRACE_SOCKET");
  if (redirect != nullptr && *redirect != '\0') return redirect;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') return runtimeDirectory() + "/QMTtracer_TRACEWIN";
  return "/tmp/QMTtracer_TRACEWIN-" + std::to_string(::getuid());
}

void traceInit() {
  TraceState& s = traceState();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.lookedUp) return;
  s.lookedUp = true;
  s.fd = connectTo(traceSocketPath());
  if (s.fd >= 0) {
    timeval tv{kSendTimeoutMs / 1000, (kSendTimeoutMs % 1000) * 1000};
    ::setsockopt(s.fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  }
}

bool traceActive() {
  TraceState& s = traceState();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.fd >= 0;
}

void traceSend(std::string_view line) {
  TraceState& s = traceState();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.fd < 0) return;
  // The result does not matter: a line the viewer cannot take is lost.
  while (::send(s.fd, line.data(), line.size(), MSG_NOSIGNAL) < 0 && errno == EINTR) {
  }
}

void traceReset() {
  TraceState& s = traceState();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.fd >= 0) ::close(s.fd);
  s.fd = -1;
  s.lookedUp = false;
}

TraceReceiver::~TraceReceiver() {
  close();
}

Err TraceReceiver::bind(const std::string& path) {
  close();
  std::string target = path.empty() ? traceSocketPath() : path;
  sockaddr_un addr{};
  if (!makeAddress(target, addr)) return Err::invalidName;
  struct stat st {};
  if (::lstat(target.c_str(), &st) == 0) {
    if (!S_ISSOCK(st.st_mode)) return Err::alreadyExists;
    int live = connectTo(target);
    if (live >= 0) {
      ::close(live);
      return Err::alreadyExists;
    }
    ::unlink(target.c_str());
  }
  int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return fromErrno(errno);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    int e = errno;
    ::close(fd);
    return e == EADDRINUSE ? Err::alreadyExists : fromErrno(e);
  }
  fd_ = fd;
  path_ = target;
  return Err::ok;
}

bool TraceReceiver::receive(std::string& line, int timeoutMs) {
  if (fd_ < 0) return false;
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, timeoutMs) <= 0) return false;
  // The real length of the waiting datagram, so no line is cut.
  ssize_t size = ::recv(fd_, nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
  if (size < 0) return false;
  line.resize(static_cast<std::size_t>(size));
  ssize_t got = ::recv(fd_, line.data(), line.size(), MSG_DONTWAIT);
  if (got < 0) return false;
  line.resize(static_cast<std::size_t>(got));
  return true;
}

void TraceReceiver::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  ::unlink(path_.c_str());
  path_.clear();
}

}  // namespace plat
