// Folder watch: name changes in the folder wake a waiter, a missing or
// vanished folder gives a failure, not an endless wait.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/dir_watch.h"
#include "tests/support/baum.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

TEST(DirWatch, NameChangesWakeTheWaitAMissingOrVanishedFolderFails) {
  vktest::Baum tree;
  fs::create_directories(tree.pfad("Trigger/sub"));
  DirWatch w;
  ASSERT_EQ(w.start(tree.sys("Trigger")), Err::ok);
  tree.schreiben("Trigger/sub/a", "x");  // inside a subfolder: not ours
  fs::remove(tree.pfad("Trigger/sub/a"));
  EXPECT_EQ(w.wait(100), WatchResult::timeout);

  tree.schreiben("Trigger/.t1.tmp", "Vokarium5-Trigger\r\n");
  EXPECT_EQ(w.wait(5000), WatchResult::changed);
  fs::rename(tree.pfad("Trigger/.t1.tmp"), tree.pfad("Trigger/T1.trg"));
  EXPECT_EQ(w.wait(5000), WatchResult::changed);
  fs::rename(tree.pfad("Trigger/T1.trg"), tree.pfad("T1.trg"));  // moved out
  EXPECT_EQ(w.wait(5000), WatchResult::changed);
  fs::rename(tree.pfad("T1.trg"), tree.pfad("Trigger/T2.trg"));  // moved in
  EXPECT_EQ(w.wait(5000), WatchResult::changed);

  for (int i = 0; i < 50; ++i)
    tree.schreiben("Trigger/f" + std::to_string(i), "x");
  EXPECT_EQ(w.wait(5000), WatchResult::changed);
  EXPECT_EQ(w.wait(50), WatchResult::timeout);

  EXPECT_NE(w.start(tree.sys("fehlt")), Err::ok);
  EXPECT_FALSE(w.active());
  EXPECT_EQ(w.wait(10), WatchResult::failed);

  fs::create_directory(tree.pfad("weg"));
  ASSERT_EQ(w.start(tree.sys("weg")), Err::ok);
  fs::remove(tree.pfad("weg"));
  EXPECT_EQ(w.wait(5000), WatchResult::changed);
  EXPECT_EQ(w.wait(10), WatchResult::failed);
}

}  // namespace
