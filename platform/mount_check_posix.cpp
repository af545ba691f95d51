// Mount check on Linux: /proc/self/mountinfo parsed line by line; the
// verdicts follow what the shared-drive harness measured (tests/share).
// An unreadable mountinfo gives "unmeasured", never a false "excludes".
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>

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
  // VOKARIUM_MOUNTINFO redirects the table (tests).
  const char* table = std::getenv("VOKARIUM_MOUNTINFO");
  std::ifstream in(table != nullptr && *table != '\0' ? table : "/proc/self/mountinfo");
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

namespace {

// Lower case without blanks: smb.conf keys are compared so.
std::string keyOf(std::string_view s) {
  std::string r;
  for (char c : s)
    if (c != ' ' && c != '\t') r += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

std::string trimmed(std::string_view s) {
  std::size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string_view::npos) return {};
  std::size_t b = s.find_last_not_of(" \t\r");
  return std::string(s.substr(a, b - a + 1));
}

bool isNo(const std::string& v) {
  const std::string k = keyOf(v);
  return k == "no" || k == "false" || k == "0" || k == "off";
}

struct SambaShare {
  std::string name;
  std::string path;
  int oplocks = -1;  // -1 unset, 0 no, 1 yes
  int level2 = -1;
};

}  // namespace

std::vector<std::string> unsafeSambaShares(std::string_view smbConf, std::string_view nativeDir) {
  std::vector<SambaShare> shares;
  SambaShare global;
  SambaShare* current = nullptr;
  std::size_t i = 0;
  while (i < smbConf.size()) {
    std::size_t j = smbConf.find('\n', i);
    if (j == std::string_view::npos) j = smbConf.size();
    const std::string line = trimmed(smbConf.substr(i, j - i));
    i = j + 1;
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      const std::string name = trimmed(std::string_view(line).substr(1, line.size() - 2));
      if (keyOf(name) == "global") {
        current = &global;
      } else {
        shares.push_back(SambaShare{name, {}, -1, -1});
        current = &shares.back();
      }
      continue;
    }
    const std::size_t eq = line.find('=');
    if (current == nullptr || eq == std::string::npos) continue;
    const std::string key = keyOf(line.substr(0, eq));
    const std::string value = trimmed(std::string_view(line).substr(eq + 1));
    if (key == "path") current->path = value;
    if (key == "oplocks") current->oplocks = isNo(value) ? 0 : 1;
    if (key == "level2oplocks") current->level2 = isNo(value) ? 0 : 1;
  }
  std::vector<std::string> unsafe;
  for (const SambaShare& s : shares) {
    std::string p = s.path;
    while (p.size() > 1 && p.back() == '/')
      p.pop_back();
    const bool serves =
        !p.empty() && (p == "/" || (nativeDir.substr(0, p.size()) == p &&
                                    (nativeDir.size() == p.size() || nativeDir[p.size()] == '/')));
    const int oplocks = s.oplocks >= 0 ? s.oplocks : global.oplocks;
    const int level2 = s.level2 >= 0 ? s.level2 : global.level2;
    if (serves && !(oplocks == 0 && level2 == 0)) unsafe.push_back(s.name);
  }
  return unsafe;
}

std::string sambaAdvice(std::string_view systemDir) {
  std::ifstream in("/etc/samba/smb.conf");
  if (!in) return {};
  const std::string conf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string np = nativePath(systemDir);
  while (np.size() > 1 && np.back() == '/')
    np.pop_back();
  const std::vector<std::string> unsafe = unsafeSambaShares(conf, np);
  if (unsafe.empty()) return {};
  std::string names;
  for (const std::string& n : unsafe)
    names += (names.empty() ? "[" : ", [") + n + "]";
  return "Fehler: Samba gibt " + std::string(systemDir) + " als " + names +
         " frei, ohne \"oplocks = no\" und \"level2 oplocks = no\": Sperren der Arbeitspl\xE4tze "
         "und dieses Servers schlie\xDF"
         "en einander dann nicht aus; beides in die Freigabe "
         "eintragen";
}

std::vector<std::string> nfsExportsServing(std::string_view exports, std::string_view nativeDir) {
  std::vector<std::string> found;
  std::size_t i = 0;
  while (i < exports.size()) {
    std::size_t j = exports.find('\n', i);
    if (j == std::string_view::npos) j = exports.size();
    std::string_view line = exports.substr(i, j - i);
    i = j + 1;
    while (!line.empty() && (line[0] == ' ' || line[0] == '\t'))
      line.remove_prefix(1);
    if (line.empty() || line[0] == '#') continue;
    // A quoted path may hold blanks; else the path ends at a blank or tab.
    std::string path;
    if (line[0] == '"') {
      const std::size_t end = line.find('"', 1);
      if (end == std::string_view::npos) continue;
      path = unescape(line.substr(1, end - 1));
    } else {
      path = unescape(line.substr(0, line.find_first_of(" \t")));
    }
    while (path.size() > 1 && path.back() == '/')
      path.pop_back();
    const bool serves =
        path == "/" || (nativeDir.substr(0, path.size()) == path &&
                        (nativeDir.size() == path.size() || nativeDir[path.size()] == '/'));
    if (!path.empty() && path[0] == '/' && serves &&
        std::find(found.begin(), found.end(), path) == found.end())
      found.push_back(path);
  }
  return found;
}

std::string nfsLeaseAdvice(std::string_view systemDir) {
  auto lesen = [](const char* pfad, std::string& text) {
    std::ifstream in(pfad);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
  };
  std::string leases;
  if (!lesen("/proc/sys/fs/leases-enable", leases) ||
      trimmed(leases.substr(0, leases.find('\n'))) != "1")
    return {};
  // The kernel NFS server's table of what it exports now, else the file.
  std::string exports;
  if (!lesen("/var/lib/nfs/etab", exports) && !lesen("/etc/exports", exports)) return {};
  std::string versions;
  if (lesen("/proc/fs/nfsd/versions", versions) && versions.find("+4") == std::string::npos)
    return {};
  std::string np = nativePath(systemDir);
  while (np.size() > 1 && np.back() == '/')
    np.pop_back();
  const std::vector<std::string> served = nfsExportsServing(exports, np);
  if (served.empty()) return {};
  return "Fehler: der NFS-Server gibt " + std::string(systemDir) + " frei (" + served.front() +
         ") und vergibt NFSv4-Delegationen (fs.leases-enable = 1): ein Arbeitsplatz bekommt "
         "dann eine Datei, die ein anderer allein h\xE4lt; \"sysctl -w fs.leases-enable=0\" "
         "auf diesem Rechner (und in /etc/sysctl.d/) oder nur NFSv3";
}

}  // namespace plat
