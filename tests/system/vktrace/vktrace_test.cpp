// The trace viewer prints what it receives as UTF-8 with a time stamp, logs
// it in cp1252 with CR LF, ends cleanly on SIGTERM, and says why it cannot bind.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <regex>

#include "platform/system.h"
#include "platform/trace.h"
#include "tests/support/baum.h"

using namespace plat;

namespace {

// Looks for the viewer on the socket of the environment until it answers.
bool findViewer() {
  return vktest::warteBis([] {
    traceReset();
    traceInit();
    return traceActive();
  });
}

// The text with each line's time stamp ("2026-12-06 18:47:01.123 ") as "|".
std::string marked(const std::string& text) {
  static const std::regex stamp("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ",
                                std::regex::multiline);
  return std::regex_replace(text, stamp, "|");
}

TEST(Vktrace, LogsPrintsEndsCleanlyAndSaysWhyItCannotListen) {
  vktest::Baum tree;
  const std::string sock = tree.pfad("trace.sock");
  tree.env("VOKARIUM_TRACE_SOCKET", sock.c_str());
  tree.schreiben("trace.log", "alte Zeile\r\n");
  vktest::Prozess p;
  p.start(tree.wurzel, {VKTRACE_PATH, "-o", tree.pfad("trace.log")});
  ASSERT_TRUE(findViewer());
  traceSend("Pool: Chirurgie");
  traceSend("Wort: M\xE4rz");
  traceSend("");
  vktest::warteBis([&] {
    const std::string log = tree.lesen("trace.log");
    return std::count(log.begin(), log.end(), '\n') >= 4;
  });
  p.signal(SIGTERM);
  EXPECT_EQ(p.ende(), 0);
  EXPECT_FALSE(std::filesystem::exists(sock));
  EXPECT_EQ(marked(tree.lesen("trace.log")),
            "alte Zeile\r\n|Pool: Chirurgie\r\n|Wort: M\xE4rz\r\n|\r\n");
  EXPECT_EQ(marked(p.ausgabe()), "|Pool: Chirurgie\n|Wort: M\xC3\xA4rz\n|\n");

  // A socket in a folder that does not exist: said in one language, without a system error number.
  vktest::Prozess fehlt;
  fehlt.start(tree.wurzel, {VKTRACE_PATH, "-q", "-s", tree.pfad("fehlt/trace.sock")});
  EXPECT_EQ(fehlt.ende(), 3);
  EXPECT_EQ(fehlt.fehler(), "vktrace: cannot listen on " + tree.pfad("fehlt/trace.sock") +
                                ": its folder does not exist.\n");
}

}  // namespace
