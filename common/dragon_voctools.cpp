// Vocabulary access of the clients over the recognizer's proxy objects.
// Reads word files through the OS layer's shared files (read access, others
// may read too); a file the pool server holds is reported as unreadable and
// counts as not applied.
#include "common/dragon_voctools.h"

#include "common/dragon_ordner.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/utilities.h"
#include "platform/shared_file.h"
#include "platform/text_lines.h"

namespace vk {

namespace {

VoctoolsZustand gZustand;

void fehlerMelden(const dragon::Error& e, int text) {
  Fehlermeldung(e.number, e.description, Text(text));
}

dragon::Error nichtInitialisiert() {
  return {dragonproto::errNotInitialized, Text(txt::kGrundNichtInitialisiert)};
}

std::string_view getrimmt(std::string_view s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  std::size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

}  // namespace

VoctoolsZustand& Voctools() {
  return gZustand;
}

void VoctoolsZuruecksetzen() {
  gZustand = VoctoolsZustand();
}

std::string WortZeile(const dragon::Word& wort) {
  std::string zeile(getrimmt(wort.written));
  std::string_view gesprochen = getrimmt(wort.spoken);
  if (!gesprochen.empty()) {
    zeile.push_back('\\');
    zeile.append(gesprochen);
  }
  return zeile;
}

bool VoctoolsStart() {
  if (gZustand.initialisiert) return true;
  Trace("Init Voctools");
  dragon::Error e;
  gZustand.tools = dragon::VocTools::create(DragonProgrammVerzeichnis(), e);
  if (!gZustand.tools || !gZustand.tools->initialize(e)) {
    gZustand.tools.reset();
    fehlerMelden(e, txt::kVokabularUnzugaenglich);
    return false;
  }
  gZustand.initialisiert = true;
  gZustand.geaendert = false;
  return true;
}

void VoctoolsEnde() {
  if (!gZustand.initialisiert) return;
  gZustand.initialisiert = false;
  dragon::Error e;
  if (gZustand.geaendert) {
    if (gZustand.tools->vocabularyBuilder().save(e)) {
      Trace("voc.save");
    } else {
      fehlerMelden(e, txt::kVokabularNichtGespeichert);
    }
  }
  Trace("End Voctools");
  if (!gZustand.tools->uninitialize(e)) fehlerMelden(e, txt::kVokabularNichtGespeichert);
  gZustand.tools.reset();
}

bool WortAnalysieren(const std::string& zeile) {
  if (zeile.empty()) return false;
  dragon::Error e;
  bool ok = false;
  if (!gZustand.tools) {
    e = nichtInitialisiert();
  } else {
    dragon::WordAnalyzer& a = gZustand.tools->wordAnalyzer();
    std::string_view z = zeile;
    std::size_t bs = z.find('\\');
    ok = bs == std::string_view::npos || bs == 0
             ? a.analyzeWord(z, gZustand.wort, e)
             : a.analyzeWord(z.substr(0, bs), z.substr(bs + 1), gZustand.wort, e);
  }
  if (!ok) {
    Trace("Analysefehler", zeile);
    fehlerMelden(e, txt::kWortNichtGeprueft);
  }
  return ok;
}

bool WorteHolen(bool option) {
  Trace("Begin GetWords");
  dragon::Error e = nichtInitialisiert();
  if (!gZustand.initialisiert ||
      !gZustand.tools->vocabularyBuilder().getWords(option, gZustand.liste, e) ||
      !gZustand.tools->speaker(gZustand.sprecher, e)) {
    fehlerMelden(e, txt::kVokabularNichtGelesen);
    return false;
  }
  Trace("End GetWords", gZustand.sprecher, gZustand.liste.size());
  return true;
}

void VocWorteSchreiben() {
  const dragon::WordList& liste = gZustand.liste;
  Trace("VocWorteSchreiben", liste.size());
  for (std::size_t i = 0; i < liste.size(); ++i) {
    ZeileSchreiben(WortZeile(liste[i]));
    if ((i + 1) % 1000 == 0) EreignisseVerarbeiten();
  }
}

void VocWorteZeigen(const Wortmenge& bekannte, VocZeilenZiel& ziel) {
  const dragon::WordList& liste = gZustand.liste;
  Trace("VocWorteZeigen", liste.size());
  ziel.zeilenErwartet(liste.size());
  for (std::size_t i = 0; i < liste.size(); ++i) {
    if (!bekannte.enthaelt(WortZeile(liste[i]))) {
      VocZeile z;
      z.geschrieben = liste[i].written;
      z.gesprochen = liste[i].spoken;
      ziel.zeileAnfuegen(z);
    }
    if ((i + 1) % 1000 == 0) EreignisseVerarbeiten();
  }
}

int WoerterEntfernen() {
  auto& loesch = poolZustand().LoeschListe;
  if (!loesch) return 0;
  if (!gZustand.initialisiert) {
    fehlerMelden(nichtInitialisiert(), txt::kWoerterNichtEntfernt);
    return 0;
  }
  dragon::WordList liste = gZustand.tools->wordAnalyzer().createWordList();
  Trace("Beginn LoeWoerterEntf");
  for (const std::string& eintrag : loesch->elemente()) {
    if (WortAnalysieren(eintrag)) liste.push_back(gZustand.wort);
  }
  Trace("Ende LoeWoerterEntf");
  dragon::WordList entfernt;
  dragon::Error e;
  if (!gZustand.tools->vocabularyBuilder().removeWords(liste, entfernt, e)) {
    // The list stays, so the deletions are not lost with the failed call.
    fehlerMelden(e, txt::kEntfernenAbgelehnt);
    return 0;
  }
  if (!liste.empty()) gZustand.geaendert = true;
  LoeschListeVerwerfen();
  return static_cast<int>(liste.size());
}

int WoerterEinlesen(const std::string& pfad) {
  Trace("WoerterEinlesen", pfad);
  gZustand.liste.clear();
  gZustand.lesefehler = false;
  plat::SharedFile datei;
  plat::Err err =
      datei.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting);
  if (err != plat::Err::ok) {
    gZustand.lesefehler = true;
    Fehlermeldung(err, TextMitWert(txt::kWortdateiNichtGelesen, pfad));
    return 0;
  }
  // Room for the words at once: a word line is rarely shorter than 16
  // bytes, and growing a list of some ten thousand words step by step
  // costs more than reading them.
  std::int64_t groesse = datei.size();
  if (groesse > 0) gZustand.liste.reserve(static_cast<std::size_t>(groesse / 16));
  plat::LineReader leser(datei);
  std::string zeile;
  std::size_t n = 0;
  for (;;) {
    auto st = leser.next(zeile);
    if (st == plat::LineStatus::end) break;
    if (st == plat::LineStatus::error) {
      gZustand.lesefehler = true;
      Fehlermeldung(leser.error(), TextMitWert(txt::kWortdateiNichtGelesen, pfad));
      break;
    }
    if (WortAnalysieren(zeile)) gZustand.liste.push_back(gZustand.wort);
    if (++n % 2048 == 0) EreignisseVerarbeiten();
  }
  datei.close();
  Trace("Anzahl W\xF6rter", gZustand.liste.size());
  return static_cast<int>(gZustand.liste.size());
}

namespace {

// Analyses the current list and adds what the recognizer accepts.
bool listeHinzufuegen() {
  dragon::WordAnalyzer& a = gZustand.tools->wordAnalyzer();
  dragon::Error e;
  Trace("Analyze");
  a.clearQueue();
  a.queueWords(std::move(gZustand.liste));
  if (!a.analyzeQueue(gZustand.liste, e)) {
    fehlerMelden(e, txt::kWortNichtGeprueft);
    return false;
  }
  if (!gZustand.liste.empty()) {
    Trace("Begin AddWords");
    dragon::WordList neu;
    if (!gZustand.tools->vocabularyBuilder().addWords(gZustand.liste, 1, neu, e)) {
      fehlerMelden(e, txt::kWoerterNichtAufgenommen);
      return false;
    }
    Trace("End AddWords");
    if (!neu.empty()) gZustand.geaendert = true;
  }
  return true;
}

}  // namespace

bool WoerterHinzufuegen(const std::string& pfad) {
  if (WoerterEinlesen(pfad) == 0) return !gZustand.lesefehler;
  if (gZustand.lesefehler) return false;
  return listeHinzufuegen();
}

bool ZeilenHinzufuegen(const std::vector<std::string>& zeilen) {
  if (!gZustand.initialisiert) {
    fehlerMelden(nichtInitialisiert(), txt::kWoerterNichtAufgenommen);
    return false;
  }
  gZustand.liste = gZustand.tools->wordAnalyzer().createWordList();
  for (const std::string& zeile : zeilen) {
    if (WortAnalysieren(zeile)) gZustand.liste.push_back(gZustand.wort);
  }
  if (gZustand.liste.empty()) return true;
  return listeHinzufuegen();
}

bool DateiWoerterEntfernen(const std::string& pfad) {
  if (WoerterEinlesen(pfad) == 0) return !gZustand.lesefehler;
  if (gZustand.lesefehler) return false;
  Trace("Begin RemoveWords");
  dragon::WordList entfernt;
  dragon::Error e;
  if (!gZustand.tools->vocabularyBuilder().removeWords(gZustand.liste, entfernt, e)) {
    fehlerMelden(e, txt::kWoerterNichtEntfernt);
    return false;
  }
  Trace("End RemoveWords");
  if (!gZustand.liste.empty()) gZustand.geaendert = true;
  return true;
}

}  // namespace vk
