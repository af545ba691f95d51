// Mount check on Linux: /proc/self/mountinfo parsed line by line; the
// verdicts follow what the shared-drive harness measured (tests/share).
// An unreadable mountinfo gives "unmeasured", never a false "excludes".
#include <fstream>

#include "platform/mount_check.h"
#include "platform/paths.h"

namespace plat {

namespace {

// Undoes the octal escapes mountinfo uses for blanks, tabs, newlines and
// backslashes in paths.
std::string unescape(std::string_view s) {
  std::string r;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '3' && s[i + 2] >= '0' &&
        s[i + 2] <= '7' && s[i + 3] >= '0' && s[i + 3] <= '7') {
      r += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
      i += 3;
    } else {
      r += s[i];
    }
  }
  return r;
}

std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> f;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ')
      ++i;
    std::size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\n')
      ++j;
    if (j > i) f.push_back(line.substr(i, j - i));
    i = j + 1;
  }
  return f;
}

bool hasOption(const std::string& options, std::string_view name, std::string* value) {
  std::size_t i = 0;
  while (i <= options.size()) {
    std::size_t j = options.find(',', i);
    if (j == std::string::npos) j = options.size();
    std::string_view o(options.data() + i, j - i);
    if (o == name) return true;
    if (o.size() > name.size() && o.substr(0, name.size()) == name && o[name.size()] == '=') {
      if (value != nullptr) *value = std::string(o.substr(name.size() + 1));
      return true;
    }
    i = j + 1;
  }
  return false;
}

}  // namespace

bool parseMountInfoLine(std::string_view line, MountEntry& out) {
  // id parent major:minor root mountpoint options [optional...] - type source superoptions
  const std::vector<std::string_view> f = fields(line);
  std::size_t dash = 6;
  while (dash < f.size() && f[dash] != "-")
    ++dash;
  if (f.size() < 6 || dash + 2 >= f.size()) return false;
  out.mountPoint = unescape(f[4]);
  out.fsType = std::string(f[dash + 1]);
  out.source = unescape(f[dash + 2]);
  out.options = std::string(f[5]);
  if (dash + 3 < f.size()) out.options += "," + std::string(f[dash + 3]);
  return !out.mountPoint.empty() && out.mountPoint[0] == '/';
}

const MountEntry* mountOf(const std::vector<MountEntry>& mounts, std::string_view nativePath) {
  const MountEntry* best = nullptr;
  for (const MountEntry& m : mounts) {
    const std::string& p = m.mountPoint;
    const bool holds = p == "/" || (nativePath.substr(0, p.size()) == p &&
                                    (nativePath.size() == p.size() || nativePath[p.size()] == '/'));
    if (holds && (best == nullptr || p.size() >= best->mountPoint.size())) best = &m;
  }
  return best;
}

MountJudgement judgeMount(const MountEntry& m) {
  MountJudgement j;
  j.fsType = m.fsType;
  const std::string& t = m.fsType;
  if (t == "cifs" || t == "smb3") {
    j.verdict = MountVerdict::excludes;
    if (hasOption(m.options, "nobrl", nullptr)) {
      j.verdict = MountVerdict::noExclusion;
      j.option = "nobrl";
    }
    return j;
  }
  if (t == "nfs" || t == "nfs4") {
    j.verdict = MountVerdict::excludes;
    std::string v;
    if (hasOption(m.options, "nolock", nullptr)) {
      j.verdict = MountVerdict::noExclusion;
      j.option = "nolock";
    } else if (hasOption(m.options, "local_lock", &v) && v != "none") {
      j.verdict = MountVerdict::noExclusion;
      j.option = "local_lock=" + v;
    }
    return j;
  }
  // Local disk file systems with working open-file-description locks.
  for (const char* local : {"ext4", "ext3", "ext2", "xfs", "btrfs", "tmpfs", "overlay"}) {
    if (t == local) {
      j.verdict = MountVerdict::excludes;
      return j;
    }
  }
  j.verdict = MountVerdict::unmeasured;
  return j;
}

MountJudgement judgeFolder(std::string_view systemDir) {
  std::vector<MountEntry> mounts;
  std::ifstream in("/proc/self/mountinfo");
  std::string line;
  while (std::getline(in, line)) {
    MountEntry m;
    if (parseMountInfoLine(line, m)) mounts.push_back(std::move(m));
  }
  std::string np = nativePath(systemDir);
  while (np.size() > 1 && np.back() == '/')
    np.pop_back();
  const MountEntry* m = mountOf(mounts, np);
  if (m == nullptr) return MountJudgement{};
  return judgeMount(*m);
}

std::string mountAdvice(const MountJudgement& j, std::string_view systemDir) {
  const std::string dir(systemDir);
  switch (j.verdict) {
    case MountVerdict::excludes:
      return {};
    case MountVerdict::noExclusion:
      return "Fehler: " + dir + " ist mit " + j.option + " eingebunden (" + j.fsType +
             "): Sperren wirken nur auf diesem Rechner; ohne " + j.option + " neu einbinden";
    case MountVerdict::unmeasured:
      break;
  }
  return "Fehler: " + dir + " liegt auf " + (j.fsType.empty() ? "einem unbekannten" : j.fsType) +
         "-Dateisystem, dessen Sperren nicht gepr\xFC"
         "ft sind; lokale Platte, CIFS oder NFS verwenden";
}

}  // namespace plat
