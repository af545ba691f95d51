// Pool lock, output file, word sets and user list of the clients (see
// poolfiles.h).
#include "common/poolfiles.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "common/journal.h"
#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/utilities.h"
#include "common/zeichenketten.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/text_lines.h"

namespace vk {

namespace {

// Lines are collected and written in blocks of this size.
constexpr std::size_t kPufferGrenze = 64 * 1024;
// The server holds a pool text only for a moment while it claims it; an
// open that meets its lock is tried again for about two seconds.
constexpr int kOeffnenVersuche = 10;
constexpr int kOeffnenPauseMs = 200;
constexpr int kWortdateiVersuche = 7;
// Window events run every this many lines of a long read.
constexpr std::size_t kEreignisseAlle = 2048;

const Konfiguration& konf() {
  return konfiguration();
}

// The fold table: ASCII and the cp1252 capitals to their small letters.
struct Faltung {
  unsigned char t[256];
  Faltung() {
    for (int i = 0; i < 256; ++i)
      t[i] = static_cast<unsigned char>(i);
    for (int i = 'A'; i <= 'Z'; ++i)
      t[i] = static_cast<unsigned char>(i + 32);
    for (int i = 0xC0; i <= 0xDE; ++i) {
      if (i != 0xD7) t[i] = static_cast<unsigned char>(i + 32);
    }
    t[0x8A] = 0x9A;
    t[0x8C] = 0x9C;
    t[0x8E] = 0x9E;
    t[0x9F] = 0xFF;
  }
};
const Faltung kFaltung;

// Opens the output file, retrying briefly while another program holds it.
plat::Err ausgabeOeffnen(std::string_view pfad, plat::Disposition art) {
  return poolZustand().ausgabe.openRetrying(pfad, plat::Access::readWrite, plat::Share::exclusive,
                                            art, kOeffnenVersuche, kOeffnenPauseMs);
}

// Writes the collected lines; false (reported) when writing failed.
bool pufferSchreiben() {
  auto& z = poolZustand();
  if (z.puffer.empty() || !z.ausgabe.isOpen()) return true;
  const plat::Err e = z.ausgabe.append(z.puffer);
  z.puffer.clear();
  if (e == plat::Err::ok) return true;
  Fehlermeldung(e, TextMitWert(txt::kNichtGeschrieben, z.ausgabePfad));
  z.ausgabe.close();
  z.ausgabeOffen = false;
  return false;
}

// Starts a new output file: closes the current one, opens `pfad`.
bool ausgabeBeginnen(const std::string& pfad, plat::Disposition art, std::int32_t textNr) {
  auto& z = poolZustand();
  AusgabeSchliessen();
  z.ausgabePfad = pfad;
  const plat::Err e = ausgabeOeffnen(pfad, art);
  if (e != plat::Err::ok) {
    z.ausgabe.close();
    Fehlermeldung(e, TextMitWert(textNr, pfad));
    return false;
  }
  z.ausgabeOffen = true;
  return true;
}

// Moves a file; across file systems (a temporary file onto the pool
// drive) by copying and deleting.
plat::Err verschieben(std::string_view von, std::string_view nach) {
  plat::Err e = plat::moveFile(von, nach, false);
  if (e == plat::Err::ok || e == plat::Err::notFound || e == plat::Err::fileExists ||
      plat::heldByOther(e) || e == plat::Err::pathNotFound)
    return e;
  e = plat::copyFile(von, nach, true);
  if (e != plat::Err::ok) return e;
  return plat::removeFile(von);
}

// Deletes a file when it exists; Err::ok when it is gone afterwards.
plat::Err loeschen(const std::string& pfad) {
  if (!plat::fileExists(pfad)) return plat::Err::ok;
  Trace("Delete", pfad);
  return plat::removeFile(pfad);
}

// A pool or user name must stay one folder / file name part.
bool nameGueltig(std::string_view name) {
  return plat::isSafeName(name);
}

}  // namespace

unsigned char grossKlein(unsigned char c) {
  return kFaltung.t[c];
}

bool gleichOhneFall(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (kFaltung.t[static_cast<unsigned char>(a[i])] !=
        kFaltung.t[static_cast<unsigned char>(b[i])])
      return false;
  }
  return true;
}

std::size_t SchluesselHash::operator()(std::string_view s) const {
  // Hashes every byte as its fold with bit 0x20 set: bytes equal without
  // case hash alike, and eight ASCII bytes are folded at once.
  constexpr std::uint64_t kKlein = 0x2020202020202020ULL;
  constexpr std::uint64_t kHoch = 0x8080808080808080ULL;
  std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ s.size();
  auto mischen = [&h](std::uint64_t w) {
    h ^= w;
    h *= 0xBF58476D1CE4E5B9ULL;
    h ^= h >> 31;
  };
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, s.data() + i, 8);
    if ((w & kHoch) != 0) {
      unsigned char b[8];
      std::memcpy(b, &w, 8);
      for (auto& c : b)
        c = kFaltung.t[c];
      std::memcpy(&w, b, 8);
    }
    mischen(w | kKlein);
  }
  std::uint64_t rest = 0;
  for (std::size_t j = 0; i < s.size(); ++i, ++j) {
    rest |= static_cast<std::uint64_t>(kFaltung.t[static_cast<unsigned char>(s[i])] | 0x20U)
            << (8 * j);
  }
  mischen(rest);
  return static_cast<std::size_t>(h);
}

bool Wortmenge::hinzufuegen(std::string_view wort) {
  if (menge_.find(wort) != menge_.end()) return false;
  menge_.emplace(wort);
  return true;
}

bool Wortmenge::enthaelt(std::string_view wort) const {
  return menge_.find(wort) != menge_.end();
}

bool Wortmenge::entfernen(std::string_view wort) {
  const auto it = menge_.find(wort);
  if (it == menge_.end()) return false;
  menge_.erase(it);
  return true;
}

bool GeordneteWortmenge::hinzufuegen(std::string_view wort) {
  if (index_.find(wort) != index_.end()) return false;
  liste_.emplace_back(wort);
  const auto it = std::prev(liste_.end());
  index_.emplace(std::string_view(*it), it);
  return true;
}

bool GeordneteWortmenge::enthaelt(std::string_view wort) const {
  return index_.find(wort) != index_.end();
}

bool GeordneteWortmenge::entfernen(std::string_view wort) {
  const auto it = index_.find(wort);
  if (it == index_.end()) return false;
  const auto element = it->second;
  index_.erase(it);
  liste_.erase(element);
  return true;
}

void GeordneteWortmenge::leeren() {
  index_.clear();
  liste_.clear();
}

PoolZustand& poolZustand() {
  static PoolZustand z;
  return z;
}

void poolZustandZuruecksetzen() {
  auto& z = poolZustand();
  z.ausgabe.close();
  z.sperre.close();
  z.Pool.clear();
  z.Benutzer.clear();
  z.Automatikbetrieb = false;
  z.ausgabePfad.clear();
  z.ausgabeOffen = false;
  z.puffer.clear();
  z.sperrPfad.clear();
  z.BenWorte.leeren();
  z.LoeschListe.reset();
  z.Markierte.leeren();
  z.Vergleichsworte.leeren();
  z.Pools.clear();
  z.Benutzerliste.clear();
}

std::string PoolVerzeichnis() {
  return konf().ZielVerzeichnis + poolZustand().Pool;
}
std::string SperrPfad() {
  return PoolVerzeichnis() + "\\Sperre.lck";
}
std::string GesamtlistenPfad() {
  return PoolVerzeichnis() + "\\" + konf().GesamtWortlistenDatei;
}
std::string WortlistenPfad() {
  return PoolVerzeichnis() + "\\" + konf().WortlistenDatei;
}
std::string NeuWortePfad() {
  return PoolVerzeichnis() + konf().neuWorteTextdatei;
}
std::string LoeWortePfad() {
  return PoolVerzeichnis() + konf().loeWorteTextdatei;
}
std::string BenutzerDateiPfad(std::string_view benutzer, std::string_view endung) {
  return PoolVerzeichnis() + "\\_" + std::string(benutzer) + std::string(endung);
}
std::string SicherungsPfad() {
  return PoolVerzeichnis() + "\\AlleWorte.bak";
}
std::string BenutzerlistenPfad() {
  return konf().ZielVerzeichnis + konf().BenutzerlistenDatei;
}

std::string VokFixDatei(std::string_view vokabular) {
  const std::string kurz(trimmen(vokabular.substr(0, 8)));
  return PoolVerzeichnis() + "\\" + ersetzen(kurz, " ", "_") + "_vok.fix";
}

bool VokFixDateiVorhanden(std::string_view vokabular) {
  return plat::fileExists(VokFixDatei(vokabular));
}

std::string Sicherungsname(std::string_view ziel) {
  std::string name(ziel);
  const std::string_view endung = ziel.size() >= 4 ? ziel.substr(ziel.size() - 4) : "";
  if (gleichOhneFall(endung, ".txt") || gleichOhneFall(endung, ".dat")) {
    name.replace(name.size() - 4, 4, ".bak");
  } else {
    name += ".bak";
  }
  return name;
}

std::string Wortzeile(std::string_view schreibform, std::string_view sprachform) {
  const std::string_view sprache = trimmen(sprachform);
  std::string zeile(trimmen(schreibform));
  if (!sprache.empty()) {
    zeile += '\\';
    zeile += sprache;
  }
  return zeile;
}

plat::Err WortdateiOeffnen(plat::SharedFile& f, const std::string& pfad,
                           plat::Disposition disposition) {
  return f.openRetrying(pfad, plat::Access::readWrite, plat::Share::exclusive, disposition,
                        kWortdateiVersuche, kOeffnenPauseMs);
}

bool SperreSetzen() {
  auto& z = poolZustand();
  const std::string pfad = SperrPfad();
  Trace("SperreSetzen", pfad);
  if (!z.Automatikbetrieb) z.LoeschListe.reset();
  if (!nameGueltig(z.Pool)) {
    Fehlermeldung(plat::Err::invalidName, TextMitWert(txt::kPoolNichtGesperrt, pfad));
    return false;
  }
  z.sperre.close();
  while (true) {
    const plat::Err e = z.sperre.open(pfad, plat::Access::readWrite, plat::Share::exclusive,
                                      plat::Disposition::createAlways);
    if (e == plat::Err::ok) break;
    if (plat::heldByOther(e)) {
      // Held by another program: the user decides, without time limit.
      if (Nachfrage(TextMitWert(txt::kPoolBelegt, z.Pool))) continue;
      return false;
    }
    Fehlermeldung(e, TextMitWert(txt::kPoolNichtGesperrt, pfad));
    return false;
  }
  z.sperrPfad = pfad;
  // Take-overs that a kill or a full disk stopped are finished first.
  OffeneJournaleErledigen();
  return true;
}

void SperreLoesen() {
  auto& z = poolZustand();
  const std::string pfad = z.sperrPfad.empty() ? SperrPfad() : z.sperrPfad;
  Trace("SperreLoesen", pfad);
  // Only a lock this program holds is released; the file of a lock another
  // program holds is never touched.
  if (!z.sperre.isOpen()) return;
  const plat::Err e = z.sperre.removeAndClose();
  z.sperre.close();
  z.sperrPfad.clear();
  if (e != plat::Err::ok) Fehlermeldung(e, TextMitWert(txt::kSperreNichtAufgehoben, pfad));
}

bool AusgabeAnlegen(bool temporaer) {
  std::string pfad = temporaer ? plat::tempFileName("vk") : NeuWortePfad();
  Trace("Create", pfad);
  if (pfad.empty()) {
    Fehlermeldung(plat::Err::pathNotFound,
                  TextMitWert(txt::kWortdateiNichtAngelegt, plat::tempDirectory()));
    return false;
  }
  return ausgabeBeginnen(pfad, plat::Disposition::createAlways, txt::kWortdateiNichtAngelegt);
}

bool AusgabeAnhaengen(bool geloescht) {
  const std::string pfad = geloescht ? LoeWortePfad() : NeuWortePfad();
  Trace("Append", pfad);
  return ausgabeBeginnen(pfad, plat::Disposition::openAlways, txt::kWortdateiNichtAngelegt);
}

bool AppendPool() {
  const std::string pfad = GesamtlistenPfad();
  Trace("AppendPool", pfad);
  return ausgabeBeginnen(pfad, plat::Disposition::openAlways, txt::kWortlisteNichtGeoeffnet);
}

bool AppendBen(std::string_view benutzer, bool geloescht) {
  const std::string pfad = BenutzerDateiPfad(benutzer, geloescht ? ".loe" : ".neu");
  Trace("AppendBen", pfad);
  if (!nameGueltig(benutzer)) {
    AusgabeSchliessen();
    Fehlermeldung(plat::Err::invalidName, TextMitWert(txt::kAnwenderWortdateiNichtGeoeffnet, pfad));
    return false;
  }
  return ausgabeBeginnen(pfad, plat::Disposition::openAlways,
                         txt::kAnwenderWortdateiNichtGeoeffnet);
}

void ZeileSchreiben(std::string_view text) {
  auto& z = poolZustand();
  if (!z.ausgabeOffen) return;
  plat::addLine(z.puffer, text);
  if (z.puffer.size() >= kPufferGrenze) pufferSchreiben();
}

void AlleSchreiben(const std::vector<std::string>& zeilen) {
  for (const auto& zeile : zeilen)
    ZeileSchreiben(zeile);
}

void AlleSchreiben(const GeordneteWortmenge& menge) {
  for (const auto& zeile : menge.elemente())
    ZeileSchreiben(zeile);
}

bool AusgabeSchliessen() {
  auto& z = poolZustand();
  if (!z.ausgabeOffen) {
    z.ausgabe.close();
    return true;
  }
  bool gut = pufferSchreiben();
  if (gut && z.ausgabe.isOpen()) {
    const plat::Err e = z.ausgabe.sync();
    if (e != plat::Err::ok) {
      Fehlermeldung(e, TextMitWert(txt::kNichtAbgeschlossen, z.ausgabePfad));
      gut = false;
    }
  }
  z.ausgabe.close();
  z.ausgabeOffen = false;
  return gut;
}

bool AusgabeUmbenennen(std::string_view ziel) {
  auto& z = poolZustand();
  if (!AusgabeSchliessen()) return false;
  const std::string nach(ziel);
  plat::Err e = loeschen(nach);
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWert(txt::kNichtGeloescht, nach));
    return false;
  }
  Trace("Rename", z.ausgabePfad, nach);
  e = verschieben(z.ausgabePfad, nach);
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWerten(txt::kNichtErsetzt, z.ausgabePfad, nach));
    return false;
  }
  return true;
}

bool MitSicherungErsetzen(std::string_view ziel) {
  auto& z = poolZustand();
  const std::string nach(ziel);
  const std::string sicherung = Sicherungsname(nach);
  if (sicherung == nach) {
    Fehlermeldung(0, "", TextMitWerten(txt::kNichtErsetzt, nach, sicherung));
    return false;
  }
  if (!AusgabeSchliessen()) return false;
  plat::Err e = loeschen(sicherung);
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWerten(txt::kNichtErsetzt, nach, sicherung));
    return false;
  }
  // A target that does not exist yet has nothing to keep.
  if (plat::fileExists(nach)) {
    Trace("Rename", nach, sicherung);
    e = verschieben(nach, sicherung);
    if (e != plat::Err::ok) {
      Fehlermeldung(e, TextMitWert(txt::kNichtVerschoben, sicherung));
      return false;
    }
  }
  Trace("Rename", z.ausgabePfad, nach);
  e = verschieben(z.ausgabePfad, nach);
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWert(txt::kNichtVerschoben, nach));
    return false;
  }
  return true;
}

bool GesamtlisteSichern() {
  auto& z = poolZustand();
  const std::string gesamt = GesamtlistenPfad();
  const std::string sicherung = SicherungsPfad();
  if (!AusgabeSchliessen()) return false;
  plat::Err e = loeschen(sicherung);
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWerten(txt::kNichtErsetzt, gesamt, sicherung));
    return false;
  }
  if (plat::fileExists(gesamt)) {
    Trace("Move", gesamt, sicherung);
    e = plat::moveFile(gesamt, sicherung, false);
    if (e != plat::Err::ok) {
      Fehlermeldung(e, TextMitWert(txt::kNichtVerschoben, sicherung));
      return false;
    }
  }
  Trace("Copy", z.ausgabePfad, gesamt);
  e = plat::copyFile(z.ausgabePfad, gesamt, false);
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWert(txt::kNichtVerschoben, gesamt));
    return false;
  }
  return true;
}

bool CopyPool(std::string_view ziel) {
  const std::string gesamt = GesamtlistenPfad();
  if (!plat::fileExists(gesamt)) {
    Meldung("Der Pool hat noch keinen Inhalt");
    return false;
  }
  Trace("CopyPool", gesamt, ziel);
  const plat::Err e = plat::copyFile(gesamt, ziel, false);
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWert(txt::kWortlisteNichtKopiert, ziel));
    return false;
  }
  return true;
}

bool NeubenutzerKopie(std::string_view benutzer) {
  if (!nameGueltig(benutzer)) {
    Fehlermeldung(plat::Err::invalidName,
                  TextMitWert(txt::kWortlisteNichtKopiert, BenutzerDateiPfad(benutzer, ".neu")));
    return false;
  }
  return CopyPool(BenutzerDateiPfad(benutzer, ".neu"));
}

bool WortlisteLoeschen() {
  const std::string pfad = WortlistenPfad();
  const plat::Err e = loeschen(pfad);
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWert(txt::kNichtGeloescht, pfad));
    return false;
  }
  return true;
}

bool BenDateiEinlesen(std::string_view pfad) {
  if (!plat::fileExists(pfad)) return true;
  Trace("BenDateiEinlesen", pfad);
  auto& menge = poolZustand().BenWorte;
  const plat::Err e = plat::forEachLine(
      pfad, 0, [&](plat::LineStatus, const std::string& zeile, std::size_t nummer) {
        const std::string_view wort = trimmen(zeile);
        if (!wort.empty()) menge.hinzufuegen(wort);
        if (nummer % kEreignisseAlle == 0) EreignisseVerarbeiten();
      });
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWert(txt::kDateiNichtLesbar, pfad));
    return false;
  }
  return true;
}

bool LoeschListeHinzufuegen(std::string_view schreibform, std::string_view sprachform) {
  auto& z = poolZustand();
  if (!z.LoeschListe) z.LoeschListe.emplace();
  const std::string_view sprache = trimmen(sprachform);
  std::string eintrag(schreibform);
  if (!sprache.empty()) {
    eintrag += '\\';
    eintrag += sprache;
  }
  return z.LoeschListe->hinzufuegen(eintrag);
}

void LoeschListeVerwerfen() {
  poolZustand().LoeschListe.reset();
}

void MarkierteSchreiben(std::string_view wort) {
  ZeileSchreiben(wort);
}

void AlleMarkiertenSchreiben() {
  AlleSchreiben(poolZustand().Markierte);
}

namespace {

// Splits a user-list line into at most four fields (the fourth keeps further
// tabs); returns the number of fields found.
int felderTeilen(std::string_view zeile, std::string_view (&felder)[4]) {
  std::size_t pos = 0;
  for (int i = 0; i < 3; ++i) {
    const auto tab = zeile.find('\t', pos);
    if (tab == std::string_view::npos) {
      felder[i] = zeile.substr(pos);
      return i + 1;
    }
    felder[i] = zeile.substr(pos, tab - pos);
    pos = tab + 1;
  }
  felder[3] = zeile.substr(pos);
  return 4;
}

}  // namespace

Benutzereintrag BenutzerZeileTeilen(std::string_view zeile) {
  std::string_view f[4];
  const int n = felderTeilen(zeile, f);
  Benutzereintrag e;
  std::string* felder[] = {&e.pool, &e.benutzer, &e.unterverzeichnis, &e.thema};
  for (int i = 0; i < n; ++i)
    felder[i]->assign(f[i]);
  return e;
}

namespace {

// While the user list is read: the pools and users taken so far, found by
// their keys without case (pool; user + "|" + topic), held as positions in
// the lists so that no key is copied.
struct PoolPosition {
  using is_transparent = void;
  const std::vector<std::string>* pools;
  std::size_t operator()(std::size_t i) const { return SchluesselHash{}((*pools)[i]); }
  std::size_t operator()(std::string_view s) const { return SchluesselHash{}(s); }
  bool operator()(std::size_t a, std::size_t b) const { return a == b; }
  bool operator()(std::string_view a, std::size_t b) const {
    return gleichOhneFall(a, (*pools)[b]);
  }
  bool operator()(std::size_t a, std::string_view b) const {
    return gleichOhneFall((*pools)[a], b);
  }
};

using BenutzerKey = std::pair<std::string_view, std::string_view>;  // user, topic

struct BenutzerPosition {
  using is_transparent = void;
  const std::vector<Benutzereintrag>* liste;
  static std::size_t hash(const BenutzerKey& k) {
    return SchluesselHash{}(k.first) * 31U + SchluesselHash{}(k.second);
  }
  BenutzerKey key(std::size_t i) const { return {(*liste)[i].benutzer, (*liste)[i].thema}; }
  std::size_t operator()(std::size_t i) const { return hash(key(i)); }
  std::size_t operator()(const BenutzerKey& k) const { return hash(k); }
  static bool gleich(const BenutzerKey& a, const BenutzerKey& b) {
    return gleichOhneFall(a.first, b.first) && gleichOhneFall(a.second, b.second);
  }
  bool operator()(std::size_t a, std::size_t b) const { return a == b; }
  bool operator()(const BenutzerKey& a, std::size_t b) const { return gleich(a, key(b)); }
  bool operator()(std::size_t a, const BenutzerKey& b) const { return gleich(key(a), b); }
};

}  // namespace

bool BenutzerLesen() {
  auto& z = poolZustand();
  const std::string pfad = BenutzerlistenPfad();
  Trace("BenutzerLesen", pfad);
  z.Pools.clear();
  z.Benutzerliste.clear();
  plat::SharedFile datei;
  plat::Err e =
      datei.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting);
  if (e == plat::Err::ok) {
    const PoolPosition pp{&z.Pools};
    std::unordered_set<std::size_t, PoolPosition, PoolPosition> pools(16, pp, pp);
    const BenutzerPosition bp{&z.Benutzerliste};
    // About 50 bytes a line: room for all users without growing.
    const auto erwartet = static_cast<std::size_t>(std::max<std::int64_t>(datei.size(), 0) / 50);
    std::unordered_set<std::size_t, BenutzerPosition, BenutzerPosition> benutzer(erwartet, bp, bp);
    z.Benutzerliste.reserve(erwartet);
    plat::LineReader leser(datei);
    std::string zeile;
    while (true) {
      const auto status = leser.next(zeile);
      if (status == plat::LineStatus::end) break;
      if (status == plat::LineStatus::error) {
        e = leser.error();
        break;
      }
      // Fewer than four fields (an empty line too) is no entry.
      std::string_view f[4];
      if (felderTeilen(zeile, f) < 4) continue;
      // Pool and user become folder and file names below the target
      // directory: a name that could lead elsewhere is refused.
      if (!nameGueltig(f[0]) || !nameGueltig(f[1])) {
        Trace("BenutzerUngueltig", leser.lineNumber(), zeile);
        continue;
      }
      if (pools.find(f[0]) == pools.end()) {
        z.Pools.emplace_back(f[0]);
        pools.insert(z.Pools.size() - 1);
      }
      if (benutzer.find(BenutzerKey(f[1], f[3])) == benutzer.end()) {
        z.Benutzerliste.push_back(Benutzereintrag{std::string(f[0]), std::string(f[1]),
                                                  std::string(f[2]), std::string(f[3])});
        benutzer.insert(z.Benutzerliste.size() - 1);
      }
    }
  }
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWert(txt::kDateiNichtLesbar, pfad));
    return false;
  }
  return true;
}

}  // namespace vk
