// The registry store: one text file per hive in the format of a registry
// export (see registry.h). Every call reads the file anew, so values that
// another program or an administrator wrote in between are seen; every
// change rewrites the whole file atomically. Lines the parser does not
// understand are skipped (and dropped by the next write), never fatal.
// Names and strings are cp1252 bytes; a string holding a line break or NUL
// cannot stand on one line and is refused with invalidParameter.
#include <cstdlib>
#include <vector>

#include "platform/local_file.h"
#include "platform/registry.h"

namespace plat {

namespace {

struct RegEntry {
  std::string name;
  RegValue value;
};

struct RegKey {
  std::string name;  // below the hive root, without leading or trailing "\"
  std::vector<RegEntry> entries;
};

struct HiveData {
  std::vector<RegKey> keys;
};

const char* rootName(Hive hive) {
  return hive == Hive::currentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

// Case folding of cp1252 letters, as key and value names compare.
unsigned char foldByte(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
      return static_cast<unsigned char>(c + 16);
    case 0x9F:
      return 0xFF;
    default:
      return c;
  }
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (foldByte(static_cast<unsigned char>(a[i])) != foldByte(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool hasLineBreakOrNul(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A key below the hive root without leading or trailing "\", or "" when
// the key is unusable (empty, an empty component, a line break).
std::string normalKey(std::string_view key) {
  while (!key.empty() && key.front() == '\\')
    key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\')
    key.remove_suffix(1);
  if (key.empty() || hasLineBreakOrNul(key) || key.find("\\\\") != std::string_view::npos)
    return std::string();
  return std::string(key);
}

RegKey* findKey(HiveData& h, std::string_view key) {
  for (auto& k : h.keys) {
    if (sameName(k.name, key)) return &k;
  }
  return nullptr;
}

RegKey& keyFor(HiveData& h, const std::string& key) {
  if (RegKey* k = findKey(h, key)) return *k;
  h.keys.push_back(RegKey{key, {}});
  return h.keys.back();
}

void setEntry(RegKey& k, std::string_view name, const RegValue& v) {
  for (auto& e : k.entries) {
    if (sameName(e.name, name)) {
      e.value = v;
      return;
    }
  }
  k.entries.push_back(RegEntry{std::string(name), v});
}

// Reads a quoted text starting at s[pos] == '"'; pos ends after the closing
// quote. Only \\ and \" are escapes; another backslash stands for itself.
bool parseQuoted(std::string_view s, std::size_t& pos, std::string& out) {
  if (pos >= s.size() || s[pos] != '"') return false;
  out.clear();
  for (++pos; pos < s.size(); ++pos) {
    char c = s[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\' && pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) c = s[++pos];
    out += c;
  }
  return false;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool parseDword(std::string_view s, std::uint32_t& out) {
  constexpr std::string_view prefix = "dword:";
  if (s.size() <= prefix.size() || s.size() > prefix.size() + 8 ||
      !sameName(s.substr(0, 6), prefix))
    return false;
  out = 0;
  for (char c : s.substr(prefix.size())) {
    int d = hexDigit(c);
    if (d < 0) return false;
    out = out * 16 + static_cast<std::uint32_t>(d);
  }
  return true;
}

// One value line: "Name"="text", "Name"=dword:hhhhhhhh or @=... for the
// key's unnamed value.
bool parseValueLine(std::string_view line, std::string& name, RegValue& v) {
  std::size_t pos = 0;
  if (!line.empty() && line[0] == '@') {
    name.clear();
    pos = 1;
  } else if (!parseQuoted(line, pos, name)) {
    return false;
  }
  if (pos >= line.size() || line[pos] != '=') return false;
  ++pos;
  if (pos < line.size() && line[pos] == '"') {
    std::string text;
    if (!parseQuoted(line, pos, text) || pos != line.size()) return false;
    v = RegValue{RegType::string, std::move(text), 0};
    return true;
  }
  std::uint32_t n = 0;
  if (!parseDword(line.substr(pos), n)) return false;
  v = RegValue{RegType::dword, std::string(), n};
  return true;
}

HiveData parseHive(Hive hive, std::string_view text) {
  HiveData h;
  const std::string_view root = rootName(hive);
  RegKey* current = nullptr;  // null in a section this hive cannot hold
  while (!text.empty()) {
    auto nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    // CR of a CR LF end, and blanks an editor left behind the text.
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.remove_suffix(1);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      current = nullptr;
      if (line.size() < 2 || line.back() != ']') continue;
      std::string_view full = line.substr(1, line.size() - 2);
      if (full.size() <= root.size() || !sameName(full.substr(0, root.size()), root) ||
          full[root.size()] != '\\')
        continue;
      std::string key = normalKey(full.substr(root.size() + 1));
      if (key.empty()) continue;
      current = &keyFor(h, key);
      continue;
    }
    if (current == nullptr) continue;
    std::string name;
    RegValue v;
    if (parseValueLine(line, name, v)) setEntry(*current, name, v);
  }
  return h;
}

void appendQuoted(std::string& out, std::string_view s) {
  out += '"';
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

std::string formatHive(Hive hive, const HiveData& h) {
  static const char hex[] = "0123456789abcdef";
  std::string out = "REGEDIT4\r\n";
  for (const auto& k : h.keys) {
    out += "\r\n[";
    out += rootName(hive);
    out += '\\';
    out += k.name;
    out += "]\r\n";
    for (const auto& e : k.entries) {
      if (e.name.empty()) {
        out += '@';
      } else {
        appendQuoted(out, e.name);
      }
      out += '=';
      if (e.value.type == RegType::string) {
        appendQuoted(out, e.value.text);
      } else {
        out += "dword:";
        for (int shift = 28; shift >= 0; shift -= 4)
          out += hex[(e.value.number >> shift) & 0xF];
      }
      out += "\r\n";
    }
  }
  return out;
}

Err loadHive(Hive hive, HiveData& h) {
  std::string text;
  Err e = readLocalFile(registryFile(hive), text);
  if (e == Err::notFound) {
    h = HiveData{};
    return Err::ok;
  }
  if (e != Err::ok) return e;
  h = parseHive(hive, text);
  return Err::ok;
}

Err saveHive(Hive hive, const HiveData& h) {
  return replaceLocalFile(registryFile(hive), formatHive(hive, h), 0644);
}

// Reads the hive, lets `change` alter it and writes it back when asked.
template <typename Change>
Err updateHive(Hive hive, Change change) {
  HiveData h;
  Err e = loadHive(hive, h);
  if (e != Err::ok) return e;
  bool write = false;
  e = change(h, write);
  if (e != Err::ok || !write) return e;
  return saveHive(hive, h);
}

Err writeValue(Hive hive, std::string_view key, std::string_view name, const RegValue& v) {
  std::string k = normalKey(key);
  if (k.empty() || hasLineBreakOrNul(name) || hasLineBreakOrNul(v.text))
    return Err::invalidParameter;
  return updateHive(hive, [&](HiveData& h, bool& write) {
    setEntry(keyFor(h, k), name, v);
    write = true;
    return Err::ok;
  });
}

std::string envOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return (v != nullptr && *v != '\0') ? std::string(v) : fallback;
}

}  // namespace

std::string registryFile(Hive hive) {
  std::string file = std::string(rootName(hive)) + ".reg";
  std::string redirect = envOr("VOKARIUM_REGISTRY_DIR", "");
  if (!redirect.empty()) return redirect + "/" + file;
  if (hive == Hive::localMachine) return "/etc/QMT/" + file;
  std::string config = envOr("XDG_CONFIG_HOME", "");
  if (config.empty()) config = envOr("HOME", "") + "/.config";
  return config + "/QMT/" + file;
}

bool regKeyExists(Hive hive, std::string_view key) {
  std::string k = normalKey(key);
  HiveData h;
  if (k.empty() || loadHive(hive, h) != Err::ok) return false;
  for (const auto& have : h.keys) {
    // A key exists when it has a section of its own or a subkey has one.
    if (have.name.size() >= k.size() && sameName(have.name.substr(0, k.size()), k) &&
        (have.name.size() == k.size() || have.name[k.size()] == '\\'))
      return true;
  }
  return false;
}

Err regRead(Hive hive, std::string_view key, std::string_view name, RegValue& value) {
  value = RegValue{};
  std::string k = normalKey(key);
  if (k.empty()) return Err::notFound;
  HiveData h;
  Err e = loadHive(hive, h);
  if (e != Err::ok) return e;
  RegKey* found = findKey(h, k);
  if (found == nullptr) return Err::notFound;
  for (const auto& entry : found->entries) {
    if (sameName(entry.name, name)) {
      value = entry.value;
      return Err::ok;
    }
  }
  return Err::notFound;
}

Err regReadString(Hive hive, std::string_view key, std::string_view name, std::string& text) {
  RegValue v;
  Err e = regRead(hive, key, name, v);
  if (e != Err::ok) return e;
  if (v.type != RegType::string) return Err::invalidParameter;
  text = v.text;
  return Err::ok;
}

Err regReadDword(Hive hive, std::string_view key, std::string_view name, std::uint32_t& number) {
  RegValue v;
  Err e = regRead(hive, key, name, v);
  if (e != Err::ok) return e;
  if (v.type != RegType::dword) return Err::invalidParameter;
  number = v.number;
  return Err::ok;
}

Err regCreateKey(Hive hive, std::string_view key) {
  std::string k = normalKey(key);
  if (k.empty()) return Err::invalidParameter;
  return updateHive(hive, [&](HiveData& h, bool& write) {
    if (findKey(h, k) == nullptr) {
      keyFor(h, k);
      write = true;
    }
    return Err::ok;
  });
}

Err regWriteString(Hive hive, std::string_view key, std::string_view name, std::string_view text) {
  return writeValue(hive, key, name, RegValue{RegType::string, std::string(text), 0});
}

Err regWriteDword(Hive hive, std::string_view key, std::string_view name, std::uint32_t number) {
  return writeValue(hive, key, name, RegValue{RegType::dword, std::string(), number});
}

Err regDeleteValue(Hive hive, std::string_view key, std::string_view name) {
  std::string k = normalKey(key);
  if (k.empty()) return Err::notFound;
  return updateHive(hive, [&](HiveData& h, bool& write) {
    RegKey* found = findKey(h, k);
    if (found == nullptr) return Err::notFound;
    for (auto it = found->entries.begin(); it != found->entries.end(); ++it) {
      if (sameName(it->name, name)) {
        found->entries.erase(it);
        write = true;
        return Err::ok;
      }
    }
    return Err::notFound;
  });
}

}  // namespace plat
