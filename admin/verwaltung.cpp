// The administration of users and pools: rows, keys, pool choice, sorting,
// the checks before saving and the writer of the user list.
// Failures go to the hooks of the state record; procedures return false.
// The pool server reads the user list after the administrative trigger; the
// list is replaced whole, so a reader sees the old or the new list.
#include "admin/verwaltung.h"

#include <algorithm>

#include "admin/user_suchen.h"
#include "common/deutsche_ordnung.h"
#include "common/konfiguration.h"
#include "common/zeichenketten.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/shared_file.h"
#include "platform/text_lines.h"

namespace admin {

namespace {

std::string schluesselVon(const std::string& user, const std::string& topic) {
  return user + "|" + topic;
}

// Rows and row keys go together: a key without its row would keep the pair
// out of the list for good.
void zeilenLeeren() {
  verwaltung().zeilen.clear();
  verwaltung().schluessel.clear();
}

// Creates a folder that is missing; a failure is reported with text 865.
void ordnerSicherstellen(const std::string& pfad) {
  if (plat::directoryExists(pfad)) return;
  tracen("CreateFolder", pfad);
  const plat::Err e = plat::createDirectory(pfad);
  if (e != plat::Err::ok) fehlerMelden(e, txt::kOrdnerNichtAngelegt, pfad);
}

// The machine's value may be refused to an ordinary user; the program goes
// on with the user's own value.
void maschineSchreiben(std::string_view name, const std::string& wert) {
  const plat::Err e =
      plat::regWriteString(plat::Hive::localMachine, vk::kRegSchluessel, name, wert);
  if (e != plat::Err::ok) tracen("RegSchreiben " + std::string(name), plat::errText(e));
}

}  // namespace

const std::string& spaltenText(const Zeile& z, Spalte s) {
  switch (s) {
    case Spalte::pool:
      return z.pool;
    case Spalte::user:
      return z.user;
    case Spalte::topic:
      return z.topic;
    case Spalte::folder:
      break;
  }
  return z.folder;
}

Verwaltung& verwaltung() {
  static Verwaltung v;
  return v;
}

void verwaltungZuruecksetzen() {
  verwaltung() = Verwaltung{};
}

void melden(int textNr, const std::string& wert) {
  if (verwaltung().rueckmeldung.meldung) verwaltung().rueckmeldung.meldung(textNr, wert);
}

void fehlerMelden(plat::Err e, int textNr, const std::string& wert) {
  if (verwaltung().rueckmeldung.fehler) verwaltung().rueckmeldung.fehler(e, textNr, wert);
}

void tracen(const std::string& label, const std::string& wert) {
  if (verwaltung().rueckmeldung.trace) verwaltung().rueckmeldung.trace(label, wert);
}

std::string benutzerlistenPfad() {
  return verwaltung().speicherort + verwaltung().dateiName;
}

std::string konfigVerzeichnis() {
  return verwaltung().speicherort + "Vokarium\\";
}

void ZeileAufnehmen(const std::string& pool, const std::string& user, const std::string& folder,
                    const std::string& topic) {
  if (pool.empty()) return;
  Verwaltung& v = verwaltung();
  if (v.schluessel.insert(schluesselVon(user, topic)).second) {
    v.zeilen.push_back(Zeile{pool, user, topic, folder});
  }
  // Names the server could not use are kept on their rows (saving refuses
  // them) but never offered for picking.
  if (pool[0] != ' ' && poolFehler(pool) == 0 && v.poolMenge.insert(pool).second) {
    v.poolListe.push_back(pool);
  }
}

bool BenutzerlistenLesen() {
  Verwaltung& v = verwaltung();
  zeilenLeeren();
  const std::string pfad = benutzerlistenPfad();
  if (!plat::fileExists(pfad)) return true;
  plat::SharedFile f;
  plat::Err e =
      f.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting);
  if (e != plat::Err::ok) {
    fehlerMelden(e, txt::kDateiNichtLesbar, pfad);
    return false;
  }
  plat::LineReader leser(f);
  std::string zeile;
  for (;;) {
    const plat::LineStatus st = leser.next(zeile);
    if (st == plat::LineStatus::end) break;
    if (st == plat::LineStatus::error) {
      fehlerMelden(leser.error(), txt::kDateiNichtLesbar, pfad);
      break;
    }
    // A NUL byte does not belong in a name: the line is no entry.
    if (st == plat::LineStatus::hasNul) continue;
    if (vk::trimmen(zeile).empty()) continue;
    std::string felder[4];
    std::size_t anfang = 0;
    int n = 0;
    for (; n < 3; ++n) {
      const auto tab = zeile.find('\t', anfang);
      if (tab == std::string::npos) break;
      felder[n] = zeile.substr(anfang, tab - anfang);
      anfang = tab + 1;
    }
    if (n < 3) continue;
    felder[3] = zeile.substr(anfang);
    ZeileAufnehmen(felder[0], felder[1], felder[2], felder[3]);
  }
  f.close();
  if (!v.poolListe.empty()) v.aktuellerPool = v.poolListe.front();
  Sortieren();
  return true;
}

// True for a field the server would read differently: it starts with a
// quote, or with a blank. (A pool starting with a blank is the mark of a
// row without a pool, refused when the list is saved.)
bool anfangUnzulaessig(std::string_view feld, bool blankErlaubt) {
  if (feld.empty()) return false;
  return feld[0] == '"' || feld[0] == '\'' || (!blankErlaubt && feld[0] == ' ');
}

int poolFehler(std::string_view pool) {
  if (pool.size() > kPoolMaxLaenge) return txt::kPoolZuLang;
  if (!pool.empty() && !plat::isSafeName(pool)) return txt::kPoolUnzulaessig;
  if (anfangUnzulaessig(pool, true)) return txt::kPoolAnfang;
  return 0;
}

bool PoolUebernehmen(const std::string& text) {
  Verwaltung& v = verwaltung();
  v.aktuellerPool = text;
  if (const int nr = poolFehler(text); nr != 0) {
    melden(nr, text);
    return false;
  }
  if (!text.empty() && text[0] != ' ' && v.poolMenge.insert(text).second) {
    v.poolListe.push_back(text);
  }
  return true;
}

bool PoolZuweisen(const std::vector<std::size_t>& auswahl) {
  Verwaltung& v = verwaltung();
  if (v.aktuellerPool.empty() || poolFehler(v.aktuellerPool) != 0) return false;
  for (const std::size_t i : auswahl) {
    if (i < v.zeilen.size()) v.zeilen[i].pool = v.aktuellerPool;
  }
  return true;
}

void Entfernen(const std::vector<std::size_t>& auswahl) {
  Verwaltung& v = verwaltung();
  std::vector<bool> weg(v.zeilen.size(), false);
  for (const std::size_t i : auswahl) {
    if (i < weg.size()) weg[i] = true;
  }
  std::vector<Zeile> bleiben;
  bleiben.reserve(v.zeilen.size());
  for (std::size_t i = 0; i < v.zeilen.size(); ++i) {
    if (weg[i]) {
      v.schluessel.erase(schluesselVon(v.zeilen[i].user, v.zeilen[i].topic));
    } else {
      bleiben.push_back(std::move(v.zeilen[i]));
    }
  }
  v.zeilen = std::move(bleiben);
}

void Sortieren() {
  Verwaltung& v = verwaltung();
  const Spalte s = v.sortSpalte;
  const bool ab = v.absteigend;
  // German order as a reader expects it (Ä with A, ß with ss), letter case
  // left aside; one sort key per row, made once.
  std::vector<std::string> schluessel;
  schluessel.reserve(v.zeilen.size());
  for (const Zeile& z : v.zeilen)
    schluessel.push_back(vk::deutscherSchluessel(spaltenText(z, s)));
  std::vector<std::size_t> alt(v.zeilen.size());
  for (std::size_t i = 0; i < alt.size(); ++i)
    alt[i] = i;
  std::stable_sort(alt.begin(), alt.end(), [&](std::size_t a, std::size_t b) {
    const int c = schluessel[a].compare(schluessel[b]);
    return ab ? c > 0 : c < 0;
  });
  std::vector<Zeile> neu;
  neu.reserve(alt.size());
  for (const std::size_t i : alt)
    neu.push_back(std::move(v.zeilen[i]));
  v.zeilen = std::move(neu);
}

void SpalteGeklickt(Spalte s) {
  Verwaltung& v = verwaltung();
  if (v.sortSpalte == s) {
    v.absteigend = !v.absteigend;
  } else {
    v.sortSpalte = s;
    v.absteigend = false;
  }
  Sortieren();
}

Pruefung ZeilenPruefen(const std::function<bool(const std::string&, const std::string&,
                                                const std::string&)>& gefunden) {
  const std::vector<Zeile>& z = verwaltung().zeilen;
  for (std::size_t i = 0; i < z.size(); ++i) {
    const Zeile& a = z[i];
    const auto ohnePool = [](const Zeile& z) { return z.pool.empty() || z.pool[0] == ' '; };
    if (ohnePool(a)) {
      // Every row still without a pool, so the user sees all of them.
      std::vector<std::size_t> ohne;
      for (std::size_t j = i; j < z.size(); ++j) {
        if (ohnePool(z[j])) ohne.push_back(j);
      }
      return {txt::kOhneZuordnung, a.user, ohne};
    }
    if (const int nr = poolFehler(a.pool); nr != 0) return {nr, a.pool, {i}};
    for (const std::string* feld : {&a.user, &a.topic, &a.folder})
      if (anfangUnzulaessig(*feld, false)) return {txt::kNameAnfang, *feld, {i}};
    if (!gefunden(a.user, a.folder, a.topic)) {
      return {txt::kNichtGefunden, a.user + " / " + a.topic, {i}};
    }
    // The later row with the same user that matches, or 0 for none (a later
    // row is never row 0).
    const auto paar = [&](auto gleich) -> std::size_t {
      for (std::size_t j = i + 1; j < z.size(); ++j) {
        if (z[j].user == a.user && gleich(z[j])) return j;
      }
      return 0;
    };
    if (const auto j = paar([&](const Zeile& b) { return b.pool == a.pool; })) {
      return {txt::kDoppeltImPool, a.user, {i, j}};
    }
    if (const auto j = paar([&](const Zeile& b) { return b.topic == a.topic; })) {
      return {txt::kDoppeltTopic, a.user, {i, j}};
    }
    if (const auto j = paar([&](const Zeile& b) { return b.folder == a.folder; })) {
      return {txt::kDoppeltOrdner, a.user, {i, j}};
    }
  }
  return {};
}

std::string benutzerlistenText() {
  std::string text;
  for (const Zeile& z : verwaltung().zeilen) {
    plat::addLine(text, z.pool + "\t" + z.user + "\t" + z.folder + "\t" + z.topic);
  }
  return text;
}

bool BenutzerlisteSpeichern(std::vector<std::size_t>& markieren) {
  markieren.clear();
  // Without a Speicherort the list would land in whatever folder the
  // program runs in, where no server looks for it.
  if (verwaltung().speicherort.empty()) {
    fehlerMelden(plat::Err::pathNotFound, txt::kNichtGeschrieben, benutzerlistenPfad());
    return false;
  }
  GefundeneLeeren();
  BenutzerSuchen(SuchModus::register_);
  const Pruefung p = ZeilenPruefen(GefundenPruefen);
  if (p.textNr != 0) {
    markieren = p.zeilen;
    melden(p.textNr, p.wert);
    return false;
  }
  const std::string pfad = benutzerlistenPfad();
  tracen("Benutzerdatei neu", pfad);
  const plat::Err e = plat::publishReplace(pfad, benutzerlistenText(), true);
  if (e != plat::Err::ok) {
    fehlerMelden(e, txt::kNichtGeschrieben, pfad);
    return false;
  }
  return true;
}

void SpeicherortSetzen(const std::string& speicherort) {
  Verwaltung& v = verwaltung();
  zeilenLeeren();
  // Paths are built by appending names: the folder must end with "\".
  v.speicherort = plat::withBackslash(speicherort);
  if (v.speicherort.empty()) return;
  vk::RegSchreiben("LastBasisDirectory", v.speicherort);
  maschineSchreiben("LastBasisDirectory", v.speicherort);
  const std::string konfig = konfigVerzeichnis();
  ordnerSicherstellen(konfig);
  vk::RegSchreiben("LastDirectory", konfig);
  ordnerSicherstellen(konfig + "Trigger\\");
  BenutzerlistenLesen();
}

void DateiGewaehlt(const std::string& ordner, const std::string& dateiName) {
  verwaltung().dateiName = dateiName;
  SpeicherortSetzen(ordner);
}

}  // namespace admin
