// Why an open failed reaches the error report: a folder, a FIFO, a link, a
// file held by another program and a missing permission each give their own
// error of the OS layer and their own language text, with the number 5 (32
// for the held file) that the system's reports have always shown.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "platform/shared_file.h"
#include "testbaum.h"

namespace {

using Fehlergrund = Testbaum;

// Opens `pfad` for reading as a non-privileged user would (root passes
// every permission check): in a child process that has dropped to "nobody".
plat::Err alsNiemandOeffnen(const std::string& pfad) {
  if (::geteuid() != 0) {
    plat::SharedFile f;
    return f.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting);
  }
  const pid_t kind = ::fork();
  if (kind == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    plat::SharedFile f;
    const plat::Err e =
        f.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting);
    ::_exit(e == plat::Err::accessDenied ? 0 : 1);
  }
  int status = 0;
  ::waitpid(kind, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? plat::Err::accessDenied
                                                       : plat::Err::unknown;
}

TEST_F(Fehlergrund, JederGrundHatSeineMeldung) {
  std::filesystem::create_directories(wurzel_ / "ziel" / "ordner");
  ASSERT_EQ(::mkfifo((wurzel_ / "ziel" / "fifo").c_str(), 0666), 0);
  schreiben("ziel/echt.txt", "x\r\n");
  std::filesystem::create_symlink(wurzel_ / "ziel" / "echt.txt", wurzel_ / "ziel" / "link.txt");
  schreiben("ziel/gehalten.txt", "x\r\n");
  schreiben("ziel/gesperrt.txt", "x\r\n");
  std::filesystem::permissions(wurzel_ / "ziel" / "gesperrt.txt", std::filesystem::perms::none);
  plat::SharedFile halter;
  ASSERT_EQ(halter.open(sys("ziel/gehalten.txt"), plat::Access::readWrite, plat::Share::exclusive,
                        plat::Disposition::openExisting),
            plat::Err::ok);

  struct Fall {
    const char* name;
    plat::Err grund;
    int nummer;  // shown in the report
    int text;    // language text of the reason
  };
  const Fall faelle[] = {{"ordner", plat::Err::isFolder, 5, 180},
                         {"fifo", plat::Err::notAFile, 5, 181},
                         {"link.txt", plat::Err::isLink, 5, 182},
                         {"gesperrt.txt", plat::Err::accessDenied, 5, 183},
                         {"gehalten.txt", plat::Err::sharingViolation, 32, 2584}};
  for (const Fall& f : faelle) {
    const std::string pfad = sys(std::string("ziel/") + f.name);
    plat::Err e = plat::Err::ok;
    if (f.grund == plat::Err::accessDenied) {
      e = alsNiemandOeffnen(pfad);
    } else {
      plat::SharedFile datei;
      e = datei.open(pfad, plat::Access::read, plat::Share::denyWrite,
                     plat::Disposition::openExisting);
    }
    EXPECT_EQ(e, f.grund) << f.name;
    vk::clearRecordedMessages();
    vk::Fehlermeldung(e, pfad);
    ASSERT_EQ(vk::recordedMessages().size(), 1u) << f.name;
    EXPECT_EQ(vk::recordedMessages()[0].text, vk::Text(105) + " " + std::to_string(f.nummer) + " " +
                                                  pfad + " :\r" + vk::Text(f.text))
        << f.name;
  }
  // The five reasons read differently, in the server's German log too.
  std::set<std::string> texte;
  for (const Fall& f : faelle)
    texte.insert(plat::errText(f.grund));
  EXPECT_EQ(texte.size(), std::size(faelle));
}

}  // namespace
