// Which mount a folder lies on and whether the shared-drive harness showed
// that locks taken there exclude the other workstations. Read from
// /proc/self/mountinfo; a line that cannot be parsed is skipped, a folder
// whose mount cannot be found is judged as an unmeasured file system.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plat {

// One line of /proc/self/mountinfo (octal escapes such as "\040" undone).
struct MountEntry {
  std::string mountPoint;
  std::string fsType;
  std::string source;
  std::string options;  // the mount's and the super block's options, comma-separated
};

// Parses one line; false when it is no mountinfo line.
bool parseMountInfoLine(std::string_view line, MountEntry& out);

// The entry whose mount point holds `nativePath` (the last, longest match:
// later mounts cover earlier ones); nullptr when none does.
const MountEntry* mountOf(const std::vector<MountEntry>& mounts, std::string_view nativePath);

enum class MountVerdict {
  excludes,     // a local disk, or a share mounted as measured safe
  noExclusion,  // the options make locks host-local: no exclusion
  unmeasured,   // a file system the harness has not measured
};

struct MountJudgement {
  MountVerdict verdict = MountVerdict::unmeasured;
  std::string fsType;
  std::string option;  // the option at fault (noExclusion), else empty
};

MountJudgement judgeMount(const MountEntry& m);

// The judgement of the folder `systemDir` (system form) from this process's
// mountinfo (or the file $VOKARIUM_MOUNTINFO names, for tests).
MountJudgement judgeFolder(std::string_view systemDir);

// One line saying what the judgement means and what to change (German, for
// the server's log); empty for `excludes`.
std::string mountAdvice(const MountJudgement& j, std::string_view systemDir);

// The shares of a Samba configuration (smb.conf text) that serve the local
// folder `nativeDir` (their path is the folder or above it) without both
// "oplocks = no" and "level2 oplocks = no" (in the share or [global]):
// through such a share a workstation's locks and the local server's do not
// exclude each other. Share names in the file's order.
std::vector<std::string> unsafeSambaShares(std::string_view smbConf, std::string_view nativeDir);

// Line for the server's log when /etc/samba/smb.conf shares the local
// folder `systemDir` unsafely (German, with the remedy); empty otherwise.
std::string sambaAdvice(std::string_view systemDir);

// The exports of an NFS export table (/var/lib/nfs/etab or /etc/exports
// text) that serve the local folder `nativeDir` (their path is the folder
// or above it), in the table's order.
std::vector<std::string> nfsExportsServing(std::string_view exports, std::string_view nativeDir);

// Line for the server's log when the kernel NFS server exports the local
// folder `systemDir` over NFSv4 with leases on (fs.leases-enable = 1): its
// read delegations let a workstation open a file another holds alone
// (German, with the remedy); empty otherwise.
std::string nfsLeaseAdvice(std::string_view systemDir);

}  // namespace plat
