// The OS layer's stream socket against a plain listener in the test; its
// round trip is what the recognizer's clients use in their system tests.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/stream_socket.h"
#include "tests/support/baum.h"

namespace {

using Io = plat::StreamSocket::Io;

TEST(StreamSocket, NoBlockTimeoutAndAPeerThatHasGone) {
  vktest::Baum t;
  const std::string path = t.pfad("s");
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::memcpy(a.sun_path, path.c_str(), path.size() + 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)), 0);
  ASSERT_EQ(listen(fd, 4), 0);

  plat::StreamSocket s;
  EXPECT_FALSE(s.connect(path + "x", 100));
  ASSERT_TRUE(s.connect(path, 100));
  const int peer = accept(fd, nullptr, nullptr);
  std::size_t n = 0;
  char got[16] = {};
  ASSERT_EQ(s.readSome(got, sizeof got, n), Io::ok);
  EXPECT_EQ(n, 0u) << "nothing there yet, and no block";
  EXPECT_EQ(s.wait(20, false), Io::timeout);

  close(peer);
  ASSERT_EQ(s.wait(1000, false), Io::ok);
  EXPECT_EQ(s.readSome(got, sizeof got, n), Io::gone);
  Io w = Io::ok;
  for (int i = 0; i < 3 && w == Io::ok; ++i)
    w = s.writeSome("x", n);
  EXPECT_EQ(w, Io::gone);
  s.close();
  EXPECT_EQ(s.wait(0, false), Io::gone);
  close(fd);
}

}  // namespace
