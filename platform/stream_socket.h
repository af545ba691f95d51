// A client's connection to a local stream socket (a Unix domain socket
// named by a native path), without blocking calls: connecting, writing and
// waiting take a time-out, reading takes what has arrived. A peer that ends
// or resets the connection is reported as gone, never as a signal (writes
// do not raise SIGPIPE). One owner per connection; not shared by threads.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

class StreamSocket {
 public:
  enum class Io { ok, timeout, gone };

  StreamSocket() = default;
  ~StreamSocket();
  StreamSocket(const StreamSocket&) = delete;
  StreamSocket& operator=(const StreamSocket&) = delete;

  // Connects to the socket at `path`, waiting at most `timeoutMs` while
  // the listener's queue is full. False when nobody listens there (no
  // socket, refused) or the time ran out; any old connection is closed first.
  bool connect(const std::string& path, int timeoutMs);
  bool connected() const { return fd_ >= 0; }
  // The descriptor, for an event loop that watches it; -1 when closed.
  int descriptor() const { return fd_; }
  void close();

  // Writes as much of `data` as the socket takes now; the number written.
  // gone when the peer has closed (nothing written).
  Io writeSome(std::string_view data, std::size_t& written);
  // Reads what has arrived, up to `room` bytes, into `buffer`: ok with
  // `got` bytes (0 when nothing is there), gone at the peer's end.
  Io readSome(char* buffer, std::size_t room, std::size_t& got);
  // Waits at most `timeoutMs` until something can be read (or the peer has
  // ended) and, with `forWriting`, until the socket takes more data: ok,
  // timeout, or gone when the connection broke.
  Io wait(int timeoutMs, bool forWriting);

 private:
  int fd_ = -1;
};

}  // namespace plat
