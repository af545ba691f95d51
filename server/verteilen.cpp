// Pool text delivery and the evaluation of a pass: see verteilen.h.
#include "server/verteilen.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <sstream>
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

// A file as the delivery record names it: device, inode and size (all 0:
// none).
struct Stand {
  std::uint64_t dev = 0;
  std::uint64_t ino = 0;
  std::int64_t groesse = 0;
  bool operator==(const Stand&) const = default;
};

Stand standVon(const std::string& pfad) {
  Stand s;
  if (!plat::fileIdentity(pfad, s.dev, s.ino)) return Stand{};
  s.groesse = static_cast<std::int64_t>(plat::fileInfo(pfad).size);
  return s;
}

Stand standVon(const plat::SharedFile& f) {
  Stand s;
  if (!f.identity(s.dev, s.ino)) return Stand{};
  s.groesse = f.size();
  return s;
}

bool gleicheDatei(const Stand& a, const Stand& b) {
  return a.dev != 0 && a.dev == b.dev && a.ino == b.ino;
}

// What one member has of the pool text kind being delivered: the first
// `claimBis` bytes of the claim, its remainder `rest` (when delivered, not
// yet deleted), both appended to `ziel` (the member file, or for `inRest`
// its remainder) which then had this size.
struct Vermerk {
  bool inRest = false;
  std::int64_t claimBis = 0;
  Stand rest;
  Stand ziel;
};

// The delivery record of a pool text kind: every member served since the
// claim was made, and a pool text already appended to the claim. It makes
// delivery exactly once: a claim or remainder that outlives its pass (the
// server killed before the delete, another program holding it just then)
// gives each member only what it has not got. Rewritten whole after each
// member (never torn); deleted with the claim. A member file that is the
// same file but shorter than the record says lost the append (a power
// loss) and is served again.
struct Buch {
  std::string pfad;
  Stand claim;
  // A pool text being appended to the claim, not yet deleted: its bytes
  // from `quelleAb` to `quelleBis` go in, and the claim has `claimNach`
  // bytes once they are there.
  Stand quelle;
  std::int64_t quelleAb = 0;
  std::int64_t quelleBis = 0;
  std::int64_t claimNach = 0;
  // By member and, for a member listed more than once, which listing.
  std::map<std::pair<std::string, int>, Vermerk> mitglieder;
  // Appends begun and not yet noted above: written before the append, so a
  // server killed after it finds the append there (the file named in `ziel`
  // has its size) and does not make it again.
  std::map<std::pair<std::string, int>, Vermerk> offen;
  bool da = false;
  // Read with entries that no longer hold (a claim or remainder gone since,
  // whose inode a new one may get): written again before anything else.
  bool veraltet = false;
};

std::string buchPfad(const std::string& claim) {
  const std::size_t cut = claim.rfind('\\');
  return claim.substr(0, cut + 1) + plat::ownTempName(claim.substr(cut + 1) + ".vermerk");
}

std::string standText(const Stand& s) {
  return std::to_string(s.dev) + " " + std::to_string(s.ino) + " " + std::to_string(s.groesse);
}

bool standLesen(std::istringstream& z, Stand& s) {
  return static_cast<bool>(z >> s.dev >> s.ino >> s.groesse);
}

// Reads the record: entries of another claim than the one now there, and
// member entries whose files say otherwise, are dropped.
void buchLesen(Buch& b, const std::string& claimPfad, const std::string& ordner,
               const std::string& endung) {
  b = Buch{};
  b.pfad = buchPfad(claimPfad);
  plat::SharedFile f;
  std::string inhalt;
  if (f.open(b.pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting) !=
          plat::Err::ok ||
      f.readAll(inhalt) != plat::Err::ok)
    return;
  f.close();
  b.da = true;
  const Stand claimJetzt = standVon(claimPfad);
  std::istringstream zeilen(inhalt);
  std::string zeile;
  Stand claimDamals;
  while (std::getline(zeilen, zeile)) {
    std::istringstream z(zeile);
    std::string art;
    z >> art;
    Stand s;
    if (art == "C" && standLesen(z, s)) {
      claimDamals = s;
    } else if (art == "Q" && standLesen(z, s) && (z >> b.quelleAb >> b.quelleBis >> b.claimNach)) {
      b.quelle = s;
    } else if (art == "M" || art == "R" || art == "OM" || art == "OR") {
      std::string name;
      int mal = 0;
      Vermerk v;
      v.inRest = art == "R" || art == "OR";
      if (!(z >> name >> mal >> v.claimBis) || !standLesen(z, v.rest) || !standLesen(z, v.ziel) ||
          !plat::isSafeName(name))
        continue;
      const std::string ziel = ordner + name + endung;
      const Stand jetzt = standVon(v.inRest ? ClaimPfad(ziel) : ziel);
      const bool derselbe = jetzt.dev == v.ziel.dev && jetzt.ino == v.ziel.ino;
      // A begun append counts only where its file has all of it; a noted
      // one no longer where the same file is shorter (a power loss).
      if (art[0] == 'O' ? !derselbe || jetzt.groesse < v.ziel.groesse
                        : derselbe && jetzt.groesse < v.ziel.groesse) {
        b.veraltet = true;
        continue;
      }
      if (art[0] == 'O') b.veraltet = true;
      if (v.claimBis != 0 && (claimDamals.dev != claimJetzt.dev ||
                              claimDamals.ino != claimJetzt.ino || claimJetzt.dev == 0)) {
        v.claimBis = 0;
        b.veraltet = true;
      }
      if (v.rest.dev != 0 && standVon(ClaimPfad(ziel)) != v.rest) {
        v.rest = Stand{};
        b.veraltet = true;
      }
      b.mitglieder[{name, mal}] = v;
    }
  }
  b.claim = claimJetzt;
}

// Writes the record whole; false (with an error line) when it cannot.
bool buchSchreiben(Buch& b) {
  std::string inhalt = "C " + standText(b.claim) + "\n";
  if (b.quelle.dev != 0)
    inhalt += "Q " + standText(b.quelle) + " " + std::to_string(b.quelleAb) + " " +
              std::to_string(b.quelleBis) + " " + std::to_string(b.claimNach) + "\n";
  const auto zeile = [](const char* art, const std::pair<std::string, int>& wer, const Vermerk& v) {
    return std::string(art) + (v.inRest ? "R " : "M ") + wer.first + " " +
           std::to_string(wer.second) + " " + std::to_string(v.claimBis) + " " + standText(v.rest) +
           " " + standText(v.ziel) + "\n";
  };
  for (const auto& [wer, v] : b.mitglieder)
    inhalt += zeile("", wer, v);
  for (const auto& [wer, v] : b.offen)
    inhalt += zeile("O", wer, v);
  if (plat::publishReplace(b.pfad, inhalt, false) != plat::Err::ok) {
    logFehlerName("Zustellvermerk nicht schreibbar", b.pfad);
    return false;
  }
  b.da = true;
  return true;
}

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
  // Per pool text kind served: the delivered claim and remainders, deleted
  // at the end; then its delivery record, when all of them went.
  struct Aufraeumen {
    std::vector<std::string> dateien;
    std::string buch;
  };
  std::vector<Aufraeumen> loeschen;
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

// A text to append from byte `ab` on.
struct Teil {
  Quelle* q = nullptr;
  std::int64_t ab = 0;
};

// Writes `t` at the position of `f`, piece by piece.
plat::Err stueckweiseSchreiben(plat::SharedFile& f, Teil t) {
  Quelle& q = *t.q;
  plat::Err e = plat::Err::ok;
  auto pos = t.ab;
  if (pos == 0 && !q.erstesStueck.empty()) {
    e = f.write(q.erstesStueck);
    pos = static_cast<std::int64_t>(q.erstesStueck.size());
  }
  std::string stueck;
  while (e == plat::Err::ok && pos < q.groesse) {
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
plat::Err anhaengen(plat::SharedFile& f, std::initializer_list<Teil> texte, bool flushen,
                    plat::AppendBatch* sammel = nullptr) {
  std::int64_t laenge = 0;
  for (const Teil& t : texte)
    if (t.q != nullptr && t.ab < t.q->groesse) laenge += t.q->groesse - t.ab;
  if (laenge == 0) return flushen ? f.sync() : plat::Err::ok;
  plat::Err e = f.beginAppend(laenge, sammel);
  if (e != plat::Err::ok) return e;
  for (const Teil& t : texte)
    if (e == plat::Err::ok && t.q != nullptr) e = stueckweiseSchreiben(f, t);
  if (e == plat::Err::ok && flushen) e = f.sync();
  if (e != plat::Err::ok) {
    plat::ignoreErr(f.abortAppend(), "the append's error is reported; the next holder cuts back");
    return e;
  }
  return f.finishAppend();
}

// Whether `n` bytes of `a` from `aAb` on are those of `b` from `bAb` on.
bool gleicheBytes(plat::SharedFile& a, std::int64_t aAb, plat::SharedFile& b, std::int64_t bAb,
                  std::int64_t n) {
  std::string x, y;
  for (std::int64_t pos = 0; pos < n;) {
    const auto stueck = static_cast<std::size_t>(std::min<std::int64_t>(n - pos, kStueck));
    x.resize(stueck);
    y.resize(stueck);
    std::size_t gx = 0, gy = 0;
    if (aAb < 0 || a.readAt(aAb + pos, x.data(), stueck, gx) != plat::Err::ok ||
        b.readAt(bAb + pos, y.data(), stueck, gy) != plat::Err::ok || gx != stueck ||
        gy != stueck || x != y)
      return false;
    pos += static_cast<std::int64_t>(stueck);
  }
  return true;
}

// Moves what the clients appended to `quelle` into the claim, holding the
// text's lock only for that. False when the text is held beyond the
// retries or the move failed: then the text stays where it is.
bool textBeanspruchen(const std::string& quelle, const std::string& claim, Buch& buch) {
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
  // A claim that is the text itself, left under both names by a server
  // killed inside its rename, is renamed at last: appended to itself its
  // lines would go out twice.
  if (claimArt == plat::PathKind::missing || gleicheDatei(standVon(s), standVon(claim))) {
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
  // members get everything in the order it was written. The record names
  // the append before it is made: should the server die before the text
  // is deleted, the claim's size tells whether the append is there (a torn
  // one is cut back by the claim's exclusive open), and it is never made
  // twice.
  Quelle neu;
  neu.datei = std::move(s);
  const Stand text = standVon(neu.datei);
  plat::SharedFile c;
  if (neu.ersteLesen() != plat::Err::ok ||
      c.open(claim, plat::Access::readWrite, plat::Share::exclusive,
             plat::Disposition::openAlways) != plat::Err::ok) {
    dateiFehler("Pool-Text nicht uebernehmbar", quelle);
    return false;
  }
  // The record's text is this one only if its bytes are where the record
  // puts them: a text made after the delete may get the same inode.
  std::int64_t ab = 0;
  const std::int64_t teil = buch.quelleBis - buch.quelleAb;
  if (buch.quelle.dev == text.dev && buch.quelle.ino == text.ino &&
      buch.quelleBis <= text.groesse && teil > 0) {
    if (c.size() >= buch.claimNach &&
        gleicheBytes(c, buch.claimNach - teil, neu.datei, buch.quelleAb, teil))
      ab = buch.quelleBis;
    else if (c.size() == buch.claimNach - teil)
      ab = buch.quelleAb;
  }
  if (ab < text.groesse) {
    buch.quelle = text;
    buch.quelleAb = ab;
    buch.quelleBis = text.groesse;
    buch.claimNach = c.size() + text.groesse - ab;
    if (!buchSchreiben(buch)) return false;
    if (anhaengen(c, {{&neu, ab}}, true) != plat::Err::ok) {
      dateiFehler("Pool-Text nicht uebernehmbar", quelle);
      return false;
    }
  }
  c.close();
  if (neu.datei.removeAndClose() != plat::Err::ok) {
    logFehlerName("Pool-Text nicht loeschbar", quelle);
    return false;
  }
  buch.quelle = Stand{};
  return buchSchreiben(buch);
}

// An append to the open file `f` noted as begun in the record first: `v`
// is what the member has once it is there (its `ziel` is filled in here).
// `nach`: the file after the append.
plat::Err vermerktAnhaengen(plat::SharedFile& f, std::initializer_list<Teil> texte, Durchgang& d,
                            Buch& buch, const std::pair<std::string, int>& wer, Vermerk v,
                            Stand& nach) {
  std::int64_t laenge = 0;
  for (const Teil& t : texte)
    if (t.q != nullptr && t.ab < t.q->groesse) laenge += t.q->groesse - t.ab;
  v.ziel = standVon(f);
  v.ziel.groesse += laenge;
  buch.offen[wer] = v;
  if (!buchSchreiben(buch)) {
    buch.offen.erase(wer);
    return plat::Err::ioError;
  }
  d.geschrieben = true;
  const plat::Err e = anhaengen(f, texte, d.jeDatei, sammlung(d));
  buch.offen.erase(wer);
  if (e == plat::Err::ok) nach = standVon(f);
  return e;
}

// One member: its own remainder from earlier passes (when there is one),
// then the claim, in one open and one recorded append.
plat::Err mitgliedBedienen(const std::string& ziel, Teil rest, Teil claim, Durchgang& d, Buch& buch,
                           const std::pair<std::string, int>& wer, const Vermerk& v, Stand& nach) {
  plat::SharedFile f;
  plat::Err e = exklusivOeffnen(f, ziel, plat::Disposition::openAlways);
  if (e != plat::Err::ok) return e;
  return vermerktAnhaengen(f, {rest, claim}, d, buch, wer, v, nach);
}

// The claim goes into the member's own remainder instead: only this member
// gets it again at the next passes.
// `nach`: the remainder after the append.
bool restAnlegen(const std::string& restPfad, Teil claim, Durchgang& d, Buch& buch,
                 const std::pair<std::string, int>& wer, const Vermerk& v, Stand& nach) {
  plat::SharedFile r;
  plat::Err e = exklusivOeffnen(r, restPfad, plat::Disposition::openAlways);
  if (e == plat::Err::ok) e = vermerktAnhaengen(r, {claim}, d, buch, wer, v, nach);
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
  const std::string endung = art == TextArt::neu ? ".neu" : ".loe";
  const std::string ordner = optionen().zielVerzeichnis + name + "\\_";
  Buch buch;
  buchLesen(buch, claim, ordner, endung);
  if (buch.veraltet) buchSchreiben(buch);

  if (!textBeanspruchen(quelle, claim, buch)) s.nachpruefen.push_back(name);

  Quelle text;
  const bool mitClaim =
      plat::pathKind(claim) == plat::PathKind::regular && text.oeffnen(claim) == plat::Err::ok;
  const Stand claimStand = mitClaim ? standVon(text.datei) : Stand{};
  if (claimStand.dev != buch.claim.dev || claimStand.ino != buch.claim.ino) {
    // A claim made in this pass: nobody has any of it yet.
    for (auto& [n, v] : buch.mitglieder)
      v.claimBis = 0;
  }
  buch.claim = claimStand;

  bool alleBedient = true;
  Durchgang::Aufraeumen aufraeumen;
  std::map<std::string, int> gesehen;
  d.sammelOrdner = optionen().zielVerzeichnis + name;
  for (const BenutzerEintrag& e : t.benutzer) {
    if (e.pool != name) continue;
    const std::string ziel = ordner + e.benutzer + endung;
    const std::string restPfad = ClaimPfad(ziel);
    const std::pair<std::string, int> wer{e.benutzer, gesehen[e.benutzer]++};
    Vermerk& v = buch.mitglieder[wer];
    bool mitRest = plat::pathKind(restPfad) != plat::PathKind::missing;
    if (mitRest && v.rest.dev != 0) {
      // Delivered before, its delete did not happen: it goes now.
      if (plat::removeFile(restPfad) != plat::Err::ok) {
        logFehlerName("Rest fuer das Mitglied nicht loeschbar", restPfad);
        alleBedient = false;
        continue;
      }
      v.rest = Stand{};
      mitRest = false;
      buchSchreiben(buch);
    }
    const std::int64_t ab = mitClaim ? std::min(v.claimBis, text.groesse) : 0;
    // An empty claim still makes every member file.
    const Teil claimTeil{mitClaim && (ab < text.groesse || text.groesse == 0) ? &text : nullptr,
                         ab};
    if (claimTeil.q == nullptr && !mitRest) continue;
    Quelle rest;
    if (mitRest && rest.oeffnen(restPfad) != plat::Err::ok) {
      dateiFehler("Rest fuer das Mitglied nicht lesbar", restPfad);
      Stand nach;
      if (claimTeil.q != nullptr) {
        if (!restAnlegen(restPfad, claimTeil, d, buch, wer, {true, text.groesse, {}, {}}, nach)) {
          alleBedient = false;
        } else {
          v = Vermerk{true, text.groesse, Stand{}, nach};
          buchSchreiben(buch);
        }
      }
      continue;
    }
    const Stand restStand = mitRest ? standVon(rest.datei) : Stand{};
    const Vermerk danach{false, mitClaim ? text.groesse : 0, restStand, Stand{}};
    Stand nach;
    const plat::Err fehler = mitgliedBedienen(ziel, {mitRest ? &rest : nullptr, 0}, claimTeil, d,
                                              buch, wer, danach, nach);
    if (fehler == plat::Err::ok) {
      trace("Append ->", ziel);
      v = danach;
      v.ziel = nach;
      buchSchreiben(buch);
      if (mitRest) aufraeumen.dateien.push_back(restPfad);
      continue;
    }
    // Held beyond the retries, a folder, no permission: the others are
    // served, this member keeps its own remainder for the next passes.
    dateiFehler("Wortdatei nicht beschreibbar", ziel, fehler);
    rest.datei.close();
    if (claimTeil.q != nullptr) {
      if (!restAnlegen(restPfad, claimTeil, d, buch, wer, {true, text.groesse, {}, {}}, nach)) {
        alleBedient = false;
      } else {
        v = Vermerk{true, text.groesse, Stand{}, nach};
        buchSchreiben(buch);
      }
    }
    if (std::find(s.reste.begin(), s.reste.end(), name) == s.reste.end()) s.reste.push_back(name);
  }
  d.sammel.end();
  d.sammelBegonnen = false;
  text.datei.close();
  if (mitClaim && alleBedient) aufraeumen.dateien.push_back(claim);
  if (buch.da && (!mitClaim || alleBedient)) aufraeumen.buch = buch.pfad;
  d.loeschen.push_back(std::move(aufraeumen));
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
  for (const Durchgang::Aufraeumen& a : d.loeschen) {
    bool alle = true;
    for (const std::string& pfad : a.dateien) {
      if (plat::removeFile(pfad) != plat::Err::ok) {
        logFehlerName("Pool-Text nicht loeschbar", pfad);
        alle = false;
      }
    }
    if (alle && !a.buch.empty() && plat::removeFile(a.buch) != plat::Err::ok)
      logFehlerName("Zustellvermerk nicht loeschbar", a.buch);
  }
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
