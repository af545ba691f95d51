// Mount check on sample mountinfo lines (from the shared-drive harness's
// virtual machine), Samba shares and NFS exports.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/mount_check.h"

namespace {

using plat::MountVerdict;
using V = std::vector<std::string>;

// Every line parsed (escapes undone, the last is no mountinfo line), a
// folder lies on its longest mount point (a prefix of a name is none), and
// the advice names the folder and the option to drop.
TEST(MountCheck, TheFoldersMountAndItsVerdict) {
  std::ifstream in(VK_TEST_DATA_DIR "/mountinfo.txt");
  std::vector<plat::MountEntry> mounts;
  for (std::string line; std::getline(in, line);) {
    plat::MountEntry m;
    if (plat::parseMountInfoLine(line, m)) mounts.push_back(m);
  }
  ASSERT_EQ(mounts.size(), 9u);
  EXPECT_EQ(mounts.back().mountPoint, "/home/meier/Diktat Pool");
  struct Case {
    const char *path, *mountPoint;
    MountVerdict verdict;
    const char* option;
  };
  for (const Case& c : {
           Case{"/srv/dragon", "/srv", MountVerdict::excludes, ""},
           Case{"/mnt/cifs-a", "/mnt/cifs-a", MountVerdict::excludes, ""},
           Case{"/mnt/cifs-ab/x", "/", MountVerdict::excludes, ""},
           Case{"/mnt/cifs-nobrl/x", "/mnt/cifs-nobrl", MountVerdict::noExclusion, "nobrl"},
           Case{"/mnt/nfs3-a/x", "/mnt/nfs3-a", MountVerdict::excludes, ""},  // local_lock=none
           Case{"/mnt/ll-a/x", "/mnt/ll-a", MountVerdict::noExclusion, "local_lock=all"},
           Case{"/mnt/nolock/x", "/mnt/nolock", MountVerdict::noExclusion, "nolock"},
           Case{"/home/meier/Diktat Pool/x", "/home/meier/Diktat Pool", MountVerdict::unmeasured,
                ""},
       }) {
    const plat::MountEntry* m = plat::mountOf(mounts, c.path);
    ASSERT_NE(m, nullptr) << c.path;
    EXPECT_EQ(m->mountPoint, c.mountPoint) << c.path;
    const plat::MountJudgement j = plat::judgeMount(*m);
    EXPECT_EQ(j.verdict, c.verdict) << c.path;
    EXPECT_EQ(j.option, c.option) << c.path;
    const std::string rat = plat::mountAdvice(j, "\\x\\");
    EXPECT_EQ(rat.empty(), c.verdict == MountVerdict::excludes) << c.path;
    EXPECT_TRUE(*c.option == 0 || rat.find(std::string("ohne ") + c.option) != std::string::npos)
        << rat;
  }
}

// A Samba share of the folder or of one above excludes only with both
// oplock kinds off, in the share or for all shares. An NFS export serves
// the folder itself or one above (kernel table or /etc/exports with
// quotes, escapes and comments), never a neighbour with the same start.
TEST(MountCheck, SambaSharesAndNfsExportsOfTheFolder) {
  const std::string conf =
      "[global]\n  workgroup = KANZLEI\n; oplocks = no\n"
      "[dragon]\n  path = /srv/dragon\n"
      "[halb]\n  path = /srv/\n  oplocks = no\n"
      "[sicher]\n  path = /srv/dragon\n  Oplocks = No\n  level2 oplocks = false\n"
      "[anders]\n  path = /srv/dragonfly\n";
  EXPECT_EQ(plat::unsafeSambaShares(conf, "/srv/dragon/Vokarium"), (V{"dragon", "halb"}));
  const std::string global = "[global]\noplocks = no\nlevel2 oplocks = no\n[d]\npath=/srv\n";
  EXPECT_TRUE(plat::unsafeSambaShares(global, "/srv/dragon").empty());

  const std::string etab = "/srv/nfs\t127.0.0.1(rw,sync)\n/srv/nfsneben\t*(ro)\n";
  EXPECT_EQ(plat::nfsExportsServing(etab, "/srv/nfs/Vokarium"), V{"/srv/nfs"});
  const std::string exports =
      "# /srv/dragon *(rw)\n"
      "\"/srv/mit leer/\" 10.0.0.0/8(rw)\n"
      "/srv/mit\\040leer/tief host(rw) other(ro)\n"
      "/ *(ro)\n";
  EXPECT_EQ(plat::nfsExportsServing(exports, "/srv/mit leer/tief/Vokarium"),
            (V{"/srv/mit leer", "/srv/mit leer/tief", "/"}));
  EXPECT_EQ(plat::nfsExportsServing(exports, "/srv/dragon"), V{"/"});
}

}  // namespace
