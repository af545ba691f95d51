// Trace transport: lines reach the viewer found at the lookup, or are lost
// without harm to the sender.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/trace.h"
#include "tests/support/baum.h"

using namespace plat;

namespace {

class Trace : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.env("VOKARIUM_TRACE_SOCKET", sock.c_str());
    traceReset();
  }
  void TearDown() override { traceReset(); }
  // The next line within a short wait, or "<none>".
  static std::string next(TraceReceiver& r, int ms = 50) {
    std::string line;
    return r.receive(line, ms) ? line : "<none>";
  }
  vktest::Baum tree;
  std::string sock = tree.pfad("trace.sock");
};

TEST_F(Trace, TheViewerIsLookedUpOncePerRunAndSilentlyMissed) {
  tree.schreiben("trace.sock", "x");  // no socket at the path
  traceInit();
  EXPECT_FALSE(traceActive());
  traceSend("niemand hoert zu");
  EXPECT_EQ(tree.lesen("trace.sock"), "x");
  std::filesystem::remove(sock);
  TraceReceiver r;
  ASSERT_EQ(r.bind(), Err::ok);
  traceSend("zu frueh");
  EXPECT_EQ(next(r), "<none>");
  traceReset();
  traceInit();
  traceSend("jetzt");
  EXPECT_EQ(next(r, 5000), "jetzt");
  r.close();  // the viewer ends: lines are lost, the sender lives on
  for (int i = 0; i < 100; ++i)
    traceSend("ins Leere");
  TraceReceiver again;  // a new viewer is not the one found at the lookup
  ASSERT_EQ(again.bind(), Err::ok);
  traceSend("an den alten");
  EXPECT_EQ(next(again), "<none>");
}

// The receiver gets exactly the lines sent, whatever bytes they hold.
TEST_F(Trace, BindReplacesAStaleSocketButNoLiveViewerOrForeignFile) {
  int stale = ::socket(AF_UNIX, SOCK_DGRAM, 0);  // left by a viewer that died
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, sock.c_str(), sock.size());
  ASSERT_EQ(::bind(stale, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
  ::close(stale);

  TraceReceiver first, second;
  ASSERT_EQ(first.bind(), Err::ok);
  EXPECT_EQ(second.bind(), Err::alreadyExists);
  traceInit();
  for (const std::string& l : {std::string("M\xE4rz \x80\x81"), std::string(),
                               std::string(100000, 'L'), std::string("a\r\nb")}) {
    traceSend(l);
    EXPECT_EQ(next(first, 5000), l);
  }
  tree.schreiben("datei", "bleibt");
  EXPECT_EQ(second.bind(tree.pfad("datei")), Err::alreadyExists);
  EXPECT_EQ(tree.lesen("datei"), "bleibt");
  EXPECT_NE(second.bind(tree.pfad("fehlt/trace.sock")), Err::ok);
}

}  // namespace
