// Why an open failed reaches the error report: each reason has its own OS
// layer error and language text, with the number 5 (32 for a held file).
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "testbaum.h"

namespace {

using Fehlergrund = Testbaum;

// Opens `pfad` for reading; with `alsNiemand` as a non-privileged user
// would (root passes every permission check): in a child process that has
// dropped to "nobody", which can only tell whether it was refused.
plat::Err lesend(const std::string& pfad, bool alsNiemand) {
  const auto oeffnen = [&] {
    plat::SharedFile f;
    return f.open(pfad, plat::Access::read, plat::Share::denyWrite,
                  plat::Disposition::openExisting);
  };
  if (!alsNiemand || ::geteuid() != 0) return oeffnen();
  const pid_t kind = ::fork();
  if (kind == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    ::_exit(oeffnen() == plat::Err::accessDenied ? 0 : 1);
  }
  int status = 0;
  ::waitpid(kind, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? plat::Err::accessDenied
                                                       : plat::Err::unknown;
}

TEST_F(Fehlergrund, JederGrundHatSeineMeldung) {
  std::filesystem::create_directories(wurzel_ / "ziel/ordner");
  ASSERT_EQ(::mkfifo((wurzel_ / "ziel/fifo").c_str(), 0666), 0);
  schreiben("ziel/echt.txt", "x\r\n");
  std::filesystem::create_symlink(wurzel_ / "ziel/echt.txt", wurzel_ / "ziel/link.txt");
  schreiben("ziel/gehalten.txt", "x\r\n");
  schreiben("ziel/gesperrt.txt", "x\r\n");
  std::filesystem::permissions(wurzel_ / "ziel/gesperrt.txt", std::filesystem::perms::none);
  plat::SharedFile halter;
  ASSERT_EQ(halten(halter, "ziel/gehalten.txt"), plat::Err::ok);
  const struct {
    const char* name;
    plat::Err grund;
    int nummer;  // shown in the report
    int text;    // language text of the reason
  } faelle[] = {{"ordner", plat::Err::isFolder, 5, 180},
                {"fifo", plat::Err::notAFile, 5, 181},
                {"link.txt", plat::Err::isLink, 5, 182},
                {"gesperrt.txt", plat::Err::accessDenied, 5, 183},
                {"gehalten.txt", plat::Err::sharingViolation, 32, 2584}};
  std::set<std::string> texte;
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    const std::string pfad = sys(std::string("ziel/") + f.name);
    const plat::Err e = lesend(pfad, f.grund == plat::Err::accessDenied);
    EXPECT_EQ(e, f.grund);
    vk::clearRecordedMessages();
    vk::Fehlermeldung(e, pfad);
    EXPECT_EQ(meldungen(), vk::Text(105) + " " + std::to_string(f.nummer) + " " + pfad + " :\r" +
                               vk::Text(f.text) + "\n");
    texte.insert(plat::errText(f.grund));  // the server's German log tells them apart too
  }
  EXPECT_EQ(texte.size(), std::size(faelle));
}

}  // namespace
