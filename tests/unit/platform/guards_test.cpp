// What the OS layer refuses although the plain call would succeed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/paths.h"
#include "platform/shared_file.h"
#include "tests/support/baum.h"

using namespace plat;

// The fall-back stays on for the rest of the process: a child of its own.
TEST(Guards, TheFlockFallBackStillExcludes) {
  vktest::Baum t;
  t.schreiben("a.txt", "x");
  const pid_t kind = ::fork();
  ASSERT_GE(kind, 0);
  if (kind == 0) {
    setLockFault(ENOTSUP, 1);
    SharedFile halter, zweiter;
    const bool ok = halter.open(t.sys("a.txt"), Access::readWrite, Share::exclusive,
                                Disposition::openExisting) == Err::ok &&
                    zweiter.open(t.sys("a.txt"), Access::read, Share::shared,
                                 Disposition::openExisting) == Err::sharingViolation;
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(kind, &status, 0), kind);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(Guards, RemoveAndCloseLeavesAFileMadeUnderTheNameMeanwhile) {
  vktest::Baum t;
  t.schreiben("a.txt", "alt");
  SharedFile f;
  ASSERT_EQ(f.open(t.sys("a.txt"), Access::readWrite, Share::exclusive, Disposition::openExisting),
            Err::ok);
  std::filesystem::rename(t.pfad("a.txt"), t.pfad("b.txt"));
  t.schreiben("a.txt", "neu");
  EXPECT_EQ(f.removeAndClose(), Err::notFound);
  EXPECT_EQ(t.lesen("a.txt"), "neu");
}

TEST(Guards, NoFolderTreeThroughALinkBelowAConfinedRoot) {
  vktest::Baum t;
  std::filesystem::create_directories(t.pfad("aussen"));
  std::filesystem::create_directories(t.pfad("wurzel"));
  std::filesystem::create_directory_symlink(t.pfad("aussen"), t.pfad("wurzel/link"));
  confineBelow(t.sys("wurzel"));
  EXPECT_EQ(createDirectoryTree(t.sys("wurzel\\link")), Err::isLink);
  EXPECT_NE(createDirectoryTree(t.sys("wurzel\\link\\neu")), Err::ok);
  EXPECT_FALSE(t.gibtEs("aussen/neu"));
  resetConfinement();
}

TEST(Guards, ADurablePublishWhoseFlushFailsPublishesNothing) {
  vktest::Baum t;
  t.schreiben("a.txt", "alt");
  setSyncFault(true);
  EXPECT_EQ(publishReplace(t.sys("a.txt"), "neu", true), Err::ioError);
  setSyncFault(true);
  EXPECT_EQ(publishNew(t.sys("b.txt"), "neu", true), Err::ioError);
  setSyncFault(false);
  EXPECT_EQ(t.lesen("a.txt"), "alt");
  EXPECT_FALSE(t.gibtEs("b.txt"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.pfad()), {}), 1)
      << "no temporary file left";
}
