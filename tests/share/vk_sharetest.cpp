// Measurements on a real shared drive, run by the harness inside its
// virtual machine (never by ctest). Each takes two folders that name one
// shared folder through two ways (two mounts, or the file server's own
// folder and a mount) and prints one result line:
//   matrix HOLDER OTHER  - for every pair of share modes, a child process
//                          holds the file through HOLDER while OTHER opens
//                          it; "yes" when each pair is refused or granted
//                          as on a local disk, else the pairs that differ
//   claim HOLDER OTHER MS - OTHER opens the text, HOLDER claims it (lock,
//                          rename, let go) before OTHER's lock, OTHER
//                          waits MS and appends: "safe" when the line went
//                          into a new text, "LOST" when into the claim;
//                          plus what each way of checking the name said
// Exit code 2 on a usage or set-up error; the results are in the output.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"

namespace {

using plat::Access;
using plat::Disposition;
using plat::Err;
using plat::Share;

struct Mode {
  Share share;
  const char* name;
};
const Mode kModes[] = {
    {Share::exclusive, "exclusive"}, {Share::denyWrite, "denyWrite"}, {Share::shared, "shared"}};

std::string file(const std::string& dir, const std::string& name) {
  return plat::withBackslash(plat::systemPath(dir)) + name;
}

// Waits until `path` is visible (a fresh name on a network file system).
bool visible(const std::string& path) {
  for (int i = 0; i < 100; ++i) {
    if (plat::fileExists(path)) return true;
    plat::sleepMs(50);
  }
  return false;
}

int matrix(const std::string& holderDir, const std::string& otherDir) {
  std::vector<std::string> differ;
  int n = 0;
  for (const Mode& h : kModes) {
    for (const Mode& o : kModes) {
      const std::string name = "matrix-" + std::to_string(n++) + ".txt";
      {
        plat::SharedFile f;
        if (f.open(file(holderDir, name), Access::readWrite, Share::exclusive,
                   Disposition::openAlways) != Err::ok ||
            f.append("x\r\n") != Err::ok) {
          std::printf("matrix: cannot create %s\n", name.c_str());
          return 2;
        }
      }
      if (!visible(file(otherDir, name))) {
        std::printf("matrix: %s not visible on the other side\n", name.c_str());
        return 2;
      }
      int ready[2], release[2];
      if (::pipe(ready) != 0 || ::pipe(release) != 0) return 2;
      const pid_t child = ::fork();
      if (child == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        plat::SharedFile f;
        const Err e =
            f.open(file(holderDir, name), Access::readWrite, h.share, Disposition::openExisting);
        const char c = e == Err::ok ? '1' : '0';
        static_cast<void>(::write(ready[1], &c, 1));
        char x;
        static_cast<void>(::read(release[0], &x, 1));
        ::_exit(0);
      }
      ::close(ready[1]);
      ::close(release[0]);
      char c = '0';
      static_cast<void>(::read(ready[0], &c, 1));
      ::close(ready[0]);
      std::string verdict;
      if (c != '1') {
        verdict = "holder's open failed";
      } else {
        plat::SharedFile f;
        const Err e =
            f.open(file(otherDir, name), Access::read, o.share, Disposition::openExisting);
        const bool expectRefused = h.share == Share::exclusive || o.share == Share::exclusive;
        if (e == Err::ok && expectRefused) verdict = "granted";
        if (plat::heldByOther(e) && !expectRefused) verdict = "refused";
        if (e != Err::ok && !plat::heldByOther(e))
          verdict = "error " + std::to_string(plat::code(e));
      }
      ::close(release[1]);
      ::waitpid(child, nullptr, 0);
      if (!verdict.empty())
        differ.push_back(std::string(o.name) + " vs held " + h.name + ": " + verdict);
    }
  }
  if (differ.empty()) {
    std::printf("yes\n");
  } else {
    std::string s;
    for (const std::string& d : differ)
      s += (s.empty() ? "" : "; ") + d;
    std::printf("no (%s)\n", s.c_str());
  }
  return 0;
}

bool sameIno(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// What several ways of asking "does the path still name this file" answer
// for the held descriptor: "same" (wrong after a claim) or "gone".
std::string nameChecks(int fd, const std::string& nativePath, const std::string& nativeDir,
                       const std::string& leaf) {
  struct stat held {};
  ::fstat(fd, &held);
  std::string r;
  struct stat ps {};
  r += std::string(" stat=") +
       (::stat(nativePath.c_str(), &ps) == 0 && sameIno(held, ps) ? "same" : "gone");
  struct statx sx {};
  const bool fx = ::statx(AT_FDCWD, nativePath.c_str(), AT_STATX_FORCE_SYNC, STATX_INO, &sx) == 0;
  r += std::string(" statx_sync=") + (fx && sx.stx_ino == held.st_ino ? "same" : "gone");
  const int nfd = ::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  struct stat ns {};
  const bool fo = nfd >= 0 && ::fstat(nfd, &ns) == 0 && sameIno(held, ns);
  if (nfd >= 0) ::close(nfd);
  r += std::string(" reopen=") + (fo ? "same" : "gone");
  bool listed = false;
  if (DIR* d = ::opendir(nativeDir.c_str())) {
    while (dirent* e = ::readdir(d))
      if (leaf == e->d_name) listed = e->d_ino == held.st_ino;
    ::closedir(d);
  }
  r += std::string(" readdir=") + (listed ? "same" : "gone");
  return r;
}

// Makes the text afresh through HOLDER and waits until OTHER sees it.
bool freshText(const std::string& holderDir, const std::string& otherDir, const std::string& text) {
  plat::SharedFile f;
  if (f.open(file(holderDir, text), Access::readWrite, Share::exclusive,
             Disposition::createAlways) != Err::ok ||
      f.append("server\r\n") != Err::ok)
    return false;
  f.close();
  return visible(file(otherDir, text));
}

// The server's claim: lock, rename to the claim name, let go.
bool claimText(const std::string& holderDir, const std::string& text) {
  plat::SharedFile h;
  // A local open meets the NFS server's delegation of the file: held by
  // another until the client gives it back, so tried again as the server does.
  return h.openRetrying(file(holderDir, text), Access::readWrite, Share::exclusive,
                        Disposition::openExisting, 100, 100) == Err::ok &&
         h.renameTo(file(holderDir, text + ".claimed")) == Err::ok;
}

int claim(const std::string& holderDir, const std::string& otherDir, int waitMs) {
  const std::string text = "claim-" + std::to_string(waitMs) + ".txt";
  // First the OS layer's own open and append.
  if (!freshText(holderDir, otherDir, text)) return 2;
  bool claimed = false;
  int attempts = 1;
  std::function<void()> count = [&] {
    ++attempts;
    plat::setOpenPause(count);
  };
  plat::setOpenPause([&] {
    claimed = claimText(holderDir, text);
    plat::sleepMs(waitMs);
    plat::setOpenPause(count);
  });
  plat::SharedFile w;
  Err e =
      w.open(file(otherDir, text), Access::readWrite, Share::exclusive, Disposition::openAlways);
  plat::setOpenPause(nullptr);
  if (!claimed || e != Err::ok) {
    std::printf("claim: set-up failed (claim %d, open %d)\n", claimed ? 1 : 0, plat::code(e));
    return 2;
  }
  e = w.append("workstation\r\n");
  w.close();
  std::string inClaim;
  {
    plat::SharedFile c;
    if (c.open(file(holderDir, text + ".claimed"), Access::read, Share::denyWrite,
               Disposition::openExisting) != Err::ok ||
        c.readAll(inClaim) != Err::ok)
      return 2;
  }
  const bool lost = inClaim.find("workstation") != std::string::npos;
  plat::ignoreErr(plat::removeFile(file(holderDir, text + ".claimed")),
                  "the next round starts afresh");
  // Then what each way of checking the name says in the same race, for a
  // plain open and for one with the OS layer's flags.
  const std::string nd = plat::nativePath(plat::systemPath(otherDir));
  const std::string np = nd + "/" + text;
  std::string checks;
  for (const int flags :
       {O_RDWR | O_CLOEXEC, O_RDWR | O_CLOEXEC | O_CREAT | O_NONBLOCK | O_NOFOLLOW}) {
    if (!freshText(holderDir, otherDir, text)) return 2;
    const int fd = ::open(np.c_str(), flags, 0666);
    if (fd < 0 || !claimText(holderDir, text)) return 2;
    plat::sleepMs(waitMs);
    const Err le = plat::lockDescriptor(fd, true);
    checks += std::string(flags & O_CREAT ? " | O_CREAT:" : " plain:") + " lock " +
              std::to_string(plat::code(le)) + nameChecks(fd, np, nd, text);
    ::close(fd);
    plat::ignoreErr(plat::removeFile(file(holderDir, text + ".claimed")),
                    "the next round starts afresh");
  }
  std::printf("%s (opens %d;%s)\n", lost ? "LOST" : "safe", attempts, checks.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> a(argv + 1, argv + argc);
  if (a.size() == 3 && a[0] == "matrix") return matrix(a[1], a[2]);
  if (a.size() == 4 && a[0] == "claim") return claim(a[1], a[2], std::atoi(a[3].c_str()));
  std::fprintf(stderr,
               "usage: vk_sharetest matrix HOLDERDIR OTHERDIR\n"
               "       vk_sharetest claim HOLDERDIR OTHERDIR WAIT_MS\n");
  return 2;
}
