// Unix domain stream sockets for StreamSocket: non-blocking descriptors,
// poll() for every wait, MSG_NOSIGNAL on every send. A connect refused
// because the listener's queue is full (EAGAIN) is retried until the time
// runs out; a missing or refused socket fails at once.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/stream_socket.h"

namespace plat {

StreamSocket::~StreamSocket() {
  close();
}

void StreamSocket::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool StreamSocket::connect(const std::string& path, int timeoutMs) {
  close();
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(addr.sun_path)) return false;
  std::memcpy(addr.sun_path, path.data(), path.size());
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) == 0) break;
    bool full = errno == EAGAIN || errno == EINTR;
    if (!full || std::chrono::steady_clock::now() >= until) {
      ::close(fd);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  fd_ = fd;
  return true;
}

StreamSocket::Io StreamSocket::writeSome(std::string_view data, std::size_t& written) {
  written = 0;
  if (fd_ < 0) return Io::gone;
  for (;;) {
    ssize_t n = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n >= 0) {
      written = static_cast<std::size_t>(n);
      return Io::ok;
    }
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK ? Io::ok : Io::gone;
  }
}

StreamSocket::Io StreamSocket::readSome(char* buffer, std::size_t room, std::size_t& got) {
  got = 0;
  if (fd_ < 0) return Io::gone;
  for (;;) {
    ssize_t n = ::recv(fd_, buffer, room, MSG_DONTWAIT);
    if (n > 0) {
      got = static_cast<std::size_t>(n);
      return Io::ok;
    }
    if (n == 0) return room == 0 ? Io::ok : Io::gone;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK ? Io::ok : Io::gone;
  }
}

StreamSocket::Io StreamSocket::wait(int timeoutMs, bool forWriting) {
  if (fd_ < 0) return Io::gone;
  pollfd p{fd_, static_cast<short>(POLLIN | (forWriting ? POLLOUT : 0)), 0};
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    int n = ::poll(&p, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
    if (n > 0) return (p.revents & (POLLIN | POLLOUT | POLLHUP)) != 0 ? Io::ok : Io::gone;
    if (n == 0) return Io::timeout;
    if (errno != EINTR) return Io::gone;
  }
}

}  // namespace plat
