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
    Fehlermeldung(e, pfad + " not found");
    return false;
  }
  z.gelesenLaenge = static_cast<std::int64_t>(inhalt.size());
  z.gelesenPruefsumme = Pruefsumme(inhalt);
  return true;
}

// Hands every line of `inhalt` that is not blank to `jede`, as a view into
// `inhalt` (lines end at LF, a CR before it is dropped, a lone CR is data).
template <typename F>
void zeilenDurchgehen(std::string_view inhalt, F&& jede) {
  std::size_t nummer = 0;
  while (!inhalt.empty()) {
    const std::size_t ende = inhalt.find('\n');
    std::string_view zeile = inhalt.substr(0, ende);
    inhalt.remove_prefix(ende == std::string_view::npos ? inhalt.size() : ende + 1);
    if (ende != std::string_view::npos && !zeile.empty() && zeile.back() == '\r')
      zeile.remove_suffix(1);
    if (++nummer % kEreignisseAlle == 0) EreignisseVerarbeiten();
    if (!leer(zeile)) jede(zeile);
  }
}

// Exact duplicates are shown once; lines that differ in case only are two
// words ("Arm", "arm") and both stay. An open-addressing table of views
// into the file's content: one allocation for the whole file.
class Dubletten {
 public:
  explicit Dubletten(std::string_view inhalt)
      : inhalt_(inhalt),
        zeilen_(static_cast<std::size_t>(std::count(inhalt.begin(), inhalt.end(), '\n')) + 1) {
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
  Dubletten dubletten(inhalt);
  z.zeilen.reserve(dubletten.zeilen());
  zeilenDurchgehen(inhalt, [&](std::string_view zeile) {
    if (!dubletten.neu(zeile)) return;
    Eintrag e;
    ZeileTeilen(zeile, e.geschrieben, e.gesprochen);
    if (e.gesprochen.empty()) e.gesprochen = Buchstabierform(e.geschrieben);
    z.zeilen.push_back(std::move(e));
  });
  z.Markierzaehler = static_cast<std::int64_t>(z.zeilen.size());
  return true;
}

bool DiffListeAufbauen() {
  auto& z = editorZustand();
  Trace("DiffListeAufbauen", z.listenPfad);
  std::string inhalt;
  if (!dateiLesen(z.listenPfad, inhalt)) return false;
  auto& pz = poolZustand();
  Dubletten dubletten(inhalt);
  zeilenDurchgehen(inhalt, [&](std::string_view zeile) {
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
