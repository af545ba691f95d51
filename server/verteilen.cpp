// Pool text delivery and the evaluation of a pass: see verteilen.h.
#include "server/verteilen.h"

#include <algorithm>
#include <vector>

#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"
#include "server/benutzer.h"
#include "server/optionen.h"
#include "server/protokoll.h"
#include "server/schleife.h"

namespace zentrale {

namespace {

// Opens a file without sharing, with the member-file retries.
plat::Err exklusivOeffnen(plat::SharedFile& f, const std::string& pfad, plat::Disposition d) {
  const Schleife& s = schleife();
  plat::Err e = plat::Err::ok;
  for (int versuch = 1;; ++versuch) {
    e = f.open(pfad, plat::Access::readWrite, plat::Share::exclusive, d);
    if (e == plat::Err::ok || e == plat::Err::notFound || versuch >= s.mitgliedVersuche) return e;
    plat::sleepMs(s.mitgliedPauseMs);
  }
}

// Moves what the clients appended to `quelle` into the claim, holding the
// text's lock only for that. False when the text is held beyond the
// retries or the move failed: then the text stays where it is.
bool textBeanspruchen(const std::string& quelle, const std::string& claim) {
  plat::SharedFile s;
  const plat::Err e = exklusivOeffnen(s, quelle, plat::Disposition::openExisting);
  if (e == plat::Err::notFound) return true;
  if (e != plat::Err::ok) {
    trace("LockError", quelle);
    return false;
  }
  if (!plat::fileExists(claim)) {
    if (s.renameTo(claim) != plat::Err::ok) {
      logFehlerName("Pool-Text nicht uebernehmbar", quelle);
      return false;
    }
    return true;
  }
  // An earlier claim is still there: the new lines go after it, so the
  // members get everything in the order it was written. Should the server
  // die between the append and the delete, the lines arrive twice, which
  // readers of member files tolerate, and are never lost.
  std::string neu;
  plat::SharedFile c;
  if (s.readAll(neu) != plat::Err::ok ||
      c.open(claim, plat::Access::readWrite, plat::Share::exclusive,
             plat::Disposition::openAlways) != plat::Err::ok ||
      c.append(neu) != plat::Err::ok || c.sync() != plat::Err::ok) {
    logFehlerName("Pool-Text nicht uebernehmbar", quelle);
    return false;
  }
  c.close();
  if (s.removeAndClose() != plat::Err::ok) logFehlerName("Pool-Text nicht loeschbar", quelle);
  return true;
}

// One append of the whole text, flushed to disk before the claim may go.
bool mitgliedBedienen(const std::string& ziel, const std::string& inhalt) {
  plat::SharedFile f;
  if (exklusivOeffnen(f, ziel, plat::Disposition::openAlways) != plat::Err::ok) {
    trace("LockError", ziel);
    return false;
  }
  plat::Err e = inhalt.empty() ? plat::Err::ok : f.append(inhalt);
  if (e == plat::Err::ok) e = f.sync();
  f.close();
  if (e != plat::Err::ok) {
    logFehlerName("Wortdatei nicht beschreibbar", ziel);
    return false;
  }
  trace("Append ->", ziel);
  return true;
}

std::string triggerId(const std::string& pfad) {
  std::string name = pfad.substr(pfad.rfind('\\') + 1);
  const std::size_t punkt = name.rfind('.');
  if (punkt != std::string::npos) name.erase(punkt);
  return name;
}

bool poolTextDa(const std::string& pool) {
  return plat::fileExists(PoolText(TextArt::neu, pool)) ||
         plat::fileExists(PoolText(TextArt::geloescht, pool));
}

}  // namespace

std::string ClaimPfad(const std::string& quelle) {
  return quelle + ".zustellung";
}

std::string PoolText(TextArt art, const std::string& pool) {
  const ServerOptionen& o = optionen();
  return o.zielVerzeichnis + pool +
         (art == TextArt::neu ? o.neuWorteTextdatei : o.loeWorteTextdatei);
}

void NeuePoolWorteVerteilen(TextArt art, std::size_t pool) {
  const Tabellen& t = tabellen();
  const std::string& name = t.pools[pool];
  const std::string quelle = PoolText(art, name);
  const std::string claim = ClaimPfad(quelle);
  trace("NeuePoolWorteVerteilen", quelle);

  if (!textBeanspruchen(quelle, claim)) schleife().nachpruefen.push_back(name);

  std::string inhalt;
  {
    plat::SharedFile c;
    if (c.open(claim, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting) !=
            plat::Err::ok ||
        c.readAll(inhalt) != plat::Err::ok)
      return;
  }

  bool alleBedient = true;
  const std::string endung = art == TextArt::neu ? ".neu" : ".loe";
  const std::string ordner = optionen().zielVerzeichnis + name + "\\_";
  for (const BenutzerEintrag& e : t.benutzer) {
    if (e.pool != name) continue;
    if (!mitgliedBedienen(ordner + e.benutzer + endung, inhalt)) alleBedient = false;
  }
  if (alleBedient && plat::removeFile(claim) != plat::Err::ok)
    logFehlerName("Pool-Text nicht loeschbar", claim);
}

void TriggerAuswerten() {
  const Tabellen& t = tabellen();
  Schleife& s = schleife();
  const bool verbose = protokoll().verbose;
  std::vector<bool> markiert(t.pools.size(), false);
  auto markieren = [&](const std::string& pool, bool nurMitText) {
    for (std::size_t i = 0; i < t.pools.size(); ++i)
      if (t.pools[i] == pool && (!nurMitText || poolTextDa(pool))) markiert[i] = true;
  };
  for (const std::string& pool : s.liegengeblieben)
    markieren(pool, false);
  for (const std::string& pool : s.nachpruefen)
    markieren(pool, true);
  s.liegengeblieben.clear();
  s.nachpruefen.clear();

  for (const std::string& pfad : s.triggerliste) {
    const std::string id = triggerId(pfad);
    if (pfad.empty() || id.rfind("POOL-", 0) != 0) continue;
    const std::string pool = id.substr(5);
    if (verbose) {
      logNeueZeile();
      logText("Update = " + pool);
    }
    markieren(pool, false);
  }

  for (std::size_t i = 0; i < t.pools.size(); ++i) {
    if (!markiert[i]) continue;
    NeuePoolWorteVerteilen(TextArt::neu, i);
    plat::removeFile(optionen().zielVerzeichnis + t.pools[i] + "\\" + optionen().wortlistenDatei);
    NeuePoolWorteVerteilen(TextArt::geloescht, i);
    s.nachpruefen.push_back(t.pools[i]);
  }

  for (const std::string& pfad : s.triggerliste)
    if (!pfad.empty() && triggerId(pfad).rfind("ADMIN", 0) == 0) s.restart = true;
}

}  // namespace zentrale
