// Files of the recognizer stand-in. Every file is opened through the OS
// layer's shared files and replaced whole (temporary name, then rename), so
// another workstation reading the same speaker sees the old or the new file.
#include "dragonsim/world.h"

#include <unordered_set>

#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/shared_file.h"
#include "platform/system.h"
#include "platform/text_lines.h"

namespace natspeak {

namespace {

const char* const kAddinKey = "Software\\Microsoft\\Office\\Word\\Addins\\Dragon.Word2000Support.1";

std::string trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::string lastIniPath() {
  return settingsDirectory() + "natspeak.ini";
}

}  // namespace

std::string settingsDirectory() {
  return plat::appDataDirectory() + "nuance\\naturallyspeaking10\\";
}

std::string nsuserIniPath() {
  return settingsDirectory() + "nsuser.ini";
}

std::string iniValue(const std::string& path, const std::string& section, const std::string& key) {
  std::vector<std::string> lines;
  if (plat::readLines(path, lines) != plat::Err::ok) return "";
  bool inSection = false;
  for (const auto& raw : lines) {
    std::string line = trim(raw);
    if (!line.empty() && line[0] == '[') {
      inSection = line == "[" + section + "]";
      continue;
    }
    std::size_t eq = line.find('=');
    if (inSection && eq != std::string::npos && trim(line.substr(0, eq)) == key) {
      return trim(line.substr(eq + 1));
    }
  }
  return "";
}

std::string masterDirectory() {
  return plat::withBackslash(
      iniValue(nsuserIniPath(), "Settings", "Roaming User Master Directory"));
}

std::vector<Topic> readTopics(const std::string& master, const std::string& speaker) {
  std::vector<Topic> topics;
  std::vector<std::string> lines;
  if (plat::readLines(master + speaker + "\\current\\topics.ini", lines) != plat::Err::ok)
    return topics;
  bool inSection = false;
  for (const auto& raw : lines) {
    std::string line = trim(raw);
    if (!inSection) {
      inSection = line == "[Topics]";
      continue;
    }
    if (!line.empty() && line[0] == '[') break;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    Topic t{line.substr(0, eq), line.substr(eq + 1)};
    if (plat::isSafeName(t.folder)) topics.push_back(t);
  }
  return topics;
}

std::vector<std::string> listSpeakers(const std::string& master) {
  std::vector<std::string> names;
  std::vector<std::string> speakers;
  if (master.empty() ||
      plat::listDirectory(master, "*", plat::ListKind::directories, names) != plat::Err::ok) {
    return speakers;
  }
  for (const auto& n : names) {
    if (plat::fileExists(master + n + "\\current\\topics.ini")) speakers.push_back(n);
  }
  return speakers;
}

std::string topicFolder(const std::string& master, const std::string& speaker,
                        const std::string& topic) {
  if (master.empty() || !plat::isSafeName(speaker)) return "";
  for (const auto& t : readTopics(master, speaker)) {
    if (t.name == topic) return master + speaker + "\\current\\" + t.folder + "\\";
  }
  return "";
}

plat::Err readWordFile(const std::string& path, Words& words) {
  words.clear();
  const plat::Err err =
      plat::forEachLine(path, 0, [&](plat::LineStatus st, const std::string& line, std::size_t) {
        if (line.empty() || st != plat::LineStatus::line) return;
        std::size_t bs = line.find('\\');
        Word w = bs == std::string::npos || bs == 0 ? Word{line, ""}
                                                    : Word{line.substr(0, bs), line.substr(bs + 1)};
        // A line the recognizer's analysis refuses never becomes a word.
        if (dragonproto::analyse(w.written, w.spoken) == dragonproto::Analysis::ok) {
          words.push_back(std::move(w));
        }
      });
  return err == plat::Err::notFound ? plat::Err::ok : err;
}

plat::Err writeWordFile(const std::string& path, const Words& words) {
  std::string data;
  for (const auto& w : words) {
    data.append(w.written);
    if (!w.spoken.empty()) {
      data.push_back('\\');
      data.append(w.spoken);
    }
    data.append("\r\n");
  }
  return plat::publishReplace(path, data, true);
}

plat::Err loadVocabulary(const std::string& folder, Vocabulary& voc) {
  voc.clear();
  Words words;
  plat::Err err = readWordFile(folder + "builtin.voc", words);
  if (err != plat::Err::ok) return err;
  for (const auto& w : words)
    voc.add(w, true);
  if ((err = readWordFile(folder + "removed.voc", words)) != plat::Err::ok) return err;
  for (const auto& w : words)
    voc.remove(w);
  if ((err = readWordFile(folder + "user.voc", words)) != plat::Err::ok) return err;
  for (const auto& w : words)
    voc.add(w, false);
  return plat::Err::ok;
}

plat::Err saveVocabulary(const std::string& folder, const Vocabulary& voc) {
  Words words;
  voc.words(true, words);
  plat::Err err = writeWordFile(folder + "user.voc", words);
  if (err != plat::Err::ok) return err;
  return writeWordFile(folder + "removed.voc", voc.removedBuiltins());
}

std::pair<std::string, std::string> lastSpeaker() {
  return {iniValue(lastIniPath(), "Last", "Speaker"), iniValue(lastIniPath(), "Last", "Topic")};
}

void rememberSpeaker(const std::string& speaker, const std::string& topic) {
  // The last speaker only preselects the next start's choice; without the
  // file the stand-in starts with none chosen.
  plat::ignoreErr(plat::createDirectoryTree(settingsDirectory()), "publishReplace fails after it");
  plat::ignoreErr(
      plat::publishReplace(lastIniPath(),
                           "[Last]\r\nSpeaker=" + speaker + "\r\nTopic=" + topic + "\r\n", false),
      "a preselection only");
}

Words generatedBuiltins(std::size_t count) {
  static const char* const syllables[] = {
      "ab", "an",  "be", "bo", "da", "de",    "el",    "en",    "fa",      "ge", "ha",
      "he", "in",  "ka", "ko", "la", "le",    "ma",    "me",    "mi",      "na", "ne",
      "no", "or",  "pa", "ra", "re", "ri",    "sa",    "se",    "ta",      "te", "to",
      "un", "ver", "wa", "ze", "zu", "m\xFC", "b\xE4", "l\xF6", "stra\xDF"};
  constexpr std::size_t n = sizeof(syllables) / sizeof(syllables[0]);
  Words words;
  words.reserve(count);
  std::unordered_set<std::string> seen;
  for (std::size_t i = 0; words.size() < count; ++i) {
    std::string w;
    std::size_t v = i;
    do {
      w.append(syllables[v % n]);
      v /= n;
    } while (v > 0);
    if (w.size() < 4) w.append("en");
    if (i % 3 == 0) w[0] = static_cast<char>(w[0] - 'a' + 'A');
    if (seen.insert(w).second) words.push_back(Word{w, ""});
  }
  return words;
}

bool setup(const std::string& master, const std::vector<SetupTopic>& topics,
           const std::string& programFolder, std::string& message) {
  auto fail = [&message](const std::string& what, plat::Err err) {
    message = what + ": " + plat::errText(err);
    return false;
  };
  // Every name and file is checked before anything is written, so that a
  // refused call leaves the world as it was.
  for (const auto& t : topics) {
    std::string folder = t.folder.empty() ? t.topic : t.folder;
    // A topic name must stand as the key of one line of topics.ini.
    bool topicOk = !t.topic.empty() && t.topic.front() != '[' && trim(t.topic) == t.topic &&
                   t.topic.find('=') == std::string::npos &&
                   dragonproto::analyse(t.topic, "") == dragonproto::Analysis::ok;
    if (!plat::isSafeName(t.speaker) || !plat::isSafeName(folder) || !topicOk) {
      message = "Unzul\xE4ssiger Name: " + t.speaker + " / " + t.topic + " / " + folder;
      return false;
    }
    for (const std::string* file : {&t.builtinFile, &t.wordsFile}) {
      if (!file->empty() && !plat::fileExists(*file)) return fail(*file, plat::Err::notFound);
    }
  }
  plat::Err err = plat::createDirectoryTree(master);
  if (err != plat::Err::ok) return fail(master, err);
  std::string users = settingsDirectory() + "Users\\";
  if ((err = plat::createDirectoryTree(users)) != plat::Err::ok) return fail(users, err);
  std::string ini = "[Settings]\r\nRoaming User Master Directory=" + master +
                    "\r\nUser Base Directory RU=" + users + "\r\n";
  if ((err = plat::publishReplace(nsuserIniPath(), ini, false)) != plat::Err::ok) {
    return fail(nsuserIniPath(), err);
  }
  err = plat::regWriteString(plat::Hive::localMachine, kAddinKey, "Filename",
                             programFolder + "dgnword.dll");
  if (err != plat::Err::ok) return fail("Registry", err);

  for (const auto& t : topics) {
    std::string folder = t.folder.empty() ? t.topic : t.folder;
    std::string current = master + t.speaker + "\\current\\";
    std::string dir = current + folder + "\\";
    if ((err = plat::createDirectoryTree(dir)) != plat::Err::ok) return fail(dir, err);
    auto known = readTopics(master, t.speaker);
    bool present = false;
    for (const auto& k : known)
      present = present || k.name == t.topic;
    if (!present) {
      known.push_back(Topic{t.topic, folder});
      std::string text = "[Topics]\r\n";
      for (const auto& k : known)
        text += k.name + "=" + k.folder + "\r\n";
      if ((err = plat::publishReplace(current + "topics.ini", text, false)) != plat::Err::ok) {
        return fail(current + "topics.ini", err);
      }
    }
    Words words;
    if (!t.builtinFile.empty()) {
      if ((err = readWordFile(t.builtinFile, words)) != plat::Err::ok) {
        return fail(t.builtinFile, err);
      }
      if ((err = writeWordFile(dir + "builtin.voc", words)) != plat::Err::ok) {
        return fail(dir + "builtin.voc", err);
      }
    } else if (!plat::fileExists(dir + "builtin.voc")) {
      if ((err = writeWordFile(dir + "builtin.voc", generatedBuiltins(5000))) != plat::Err::ok) {
        return fail(dir + "builtin.voc", err);
      }
    }
    if (!t.wordsFile.empty()) {
      Vocabulary voc;
      if ((err = loadVocabulary(dir, voc)) != plat::Err::ok) return fail(dir, err);
      if ((err = readWordFile(t.wordsFile, words)) != plat::Err::ok) {
        return fail(t.wordsFile, err);
      }
      bool changed = false;
      for (const auto& w : words) {
        if (dragonproto::analyse(w.written, w.spoken) == dragonproto::Analysis::ok) {
          changed = voc.add(w, false) || changed;
        }
      }
      if (changed && (err = saveVocabulary(dir, voc)) != plat::Err::ok) return fail(dir, err);
    }
  }
  return true;
}

}  // namespace natspeak
