// Machine and process services: exit codes, waiting and polling, ".exe"
// names, arguments that must arrive intact; desktop launchers and the
// quoting of their Exec line; command-line splitting; workstation name and
// language id.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/paths.h"
#include "platform/system.h"
#include "tests/support/baum.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

void script(const vktest::Baum& tree, const std::string& rel, const std::string& body) {
  tree.schreiben(rel, "#!/bin/sh\n" + body + "\n");
  fs::permissions(tree.pfad(rel), fs::perms::owner_all);
}

TEST(Process, ExitCodesWaitingAndPolling) {
  vktest::Baum tree;
  int code = -1;
  ASSERT_EQ(runProgram("\\bin\\sh", {"-c", "exit 7"}, code), Err::ok);
  EXPECT_EQ(code, 7);
  ASSERT_EQ(runProgram("\\bin\\sh", {"-c", "kill -TERM $$"}, code), Err::ok);
  EXPECT_EQ(code, 128 + 15);

  Process p;
  const char* loop = "while [ ! -e \"$0\" ]; do sleep 0.01; done; exit 3";
  ASSERT_EQ(startProcess("sh", {"-c", loop, tree.pfad("weiter")}, p), Err::ok);
  EXPECT_EQ(waitProcess(p, 0, code), ProcessState::running);
  EXPECT_EQ(waitProcess(p, 20, code), ProcessState::running);
  tree.schreiben("weiter", "");
  EXPECT_EQ(waitProcess(p, 60000, code), ProcessState::exited);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(waitProcess(p, 0, code), ProcessState::failed);  // reaped: never another process
}

TEST(Process, ProgramNamesAndArguments) {
  vktest::Baum tree;
  script(tree, "Pr\xC3\xBC\x66ung/vkHelfer", "exit 5");
  int code = -1;
  ASSERT_EQ(runProgram(tree.sys() + "\\Pr\xFC\x66ung\\vkHelfer.EXE", {}, code), Err::ok);
  EXPECT_EQ(code, 5);
  ASSERT_EQ(runProgram("sh.exe", {"-c", "exit 4"}, code), Err::ok);
  EXPECT_EQ(code, 4);
  Process p;
  EXPECT_EQ(startProcess(tree.sys("fehlt.exe"), {}, p), Err::notFound);
  EXPECT_EQ(p.pid, -1);

  const char* dump = "for a in \"$@\"; do printf '%s|' \"$a\"; done > \"$0\"";
  ASSERT_EQ(
      runProgram("sh", {"-c", dump, tree.pfad("args"), "Pool 1", "M\xE4rz", "", "\"q\" *"}, code),
      Err::ok);
  EXPECT_EQ(tree.lesen("args"), "Pool 1|M\xC3\xA4rz||\"q\" *|");
}

TEST(DesktopLauncher, WritesAQuotedExecutableEntryAndReplacesTheOldOne) {
  vktest::Baum tree;
  fs::create_directory(tree.pfad("Mein Ordner"));
  script(tree, "Mein Ordner/start.exe", "exit 0");
  DesktopLauncher link{"Vokarium M\xFCller.desktop",
                       tree.sys("Mein Ordner\\start.exe"),
                       "-u \"M\xFCller\" \"a\\b $HOME 50%\" `x`",
                       tree.sys("bin\\"),
                       tree.sys("bin\\vk.ico"),
                       2,
                       "erste"};
  ASSERT_EQ(writeDesktopLauncher(tree.sys(), link), Err::ok);
  // A description of several lines is one line, each part trimmed.
  link.description = "f\xFCr \r\r alle\n";
  ASSERT_EQ(writeDesktopLauncher(tree.sys(), link), Err::ok);
  const std::string file = "Vokarium M\xC3\xBCller.desktop", bin = tree.pfad("bin");
  // Exec quoting first (\ $ ` escaped inside quotes, % doubled), then the
  // string escape of the file doubles every backslash once more.
  EXPECT_EQ(tree.lesen(file),
            "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Vokarium M\xC3\xBCller\n"
            "Comment=f\xC3\xBCr, alle\nExec=\"" +
                tree.pfad("Mein Ordner/start.exe") +
                "\" -u M\xC3\xBCller \"a\\\\\\\\b \\\\$HOME 50%%\" \"\\\\`x\\\\`\"\n"
                "Path=" +
                bin + "\nIcon=" + bin +
                "/vk.ico\nX-Vokarium-IconIndex=2\n"
                "Terminal=false\n");
  struct stat st {};
  ASSERT_EQ(::stat(tree.pfad(file).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  EXPECT_EQ(std::distance(fs::directory_iterator(tree.wurzel), fs::directory_iterator()), 2);
  link.fileName = "..\\boese.desktop";
  EXPECT_EQ(writeDesktopLauncher(tree.sys("Mein Ordner"), link), Err::invalidName);
}

// The launcher is asked to be marked trusted through "gio" where there is
// one; a missing, failing or hanging gio leaves the launcher written all
// the same.
TEST(DesktopLauncher, MarkedTrustedThroughGioWhateverGioDoes) {
  struct Fall {
    const char* name;
    const char* gio;  // body of the gio script; null: no gio at all
    bool gerufen;     // the arguments reach the script
  };
  for (const Fall& fall :
       {Fall{"no gio", nullptr, false}, Fall{"gio fails", "echo kaputt >&2; exit 1", false},
        Fall{"gio hangs", "exec /bin/sleep 60", false},
        Fall{"gio marks", "printf '%s|' \"$@\" > \"$0.args\"", true}}) {
    SCOPED_TRACE(fall.name);
    vktest::Baum tree;
    fs::create_directory(tree.pfad("pfad"));
    tree.env("PATH", tree.pfad("pfad").c_str());
    if (fall.gio != nullptr) script(tree, "pfad/gio", fall.gio);
    const DesktopLauncher link{"Start.desktop", "\\bin\\true", "", "", "", 0, ""};
    ASSERT_EQ(writeDesktopLauncher(tree.sys(), link), Err::ok);
    struct stat st {};
    ASSERT_EQ(::stat(tree.pfad("Start.desktop").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    if (fall.gerufen) {
      EXPECT_EQ(tree.lesen("pfad/gio.args"),
                "set|" + tree.pfad("Start.desktop") + "|metadata::trusted|true|");
    }
  }
}

TEST(DesktopLauncher, FolderAsTheUserDirectoriesNameIt) {
  vktest::Baum tree;
  tree.env("XDG_DESKTOP_DIR", nullptr);
  tree.env("HOME", tree.pfad("home").c_str());
  tree.env("XDG_CONFIG_HOME", tree.pfad("cfg").c_str());
  fs::create_directories(tree.pfad("cfg"));
  struct Case {
    const char* dirs;
    std::string desktop;
  };
  const std::string home = tree.pfad("home");
  for (const Case& c : {
           Case{nullptr, home + "/Desktop"},
           {"# xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
            "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n",
            home + "/Schreibtisch"},
           {"XDG_DESKTOP_DIR=\"/srv/Arbeits Fl\xC3\xA4"
            "che/\"",
            "/srv/Arbeits Fl\xC3\xA4"
            "che"},
           {"XDG_DESKTOP_DIR=\"$HOME\"\n", home},
           {"XDG_DESKTOP_DIR=\"relativ\"\nXDG_DESKTOP_DIR_X=\"/x\"\n", home + "/Desktop"},
           {"  XDG_DESKTOP_DIR=\"$HOME/Alt\"\nXDG_DESKTOP_DIR=\"$HOME/Neu\"", home + "/Neu"},
       }) {
    if (c.dirs != nullptr) tree.schreiben("cfg/user-dirs.dirs", c.dirs);
    EXPECT_EQ(desktopDirectory(), withBackslash(systemPath(c.desktop))) << (c.dirs ? c.dirs : "");
  }
  // The variable wins over the file.
  tree.env("XDG_DESKTOP_DIR", tree.pfad("eigen").c_str());
  EXPECT_EQ(desktopDirectory(), withBackslash(tree.sys("eigen")));
}

TEST(CommandLine, SplitsAtBlanksAndDropsQuotes) {
  using V = std::vector<std::string>;
  EXPECT_EQ(splitCommandLine("-u \"Dr. Meier\" -t  Allgemein\t-G"),
            (V{"-u", "Dr. Meier", "-t", "Allgemein", "-G"}));
  EXPECT_EQ(splitCommandLine("  a\"b c\"d  "), (V{"ab cd"}));
  EXPECT_EQ(splitCommandLine("-p \"\" \"offen"), (V{"-p", "", "offen"}));
  EXPECT_TRUE(splitCommandLine(" \t ").empty());
}

TEST(Machine, WorkstationNameAndLanguage) {
  vktest::Baum tree;
  tree.env("CLIENTNAME", "B\xC3\xBCro-07");
  EXPECT_EQ(workstationName(), "B\xFCro-07");
  tree.env("CLIENTNAME", std::string(80, 'w').c_str());
  EXPECT_EQ(workstationName(), std::string(64, 'w'));
  char host[256] = {};
  ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
  tree.env("CLIENTNAME", "");
  EXPECT_EQ(workstationName(), std::string(host).substr(0, 64));

  // LC_ALL before LC_MESSAGES before LANG; unknown or "C" is English.
  struct Case {
    const char *all, *messages, *lang;
    int id;
  };
  for (const Case& c : {Case{nullptr, nullptr, "de_DE.UTF-8", 0x07},
                        {"", "", "es_ES", 0x0A},
                        {nullptr, nullptr, "it_IT@euro", 0x10},
                        {nullptr, nullptr, nullptr, 0x09},
                        {"fr_FR", "it_IT", "de_DE", 0x0C},
                        {nullptr, "it_IT", "de_DE", 0x10},
                        {"C", nullptr, "de_DE", 0x09}}) {
    tree.env("LC_ALL", c.all);
    tree.env("LC_MESSAGES", c.messages);
    tree.env("LANG", c.lang);
    EXPECT_EQ(defaultLanguageId(), c.id) << (c.lang ? c.lang : "-");
  }
}

}  // namespace
