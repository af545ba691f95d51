// The trace viewer as a program: it receives what a traced program sends,
// prints it as UTF-8 with a time stamp, appends it to its log file in
// cp1252 with CR LF, ends cleanly on SIGTERM and removes its socket; it
// fails with a non-zero exit code when it cannot bind.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "platform/system.h"
#include "platform/trace.h"
#include "tests/support/baum.h"

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
  vktest::Baum tree;
  const std::string sock = tree.pfad("trace.sock");
  tree.env("VOKARIUM_TRACE_SOCKET", sock.c_str());
  tree.schreiben("trace.log", "alte Zeile\r\n");
  Process p;
  ASSERT_EQ(startProcess("\\bin\\sh",
                         {"-c", "exec \"$0\" -o \"$1\" > \"$2\"", VKTRACE_PATH,
                          tree.pfad("trace.log"), tree.pfad("out.txt")},
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
    log = tree.lesen("trace.log");
  }
  ASSERT_EQ(::kill(pid, SIGTERM), 0);
  int code = -1;
  ASSERT_EQ(waitProcess(p, 30000, code), ProcessState::exited);
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(std::filesystem::exists(sock));

  EXPECT_EQ(marked(tree.lesen("trace.log")),
            "alte Zeile\r\n|Pool: Chirurgie\r\n|Wort: M\xE4rz\r\n|\r\n");
  EXPECT_EQ(marked(tree.lesen("out.txt")), "|Pool: Chirurgie\n|Wort: M\xC3\xA4rz\n|\n");
}

// Runs the viewer with `args` to its end.
vktest::Lauf viewer(std::vector<std::string> args) {
  args.insert(args.begin(), VKTRACE_PATH);
  return vktest::ausfuehren(args);
}

TEST(Vktrace, FailsWhenItCannotBindAndSaysWhy) {
  vktest::Baum tree;
  auto lauf = viewer({"-q", "-s", tree.pfad("fehlt/trace.sock")});
  EXPECT_EQ(lauf.code, 3);
  EXPECT_EQ(lauf.fehler, "vktrace: cannot listen on " + tree.pfad("fehlt/trace.sock") +
                             ": its folder does not exist.\n");

  // A second viewer on the socket of a running one: said in one language,
  // without a system error number.
  const std::string sock = tree.pfad("trace.sock");
  Process first;
  ASSERT_EQ(startProcess(VKTRACE_PATH, {"-q", "-s", sock}, first), Err::ok);
  tree.env("VOKARIUM_TRACE_SOCKET", sock.c_str());
  ASSERT_TRUE(findViewer());
  lauf = viewer({"-q", "-s", sock});
  EXPECT_EQ(lauf.code, 3);
  EXPECT_EQ(lauf.fehler, "vktrace: another trace viewer is already running on " + sock +
                             ".\nEnd it first (Ctrl+C in its terminal), or give this one "
                             "another socket with -s.\n");
  ::kill(first.pid, SIGTERM);
  int code = -1;
  EXPECT_EQ(waitProcess(first, 10000, code), ProcessState::exited);
  EXPECT_EQ(code, 0);
}

TEST(Vktrace, HelpPrintsTheUsageAndSucceeds) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, {"-h"}, {"-q", "--help"}}) {
    const auto lauf = viewer(args);
    EXPECT_EQ(lauf.code, 0) << args.back();
    EXPECT_EQ(lauf.ausgabe.rfind("usage: vktrace [-s SOCKET] [-o LOGFILE] [-q]\n", 0), 0u)
        << args.back();
    EXPECT_EQ(lauf.fehler, "");
  }
  const auto lauf = viewer({"-x"});
  EXPECT_EQ(lauf.code, 2);
  EXPECT_EQ(lauf.fehler.rfind("usage: vktrace", 0), 0u);
}

}  // namespace
