// Share modes, lock-then-verify and whole-file publishing, within one
// process and between processes (fork), as two workstations would meet.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "platform/paths.h"
#include "platform/shared_file.h"
#include "tests/support/baum.h"

using namespace plat;

namespace {

// A child process that holds `path` with `share` until it is killed.
struct Holder {
  pid_t pid = -1;
  Holder(const std::string& path, Share share) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    pid = ::fork();
    if (pid == 0) {
      SharedFile f;
      char c =
          f.open(path, Access::readWrite, share, Disposition::openAlways) == Err::ok ? 'y' : 'n';
      if (::write(fds[1], &c, 1) != 1) ::_exit(3);
      for (;;)
        ::pause();
    }
    char c = 0;
    EXPECT_EQ(::read(fds[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    ::close(fds[0]);
    ::close(fds[1]);
  }
  ~Holder() {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
};

Err openAs(const std::string& path, Share share, SharedFile& f,
           Disposition d = Disposition::openExisting) {
  return f.open(path, share == Share::exclusive ? Access::readWrite : Access::read, share, d);
}

// A writer that `schritte` kills in mid-work (a failed step ends it normally).
void getoetet(const std::function<void()>& schritte) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    schritte();
    ::_exit(3);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
}

}  // namespace

// A holder in this process or in another (as another workstation): an
// exclusive one keeps every other open, delete, rename, replace and copy
// out (a refused create must not truncate); deny-write ones share with
// readers and keep writers out. Locks end with the handle or the holder.
TEST(SharedFile, ShareModesOfAHolderHereOrInAnotherProcess) {
  vktest::Baum t;
  const std::string p = t.sys("held.dat");
  ASSERT_EQ(publishNew(p, "original", false), Err::ok);
  for (const bool anderer : {false, true}) {
    SCOPED_TRACE(anderer ? "another process" : "this process");
    for (const Share halter : {Share::exclusive, Share::denyWrite}) {
      const bool lesen = halter == Share::denyWrite;
      SharedFile hier;
      std::optional<Holder> dort;
      if (anderer) dort.emplace(p, halter);
      ASSERT_EQ(anderer ? Err::ok : openAs(p, halter, hier), Err::ok);
      SharedFile f, g;
      EXPECT_EQ(openAs(p, Share::exclusive, f), Err::sharingViolation);
      EXPECT_EQ(openAs(p, Share::exclusive, f, Disposition::createAlways), Err::sharingViolation);
      EXPECT_EQ(openAs(p, Share::denyWrite, f), lesen ? Err::ok : Err::sharingViolation);
      EXPECT_EQ(openAs(p, Share::shared, g), lesen ? Err::ok : Err::sharingViolation);
      EXPECT_EQ(removeFile(p), Err::sharingViolation);
      EXPECT_EQ(moveFile(p, t.sys("moved.dat"), false), Err::sharingViolation);
      EXPECT_EQ(publishReplace(p, "new", false), Err::sharingViolation);
      EXPECT_EQ(copyFile(p, t.sys("copy.dat"), true), lesen ? Err::ok : Err::sharingViolation);
      EXPECT_EQ(vktest::lesen(t.wurzel / "held.dat"), "original");
      std::filesystem::remove(t.wurzel / "copy.dat");
    }
    SharedFile f;
    EXPECT_EQ(openAs(p, Share::exclusive, f), Err::ok) << "locks end with their holders";
  }
}

// A file renamed away between an open and its lock (a text claimed by the
// server) and a new one in its place: the open goes on with the new file.
TEST(SharedFile, AnOpenEndsOnTheFileThatHasTheNameAfterTheLock) {
  vktest::Baum t;
  const std::string p = t.sys("neuWorte.txt");
  t.schreiben("neuWorte.txt", "alt\r\n");
  setOpenPause([&] {
    ASSERT_EQ(moveFile(p, p + ".zustellung", false), Err::ok);
    t.schreiben("neuWorte.txt", "neu\r\n");
  });
  SharedFile f;
  ASSERT_EQ(openAs(p, Share::exclusive, f), Err::ok);
  ASSERT_EQ(f.append("W\r\n"), Err::ok);
  f.close();
  EXPECT_EQ(t.lesen("neuWorte.txt"), "neu\r\nW\r\n");
  EXPECT_EQ(t.lesen("neuWorte.txt.zustellung"), "alt\r\n");
}

// The lock errors of a share mean "held by another": an open reports them
// as such and a retrying open gets the file once they stop.
TEST(SharedFile, LockErrorsOfAShareAreHeldByAnother) {
  vktest::Baum t;
  const std::string p = t.sys("geteilt.txt");
  for (const int fehler : {EIO, EINVAL, EWOULDBLOCK}) {
    SCOPED_TRACE(fehler);
    SharedFile f;
    setLockFault(fehler, 1);
    EXPECT_EQ(openAs(p, Share::exclusive, f, Disposition::openAlways), Err::sharingViolation);
    setLockFault(fehler, 3);
    ASSERT_EQ(f.openRetrying(p, Access::readWrite, Share::exclusive, Disposition::openAlways, 5, 1),
              Err::ok);
    SharedFile zweiter;
    EXPECT_EQ(openAs(p, Share::shared, zweiter), Err::sharingViolation)
        << "the retried open holds the lock";
  }
  setLockFault(0, 0);
}

TEST(SharedFile, CreateOpenTruncateAppendAndErrors) {
  vktest::Baum t;
  std::string p = t.sys("a.txt");
  SharedFile f;
  EXPECT_EQ(openAs(p, Share::exclusive, f), Err::notFound);
  EXPECT_EQ(openAs(t.sys("kein\\a.txt"), Share::exclusive, f), Err::pathNotFound);
  EXPECT_EQ(openAs(t.sys(""), Share::denyWrite, f), Err::isFolder);

  ASSERT_EQ(openAs(p, Share::exclusive, f, Disposition::createNew), Err::ok);
  ASSERT_EQ(f.write("eins\r\n"), Err::ok);
  f.close();
  EXPECT_EQ(openAs(p, Share::exclusive, f, Disposition::createNew), Err::fileExists);

  ASSERT_EQ(openAs(p, Share::exclusive, f), Err::ok);
  ASSERT_EQ(f.append("zwei\r\n"), Err::ok);
  // Another writer extends the file in between (as a second workstation
  // would after our lock ended): the next append still goes to the end.
  std::ofstream(t.wurzel / "a.txt", std::ios::app) << "fremd\r\n";
  ASSERT_EQ(f.append("drei\r\n"), Err::ok);
  EXPECT_EQ(f.size(), 25);
  std::string all;
  ASSERT_EQ(f.readAll(all), Err::ok);
  EXPECT_EQ(all, "eins\r\nzwei\r\nfremd\r\ndrei\r\n");
  ASSERT_EQ(f.truncate(), Err::ok);
  EXPECT_EQ(f.size(), 0);
  EXPECT_EQ(f.sync(), Err::ok);
  f.close();

  ASSERT_EQ(publishReplace(p, "voll", false), Err::ok);
  ASSERT_EQ(openAs(p, Share::exclusive, f, Disposition::createAlways), Err::ok);
  EXPECT_EQ(f.size(), 0);
  f.close();
  if (::geteuid() != 0) {
    std::filesystem::permissions(t.wurzel / "a.txt", std::filesystem::perms::none);
    EXPECT_EQ(openAs(p, Share::denyWrite, f), Err::accessDenied);
  }
}

TEST(SharedFile, ClaimByRenameUnderTheLock) {
  vktest::Baum t;
  std::string text = t.sys("neuWorte.txt");
  std::string claim = t.sys("neuWorte.txt.claim");
  ASSERT_EQ(publishNew(text, "Wort1\r\n", false), Err::ok);
  SharedFile f;
  ASSERT_EQ(openAs(text, Share::exclusive, f), Err::ok);
  ASSERT_EQ(f.renameTo(claim), Err::ok);
  EXPECT_FALSE(fileExists(text));
  EXPECT_EQ(f.path(), claim);
  // A writer that comes now starts a fresh text; the claim is untouched.
  SharedFile w;
  ASSERT_EQ(openAs(text, Share::exclusive, w, Disposition::openAlways), Err::ok);
  ASSERT_EQ(w.append("Wort2\r\n"), Err::ok);
  w.close();
  std::string got;
  ASSERT_EQ(f.readAll(got), Err::ok);
  EXPECT_EQ(got, "Wort1\r\n");
  // A name already taken is refused, the claim stays where it is.
  ASSERT_EQ(publishNew(t.sys("taken"), "", false), Err::ok);
  EXPECT_EQ(f.renameTo(t.sys("taken")), Err::fileExists);
  EXPECT_EQ(f.removeAndClose(), Err::ok);
  EXPECT_FALSE(fileExists(claim));
  EXPECT_EQ(vktest::lesen(t.wurzel / "neuWorte.txt"), "Wort2\r\n");
  // An old name the share will not remove: no rename, the text keeps its
  // one name.
  SharedFile g;
  ASSERT_EQ(openAs(text, Share::exclusive, g), Err::ok);
  setRenameUnlinkFault(true);
  EXPECT_EQ(g.renameTo(claim), Err::accessDenied);
  EXPECT_FALSE(fileExists(claim));
  // A claim killed between the rename's two steps is under both names; the
  // next claim finishes it instead of sticking on "name taken".
  ASSERT_EQ(::link(t.pfad("neuWorte.txt").c_str(), t.pfad("neuWorte.txt.claim").c_str()), 0);
  EXPECT_EQ(g.renameTo(claim), Err::ok);
  EXPECT_FALSE(fileExists(text));
  EXPECT_EQ(vktest::lesen(t.wurzel / "neuWorte.txt.claim"), "Wort2\r\n");
}

// A published file is never seen empty or half written, and leaves no
// temporary name behind; publishing, moving and copying refuse an existing
// target unless told to replace it, and a held one even then.
TEST(SharedFile, PublishMoveAndCopyRespectExistingTargets) {
  vktest::Baum t;
  const std::string a = t.sys("a.trg"), b = t.sys("b"), content(1 << 20, 'w');
  const pid_t pid = ::fork();
  if (pid == 0) {
    for (int i = 0; i < 2000000; ++i) {
      std::error_code ec;
      const auto sz = std::filesystem::file_size(t.wurzel / "a.trg", ec);
      if (!ec) ::_exit(sz == content.size() ? 0 : 7);
    }
    ::_exit(8);
  }
  ASSERT_EQ(publishNew(a, content, true), Err::ok);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(publishNew(a, "other", false), Err::fileExists);
  EXPECT_EQ(std::filesystem::file_size(t.wurzel / "a.trg"), content.size());
  ASSERT_EQ(publishReplace(a, "A", false), Err::ok);
  EXPECT_EQ(publishNew(t.sys("fehlt\\x.trg"), "x", false), Err::pathNotFound);

  ASSERT_EQ(publishNew(b, "B", false), Err::ok);
  EXPECT_EQ(moveFile(a, b, false), Err::fileExists);
  EXPECT_EQ(copyFile(a, b, true), Err::fileExists);
  ASSERT_EQ(copyFile(a, t.sys("c"), true), Err::ok);
  EXPECT_EQ(t.lesen("c"), "A");
  {
    SharedFile held;
    ASSERT_EQ(openAs(b, Share::denyWrite, held), Err::ok);
    EXPECT_EQ(moveFile(a, b, true), Err::sharingViolation);
    EXPECT_EQ(copyFile(a, b, false), Err::sharingViolation);
  }
  ASSERT_EQ(moveFile(a, b, true), Err::ok);
  EXPECT_EQ(t.lesen("b"), "A");
  EXPECT_EQ(moveFile(a, t.sys("d"), false), Err::notFound);
  EXPECT_EQ(removeFile(b), Err::ok);
  EXPECT_EQ(removeFile(b), Err::notFound);
  for (const auto& e : std::filesystem::directory_iterator(t.wurzel))
    EXPECT_FALSE(isOwnTempName(e.path().filename().string())) << e.path();
}

// A local folder: its locks work (the probe leaves nothing) and one flush
// of its file system suffices, unlike a file system the layer does not know.
TEST(SharedFile, ProbesOfALocalFolder) {
  vktest::Baum t;
  EXPECT_NE(probeLocking(t.sys("")), LockProbe::fails);
  std::vector<std::string> left;
  ASSERT_EQ(listDirectory(t.sys(""), "*", ListKind::both, left), Err::ok);
  EXPECT_TRUE(left.empty());
  EXPECT_TRUE(syncFileSystemSuffices(t.sys("")));
  EXPECT_FALSE(syncFileSystemSuffices(systemPath("/proc")));
}

// A FIFO, a device, a socket, a folder or a link where a shared file is
// expected is refused at once by every open (a FIFO open must not block),
// and a link below a confined root is never followed.
TEST(SharedFile, HostileEntriesAreRefusedWithoutBlockingOrFollowing) {
  vktest::Baum t;
  namespace fs = std::filesystem;
  ASSERT_EQ(::mkfifo((t.wurzel / "fifo").c_str(), 0666), 0);
  fs::create_symlink("/dev/zero", t.wurzel / "null");
  fs::create_directory(t.wurzel / "ordner");
  fs::create_directory(t.wurzel / "aussen");
  t.schreiben("aussen/geheim.txt", "geheim\r\n");
  fs::create_symlink(t.wurzel / "aussen" / "geheim.txt", t.wurzel / "link.txt");
  fs::create_directory_symlink(t.wurzel / "aussen", t.wurzel / "pool");
  SharedFile f;
  for (const auto& [name, grund, warum] : {std::tuple{"fifo", Err::notAFile, ""},
                                           {"null", Err::isLink, ""},
                                           {"ordner", Err::isFolder, "Verzeichnis statt Datei"},
                                           {"link.txt", Err::isLink, "symbolischer Link"}}) {
    for (Share sh : {Share::exclusive, Share::denyWrite, Share::shared}) {
      const Err e = f.open(t.sys(name), Access::read, sh, Disposition::openAlways);
      EXPECT_EQ(e, grund) << name;
      EXPECT_EQ(code(e), 5) << name << ": logs show the Windows number";
    }
    EXPECT_EQ(*warum != 0 ? whyNoFile(t.sys(name)) : "", warum);
  }

  // Without a confined root a linked folder on the way is allowed; below a
  // root (the root itself may be a link) it is refused by every operation.
  ASSERT_EQ(openAs(t.sys("pool\\geheim.txt"), Share::shared, f), Err::ok);
  f.close();
  fs::create_directory_symlink(t.wurzel, t.wurzel / "wurzel");
  confineBelow(t.sys("wurzel"));
  const std::string drin = t.sys("wurzel\\pool\\geheim.txt");
  EXPECT_EQ(openAs(drin, Share::shared, f), Err::isLink);
  EXPECT_EQ(whyNoFile(drin), "symbolischer Link im Pfad");
  EXPECT_EQ(publishNew(t.sys("wurzel\\pool\\neu.txt"), "x\r\n", false), Err::isLink);
  EXPECT_EQ(publishReplace(drin, "x\r\n", false), Err::isLink);
  EXPECT_EQ(moveFile(drin, t.sys("wurzel\\weg.txt"), false), Err::isLink);
  EXPECT_EQ(createDirectoryTree(t.sys("wurzel\\pool\\unter\\")), Err::isLink);
  std::vector<std::string> namen;
  EXPECT_EQ(listDirectory(t.sys("wurzel\\pool"), "*", ListKind::both, namen), Err::isLink);
  ASSERT_EQ(f.open(t.sys("wurzel\\a.txt"), Access::read, Share::exclusive, Disposition::openAlways),
            Err::ok);
  EXPECT_EQ(f.renameTo(t.sys("wurzel\\pool\\b.txt")), Err::isLink);
  f.close();
  EXPECT_EQ(renameEntry(t.sys("wurzel\\fifo"), t.sys("wurzel\\fifo.defekt")), Err::ok);
  resetConfinement();
  EXPECT_EQ(vktest::lesen(t.wurzel / "aussen" / "geheim.txt"), "geheim\r\n");
  EXPECT_FALSE(fs::exists(t.wurzel / "aussen" / "neu.txt"));
}

// Own temporary names left in the folder (intent records, commit marks).
static std::vector<std::string> eigene(const vktest::Baum& t) {
  std::vector<std::string> namen;
  EXPECT_EQ(listOwnTempNames(t.sys(""), "", namen), Err::ok);
  return namen;
}

// What another writer left is kept: a last line without line end (also one
// longer than a read block, also CR-only line ends) is ended with CR LF
// before the new lines; a file ending in a lone CR needs no line end.
TEST(SharedFile, AppendKeepsALastLineNoRecordClaims) {
  const std::string lang(10000, 'x');
  const std::pair<std::string, std::string> faelle[] = {
      {"", "neu\r\n"},
      {vktest::probe("wortliste_ohne_zeilenende.txt"), "eins\r\nzwei\r\nneu\r\n"},
      {vktest::probe("pooltext_nur_cr.txt"), "Alpha\rBeta\rGamma\r\nneu\r\n"},
      {vktest::probe("pooltext_endet_mit_cr.txt"), "Alpha\rBeta\rneu\r\n"},
      {"eins\n", "eins\nneu\r\n"},
      {lang, lang + "\r\nneu\r\n"},
  };
  vktest::Baum t;
  for (const auto& [vorher, erwartet] : faelle) {
    SCOPED_TRACE(vorher.substr(0, 20));
    t.schreiben("AlleWorte.dat", vorher);
    SharedFile d;
    ASSERT_EQ(openAs(t.sys("AlleWorte.dat"), Share::exclusive, d), Err::ok);
    ASSERT_EQ(d.append("neu\r\n"), Err::ok);
    d.close();
    EXPECT_EQ(t.lesen("AlleWorte.dat"), erwartet);
    EXPECT_TRUE(eigene(t).empty());
  }
}

// A writer killed in mid-append leaves its intent record: the next holder
// (also a reader) cuts exactly that append back, and a record of a file
// that was replaced since cuts nothing. The test hook leaves the same.
TEST(SharedFile, OnlyATornAppendItsRecordClaimsIsCut) {
  vktest::Baum t;
  const std::string p = t.sys("_u1.neu");
  const auto halb = [&](const std::string& teil) {
    getoetet([&] {
      SharedFile f;
      if (openAs(p, Share::exclusive, f, Disposition::openAlways) == Err::ok &&
          f.beginAppend(100) == Err::ok && f.write(teil) == Err::ok)
        ::raise(SIGKILL);
    });
  };
  t.schreiben("_u1.neu", "eins\r\nzwei");
  halb("R08L1032\\");
  EXPECT_EQ(vktest::lesen(t.wurzel / "_u1.neu"), "eins\r\nzwei\r\nR08L1032\\");
  EXPECT_EQ(eigene(t).size(), 1U);
  SharedFile f;
  std::string all;
  ASSERT_EQ(openAs(p, Share::shared, f), Err::ok);
  ASSERT_EQ(f.readAll(all), Err::ok);
  EXPECT_EQ(all, "eins\r\nzwei\r\n") << "a reader sees no torn append";
  f.close();
  EXPECT_TRUE(eigene(t).empty());

  ASSERT_EQ(openAs(p, Share::exclusive, f), Err::ok);
  setAppendFault(4);
  EXPECT_EQ(f.append("drei\\sp\r\n"), Err::ioError);
  f.close();
  EXPECT_EQ(vktest::lesen(t.wurzel / "_u1.neu"), "eins\r\nzwei\r\ndrei");
  ASSERT_EQ(openAs(p, Share::exclusive, f), Err::ok);
  ASSERT_EQ(f.append("drei\\sp\r\n"), Err::ok);
  f.close();
  EXPECT_EQ(vktest::lesen(t.wurzel / "_u1.neu"), "eins\r\nzwei\r\ndrei\\sp\r\n");

  // A writer killed between this open and its lock: the size the lock
  // finds decides, so a file empty at the open is still cut back.
  t.schreiben("_u1.neu", "");
  setOpenPause([&] { halb("halb"); });
  ASSERT_EQ(openAs(p, Share::exclusive, f), Err::ok);
  EXPECT_EQ(f.size(), 0);
  f.close();
  t.schreiben("_u1.neu", "eins\r\nzwei\r\ndrei\\sp\r\n");

  // The file is replaced behind the record (by a program outside the
  // layer): its last line is data.
  halb("vier");
  t.schreiben("neu", "ganz\r\nanders");
  std::filesystem::rename(t.wurzel / "neu", t.wurzel / "_u1.neu");
  ASSERT_EQ(openAs(p, Share::exclusive, f), Err::ok);
  ASSERT_EQ(f.append("fuenf\r\n"), Err::ok);
  f.close();
  EXPECT_EQ(vktest::lesen(t.wurzel / "_u1.neu"), "ganz\r\nanders\r\nfuenf\r\n");
  EXPECT_TRUE(eigene(t).empty());
}

// A record written by a writer on another mount or machine of the share
// names the file with that side's device number: its torn append is cut
// back all the same, by the record beside the file (one of its own, or a
// slot of the folder's batch that names the file) and its size window.
TEST(SharedFile, TornAppendOfAnotherMountIsCut) {
  for (const bool sammel : {false, true}) {
    SCOPED_TRACE(sammel ? "batch record" : "own record");
    vktest::Baum t;
    std::ofstream(t.wurzel / "_u1.neu", std::ios::binary) << "eins\r\nR08L";
    struct stat st {};
    ASSERT_EQ(::stat((t.wurzel / "_u1.neu").c_str(), &st), 0);
    const std::string satz =
        "VK-ANHANG " + std::to_string(st.st_dev + 1) + " " + std::to_string(st.st_ino) + " 6 20";
    if (sammel) {
      std::string slot = "o " + satz + " _u1.neu\n";
      slot.resize(512, '\0');
      std::string anderer = "o VK-ANHANG 1 2 2 20 _u2.neu\n";
      anderer.resize(512, '\0');
      std::ofstream(t.wurzel / ownTempName("Sammel.anhang"), std::ios::binary) << anderer << slot;
    } else {
      std::ofstream(t.wurzel / ownTempName("_u1.neu.anhang"), std::ios::binary) << satz << "\n";
    }
    SharedFile f;
    ASSERT_EQ(openAs(t.sys("_u1.neu"), Share::exclusive, f), Err::ok);
    f.close();
    EXPECT_EQ(vktest::lesen(t.wurzel / "_u1.neu"), "eins\r\n");
  }
}

// The server's member appends share one batch record per pool: a slot left
// open by a server killed in mid-append is cut back by the next holder of
// that file, or by the next batch in the folder; completed ones stay.
TEST(SharedFile, ABatchOfAppendsKilledHalfWay) {
  vktest::Baum t;
  for (const bool naechsterStapel : {false, true}) {
    SCOPED_TRACE(naechsterStapel ? "next batch" : "next holder");
    for (const char* n : {"_u1.neu", "_Dr Kunz.neu"})
      t.schreiben(n, "alt\r\n");
    getoetet([&] {
      AppendBatch b;
      SharedFile f;
      if (b.begin(t.sys("")) != Err::ok ||
          openAs(t.sys("_u1.neu"), Share::exclusive, f) != Err::ok ||
          f.beginAppend(9, &b) != Err::ok || f.write("ganz\r\n") != Err::ok ||
          f.finishAppend() != Err::ok)
        return;
      f.close();
      if (openAs(t.sys("_Dr Kunz.neu"), Share::exclusive, f) == Err::ok &&
          f.beginAppend(9, &b) == Err::ok && f.write("hal") == Err::ok)
        ::raise(SIGKILL);
    });
    if (naechsterStapel) {
      AppendBatch b;
      ASSERT_EQ(b.begin(t.sys("")), Err::ok);
      b.end();
    } else {
      SharedFile f;
      ASSERT_EQ(openAs(t.sys("_Dr Kunz.neu"), Share::shared, f), Err::ok);
    }
    EXPECT_EQ(vktest::lesen(t.wurzel / "_Dr Kunz.neu"), "alt\r\n");
    EXPECT_EQ(vktest::lesen(t.wurzel / "_u1.neu"), "alt\r\nganz\r\n");
    std::filesystem::remove(t.wurzel / ".~vkSammel.anhang.tmp");
  }
}

// An append in pieces, given up half-way or failing, leaves nothing; a completed one
// with a commit name leaves that name instead of its record.
TEST(SharedFile, AppendInPiecesAndItsCommitName) {
  vktest::Baum t;
  SharedFile f;
  ASSERT_EQ(openAs(t.sys("neuWorte.txt"), Share::exclusive, f, Disposition::openAlways), Err::ok);
  ASSERT_EQ(f.append("alt\r\n"), Err::ok);
  ASSERT_EQ(f.beginAppend(10), Err::ok);
  ASSERT_EQ(f.write("halb"), Err::ok);
  ASSERT_EQ(f.abortAppend(), Err::ok);
  EXPECT_EQ(f.size(), 5);
  // A write that fails half-way (full disk) is cut back at once.
  setWriteFault(2);
  EXPECT_EQ(f.append("kaputt\r\n"), Err::ioError);
  EXPECT_EQ(vktest::lesen(t.wurzel / "neuWorte.txt"), "alt\r\n");
  // A commit mark is set only for data on the disk: a failed flush leaves
  // the intent record, so the next holder cuts the append back.
  setSyncFault(true);
  EXPECT_EQ(f.append("weg\r\n", ownTempName("J6-0")), Err::ioError);
  f.close();
  ASSERT_EQ(openAs(t.sys("neuWorte.txt"), Share::exclusive, f, Disposition::openAlways), Err::ok);
  EXPECT_EQ(f.size(), 5);
  ASSERT_EQ(f.append("ganz\r\n", ownTempName("J7-0")), Err::ok);
  f.close();
  EXPECT_EQ(vktest::lesen(t.wurzel / "neuWorte.txt"), "alt\r\nganz\r\n");
  EXPECT_EQ(eigene(t), std::vector<std::string>{ownTempName("J7-0")});
  std::vector<std::string> namen;
  ASSERT_EQ(listOwnTempNames(t.sys(""), "J8-", namen), Err::ok);
  EXPECT_TRUE(namen.empty());
}
