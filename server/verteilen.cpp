// Pool text delivery and the evaluation of a pass: see verteilen.h.
#include "server/verteilen.h"

#include <algorithm>
#include <initializer_list>
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

// Pool texts are delivered in pieces of this size, so a text is limited by
// the disk, not by the server's memory; a text that fits one piece is read
// once for all members.
constexpr std::size_t kStueck = 4 << 20;

// What a pass wrote: flushed to disk before the claims and the delivered
// remainders may go. On a local disk one flush of the file system at the
// end of the pass covers every file; on a network drive that flush does not
// reach the server's disk, so each file is flushed before it is closed.
struct Durchgang {
  // The intent record of the member appends of the pool being served,
  // begun at its first append.
  plat::AppendBatch sammel;
  std::string sammelOrdner;
  bool sammelBegonnen = false;
  bool jeDatei = false;
  bool geschrieben = false;
  std::vector<std::string> loeschen;
};

void durchgangBeginnen(Durchgang& d) {
  d.jeDatei =
      schleife().jedeDateiFlushen || !plat::syncFileSystemSuffices(optionen().zielVerzeichnis);
}

// The pool's batch record, begun now if not yet; null when it cannot be
// made (then each append gets a record of its own).
plat::AppendBatch* sammlung(Durchgang& d) {
  if (!d.sammelBegonnen) {
    d.sammelBegonnen = d.sammel.begin(d.sammelOrdner) == plat::Err::ok;
    if (!d.sammelBegonnen) return nullptr;
  }
  return &d.sammel;
}

// Opens a file without sharing, with the member-file retries.
plat::Err exklusivOeffnen(plat::SharedFile& f, const std::string& pfad, plat::Disposition d) {
  const Schleife& s = schleife();
  plat::Err e = plat::Err::ok;
  for (int versuch = 1;; ++versuch) {
    e = f.open(pfad, plat::Access::readWrite, plat::Share::exclusive, d);
    if (e != plat::Err::sharingViolation || versuch >= s.mitgliedVersuche) return e;
    plat::sleepMs(s.mitgliedPauseMs);
  }
}

// An error line that names the file and, for something that is no shared
// file (a folder, link, FIFO, ...), what it is; else the reason of `fehler`
// (held by another program, no permission, disk full).
void dateiFehler(const std::string& meldung, const std::string& pfad,
                 plat::Err fehler = plat::Err::ok) {
  std::string warum = plat::whyNoFile(pfad);
  if (warum.empty() && fehler != plat::Err::ok) warum = plat::errText(fehler);
  logFehlerName(warum.empty() ? meldung : meldung + " (" + warum + ")", pfad);
}

// A text opened for reading, delivered in pieces.
struct Quelle {
  plat::SharedFile datei;
  std::int64_t groesse = 0;
  std::string erstesStueck;

  plat::Err oeffnen(const std::string& pfad) {
    const plat::Err e =
        datei.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting);
    return e == plat::Err::ok ? ersteLesen() : e;
  }

  plat::Err ersteLesen() {
    groesse = datei.size();
    erstesStueck.resize(static_cast<std::size_t>(std::min<std::int64_t>(groesse, kStueck)));
    std::size_t gelesen = 0;
    const plat::Err e = datei.readAt(0, erstesStueck.data(), erstesStueck.size(), gelesen);
    erstesStueck.resize(gelesen);
    return e;
  }
};

// Writes the whole of `q` at the position of `f`, piece by piece.
plat::Err stueckweiseSchreiben(plat::SharedFile& f, Quelle& q) {
  if (q.erstesStueck.empty()) return plat::Err::ok;
  plat::Err e = f.write(q.erstesStueck);
  std::string stueck;
  for (auto pos = static_cast<std::int64_t>(q.erstesStueck.size());
       e == plat::Err::ok && pos < q.groesse;) {
    stueck.resize(kStueck);
    std::size_t gelesen = 0;
    e = q.datei.readAt(pos, stueck.data(), stueck.size(), gelesen);
    if (e != plat::Err::ok || gelesen == 0) break;
    stueck.resize(gelesen);
    e = f.write(stueck);
    pos += static_cast<std::int64_t>(gelesen);
  }
  return e;
}

// Appends the texts to the open file `f` as one recorded append (flushed
// when `flushen`): a server killed in the middle leaves its intent record,
// and whoever next holds the file cuts the torn append back. A failure cuts
// back at once, so the file gets all of it or none.
plat::Err anhaengen(plat::SharedFile& f, std::initializer_list<Quelle*> texte, bool flushen,
                    plat::AppendBatch* sammel = nullptr) {
  std::int64_t laenge = 0;
  for (const Quelle* q : texte)
    if (q != nullptr) laenge += q->groesse;
  if (laenge == 0) return flushen ? f.sync() : plat::Err::ok;
  plat::Err e = f.beginAppend(laenge, sammel);
  if (e != plat::Err::ok) return e;
  for (Quelle* q : texte)
    if (e == plat::Err::ok && q != nullptr) e = stueckweiseSchreiben(f, *q);
  if (e == plat::Err::ok && flushen) e = f.sync();
  if (e != plat::Err::ok) {
    plat::ignoreErr(f.abortAppend(), "the append's error is reported; the next holder cuts back");
    return e;
  }
  return f.finishAppend();
}

// Moves what the clients appended to `quelle` into the claim, holding the
// text's lock only for that. False when the text is held beyond the
// retries or the move failed: then the text stays where it is.
bool textBeanspruchen(const std::string& quelle, const std::string& claim) {
  plat::SharedFile s;
  const plat::Err e = exklusivOeffnen(s, quelle, plat::Disposition::openExisting);
  if (e == plat::Err::notFound) return true;
  if (e == plat::Err::sharingViolation) {
    trace("LockError", quelle);
    return false;
  }
  if (e != plat::Err::ok) {
    dateiFehler("Pool-Text nicht lesbar", quelle, e);
    return false;
  }
  const plat::PathKind claimArt = plat::pathKind(claim);
  if (claimArt == plat::PathKind::missing) {
    if (s.renameTo(claim) != plat::Err::ok) {
      dateiFehler("Pool-Text nicht uebernehmbar", quelle);
      return false;
    }
    return true;
  }
  if (claimArt != plat::PathKind::regular) {
    // Something else holds the claim's name: the text stays as it is.
    logFehlerName(
        "Pool-Text nicht uebernehmbar, Claim-Name belegt (" + plat::whyNoFile(claim) + ")", claim);
    return false;
  }
  // An earlier claim is still there: the new lines go after it, so the
  // members get everything in the order it was written. Should the server
  // die between the append and the delete, the lines arrive twice, which
  // readers of member files tolerate, and are never lost.
  Quelle neu;
  neu.datei = std::move(s);
  plat::SharedFile c;
  const plat::Err fehler = neu.ersteLesen();
  if (fehler != plat::Err::ok ||
      c.open(claim, plat::Access::readWrite, plat::Share::exclusive,
             plat::Disposition::openAlways) != plat::Err::ok ||
      anhaengen(c, {&neu}, true) != plat::Err::ok) {
    dateiFehler("Pool-Text nicht uebernehmbar", quelle);
    return false;
  }
  c.close();
  if (neu.datei.removeAndClose() != plat::Err::ok)
    logFehlerName("Pool-Text nicht loeschbar", quelle);
  return true;
}

// One member: its own remainder from earlier passes (when there is one),
// then the claim, in one open and one recorded append.
plat::Err mitgliedBedienen(const std::string& ziel, Quelle* rest, Quelle* claim, Durchgang& d) {
  plat::SharedFile f;
  plat::Err e = exklusivOeffnen(f, ziel, plat::Disposition::openAlways);
  if (e != plat::Err::ok) return e;
  d.geschrieben = true;
  return anhaengen(f, {rest, claim}, d.jeDatei, sammlung(d));
}

// The claim goes into the member's own remainder instead: only this member
// gets it again at the next passes.
bool restAnlegen(const std::string& restPfad, Quelle& claim, Durchgang& d) {
  plat::SharedFile r;
  plat::Err e = exklusivOeffnen(r, restPfad, plat::Disposition::openAlways);
  if (e == plat::Err::ok) {
    d.geschrieben = true;
    e = anhaengen(r, {&claim}, d.jeDatei, sammlung(d));
  }
  if (e == plat::Err::ok) return true;
  dateiFehler("Rest fuer das Mitglied nicht speicherbar", restPfad);
  return false;
}

void verteilen(TextArt art, std::size_t pool, Durchgang& d) {
  const Tabellen& t = tabellen();
  Schleife& s = schleife();
  const std::string& name = t.pools[pool];
  const std::string quelle = PoolText(art, name);
  const std::string claim = ClaimPfad(quelle);
  trace("NeuePoolWorteVerteilen", quelle);

  if (!textBeanspruchen(quelle, claim)) s.nachpruefen.push_back(name);

  Quelle text;
  const bool mitClaim =
      plat::pathKind(claim) == plat::PathKind::regular && text.oeffnen(claim) == plat::Err::ok;

  bool alleBedient = true;
  d.sammelOrdner = optionen().zielVerzeichnis + name;
  const std::string endung = art == TextArt::neu ? ".neu" : ".loe";
  const std::string ordner = optionen().zielVerzeichnis + name + "\\_";
  for (const BenutzerEintrag& e : t.benutzer) {
    if (e.pool != name) continue;
    const std::string ziel = ordner + e.benutzer + endung;
    const std::string restPfad = ClaimPfad(ziel);
    Quelle rest;
    const bool mitRest = plat::pathKind(restPfad) != plat::PathKind::missing;
    if (!mitClaim && !mitRest) continue;
    if (mitRest && rest.oeffnen(restPfad) != plat::Err::ok) {
      dateiFehler("Rest fuer das Mitglied nicht lesbar", restPfad);
      if (mitClaim && !restAnlegen(restPfad, text, d)) alleBedient = false;
      continue;
    }
    const plat::Err fehler =
        mitgliedBedienen(ziel, mitRest ? &rest : nullptr, mitClaim ? &text : nullptr, d);
    if (fehler == plat::Err::ok) {
      trace("Append ->", ziel);
      if (mitRest) d.loeschen.push_back(restPfad);
      continue;
    }
    // Held beyond the retries, a folder, no permission: the others are
    // served, this member keeps its own remainder for the next passes.
    dateiFehler("Wortdatei nicht beschreibbar", ziel, fehler);
    rest.datei.close();
    if (mitClaim && !restAnlegen(restPfad, text, d)) alleBedient = false;
    if (std::find(s.reste.begin(), s.reste.end(), name) == s.reste.end()) s.reste.push_back(name);
  }
  d.sammel.end();
  d.sammelBegonnen = false;
  text.datei.close();
  if (mitClaim && alleBedient) d.loeschen.push_back(claim);
}

// The end of a pass: every member file written is on the disk before a
// claim or a delivered remainder is deleted.
void abschliessen(Durchgang& d) {
  if (d.geschrieben && !d.jeDatei) {
    const plat::Err e = plat::syncFileSystem(optionen().zielVerzeichnis);
    if (e != plat::Err::ok) {
      logFehlerName("Wortdateien nicht auf die Platte geschrieben", optionen().zielVerzeichnis);
      return;
    }
  }
  for (const std::string& pfad : d.loeschen)
    if (plat::removeFile(pfad) != plat::Err::ok) logFehlerName("Pool-Text nicht loeschbar", pfad);
}

std::string triggerId(const std::string& pfad) {
  std::string name = pfad.substr(pfad.rfind('\\') + 1);
  const std::size_t punkt = name.rfind('.');
  if (punkt != std::string::npos) name.erase(punkt);
  return name;
}

}  // namespace

bool poolTextDa(const std::string& pool) {
  return plat::pathKind(PoolText(TextArt::neu, pool)) != plat::PathKind::missing ||
         plat::pathKind(PoolText(TextArt::geloescht, pool)) != plat::PathKind::missing;
}

std::string ClaimPfad(const std::string& quelle) {
  return quelle + ".zustellung";
}

std::string PoolText(TextArt art, const std::string& pool) {
  const ServerOptionen& o = optionen();
  return o.zielVerzeichnis + pool +
         (art == TextArt::neu ? o.neuWorteTextdatei : o.loeWorteTextdatei);
}

void NeuePoolWorteVerteilen(TextArt art, std::size_t pool) {
  Durchgang d;
  durchgangBeginnen(d);
  verteilen(art, pool, d);
  abschliessen(d);
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
  // Members that could not be written keep their remainder: tried again
  // at every pass until they take it.
  for (const std::string& pool : s.reste)
    markieren(pool, false);
  s.liegengeblieben.clear();
  s.nachpruefen.clear();
  s.reste.clear();

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

  Durchgang d;
  durchgangBeginnen(d);
  for (std::size_t i = 0; i < t.pools.size(); ++i) {
    if (!markiert[i]) continue;
    verteilen(TextArt::neu, i, d);
    plat::ignoreErr(plat::removeFile(optionen().zielVerzeichnis + t.pools[i] + "\\" +
                                     optionen().wortlistenDatei),
                    "missing is the usual case; a held list is deleted by a later pass");
    verteilen(TextArt::geloescht, i, d);
    s.nachpruefen.push_back(t.pools[i]);
  }
  abschliessen(d);

  for (const std::string& pfad : s.triggerliste)
    if (!pfad.empty() && triggerId(pfad).rfind("ADMIN", 0) == 0) s.restart = true;
}

}  // namespace zentrale
