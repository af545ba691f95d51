// Mount check: sample mountinfo lines (from the shared-drive harness's
// virtual machine, plus an escaped path and an unmeasured file system)
// parsed, the folder's mount found, and the verdict per mount option.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/mount_check.h"

namespace {

using plat::MountVerdict;

std::vector<plat::MountEntry> sampleMounts() {
  std::ifstream in(VK_TEST_DATA_DIR "/mountinfo.txt");
  std::vector<plat::MountEntry> mounts;
  std::string line;
  while (std::getline(in, line)) {
    plat::MountEntry m;
    if (plat::parseMountInfoLine(line, m)) mounts.push_back(m);
  }
  return mounts;
}

// Every mountinfo line parsed (escapes undone), and a folder lies on its
// longest mount point.
TEST(MountCheck, ParsesTheLinesAndFindsTheFoldersMount) {
  const std::vector<plat::MountEntry> mounts = sampleMounts();
  ASSERT_EQ(mounts.size(), 9u);  // the last line is no mountinfo line
  EXPECT_EQ(mounts[2].fsType, "cifs");
  EXPECT_EQ(mounts[2].source, "//127.0.0.1/vk");
  EXPECT_EQ(mounts.back().mountPoint, "/home/meier/Diktat Pool");
  EXPECT_EQ(mounts.back().fsType, "fuse.sshfs");
  struct Case {
    const char* path;
    const char* mountPoint;
  };
  for (const Case& c :
       {Case{"/mnt/cifs-a/Vokarium/P", "/mnt/cifs-a"}, Case{"/mnt/cifs-a", "/mnt/cifs-a"},
        Case{"/mnt/cifs-ab/x", "/"},  // a prefix of a name is no mount
        Case{"/srv/dragon", "/srv"}, Case{"/etc", "/"}}) {
    const plat::MountEntry* m = plat::mountOf(mounts, c.path);
    ASSERT_NE(m, nullptr) << c.path;
    EXPECT_EQ(m->mountPoint, c.mountPoint) << c.path;
  }
}

TEST(MountCheck, VerdictPerFileSystemAndOption) {
  const std::vector<plat::MountEntry> mounts = sampleMounts();
  struct Case {
    const char* path;
    MountVerdict verdict;
    const char* option;
  };
  for (const Case& c : {
           Case{"/srv/dragon", MountVerdict::excludes, ""},
           Case{"/mnt/cifs-a/x", MountVerdict::excludes, ""},
           Case{"/mnt/cifs-nobrl/x", MountVerdict::noExclusion, "nobrl"},
           Case{"/mnt/nfs3-a/x", MountVerdict::excludes, ""},  // local_lock=none
           Case{"/mnt/nfs4-a/x", MountVerdict::excludes, ""},
           Case{"/mnt/ll-a/x", MountVerdict::noExclusion, "local_lock=all"},
           Case{"/mnt/nolock/x", MountVerdict::noExclusion, "nolock"},
           Case{"/home/meier/Diktat Pool/x", MountVerdict::unmeasured, ""},
       }) {
    const plat::MountJudgement j = plat::judgeMount(*plat::mountOf(mounts, c.path));
    EXPECT_EQ(j.verdict, c.verdict) << c.path;
    EXPECT_EQ(j.option, c.option) << c.path;
    // The advice names the folder and the option to drop.
    const std::string rat = plat::mountAdvice(j, "\\x\\");
    EXPECT_EQ(rat.empty(), c.verdict == MountVerdict::excludes) << c.path;
    if (*c.option != 0) {
      EXPECT_NE(rat.find("\\x\\"), std::string::npos) << rat;
      EXPECT_NE(rat.find(std::string("ohne ") + c.option), std::string::npos) << rat;
    }
  }
}

// A Samba share of the server's folder excludes only with both oplock
// kinds off, in the share or for all shares; shares of other folders and a
// share of a folder above count as they serve it or not.
TEST(MountCheck, SambaSharesOfTheFolderWithoutOplocksOff) {
  const std::string conf =
      "[global]\n  workgroup = KANZLEI\n; oplocks = no\n"
      "[dragon]\n  path = /srv/dragon\n"
      "[halb]\n  path = /srv/\n  oplocks = no\n"
      "[sicher]\n  path = /srv/dragon\n  Oplocks = No\n  level2 oplocks = false\n"
      "[anders]\n  path = /srv/dragonfly\n";
  EXPECT_EQ(plat::unsafeSambaShares(conf, "/srv/dragon/Vokarium"),
            (std::vector<std::string>{"dragon", "halb"}));
  EXPECT_TRUE(plat::unsafeSambaShares(conf, "/home/x").empty());
  const std::string global = "[global]\noplocks = no\nlevel2 oplocks = no\n[d]\npath=/srv\n";
  EXPECT_TRUE(plat::unsafeSambaShares(global, "/srv/dragon").empty());
}

// The NFS exports that serve the server's folder, from the kernel's table
// (tab-separated) or /etc/exports (blanks, quotes, escapes, comments):
// the folder itself or a folder above, never a neighbour with the same
// start.
TEST(MountCheck, NfsExportsOfTheFolder) {
  const std::string etab =
      "/srv/nfs\t127.0.0.1(rw,sync,wdelay,hide,no_subtree_check,fsid=0)\n"
      "/srv/nfsneben\t*(ro)\n";
  EXPECT_EQ(plat::nfsExportsServing(etab, "/srv/nfs/Vokarium"),
            (std::vector<std::string>{"/srv/nfs"}));
  EXPECT_TRUE(plat::nfsExportsServing(etab, "/srv/nf").empty());
  const std::string exports =
      "# /srv/dragon *(rw)\n"
      "\"/srv/mit leer/\" 10.0.0.0/8(rw)\n"
      "/srv/mit\\040leer/tief host(rw) other(ro)\n"
      "/ *(ro)\n";
  EXPECT_EQ(plat::nfsExportsServing(exports, "/srv/mit leer/tief/Vokarium"),
            (std::vector<std::string>{"/srv/mit leer", "/srv/mit leer/tief", "/"}));
  EXPECT_EQ(plat::nfsExportsServing(exports, "/srv/dragon"), (std::vector<std::string>{"/"}));
}

}  // namespace
