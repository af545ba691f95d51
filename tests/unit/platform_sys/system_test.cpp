// Machine and process services: processes, desktop launchers, command lines,
// workstation name and language.
#include <gtest/gtest.h>
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

// Exit codes (a signal as 128 + its number), a wait that polls, a reaped
// process never taken for another; ".exe" names; arguments arrive intact.
TEST(Process, ExitCodesWaitingNamesAndArguments) {
  vktest::Baum tree;
  int code = -1;
  ASSERT_EQ(runProgram("\\bin\\sh", {"-c", "kill -TERM $$"}, code), Err::ok);
  EXPECT_EQ(code, 128 + 15);
  Process p;
  const char* loop = "while [ ! -e \"$0\" ]; do sleep 0.01; done; exit 3";
  ASSERT_EQ(startProcess("sh", {"-c", loop, tree.pfad("weiter")}, p), Err::ok);
  EXPECT_EQ(waitProcess(p, 20, code), ProcessState::running);
  tree.schreiben("weiter", "");
  EXPECT_EQ(waitProcess(p, 60000, code), ProcessState::exited);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(waitProcess(p, 0, code), ProcessState::failed);

  script(tree, "Pr\xC3\xBC\x66ung/vkHelfer", "exit 5");
  ASSERT_EQ(runProgram(tree.sys() + "\\Pr\xFC\x66ung\\vkHelfer.EXE", {}, code), Err::ok);
  EXPECT_EQ(code, 5);
  EXPECT_EQ(startProcess(tree.sys("fehlt.exe"), {}, p), Err::notFound);
  const char* dump = "for a in \"$@\"; do printf '%s|' \"$a\"; done > \"$0\"";
  ASSERT_EQ(runProgram("sh.exe",
                       {"-c", dump, tree.pfad("args"), "Pool 1", "M\xE4rz", "", "\"q\" *"}, code),
            Err::ok);
  EXPECT_EQ(tree.lesen("args"), "Pool 1|M\xC3\xA4rz||\"q\" *|");
}

// The launcher is also marked trusted through "gio" where there is one; a
// gio that hangs leaves it written all the same.
TEST(DesktopLauncher, WritesAQuotedExecutableEntryAndReplacesTheOldOne) {
  vktest::Baum tree;
  script(tree, "Mein Ordner/start.exe", "exit 0");
  script(tree, "pfad/gio",  // marks the first time, hangs the second
         "[ -e \"$0.args\" ] && exec /bin/sleep 60; printf '%s|' \"$@\" > \"$0.args\"");
  tree.env("PATH", tree.pfad("pfad").c_str());
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
  EXPECT_EQ(fs::status(tree.pfad(file)).permissions(), static_cast<fs::perms>(0755));
  EXPECT_EQ(tree.lesen("pfad/gio.args"), "set|" + tree.pfad(file) + "|metadata::trusted|true|");
  EXPECT_EQ(std::distance(fs::directory_iterator(tree.wurzel), fs::directory_iterator()), 3);
  link.fileName = "..\\boese.desktop";
  EXPECT_EQ(writeDesktopLauncher(tree.sys("Mein Ordner"), link), Err::invalidName);
}

TEST(DesktopLauncher, FolderAsTheUserDirectoriesNameIt) {
  vktest::Baum tree;
  tree.env("XDG_DESKTOP_DIR", nullptr);
  tree.env("HOME", tree.pfad("home").c_str());
  tree.env("XDG_CONFIG_HOME", tree.pfad("cfg").c_str());
  const std::string home = tree.pfad("home");
  for (const auto& [dirs, desktop] : std::vector<std::pair<const char*, std::string>>{
           {nullptr, home + "/Desktop"},
           {"# xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
            "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n",
            home + "/Schreibtisch"},
           {"XDG_DESKTOP_DIR=\"relativ\"\n", home + "/Desktop"},
           {"  XDG_DESKTOP_DIR=\"$HOME/Alt\"\nXDG_DESKTOP_DIR=\"$HOME/Neu\"", home + "/Neu"}}) {
    if (dirs != nullptr) tree.schreiben("cfg/user-dirs.dirs", dirs);
    EXPECT_EQ(desktopDirectory(), withBackslash(systemPath(desktop))) << (dirs ? dirs : "");
  }
  // The variable wins over the file.
  tree.env("XDG_DESKTOP_DIR", tree.pfad("eigen").c_str());
  EXPECT_EQ(desktopDirectory(), withBackslash(tree.sys("eigen")));
}

TEST(CommandLine, SplitsAtBlanksAndDropsQuotes) {
  using V = std::vector<std::string>;
  EXPECT_EQ(splitCommandLine("-u \"Dr. Meier\"  a\"b c\"d\t-p \"\" \"offen"),
            (V{"-u", "Dr. Meier", "ab cd", "-p", "", "offen"}));
  EXPECT_TRUE(splitCommandLine(" \t ").empty());
}

TEST(Machine, WorkstationNameAndLanguage) {
  vktest::Baum tree;
  tree.env("CLIENTNAME", ("B\xC3\xBC" + std::string(80, 'w')).c_str());
  EXPECT_EQ(workstationName(), "B\xFC" + std::string(62, 'w'));
  char host[256] = {};
  ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
  tree.env("CLIENTNAME", "");
  EXPECT_EQ(workstationName(), std::string(host).substr(0, 64));

  // LC_ALL before LC_MESSAGES before LANG; unknown or "C" is English.
  struct Case {
    const char *all, *messages, *lang;
    int id;
  };
  for (const Case& c : {Case{"", "", "es_ES.UTF-8", 0x0A},
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
