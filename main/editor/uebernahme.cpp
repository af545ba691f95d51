// "Speichern" and "Uebernehmen" of the word list editor: what each kind of
// list writes into the pool files (see wortliste.h).
// Three rules keep other programs' lines: appends to the total list and the
// new-words text that stay locked are tried again, then the user decides,
// and a word list whose words did not reach both pool files is kept; the
// total list is replaced whole only under its own lock, after the lines
// appended since the editor read it were taken into the new content; the
// pool texts are only appended to, because the server may not have claimed
// what they hold yet. Every take-over is a recorded operation (journal.h):
// what it appends where is on the disk before the first append, so a kill,
// a full disk or Cancel leaves a journal that the next program finishes,
// and each word reaches each pool file once.
#include <algorithm>
#include <deque>
#include <functional>
#include <unordered_set>

#include "common/dragon_voctools.h"
#include "common/journal.h"
#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/server_trigger.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/wortpruefung.h"
#include "main/editor/pruefsumme.h"
#include "main/editor/wortliste.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/text_lines.h"

namespace vk {

namespace {

void pause() {
  Warten(static_cast<float>(editorZustand().pauseMs) / 1000.0f);
}

// Opens `pfad` exclusively, `versuche` times while another program holds
// it; then asks `frage` (Retry/Cancel) and starts again on Retry.
plat::Err oeffnenMitVersuchen(plat::SharedFile& datei, const std::string& pfad, int versuche,
                              const std::string& frage) {
  while (true) {
    plat::Err e = plat::Err::ok;
    for (int v = 0; v < std::max(versuche, 1); ++v) {
      if (v > 0) pause();
      e = datei.open(pfad, plat::Access::readWrite, plat::Share::exclusive,
                     plat::Disposition::openAlways);
      if (!plat::heldByOther(e)) return e;
    }
    Trace("Versuche erschoepft", pfad, plat::code(e));
    if (!Nachfrage(frage)) return e;
  }
}

// Makes the journal's appends; the user decides about a file that stays
// held. All done: the word file goes and the trigger is set; otherwise the
// journal is left to the next program that takes the pool's files, which
// finishes it (the word file stays until then). True when all were done.
bool ausfuehren(Journal& j) {
  const bool alle = JournalAusfuehren(
      j, editorZustand().pauseMs,
      [](const std::string& pfad) {
        return Nachfrage(TextMitWerten(txt::kWortlisteGesperrt, pfad, editorZustand().listenPfad));
      },
      true);
  if (alle) {
    JournalAbschliessen(j);
    return true;
  }
  JournalLassen(j);
  TriggerSetzen(TriggerArt::pool);
  Trace("Wortliste bleibt", editorZustand().listenPfad);
  return false;
}

// The shown word file goes last, and only what the editor read of it:
// lines appended since stay for the next time, and a file replaced since
// it was read is left as it is. Only a new-words list (a member's ".ben"
// or the pool's word list) is taken from its file; the other kinds of list
// delete nothing.
void gezeigteWortdatei(Journal& j) {
  const auto& z = editorZustand();
  if (z.art != Listenart::Neuworte || !GelesenesUnveraendert()) return;
  JournalWortdatei(j, z.listenPfad, z.gelesenLaenge, z.gelesenPruefsumme);
}

// LoeschListe into the user's ".loe", when there is a user.
void loeschListeFuerBenutzer(Journal& j) {
  const auto& pz = poolZustand();
  if (!pz.LoeschListe || pz.LoeschListe->anzahl() == 0 || pz.Benutzer.empty()) return;
  const std::string pfad = BenutzerDateiPfad(pz.Benutzer, ".loe");
  if (!plat::isSafeName(pz.Benutzer)) {
    Fehlermeldung(plat::Err::invalidName, TextMitWert(txt::kAnwenderWortdateiNichtGeoeffnet, pfad));
    return;
  }
  std::string daten;
  for (const std::string& eintrag : pz.LoeschListe->elemente())
    plat::addLine(daten, eintrag);
  JournalAnhaengen(j, pfad, std::move(daten), editorZustand().versucheNeuWorte);
}

using Zeilenmenge = std::unordered_set<std::string>;

// Lines the editor took out of the list: unchecked rows and the old
// entries of changed or removed rows, in the form lines are compared in.
Zeilenmenge entfernteZeilen() {
  Zeilenmenge menge;
  for (const Eintrag& e : editorZustand().zeilen) {
    if (!e.angehakt) menge.insert(Dateinotation(e));
  }
  const auto& loesch = poolZustand().LoeschListe;
  if (loesch) {
    for (const std::string& eintrag : loesch->elemente())
      menge.insert(Normalform(eintrag));
  }
  return menge;
}

// Replaces the total list at `pfad` by `inhalt`, keeping every line that
// was appended to it since the build read it (unless the editor took that
// line out); the old content goes to `sicherung`. The list stays locked
// from reading what was appended until the new file has its name;
// `vorDemErsetzen` sees the new content just before (false: no change).
bool GesamtlisteErsetzen(const std::string& pfad, std::vector<std::string> inhalt,
                         const Zeilenmenge& entfernt, const std::string& sicherung,
                         const std::function<bool(std::string_view)>& vorDemErsetzen = {}) {
  const auto& z = editorZustand();
  Trace("GesamtlisteErsetzen", pfad, sicherung);
  if (sicherung == pfad) {
    Fehlermeldung(0, "", TextMitWerten(txt::kNichtErsetzt, pfad, sicherung));
    return false;
  }
  plat::SharedFile datei;
  plat::Err e = oeffnenMitVersuchen(datei, pfad, z.versucheGesamtliste,
                                    TextMitWert(txt::kGesamtlisteGesperrt, pfad));
  if (plat::heldByOther(e)) {
    Trace("Gesamtliste bleibt", pfad);  // the user cancelled
    return false;
  }
  std::string alt;
  if (e == plat::Err::ok) e = datei.readAll(alt);
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWert(txt::kWortlisteNichtGeoeffnet, pfad));
    return false;
  }
  const auto gelesen = static_cast<std::size_t>(std::max<std::int64_t>(z.gelesenLaenge, 0));
  std::string_view dazu = alt;
  // Unchanged up to what was read: only the rest is new. Otherwise another
  // program replaced the list meanwhile, and every line of it is kept.
  if (z.gelesenLaenge >= 0 && alt.size() >= gelesen &&
      Pruefsumme(std::string_view(alt).substr(0, gelesen)) == z.gelesenPruefsumme)
    dazu.remove_prefix(gelesen);
  if (!dazu.empty()) {
    std::unordered_set<std::string_view> vorhanden(inhalt.begin(), inhalt.end());
    // A deque: the set holds views of its lines, which a growing vector
    // would move away.
    std::deque<std::string> neu;
    plat::LineReader leser(dazu);
    std::string zeile;
    while (true) {
      const auto status = leser.next(zeile);
      if (status == plat::LineStatus::end || status == plat::LineStatus::error) break;
      std::string n = Normalform(zeile);
      if (n.empty() || entfernt.count(n) != 0 || vorhanden.count(n) != 0) continue;
      neu.push_back(std::move(n));
      vorhanden.insert(neu.back());
    }
    Trace("Zeilen erhalten", neu.size());
    inhalt.insert(inhalt.end(), std::make_move_iterator(neu.begin()),
                  std::make_move_iterator(neu.end()));
  }
  e = plat::publishReplace(sicherung, alt, true);
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWert(txt::kNichtVerschoben, sicherung));
    return false;
  }
  const std::string neu = plat::joinLines(inhalt);
  if (vorDemErsetzen && !vorDemErsetzen(neu)) return false;
  e = datei.replaceHeld(neu, true);
  if (e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWerten(txt::kNichtErsetzt, pfad, sicherung));
    return false;
  }
  return true;
}

std::vector<std::string> nichtAngehakteZeilen() {
  std::vector<std::string> zeilen;
  for (const Eintrag& e : editorZustand().zeilen) {
    if (!e.angehakt) zeilen.push_back(Dateinotation(e));
  }
  return zeilen;
}

// The journal is written under the total list's lock just before the list
// is replaced: should the replacement not happen, the journal's condition
// fails and the next program drops it.
bool listeErsetzenMitJournal(std::vector<std::string> inhalt, const Zeilenmenge& entfernt,
                             Journal& j) {
  const std::string& pfad = editorZustand().listenPfad;
  const bool ersetzt = GesamtlisteErsetzen(pfad, std::move(inhalt), entfernt, SicherungsPfad(),
                                           [&](std::string_view neu) {
                                             JournalVorbedingung(j, pfad, neu);
                                             return JournalAnlegen(j, PoolVerzeichnis());
                                           });
  if (!ersetzt) JournalVerwerfen(j);
  return ersetzt;
}

bool gesamtUebernehmen() {
  const auto& z = editorZustand();
  const std::vector<std::string> angehakt = AngehakteZeilen();
  Journal j;
  JournalAnhaengen(j, NeuWortePfad(), plat::joinLines(angehakt), z.versucheNeuWorte);
  JournalAnhaengen(j, LoeWortePfad(), plat::joinLines(nichtAngehakteZeilen()), z.versucheNeuWorte);
  // A list that could not be replaced still holds the unchecked words: then
  // nothing is sent, so no member deletes a word the pool keeps.
  if (!listeErsetzenMitJournal(angehakt, entfernteZeilen(), j)) return false;
  ausfuehren(j);
  return true;
}

bool wartungUebernehmen() {
  auto& z = editorZustand();
  auto& pz = poolZustand();
  // The rebuilt total list holds every kept line once, the checked rows
  // among them (changed ones in their new form); they are therefore not
  // appended to it a second time.
  const Zeilenmenge entfernt = entfernteZeilen();
  std::vector<std::string> inhalt;
  inhalt.reserve(z.dateiZeilen.size());
  std::unordered_set<std::string> vorhanden;
  for (const std::string& zeile : z.dateiZeilen) {
    std::string n = Normalform(zeile);
    if (n.empty() || entfernt.count(n) != 0 || !vorhanden.insert(n).second) continue;
    inhalt.push_back(std::move(n));
  }
  // Rows changed in the editor carry text the file does not hold yet.
  for (std::string& zeile : AngehakteZeilen()) {
    if (vorhanden.insert(zeile).second) inhalt.push_back(std::move(zeile));
  }
  Journal j;
  JournalAnhaengen(j, NeuWortePfad(), plat::joinLines(AngehakteZeilen()), z.versucheNeuWorte);
  loeschListeFuerBenutzer(j);
  std::string geloescht = plat::joinLines(nichtAngehakteZeilen());
  if (pz.LoeschListe) {
    for (const std::string& eintrag : pz.LoeschListe->elemente())
      plat::addLine(geloescht, eintrag);
  }
  JournalAnhaengen(j, LoeWortePfad(), std::move(geloescht), z.versucheNeuWorte);
  if (!listeErsetzenMitJournal(std::move(inhalt), entfernt, j)) return false;
  ausfuehren(j);
  LoeschListeVerwerfen();
  z.auftrag.wartung = false;
  pz.Vergleichsworte.leeren();
  return true;
}

// An import file is the user's own, of any name: its old content becomes
// the backup beside it, then the checked rows take its place. Each is
// written whole under a temporary name in the same folder and renamed into
// place, so a failure (reported) leaves both files as they were and no
// temporary file behind.
bool importSpeichern(const std::string& pfad) {
  const std::string sicherung = Sicherungsname(pfad);
  plat::SharedFile datei;
  plat::Err e =
      datei.open(pfad, plat::Access::read, plat::Share::denyWrite, plat::Disposition::openExisting);
  std::string alt;
  if (e == plat::Err::ok) e = datei.readAll(alt);
  datei.close();
  if (e == plat::Err::ok) {
    Trace("Sicherung", pfad, sicherung);
    e = plat::publishReplace(sicherung, alt, true);
    if (e != plat::Err::ok) {
      DateiFehlerMelden(e, sicherung, txt::kNichtGeschrieben);
      return false;
    }
  } else if (e != plat::Err::notFound) {
    WortdateiFehlerMelden(e, pfad);
    return false;
  }
  e = plat::publishReplace(pfad, plat::joinLines(AngehakteZeilen()), true);
  if (e != plat::Err::ok) {
    DateiFehlerMelden(e, pfad, txt::kNichtGeschrieben);
    return false;
  }
  return true;
}

}  // namespace

bool ListeSpeichern() {
  const auto& z = editorZustand();
  Trace("ListeSpeichern", z.listenPfad);
  if (z.art == Listenart::Gesamt)
    return GesamtlisteErsetzen(z.listenPfad, AngehakteZeilen(), entfernteZeilen(),
                               Sicherungsname(z.listenPfad));
  return importSpeichern(z.listenPfad);
}

bool WorteUebernehmen(bool mitGesamtliste) {
  const auto& z = editorZustand();
  Trace("WorteUebernehmen", z.Markierzaehler);
  const std::string zeilen = plat::joinLines(AngehakteZeilen());
  Journal j;
  if (mitGesamtliste) JournalAnhaengen(j, GesamtlistenPfad(), zeilen, z.versucheGesamtliste);
  JournalAnhaengen(j, NeuWortePfad(), zeilen, z.versucheNeuWorte);
  loeschListeFuerBenutzer(j);
  gezeigteWortdatei(j);
  // Without its journal nothing is written: the word list stays.
  if (!JournalAnlegen(j, PoolVerzeichnis())) return false;
  return ausfuehren(j);
}

bool ListeUebernehmen() {
  const auto& z = editorZustand();
  Trace("ListeUebernehmen", z.listenPfad);
  LoeschListeBereinigen();
  switch (z.art) {
    case Listenart::Gesamt:
      return gesamtUebernehmen();
    case Listenart::Wartung:
      return wartungUebernehmen();
    case Listenart::Anwender:
      if (VoctoolsStart()) {
        WoerterEntfernen();
        ErsetzteWoerterAufnehmen(true);
        VoctoolsEnde();
      } else {
        ErsetzteWoerterAufnehmen(false);
      }
      return WorteUebernehmen(true);
    case Listenart::Neuworte:
      if (poolZustand().Automatikbetrieb && !SperreSetzen()) return false;
      ErsetzteWoerterAufnehmen(false);
      return WorteUebernehmen(true);
    case Listenart::Import:
      return WorteUebernehmen(true);
  }
  return false;
}

}  // namespace vk
