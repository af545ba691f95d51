// The trace viewer as a program: it receives what a traced program sends,
// prints it as UTF-8 with a time stamp, appends it to its log file in
// cp1252 with CR LF, ends cleanly on SIGTERM and removes its socket; it
// fails with a non-zero exit code when it cannot bind.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "platform/system.h"
#include "platform/trace.h"
#include "temp_tree.h"

using namespace plat;

namespace {

// Looks for the viewer until it answers (it needs a moment to bind).
bool findViewer() {
  for (int i = 0; i < 1000; ++i) {
    traceReset();
    traceInit();
    if (traceActive()) return true;
    sleepMs(10);
  }
  return false;
}

// The text with each line's time stamp ("2026-12-06 18:47:01.123 ") turned
// into "|"; lines without one stay as they are.
std::string marked(const std::string& text) {
  static const std::string shape = "dddd-dd-dd dd:dd:dd.ddd ";
  std::string out;
  for (std::size_t pos = 0, end = 0; pos < text.size(); pos = end) {
    end = std::min(text.find('\n', pos), text.size() - 1) + 1;
    std::string line = text.substr(pos, end - pos);
    bool stamped = line.size() > shape.size() &&
                   std::equal(shape.begin(), shape.end(), line.begin(), [](char s, char c) {
                     return s == 'd' ? (c >= '0' && c <= '9') : s == c;
                   });
    out += stamped ? "|" + line.substr(shape.size()) : line;
  }
  return out;
}

TEST(Vktrace, LogsPrintsAndEndsCleanlyOnSigterm) {
  TempTree tree;
  const std::string sock = tree.path("trace.sock");
  tree.env("VOKARIUM_TRACE_SOCKET", sock.c_str());
  tree.write("trace.log", "alte Zeile\r\n");
  Process p;
  ASSERT_EQ(startProcess("\\bin\\sh",
                         {"-c", "exec \"$0\" -o \"$1\" > \"$2\"", VKTRACE_PATH,
                          tree.path("trace.log"), tree.path("out.txt")},
                         p),
            Err::ok);
  const int pid = p.pid;
  ASSERT_TRUE(findViewer());

  traceSend("Pool: Chirurgie");
  traceSend("Wort: M\xE4rz");
  traceSend("");
  std::string log;
  for (int i = 0; i < 1000 && std::count(log.begin(), log.end(), '\n') < 4; ++i) {
    sleepMs(10);
    log = tree.read("trace.log");
  }
  ASSERT_EQ(::kill(pid, SIGTERM), 0);
  int code = -1;
  ASSERT_EQ(waitProcess(p, 30000, code), ProcessState::exited);
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(std::filesystem::exists(sock));

  EXPECT_EQ(marked(tree.read("trace.log")),
            "alte Zeile\r\n|Pool: Chirurgie\r\n|Wort: M\xE4rz\r\n|\r\n");
  EXPECT_EQ(marked(tree.read("out.txt")), "|Pool: Chirurgie\n|Wort: M\xC3\xA4rz\n|\n");
}

TEST(Vktrace, FailsWhenItCannotBind) {
  TempTree tree;
  int code = 0;
  ASSERT_EQ(runProgram(VKTRACE_PATH, {"-q", "-s", tree.path("fehlt/trace.sock")}, code), Err::ok);
  EXPECT_NE(code, 0);
}

}  // namespace
