// Folder watch: name changes in the folder wake a waiter, one wake-up
// consumes all changes so far, changes inside a subfolder do not count,
// and a missing or vanished folder gives a failure, not an endless wait.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/dir_watch.h"
#include "temp_tree.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

TEST(DirWatch, EveryKindOfNameChangeWakesTheWait) {
  TempTree tree;
  fs::create_directories(tree.path("Trigger/sub"));
  DirWatch w;
  ASSERT_EQ(w.start(tree.sys("Trigger")), Err::ok);
  EXPECT_EQ(w.wait(0), WatchResult::timeout);
  tree.write("Trigger/sub/a", "x");  // inside a subfolder: not ours
  fs::remove(tree.path("Trigger/sub/a"));
  EXPECT_EQ(w.wait(100), WatchResult::timeout);

  tree.write("Trigger/.t1.tmp", "Vokarium5-Trigger\r\n");
  EXPECT_EQ(w.wait(5000), WatchResult::changed);
  fs::rename(tree.path("Trigger/.t1.tmp"), tree.path("Trigger/T1.trg"));
  EXPECT_EQ(w.wait(5000), WatchResult::changed);
  fs::rename(tree.path("Trigger/T1.trg"), tree.path("T1.trg"));  // moved out
  EXPECT_EQ(w.wait(5000), WatchResult::changed);
  fs::rename(tree.path("T1.trg"), tree.path("Trigger/T2.trg"));  // moved in
  EXPECT_EQ(w.wait(5000), WatchResult::changed);
  fs::remove(tree.path("Trigger/T2.trg"));
  EXPECT_EQ(w.wait(5000), WatchResult::changed);

  for (int i = 0; i < 50; ++i)
    tree.write("Trigger/f" + std::to_string(i), "x");
  EXPECT_EQ(w.wait(5000), WatchResult::changed);
  EXPECT_EQ(w.wait(50), WatchResult::timeout);
}

TEST(DirWatch, MissingFolderFailsAndAVanishedFolderEndsTheWatch) {
  TempTree tree;
  DirWatch w;
  EXPECT_NE(w.start(tree.sys("fehlt")), Err::ok);
  EXPECT_FALSE(w.active());
  EXPECT_EQ(w.wait(10), WatchResult::failed);
  tree.write("datei", "x");
  EXPECT_NE(w.start(tree.sys("datei")), Err::ok);

  fs::create_directory(tree.path("weg"));
  ASSERT_EQ(w.start(tree.sys("weg")), Err::ok);
  fs::remove(tree.path("weg"));
  EXPECT_EQ(w.wait(5000), WatchResult::changed);
  EXPECT_EQ(w.wait(10), WatchResult::failed);
}

}  // namespace
