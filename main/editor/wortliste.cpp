// The rows of the word list editor: building them from the list file or the
// recognizer, the automatic spoken form, checking, removing, editing and
// searching (see wortliste.h). Reads the list file under a shared open
// only. Writes in two places, after a take-over: the shown file loses what
// was read of it (under its exclusive lock, so an append of the helper
// waits and stays), and changed own words go to the user's ".neu" when the
// recognizer is not there.
#include "main/editor/wortliste.h"

#include <algorithm>
#include <unordered_set>

#include "common/journal.h"
#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/utilities.h"
#include "common/wortpruefung.h"
#include "common/zeichenketten.h"
#include "main/editor/pruefsumme.h"
#include "platform/shared_file.h"
#include "platform/text_lines.h"

namespace vk {

namespace {

// Window events run every this many lines or rows of a long loop.
constexpr std::size_t kEreignisseAlle = 2048;

// A line of blanks and tabs only carries nothing.
bool leer(std::string_view zeile) {
  return zeile.find_first_not_of(" \t") == std::string_view::npos;
}

bool grossbuchstabe(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || c == 0xC4 || c == 0xD6 || c == 0xDC;  // Ä Ö Ü
}

// Reads the whole list file under a shared open and keeps its length and
// hash for a later rewrite. false (reported) when it cannot be read.
bool dateiLesen(const std::string& pfad, std::string& inhalt) {
  auto& z = editorZustand();
  plat::SharedFile datei;
  plat::Err e =
      datei.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting);
  // Rows are found by 32-bit places in the content: a list file of 4 GiB
  // or more is no word list.
  if (e == plat::Err::ok && datei.size() >= 0xFFFFFFFFLL) e = plat::Err::invalidParameter;
  if (e == plat::Err::ok) e = datei.readAll(inhalt);
  if (e != plat::Err::ok) {
    WortdateiFehlerMelden(e, pfad);
    return false;
  }
  z.gelesenLaenge = static_cast<std::int64_t>(inhalt.size());
  z.gelesenPruefsumme = Pruefsumme(inhalt);
  return true;
}

// Length of the line end at `ende` of `inhalt` (CR LF 2, LF or CR 1, none 0).
std::size_t zeilenende(std::string_view inhalt, std::size_t ende) {
  if (ende >= inhalt.size()) return 0;
  return inhalt[ende] == '\r' && ende + 1 < inhalt.size() && inhalt[ende + 1] == '\n' ? 2 : 1;
}

// Hands every line of `inhalt` that is not blank and is a word to `jede`,
// as a view into `inhalt` (lines end at LF, CR LF or a lone CR); a line
// that is no word is counted in `abgewiesen` with its number.
template <typename F>
void zeilenDurchgehen(std::string_view inhalt, Abweisungen& abgewiesen, F&& jede) {
  std::size_t nummer = 0;
  while (!inhalt.empty()) {
    const std::size_t ende = plat::findLineEnd(inhalt);
    const std::string_view zeile = inhalt.substr(0, ende);
    inhalt.remove_prefix(ende + zeilenende(inhalt, ende));
    if (++nummer % kEreignisseAlle == 0) EreignisseVerarbeiten();
    if (leer(zeile)) continue;
    if (WortzeilePruefen(zeile) != Wortfehler::keiner) {
      abgewiesen.hinzufuegen(nummer);
      continue;
    }
    jede(zeile);
  }
}

// An import file written as UTF-8 in cp1252, line for line; a line cp1252
// cannot hold becomes a control character alone, so that the word check
// refuses it under its own line number.
std::string importWandeln(std::string_view inhalt) {
  std::string ansi;
  ansi.reserve(inhalt.size());
  std::string zeile;
  while (!inhalt.empty()) {
    const std::size_t ende = plat::findLineEnd(inhalt);
    if (Utf8ZeileWandeln(inhalt.substr(0, ende), zeile)) {
      ansi += zeile;
    } else {
      ansi += '\x01';
    }
    const std::size_t laenge = zeilenende(inhalt, ende);
    ansi.append(inhalt.substr(ende, laenge));
    inhalt.remove_prefix(ende + laenge);
  }
  return ansi;
}

// Number of lines of `inhalt` (CR LF counts once: the table below is sized
// by it, and a larger one costs cache misses).
std::size_t zeilenZaehlen(std::string_view inhalt) {
  std::size_t n = 1;
  for (std::size_t i = 0; i < inhalt.size(); ++i) {
    const char c = inhalt[i];
    if (c == '\n' || (c == '\r' && (i + 1 == inhalt.size() || inhalt[i + 1] != '\n'))) ++n;
  }
  return n;
}

// Exact duplicates are shown once; lines that differ in case only are two
// words ("Arm", "arm") and both stay. An open-addressing table of views
// into the file's content: one allocation for the whole file.
class Dubletten {
 public:
  explicit Dubletten(std::string_view inhalt) : inhalt_(inhalt), zeilen_(zeilenZaehlen(inhalt)) {
    std::size_t plaetze = 16;
    while (plaetze < 2 * zeilen_)
      plaetze <<= 1;
    plaetze_.resize(plaetze);
    maske_ = plaetze - 1;
  }
  // True the first time a line (a view into the content) is seen.
  bool neu(std::string_view zeile) {
    std::uint64_t h = Pruefsumme(zeile);
    h ^= h >> 32;
    const auto marke = static_cast<std::uint32_t>(h) | 1U;  // 0 marks a free place
    for (std::size_t i = (h >> 7) & maske_;; i = (i + 1) & maske_) {
      Platz& p = plaetze_[i];
      if (p.marke == 0) {
        p = Platz{marke, static_cast<std::uint32_t>(zeile.data() - inhalt_.data()),
                  static_cast<std::uint32_t>(zeile.size())};
        return true;
      }
      if (p.marke == marke && inhalt_.substr(p.anfang, p.laenge) == zeile) return false;
    }
  }
  // Number of lines of the file (at most).
  std::size_t zeilen() const { return zeilen_; }

 private:
  struct Platz {
    std::uint32_t marke = 0;
    std::uint32_t anfang = 0;
    std::uint32_t laenge = 0;
  };
  std::string_view inhalt_;
  std::size_t zeilen_;
  std::vector<Platz> plaetze_;
  std::size_t maske_ = 0;
};

// Rows from the recognizer's words; a word that is no pool word (a spoken
// form too long, say) gets no row and is counted.
class AnwenderZiel : public VocZeilenZiel {
 public:
  void zeilenErwartet(std::size_t anzahl) override { editorZustand().zeilen.reserve(anzahl); }
  void zeileAnfuegen(const VocZeile& zeile) override {
    ++nummer_;
    if (WortzeilePruefen(Wortzeile(zeile.geschrieben, zeile.gesprochen)) != Wortfehler::keiner) {
      abgewiesen.hinzufuegen(nummer_);
      return;
    }
    editorZustand().zeilen.push_back(
        Eintrag{zeile.geschrieben, zeile.gesprochen, zeile.angehakt, false});
  }
  Abweisungen abgewiesen;

 private:
  std::size_t nummer_ = 0;
};

}  // namespace

EditorZustand& editorZustand() {
  static EditorZustand z;
  return z;
}

void editorZustandZuruecksetzen() {
  editorZustand() = EditorZustand{};
}

std::string Buchstabierform(std::string_view w) {
  std::string r;
  bool buchstabieren = false;
  bool vorherGross = false;
  const auto endetMitBlank = [&r] { return !r.empty() && r.back() == ' '; };
  // From here on the result spells: it starts as everything before `i`.
  const auto beginnen = [&](std::size_t i) {
    if (buchstabieren) return;
    r.assign(w.substr(0, i));
    buchstabieren = true;
  };
  for (std::size_t i = 0; i < w.size(); ++i) {
    const auto c = static_cast<unsigned char>(w[i]);
    if (c == ' ') {
      if (buchstabieren && !endetMitBlank()) r += ' ';
      vorherGross = false;
    } else if (c == '-') {
      beginnen(i);
      if (!r.empty() && !endetMitBlank()) r += ' ';
      vorherGross = false;
    } else if (grossbuchstabe(c)) {
      if (vorherGross) {
        beginnen(i);
        if (!endetMitBlank()) r += ". ";
        r += w[i];
        r += ". ";
      } else {
        vorherGross = true;
        if (buchstabieren) {
          if (!r.empty() && !endetMitBlank()) r += ' ';
          r += w[i];
        }
      }
    } else {
      vorherGross = false;
      if (buchstabieren) r += w[i];
    }
  }
  if (!buchstabieren) return {};
  std::string ergebnis(trimmen(r));
  ergebnis += ' ';
  return ergebnis;
}

void ZeileTeilen(std::string_view zeile, std::string& geschrieben, std::string& gesprochen) {
  const auto trenner = zeile.find('\\');
  if (trenner == std::string_view::npos) {
    geschrieben.assign(zeile);
    gesprochen.clear();
  } else {
    geschrieben.assign(zeile.substr(0, trenner));
    gesprochen.assign(zeile.substr(trenner + 1));
  }
}

std::string Dateinotation(const Eintrag& e) {
  return Wortzeile(e.geschrieben, e.gesprochen);
}

std::string Normalform(std::string_view zeile) {
  const auto trenner = zeile.find('\\');
  if (trenner == std::string_view::npos) return std::string(trimmen(zeile));
  return Wortzeile(zeile.substr(0, trenner), zeile.substr(trenner + 1));
}

void ListeVorbereiten() {
  auto& z = editorZustand();
  z.art = ListenartBestimmen(z.auftrag);
  z.listenPfad = z.auftrag.vollerPfad ? z.auftrag.dateiname
                                      : konfiguration().ZielVerzeichnis + poolZustand().Pool +
                                            "\\" + z.auftrag.dateiname;
}

bool ListeErstellen() {
  auto& z = editorZustand();
  // A stopped take-over is finished before its words could be shown again.
  OffeneJournaleErledigen();
  z.zeilen.clear();
  z.zeilen.shrink_to_fit();
  z.dateiZeilen.clear();
  z.Markierzaehler = 0;
  z.gelesenLaenge = -1;
  poolZustand().BenWorte.leeren();
  bool gut = false;
  switch (z.art) {
    case Listenart::Anwender:
      gut = BenListeAufbauen();
      break;
    case Listenart::Wartung:
      gut = DiffListeAufbauen();
      break;
    default:
      gut = ListeAufbauen();
      break;
  }
  if (z.art != Listenart::Wartung) poolZustand().BenWorte.leeren();
  return gut;
}

bool ListeAufbauen() {
  auto& z = editorZustand();
  Trace("ListeAufbauen", konfiguration().WortlistenDatei);
  std::string inhalt;
  if (!dateiLesen(z.listenPfad, inhalt)) return false;
  // An import written by a modern editor is UTF-8: its rows become cp1252.
  if (std::string_view sicht = inhalt; z.art == Listenart::Import && Utf8Erkennen(sicht)) {
    Trace("UTF-8", z.listenPfad);
    inhalt = importWandeln(sicht);
  }
  Dubletten dubletten(inhalt);
  z.zeilen.reserve(dubletten.zeilen());
  Abweisungen abgewiesen;
  zeilenDurchgehen(inhalt, abgewiesen, [&](std::string_view zeile) {
    if (!dubletten.neu(zeile)) return;
    Eintrag e;
    ZeileTeilen(zeile, e.geschrieben, e.gesprochen);
    if (e.gesprochen.empty()) e.gesprochen = Buchstabierform(e.geschrieben);
    z.zeilen.push_back(std::move(e));
  });
  z.Markierzaehler = static_cast<std::int64_t>(z.zeilen.size());
  AbweisungenMelden(abgewiesen, z.listenPfad);
  return true;
}

bool DiffListeAufbauen() {
  auto& z = editorZustand();
  Trace("DiffListeAufbauen", z.listenPfad);
  std::string inhalt;
  if (!dateiLesen(z.listenPfad, inhalt)) return false;
  auto& pz = poolZustand();
  Dubletten dubletten(inhalt);
  Abweisungen abgewiesen;
  zeilenDurchgehen(inhalt, abgewiesen, [&](std::string_view zeile) {
    if (!dubletten.neu(zeile)) return;
    pz.BenWorte.hinzufuegen(zeile);
    z.dateiZeilen.emplace_back(zeile);
    if (pz.Vergleichsworte.enthaelt(zeile)) return;
    Eintrag e;
    ZeileTeilen(zeile, e.geschrieben, e.gesprochen);
    z.zeilen.push_back(std::move(e));
    ++z.Markierzaehler;
  });
  Trace("Anzahl W\xF6rter", z.Markierzaehler);
  AbweisungenMelden(abgewiesen, z.listenPfad);
  return true;
}

bool BenListeAufbauen() {
  auto& z = editorZustand();
  Trace("BenListeAufbauen", z.listenPfad);
  BenDateiEinlesen(z.listenPfad);
  BenDateiEinlesen(VokFixDatei(z.auftrag.Thema));
  if (VoctoolsStart()) {
    if (WorteHolen(!z.auftrag.OptionA)) {
      AnwenderZiel ziel;
      VocWorteZeigen(poolZustand().BenWorte, ziel);
      AbweisungenMelden(ziel.abgewiesen, "Dragon");
    }
    VoctoolsEnde();
  }
  return true;
}

void Markieren(const std::vector<std::size_t>& positionen, bool an) {
  std::size_t n = 0;
  for (const std::size_t i : positionen) {
    HakenSetzen(i, an);
    if (++n % kEreignisseAlle == 0) EreignisseVerarbeiten();
  }
}

void HakenSetzen(std::size_t position, bool an) {
  auto& z = editorZustand();
  Eintrag& e = z.zeilen.at(position);
  if (e.angehakt == an) return;
  e.angehakt = an;
  z.Markierzaehler += an ? 1 : -1;
}

void Entfernen(std::vector<std::size_t> positionen) {
  auto& z = editorZustand();
  if (positionen.empty()) return;
  std::sort(positionen.begin(), positionen.end());
  positionen.erase(std::unique(positionen.begin(), positionen.end()), positionen.end());
  // Recorded from the last to the first, then the rows are compacted once.
  std::size_t n = 0;
  for (auto it = positionen.rbegin(); it != positionen.rend(); ++it) {
    Eintrag& e = z.zeilen.at(*it);
    if (e.angehakt) {
      --z.Markierzaehler;
      e.angehakt = false;
    }
    LoeschListeHinzufuegen(e.geschrieben, e.gesprochen);
    if (++n % kEreignisseAlle == 0) EreignisseVerarbeiten();
  }
  std::size_t ziel = positionen.front();
  std::size_t naechste = 0;
  for (std::size_t i = positionen.front(); i < z.zeilen.size(); ++i) {
    if (naechste < positionen.size() && positionen[naechste] == i) {
      ++naechste;
      continue;
    }
    z.zeilen[ziel++] = std::move(z.zeilen[i]);
  }
  z.zeilen.resize(ziel);
}

bool ZeileAendern(std::size_t position, const std::string& geschrieben,
                  const std::string& gesprochen) {
  Eintrag& e = editorZustand().zeilen.at(position);
  if (e.geschrieben == geschrieben && e.gesprochen == gesprochen) return false;
  if (WortzeilePruefen(Wortzeile(geschrieben, gesprochen)) != Wortfehler::keiner) {
    Meldung(TextMitWert(txt::kAenderungKeinWort, Dateinotation(e)));
    return false;
  }
  LoeschListeHinzufuegen(e.geschrieben, e.gesprochen);
  e.geschrieben = geschrieben;
  e.gesprochen = gesprochen;
  e.geaendert = true;
  return true;
}

void LoeschListeBereinigen() {
  auto& loesch = poolZustand().LoeschListe;
  if (!loesch || loesch->anzahl() == 0) return;
  std::unordered_set<std::string> gezeigt;
  for (const Eintrag& e : editorZustand().zeilen)
    gezeigt.insert(Dateinotation(e));
  std::vector<std::string> bleiben;
  for (const std::string& eintrag : loesch->elemente()) {
    if (gezeigt.count(Normalform(eintrag)) == 0) bleiben.push_back(eintrag);
  }
  if (bleiben.size() == loesch->anzahl()) return;
  loesch->leeren();
  for (const std::string& eintrag : bleiben)
    loesch->hinzufuegen(eintrag);
}

void ErsetzteWoerterAufnehmen(bool toolsOffen) {
  std::vector<std::string> neu;
  for (const Eintrag& e : editorZustand().zeilen) {
    if (e.geaendert && !e.angehakt) neu.push_back(Dateinotation(e));
  }
  if (neu.empty()) return;
  Trace("ErsetzteWoerterAufnehmen", neu.size());
  if (toolsOffen && ZeilenHinzufuegen(neu)) return;
  // Without the recognizer his helper adds them at its next start.
  const std::string& benutzer = poolZustand().Benutzer;
  if (benutzer.empty() || !AppendBen(benutzer, false)) return;
  AlleSchreiben(neu);
  AusgabeSchliessen();
}

bool GelesenesUnveraendert() {
  const auto& z = editorZustand();
  if (z.gelesenLaenge < 0) return false;
  plat::SharedFile datei;
  const plat::Err e = datei.open(z.listenPfad, plat::Access::read, plat::Share::shared,
                                 plat::Disposition::openExisting);
  // Held for an append just now: what it adds lies behind what was read,
  // and the deletion itself takes only that much, later, under its lock.
  if (plat::heldByOther(e)) return true;
  if (e != plat::Err::ok) return false;
  std::string anfang;
  const auto gelesen = static_cast<std::size_t>(z.gelesenLaenge);
  if (datei.readAll(anfang, gelesen) != plat::Err::ok || anfang.size() != gelesen) return false;
  if (Pruefsumme(anfang) == z.gelesenPruefsumme) return true;
  Trace("Wortliste bleibt", z.listenPfad);
  return false;
}

std::ptrdiff_t Suchen(std::string_view anfang, std::size_t ab) {
  const std::string_view text = trimmen(anfang);
  if (text.empty()) return -1;
  const auto& zeilen = editorZustand().zeilen;
  for (std::size_t i = ab; i < zeilen.size(); ++i) {
    if (i > 0 && i % kEreignisseAlle == 0) EreignisseVerarbeiten();
    const std::string& w = zeilen[i].geschrieben;
    if (w.size() < text.size()) continue;
    if (gleichOhneFall(std::string_view(w).substr(0, text.size()), text))
      return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

std::vector<std::string> AngehakteZeilen() {
  std::vector<std::string> zeilen;
  const auto& z = editorZustand();
  zeilen.reserve(static_cast<std::size_t>(std::max<std::int64_t>(z.Markierzaehler, 0)));
  for (const Eintrag& e : z.zeilen) {
    if (e.angehakt) zeilen.push_back(Dateinotation(e));
  }
  return zeilen;
}

}  // namespace vk
