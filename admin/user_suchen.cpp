// The search for the recognizer's users and topics on disk, in list mode
// (rows without a pool) or register mode (the register `Gefundene`).
// Missing topic lists and topic folders are reported and the search goes
// on; a Speicherort that cannot be listed ends it quietly.
// The recognizer owns the folders and "topics.ini"; they are read shared.
#include "admin/user_suchen.h"

#include <string_view>
#include <vector>

#include "common/zeichenketten.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/text_lines.h"

namespace admin {

UserSuchen& userSuchen() {
  static UserSuchen u;
  return u;
}

void GefundeneLeeren() {
  userSuchen().gefundene.clear();
}

bool GefundenPruefen(const std::string& user, const std::string& folder, const std::string& topic) {
  const auto& g = userSuchen().gefundene;
  const auto it = g.find(user + "|" + topic);
  return it != g.end() && it->second == folder;
}

void TopicsLesen(SuchModus modus, const std::string& user, const std::string& pfad) {
  plat::SharedFile f;
  const plat::Err e =
      f.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting);
  if (e != plat::Err::ok) {
    fehlerMelden(e, txt::kDateiNichtLesbar, pfad);
    return;
  }
  plat::LineReader leser(f);
  std::string roh;
  bool imAbschnitt = false;
  for (;;) {
    const plat::LineStatus st = leser.next(roh);
    if (st == plat::LineStatus::end) break;
    if (st == plat::LineStatus::error) {
      fehlerMelden(leser.error(), txt::kDateiNichtLesbar, pfad);
      break;
    }
    // A NUL byte does not belong in a name: the line is no entry.
    if (st == plat::LineStatus::hasNul) continue;
    const std::string_view zeile = vk::trimmen(roh);
    if (!imAbschnitt) {
      imAbschnitt = zeile == "[Topics]";
      continue;
    }
    if (!zeile.empty() && zeile[0] == '[') break;
    const auto gleich = zeile.find('=');
    if (gleich == std::string_view::npos || gleich == 0) continue;
    const std::string topic(zeile.substr(0, gleich));
    const std::string_view wert = zeile.substr(gleich + 1);
    // The folder value becomes part of a path below the user's folder and a
    // field of the user list: one plain folder name only.
    if (!plat::isSafeName(wert)) {
      tracen("Topic-Ordner unzulaessig", pfad + " " + std::string(zeile));
      continue;
    }
    const std::string folder = "current\\" + std::string(wert);
    if (modus == SuchModus::liste) {
      ZeileAufnehmen(std::string(kOhnePool), user, folder, topic);
    } else {
      userSuchen().gefundene.emplace(user + "|" + topic, folder);
    }
    const std::string ordner = verwaltung().speicherort + user + "\\" + folder;
    if (!plat::directoryExists(ordner)) melden(txt::kTopicOrdnerFehlt, ordner);
  }
  f.close();
}

void BenutzerSuchen(SuchModus modus) {
  const std::string& s = verwaltung().speicherort;
  std::vector<std::string> namen;
  if (plat::listDirectory(s, "*", plat::ListKind::directories, namen) != plat::Err::ok) return;
  for (const std::string& name : namen) {
    // A folder name that could not be a field of the user list is no user.
    if (!plat::isSafeName(name)) continue;
    const std::string current = s + name + "\\current";
    if (!plat::directoryExists(current)) continue;
    const std::string topics = current + "\\topics.ini";
    if (!plat::fileExists(topics)) {
      melden(txt::kDateiNichtLesbar, topics);
      continue;
    }
    TopicsLesen(modus, name, topics);
  }
}

}  // namespace admin
