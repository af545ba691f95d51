// The user list and the pool table: see benutzer.h.
#include "server/benutzer.h"

#include <algorithm>

#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"
#include "platform/text_lines.h"
#include "server/optionen.h"
#include "server/protokoll.h"

namespace zentrale {

namespace {

constexpr std::size_t kMaxZeile = 1023;
constexpr std::size_t kMaxPoolName = 31;
constexpr std::size_t kMaxBenutzer = 127;
constexpr std::size_t kMaxFeld = 263;

Tabellen& zustand() {
  static Tabellen t;
  return t;
}

// One field from `pos`; `pos` ends after the field's TAB (or at the end).
std::string feldLesen(std::string_view zeile, std::size_t& pos) {
  while (pos < zeile.size() && zeile[pos] == ' ')
    ++pos;
  std::string feld;
  if (pos < zeile.size() && (zeile[pos] == '"' || zeile[pos] == '\'')) {
    const char q = zeile[pos++];
    while (pos < zeile.size()) {
      if (zeile[pos] == q) {
        if (pos + 1 < zeile.size() && zeile[pos + 1] == q) {
          feld += q;
          pos += 2;
          continue;
        }
        ++pos;
        break;
      }
      feld += zeile[pos++];
    }
    while (pos < zeile.size() && zeile[pos] != '\t')
      ++pos;
  } else {
    while (pos < zeile.size() && zeile[pos] != '\t')
      feld += zeile[pos++];
  }
  if (pos < zeile.size()) ++pos;
  return feld;
}

bool steuerzeichenFrei(std::string_view s) {
  return std::none_of(s.begin(), s.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
  });
}

}  // namespace

Tabellen& tabellen() {
  return zustand();
}

void TabellenZuruecksetzen() {
  zustand() = Tabellen{};
}

ZeilenFehler BenutzerZeileZerlegen(std::string_view zeile, BenutzerEintrag& e) {
  std::size_t pos = 0;
  e.pool = feldLesen(zeile, pos);
  e.benutzer = feldLesen(zeile, pos);
  e.unterverzeichnis = feldLesen(zeile, pos);
  e.thema = feldLesen(zeile, pos);
  if (e.pool.size() > kMaxPoolName || e.benutzer.size() > kMaxBenutzer ||
      e.unterverzeichnis.size() > kMaxFeld || e.thema.size() > kMaxFeld)
    return ZeilenFehler::feldZuLang;
  // Pool and user become folder and file names below the target directory;
  // the other two fields travel to the clients, where a control character
  // would break the line format.
  if (!plat::isSafeName(e.pool) || !plat::isSafeName(e.benutzer) ||
      !steuerzeichenFrei(e.unterverzeichnis) || !steuerzeichenFrei(e.thema))
    return ZeilenFehler::unzulaessigerName;
  return ZeilenFehler::keiner;
}

void BenutzerlisteLesen() {
  Tabellen neu;
  Tabellen& t = neu;
  const ServerOptionen& o = optionen();
  const std::string pfad = o.basisVerzeichnis + o.benutzerlistenDatei;
  // The administration program holds the list while it writes it: retried
  // as the members' files are. A list that cannot be read whole leaves the
  // tables (and "BenIntern.dat") as they were, when there were any.
  const bool vorher = !zustand().benutzer.empty();
  plat::SharedFile f;
  const plat::Err oe = f.openRetrying(pfad, plat::Access::read, plat::Share::denyWrite,
                                      plat::Disposition::openExisting, 7, 200);
  if (oe != plat::Err::ok) {
    const std::string warum = plat::whyNoFile(pfad);
    if (oe == plat::Err::notFound && !vorher) {
      logFehlerName("Benutzerliste wurde noch nicht mit vkVerwalter erstellt", pfad);
      logText("      vkVerwalter ordnet die Anwender den Pools zu und speichert die Liste in " +
              sichtbar(o.basisVerzeichnis) + "; der Server liest sie dann von selbst.");
      logNeueZeile();
      zustand() = Tabellen{};
    } else if (vorher) {
      logFehlerName(warum.empty()
                        ? "Benutzerliste nicht lesbar, die bisherige gilt weiter"
                        : "Benutzerliste nicht lesbar (" + warum + "), die bisherige gilt weiter",
                    pfad);
    } else {
      logFehlerName(warum.empty() ? "Benutzerliste nicht lesbar"
                                  : "Benutzerliste nicht lesbar (" + warum + ")",
                    pfad);
      zustand() = Tabellen{};
    }
    return;
  }
  plat::LineReader leser(f, kMaxZeile);
  std::string zeile;
  for (;;) {
    const plat::LineStatus st = leser.next(zeile);
    if (st == plat::LineStatus::end) break;
    if (st == plat::LineStatus::error) {
      if (vorher) {
        logFehlerName("Benutzerliste nicht lesbar, die bisherige gilt weiter", pfad);
        return;
      }
      logFehlerName("Benutzerliste nicht lesbar", pfad);
      break;
    }
    if (zeile.empty() || static_cast<unsigned char>(zeile[0]) <= ' ') continue;
    const std::string nummer = std::to_string(leser.lineNumber());
    if (st == plat::LineStatus::tooLong) {
      logFehlerName("Feld zu lang in der Benutzerliste", nummer);
      continue;
    }
    BenutzerEintrag e;
    const ZeilenFehler fehler = st == plat::LineStatus::hasNul ? ZeilenFehler::unzulaessigerName
                                                               : BenutzerZeileZerlegen(zeile, e);
    if (fehler == ZeilenFehler::feldZuLang) {
      logFehlerName("Feld zu lang in der Benutzerliste", nummer);
      continue;
    }
    if (fehler == ZeilenFehler::unzulaessigerName) {
      logFehlerName("unzulaessiger Name in der Benutzerliste", nummer);
      continue;
    }
    t.benutzer.push_back(std::move(e));
  }
  f.close();
  zustand() = std::move(neu);

  Tabellen& tab = zustand();
  for (const BenutzerEintrag& e : tab.benutzer) {
    if (std::find(tab.pools.begin(), tab.pools.end(), e.pool) != tab.pools.end()) continue;
    if (tab.pools.size() >= kMaxPools) fatal("zu viele Pools gefunden");
    tab.pools.push_back(e.pool);
    const std::string verzeichnis = o.zielVerzeichnis + e.pool + "\\";
    if (plat::linkOnTheWay(verzeichnis))
      logFehlerName("Pool-Directory ist ein symbolischer Link, wird nicht benutzt", verzeichnis);
    else if (plat::createDirectoryTree(verzeichnis) != plat::Err::ok)
      logFehlerName("Pool-Directory nicht erzeugbar", verzeichnis);
  }
}

void BenutzerlisteSchreiben() {
  std::string aus;
  for (const BenutzerEintrag& e : zustand().benutzer)
    plat::addLine(aus, e.pool + "\t" + e.benutzer + "\t" + e.unterverzeichnis + "\t" + e.thema);
  const std::string pfad = optionen().zielVerzeichnis + optionen().internBenutzerliste;
  // Something that is no file under the name (a folder, a FIFO, a link)
  // would stop the server at every start: it is set aside instead.
  if (const std::string warum = plat::whyNoFile(pfad);
      !warum.empty() && plat::pathKind(pfad) != plat::PathKind::missing) {
    const plat::Err weg = plat::renameEntry(pfad, pfad + ".defekt");
    logFehlerName("Benutzerliste der Clients ist keine Datei (" + warum + "), " +
                      (weg == plat::Err::ok ? "beiseite gelegt"
                                            : "nicht beiseite legbar: " + plat::errText(weg)),
                  pfad);
  }
  // A client may be reading the old copy this very moment; give it the
  // time the members' files get before the server gives up.
  plat::Err e = plat::Err::ok;
  for (int versuch = 0; versuch < 7; ++versuch) {
    if (versuch > 0) plat::sleepMs(200);
    e = plat::publishReplace(pfad, aus, true);
    if (e != plat::Err::sharingViolation) break;
  }
  if (e != plat::Err::ok) fatalName("Benutzerliste nicht erzeugbar", pfad);
}

}  // namespace zentrale
