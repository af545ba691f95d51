// vkHelfer's procedures (see helfer.h): the road of a word as a table of
// phase transitions, the main tick and the loading window's countdown as
// the work of each phase, the recognizer's end, and the work on the user's
// word files.
#include "helper/helfer.h"

#include <vector>

#include "common/poolfiles.h"
#include "common/texte_namen.h"
#include "common/utilities.h"
#include "helper/anbindung.h"
#include "helper/befehlszeile.h"
#include "helper/helfer_texte.h"
#include "helper/wortdateien.h"
#include "platform/paths.h"
#include "platform/shared_file.h"

namespace helfer {

namespace {

constexpr int kFensterWegTicks = 30;  // 30 ticks of 100 ms
constexpr int kLadeTicksJeSekunde = 40;
constexpr long kPumpIntervall = 2048;

HelferDienste gDienste;
HelferZustand gZustand;

struct Uebergang {
  Phase von;
  Anlass anlass;
  Phase nach;
};

// The road of a word. "nichtsZuTun" and "abbruch" lead from every phase
// (see Naechste).
constexpr Uebergang kWeg[] = {
    {Phase::fertig, Anlass::startOhneDragon, Phase::warteAufLeiste},
    {Phase::fertig, Anlass::startMitDragon, Phase::diktat},
    {Phase::warteAufLeiste, Anlass::leisteErschienen, Phase::leisteDa},
    {Phase::leisteDa, Anlass::ladezeitUm, Phase::dragonBereit},
    {Phase::dragonBereit, Anlass::profilGeladen, Phase::diktat},
    {Phase::diktat, Anlass::leisteWeg, Phase::fertig},
    {Phase::diktat, Anlass::dragonEndet, Phase::dragonEnde},
    {Phase::fertig, Anlass::dragonEndet, Phase::dragonEnde},
    {Phase::dragonEnde, Anlass::endeVerarbeitet, Phase::diktat},
    {Phase::diktat, Anlass::sprecherGewechselt, Phase::sprecherWechsel},
    {Phase::fertig, Anlass::sprecherGewechselt, Phase::sprecherWechsel},
    {Phase::dragonEnde, Anlass::sprecherGewechselt, Phase::endeNachWechsel},
    {Phase::sprecherWechsel, Anlass::dragonEndet, Phase::endeNachWechsel},
    {Phase::endeNachWechsel, Anlass::endeVerarbeitet, Phase::diktat},
};

void Wechseln(Anlass anlass) {
  gZustand.phase = Naechste(gZustand.phase, anlass);
}

// The helper stays beside the recognizer, or has nothing more to do.
Anlass Bleiben(Anlass bleibend) {
  return gZustand.bleibtAktiv ? bleibend : Anlass::nichtsZuTun;
}

void Loeschen(const std::string& pfad) {
  if (!plat::fileExists(pfad)) return;
  const plat::Err e = plat::removeFile(pfad);
  if (e == plat::Err::ok || e == plat::Err::notFound) {
    Tr({"Delete", pfad});
    return;
  }
  FehlerMelden(e, TxW(vk::txt::kNichtGeloescht, pfad));
}

enum class Anwendung { hinzufuegen, entfernen };

bool Anwenden(const std::string& datei, Anwendung art) {
  if (art == Anwendung::hinzufuegen) {
    Tr({"neue W\xF6rter", datei});
    return gDienste.woerterHinzufuegen(datei);
  }
  Tr({"W\xF6rter l\xF6schen", datei});
  return gDienste.woerterEntfernen(datei);
}

// Applies one claimed word file. The claim goes only when its application
// succeeded, and then into the waiting file, which is deleted once the
// recognizer has saved the vocabulary: a failed or unsaved one is applied
// again next time.
bool ClaimAnwenden(const std::string& claim, const std::string& angewandt, Anwendung art) {
  if (plat::fileInfo(claim).size == 0) {
    Tr({"Datei leer", claim});
    Loeschen(claim);
    return true;
  }
  if (!Anwenden(claim, art)) return false;
  const plat::Err e = AngewandtVormerken(claim, angewandt);
  if (e != plat::Err::ok) {
    FehlerMelden(e, TxW(vk::txt::kNichtGeloescht, claim));
    return false;
  }
  return true;
}

// A name the helper needs for its own file, taken by something that is no
// file (a folder, a link): said as it is.
bool NameFrei(const std::string& pfad) {
  const std::string warum = plat::whyNoFile(pfad);
  if (warum.empty()) return true;
  Melde(TxWW(vk::txt::kNameKeineDatei, pfad, warum));
  return false;
}

// What waits for a save from an earlier run is applied again first, then a
// claim left behind; only when those succeeded is the current file claimed
// and applied (one claim name per file).
void WortdateiAnwenden(const std::string& pfad, Anwendung art) {
  const std::string claim = ClaimPfad(pfad);
  const std::string angewandt = AngewandtPfad(pfad);
  if (!NameFrei(angewandt) || !NameFrei(claim)) return;
  if (plat::fileExists(angewandt) && plat::fileExists(claim)) {
    // Both may be one file, cut in its rename: then it is applied once.
    const plat::Err e = UmbenennungVollenden(claim, angewandt);
    if (e != plat::Err::ok) {
      FehlerMelden(e, TxW(vk::txt::kNichtGeloescht, claim));
      return;
    }
  }
  if (plat::fileExists(angewandt)) {
    Tr({"nicht gesichert, erneut", angewandt});
    if (!Anwenden(angewandt, art)) return;
  }
  if (plat::fileExists(claim)) {
    Tr({"\xDC"
        "bernahme fortsetzen",
        claim});
    if (!ClaimAnwenden(claim, angewandt, art)) return;
  }
  plat::Err e = plat::Err::ok;
  switch (DateiBeanspruchen(pfad, e)) {
    case Beanspruchung::keineDatei:
      return;
    case Beanspruchung::leer:
      Tr({"Datei leer", pfad});
      Tr({"Delete", pfad});
      return;
    case Beanspruchung::beansprucht:
      Tr({"Rename", pfad, claim});
      ClaimAnwenden(claim, angewandt, art);
      return;
    case Beanspruchung::belegt:
      Tr({"Datei belegt", pfad});
      return;
    case Beanspruchung::fehler:
      FehlerMelden(e, TxW(vk::txt::kNichtGeloescht, pfad));
      return;
  }
}

bool WortdateiDa(const std::string& pfad) {
  return plat::fileExists(pfad) || plat::fileExists(ClaimPfad(pfad)) ||
         plat::pathKind(ClaimPfad(pfad)) != plat::PathKind::missing ||
         plat::fileExists(AngewandtPfad(pfad));
}

void EmpfaengerVerbinden() {
  gDienste.empfaengerVerbinden();
}

}  // namespace

Phase Naechste(Phase phase, Anlass anlass) {
  if (phase == Phase::abgebrochen || anlass == Anlass::abbruch) return Phase::abgebrochen;
  if (anlass == Anlass::nichtsZuTun) return Phase::fertig;
  for (const Uebergang& u : kWeg) {
    if (u.von == phase && u.anlass == anlass) return u.nach;
  }
  return phase;
}

HelferDienste& Dienste() {
  return gDienste;
}
HelferZustand& Helfer() {
  return gZustand;
}

void HelferZuruecksetzen() {
  gDienste = HelferDienste{};
  gZustand = HelferZustand{};
  EinzelstartFreigeben();
}

std::string NeuPfad() {
  return vk::BenutzerDateiPfad(vk::poolZustand().Benutzer, ".neu");
}
std::string LoePfad() {
  return vk::BenutzerDateiPfad(vk::poolZustand().Benutzer, ".loe");
}
std::string BenPfad() {
  return vk::BenutzerDateiPfad(vk::poolZustand().Benutzer, ".ben");
}

Folge HelferStart(const std::string& befehlszeile) {
  HelferZustand& z = gZustand;
  const bool andereKopie = !EinzelstartSichern();
  StartEinstellungenLesen(z);
  if (andereKopie) {
    std::string user;
    std::string pool;
    Melde(EinzelstartInhaber(user, pool) ? TxWW(txt::kLaeuftSchonFuer, user, pool)
                                         : Tx(txt::kLaeuftSchon));
    return Folge::schliessen;
  }
  std::string konfigVerzeichnis;
  if (!KonfigurationFinden(konfigVerzeichnis)) {
    Melde(Tx(txt::kSpeicherortUnbekannt));
    return Folge::weiter;
  }

  z.hauptprogrammAmEnde = true;
  z.fensterWegZaehler = kFensterWegTicks;
  const HelferOptionen o = BefehlszeileLesen(befehlszeile);
  if (befehlszeile.find_first_not_of(' ') == std::string::npos) return Folge::weiter;
  z.hauptprogrammAmEnde = o.hauptprogrammAmEnde;
  z.nurStarten = o.nurStarten;
  vk::poolZustand().Pool = o.pool;
  vk::poolZustand().Benutzer = o.user;

  if (o.user.empty()) {
    Melde(Tx(txt::kOhneAnwender));
    return Folge::weiter;
  }
  std::string topic = o.topic;
  if (topic.empty()) {
    if (o.pool.empty()) {
      Melde(Tx(txt::kOhneThemaUndPool));
      return Folge::weiter;
    }
    if (!ThemaAusBenutzerliste(o.pool, o.user, topic)) {
      Melde(TxWW(txt::kNichtImPool, o.user, o.pool));
      return Folge::weiter;
    }
  }
  // Pool and user become pieces of file names in the pool folder.
  if (!o.pool.empty() && (!plat::isSafeName(o.pool) || !plat::isSafeName(o.user))) {
    Melde(TxWW(txt::kNichtImPool, o.user, o.pool));
    return Folge::weiter;
  }
  if (!o.pool.empty()) LetzteAuswahlMerken(o.pool, o.user);
  EinzelstartBeschriften(o.user, o.pool);
  z.thema = topic;
  z.option = o.option;

  bool bereit = false;
  if (gDienste.leisteDa()) {
    Tr({"DragonBar da"});
    if (gDienste.dragonLaeuft()) {
      Tr({"Dragon aktiv"});
      if (gDienste.dragonUserSetzen(vk::poolZustand().Benutzer, z.thema, z.option))
        ProfilAktualisieren();
      EmpfaengerVerbinden();
      bereit = true;
    }
  }
  z.bleibtAktiv = !o.pool.empty() && !o.nurStarten;
  if (!bereit) {
    Wechseln(Anlass::startOhneDragon);
    gDienste.ladefensterOeffnen();
  } else {
    Wechseln(Bleiben(Anlass::startMitDragon));
  }
  if (z.bleibtAktiv) {
    Tr({"-> Tray"});
    gDienste.trayAnzeigen();
  }
  return Folge::weiter;
}

Folge HauptTick() {
  HelferZustand& z = gZustand;
  if (z.phase == Phase::abgebrochen) return Folge::schliessen;
  if (gDienste.benutzerDialogDa()) {
    Tr({"Speakerwechsel verhindert"});
    gDienste.benutzerDialogSchliessen();
  }
  if (z.beschaeftigt) {
    Tr({"Timer250 doppelt"});
    return Folge::weiter;
  }
  z.beschaeftigt = true;
  Folge folge = Folge::weiter;
  switch (z.phase) {
    case Phase::warteAufLeiste:
      if (!gDienste.leisteDa()) break;
      Tr({"Dragon gestartet"});
      Wechseln(Anlass::leisteErschienen);
      if (z.bleibtAktiv) {
        gDienste.initText(Tx(txt::kDragonGestartet));
      } else if (z.nurStarten) {
        Wechseln(Anlass::nichtsZuTun);
        folge = Folge::schliessen;
      }
      break;
    case Phase::leisteDa:  // the loading window counts down
      break;
    case Phase::dragonBereit:
      Tr({"Dragon initialisiert"});
      gDienste.warten(true);
      gDienste.ladeText(Tx(txt::kProfilLaden));
      if (gDienste.dragonUserSetzen(vk::poolZustand().Benutzer, z.thema, z.option)) {
        gDienste.ladeText(Tx(txt::kProfilPruefen));
        ProfilAktualisieren();
      }
      EmpfaengerVerbinden();
      gDienste.warten(false);
      z.fensterWegZaehler = kFensterWegTicks;
      Wechseln(Bleiben(Anlass::profilGeladen));
      break;
    case Phase::dragonEnde:
    case Phase::endeNachWechsel:
      z.fensterWegZaehler = 0;
      Tr({"Dragon - Unregister"});
      gDienste.empfaengerTrennen();
      Tr({"Dragon - Unregister fertig"});
      if (z.phase == Phase::endeNachWechsel) {
        DragonSchliessen();
      } else if (z.hauptprogrammAmEnde) {
        HauptprogrammStarten();
      }
      Wechseln(Bleiben(Anlass::endeVerarbeitet));
      break;
    case Phase::sprecherWechsel:
      DragonSchliessen();
      break;
    case Phase::diktat:
      if (gDienste.leisteDa()) {
        z.fensterWegZaehler = kFensterWegTicks;
      } else if (z.fensterWegZaehler < 1) {
        Tr({"Dragon zu Ende"});
        Wechseln(Anlass::leisteWeg);
      } else {
        --z.fensterWegZaehler;
        Tr({"Dragon-Fenster weg"});
      }
      break;
    case Phase::fertig:
    case Phase::abgebrochen:
      folge = Folge::schliessen;
      break;
  }
  z.beschaeftigt = false;
  return folge;
}

bool ProfilGeladen() {
  switch (gZustand.phase) {
    case Phase::warteAufLeiste:
    case Phase::leisteDa:
    case Phase::dragonBereit:
      return false;
    default:
      return true;
  }
}

void LadefensterGeladen() {
  HelferZustand& z = gZustand;
  z.ladeZaehler = z.dragonStartDauer * kLadeTicksJeSekunde;
  // Without the recognizer the helper has nothing to wait for.
  while (!gDienste.dragonStarten()) {
    if (!Nachfragen(Tx(vk::txt::kDragonStartFehlgeschlagen) + "\r" + Tx(txt::kStartWiederholen))) {
      Tr({"Dragon-Start aufgegeben"});
      Wechseln(Anlass::abbruch);
      return;
    }
  }
}

Folge LadefensterTick() {
  HelferZustand& z = gZustand;
  if (z.phase == Phase::abgebrochen) return Folge::schliessen;
  if (z.ladeBeschaeftigt) return Folge::weiter;
  z.ladeBeschaeftigt = true;
  if (z.phase == Phase::leisteDa) {
    if (z.ladeZaehler < 1) {
      Wechseln(Anlass::ladezeitUm);
      gDienste.ladeText(Tx(txt::kDragonInitialisieren));
    } else {
      --z.ladeZaehler;
    }
  }
  z.ladeBeschaeftigt = false;
  return ProfilGeladen() ? Folge::schliessen : Folge::weiter;
}

void DragonEreignis(Ereignis art, long wert1, long wert2) {
  switch (art) {
    case Ereignis::dialogClosed:
      Tr({"Dragon : DialogClosed", std::to_string(wert1), std::to_string(wert2)});
      break;
    case Ereignis::commandTriggered:
      Tr({"Dragon : CommandTriggered", std::to_string(wert1)});
      break;
    case Ereignis::statusChanged:
      Tr({"Dragon : StatusChanged", std::to_string(wert1)});
      if (wert1 == 2) DragonEndeBehandeln();
      break;
    case Ereignis::mimicDone:
      Tr({"Dragon : MimicDone", std::to_string(wert1)});
      break;
    case Ereignis::speakerChanged:
      Tr({"Dragon : SpeakerChanged", gDienste.sprecherName()});
      Wechseln(Anlass::sprecherGewechselt);
      break;
    case Ereignis::speakerClosing:
      Tr({"Dragon : SpeakerClosing", gDienste.sprecherName()});
      Wechseln(Anlass::sprecherGewechselt);
      break;
    case Ereignis::topicChanged:
      Tr({"Dragon : TopicChanged", gDienste.themaName()});
      Wechseln(Anlass::sprecherGewechselt);
      break;
  }
}

void DragonEndeBehandeln() {
  HelferZustand& z = gZustand;
  // The end may arrive while a tick lets events run: keep its guard as it was.
  const bool warBeschaeftigt = z.beschaeftigt;
  z.beschaeftigt = true;
  Wechseln(Anlass::dragonEndet);
  Tr({"DragonEnde eingel\xE4utet"});
  if (z.phase == Phase::dragonEnde && gDienste.voctoolsStart()) {
    if (gDienste.worteHolen(true)) NeueWoerterSichern();
    gDienste.voctoolsEnde();
  }
  z.beschaeftigt = warBeschaeftigt;
}

void ProfilAktualisieren() {
  const std::string neu = NeuPfad();
  const std::string loe = LoePfad();
  if (!gDienste.voctoolsStart()) return;
  if (!WortdateiDa(neu) && !WortdateiDa(loe)) {
    Tr({"keine fremden Wort\xE4nderungen"});
  } else {
    gDienste.ladeText(Tx(txt::kProfilAktualisieren));
    WortdateiAnwenden(neu, Anwendung::hinzufuegen);
    WortdateiAnwenden(loe, Anwendung::entfernen);
  }
  if (gDienste.worteHolen(true)) {
    BenWoerterMerken();
    Tr({"BenW\xF6rter freigeben"});
    gDienste.worteFreigeben();
  }
  if (!gDienste.voctoolsEnde()) {
    // Not on disk: the applied files stay and are applied again next time.
    Tr({"Vokabular nicht gesichert"});
    return;
  }
  Loeschen(AngewandtPfad(neu));
  Loeschen(AngewandtPfad(loe));
}

void BenWoerterMerken() {
  const long n = gDienste.wortAnzahl();
  Tr({"BenW\xF6rter merken", std::to_string(n)});
  for (long i = 1; i <= n; ++i) {
    if (i % kPumpIntervall == 0) gDienste.ereignisseVerarbeiten();
    gZustand.gemerkte.insert(WortSchluessel(gDienste.wortZeile(i - 1)));
  }
}

void NeueWoerterSichern() {
  HelferZustand& z = gZustand;
  const long n = gDienste.wortAnzahl();
  std::vector<std::string> neue;
  for (long i = 1; i <= n; ++i) {
    if (i % kPumpIntervall == 0) gDienste.ereignisseVerarbeiten();
    std::string zeile = gDienste.wortZeile(i - 1);
    if (!zeile.empty() && !z.gemerkte.contains(WortSchluessel(zeile))) {
      neue.push_back(std::move(zeile));
    }
  }
  const std::string ben = BenPfad();
  if (neue.empty()) {
    Tr({"Anzahl W\xF6rter unver\xE4ndert", std::to_string(z.gemerkte.size())});
    if (plat::fileInfo(ben).size == 0) z.hauptprogrammAmEnde = false;
    return;
  }
  Tr({"neue W\xF6rter", std::to_string(neue.size())});
  Tr({"AppendDelta", ben});
  AnhangSchritt schritt = AnhangSchritt::oeffnen;
  const plat::Err e = ZeilenAnhaengen(ben, neue, schritt);
  if (e == plat::Err::ok) return;
  const int text = schritt == AnhangSchritt::oeffnen     ? vk::txt::kWortlisteNichtGeoeffnet
                   : schritt == AnhangSchritt::schreiben ? vk::txt::kNichtGeschrieben
                                                         : vk::txt::kNichtAbgeschlossen;
  FehlerMelden(e, TxW(text, ben));
}

void DragonSchliessen() {
  if (gDienste.leisteDa()) gDienste.leisteSchliessen();
}

void HauptprogrammStarten() {
  const vk::PoolZustand& p = vk::poolZustand();
  const std::string argumente = "-p \"" + p.Pool + "\" -u \"" + p.Benutzer + "\"";
  gDienste.programmStarten(vk::Programmverzeichnis() + "Vokarium.exe", argumente);
}

}  // namespace helfer
