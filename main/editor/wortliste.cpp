// The rows of the word list editor: building them from the list file or the
// recognizer, the automatic spoken form, checking, removing, editing and
// searching (see wortliste.h). Reads files shared with other workstations
// under a shared open only; never writes here.
#include "main/editor/wortliste.h"

#include <algorithm>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/utilities.h"
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
  if (e == plat::Err::ok) e = datei.readAll(inhalt);
  if (e != plat::Err::ok) {
    Fehlermeldung(e, pfad + " not found");
    return false;
  }
  z.gelesenLaenge = static_cast<std::int64_t>(inhalt.size());
  z.gelesenPruefsumme = Pruefsumme(inhalt);
  return true;
}

// Hands every line of `inhalt` that is not blank to `jede`.
template <typename F>
void zeilenDurchgehen(const std::string& inhalt, F&& jede) {
  plat::LineReader leser(std::string_view{inhalt});
  std::string zeile;
  while (true) {
    const auto status = leser.next(zeile);
    if (status == plat::LineStatus::end || status == plat::LineStatus::error) break;
    if (leser.lineNumber() % kEreignisseAlle == 0) EreignisseVerarbeiten();
    if (leer(zeile)) continue;
    jede(zeile);
  }
}

// Rows from the recognizer's words.
class AnwenderZiel : public VocZeilenZiel {
 public:
  void zeilenErwartet(std::size_t anzahl) override { editorZustand().zeilen.reserve(anzahl); }
  void zeileAnfuegen(const VocZeile& zeile) override {
    editorZustand().zeilen.push_back(Eintrag{zeile.geschrieben, zeile.gesprochen, zeile.angehakt});
  }
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
  auto& ben = poolZustand().BenWorte;
  // About 16 bytes a line: room for the rows without growing.
  const std::size_t erwartet = inhalt.size() / 16 + 16;
  ben.reservieren(erwartet);
  z.zeilen.reserve(erwartet);
  zeilenDurchgehen(inhalt, [&](const std::string& zeile) {
    if (!ben.hinzufuegen(zeile)) return;
    Eintrag e;
    ZeileTeilen(zeile, e.geschrieben, e.gesprochen);
    if (e.gesprochen.empty()) e.gesprochen = Buchstabierform(e.geschrieben);
    z.zeilen.push_back(std::move(e));
    ++z.Markierzaehler;
  });
  return true;
}

bool DiffListeAufbauen() {
  auto& z = editorZustand();
  Trace("DiffListeAufbauen", z.listenPfad);
  std::string inhalt;
  if (!dateiLesen(z.listenPfad, inhalt)) return false;
  auto& pz = poolZustand();
  zeilenDurchgehen(inhalt, [&](const std::string& zeile) {
    if (!pz.BenWorte.hinzufuegen(zeile)) return;
    z.dateiZeilen.push_back(zeile);
    if (pz.Vergleichsworte.enthaelt(zeile)) return;
    Eintrag e;
    ZeileTeilen(zeile, e.geschrieben, e.gesprochen);
    z.zeilen.push_back(std::move(e));
    ++z.Markierzaehler;
  });
  Trace("Anzahl W\xF6rter", z.Markierzaehler);
  return true;
}

bool BenListeAufbauen() {
  auto& z = editorZustand();
  Trace("BenListeAufbauen", z.listenPfad);
  BenDateiEinlesen(z.listenPfad);
  BenDateiEinlesen(VokFixDatei(hauptZustand().Thema));
  if (VoctoolsStart()) {
    if (WorteHolen(!hauptZustand().OptionA)) {
      AnwenderZiel ziel;
      VocWorteZeigen(ziel);
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
  LoeschListeHinzufuegen(e.geschrieben, e.gesprochen);
  e.geschrieben = geschrieben;
  e.gesprochen = gesprochen;
  return true;
}

std::ptrdiff_t Suchen(std::string_view anfang) {
  const std::string_view text = trimmen(anfang);
  if (text.empty()) return -1;
  const auto& zeilen = editorZustand().zeilen;
  for (std::size_t i = 0; i < zeilen.size(); ++i) {
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
