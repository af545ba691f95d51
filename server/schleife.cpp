// Trigger queue and main loop: see schleife.h.
#include "server/schleife.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "platform/dir_watch.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"
#include "platform/text_lines.h"
#include "server/benutzer.h"
#include "server/optionen.h"
#include "server/protokoll.h"
#include "server/verteilen.h"

namespace zentrale {

namespace {

constexpr int kWarteScheibeMs = 100;

Schleife& zustand() {
  static Schleife s;
  return s;
}

void arbeitsplatzMerken(const std::string& name) {
  std::vector<std::string>& liste = zustand().arbeitsplaetze;
  if (liste.empty()) {
    liste.push_back(name);
    return;
  }
  if (std::find(liste.begin(), liste.end(), name) != liste.end()) return;
  if (protokoll().verbose) {
    logNeueZeile();
    logText("Platz : " + name);
  }
  liste.push_back(name);
}

// Waits up to `ms` in short slices so a stop request is seen at once; a
// change in the watched folder ends the wait. Without a watch it sleeps.
void warten(plat::DirWatch* watch, int ms) {
  const std::uint32_t anfang = plat::tickCount();
  for (;;) {
    if (stopAnforderung().load() != 0) return;
    const int vergangen = static_cast<int>(plat::tickCount() - anfang);
    if (vergangen >= ms) return;
    const int scheibe = std::min(kWarteScheibeMs, ms - vergangen);
    if (watch != nullptr && watch->active()) {
      const plat::WatchResult r = watch->wait(scheibe);
      if (r == plat::WatchResult::changed) return;
      if (r == plat::WatchResult::failed) watch = nullptr;
    } else {
      plat::sleepMs(scheibe);
    }
  }
}

// Claims left behind by an earlier run (killed, or a member held).
void liegengebliebeneSuchen() {
  Schleife& s = zustand();
  for (const std::string& pool : tabellen().pools)
    if (plat::fileExists(ClaimPfad(PoolText(TextArt::neu, pool))) ||
        plat::fileExists(ClaimPfad(PoolText(TextArt::geloescht, pool))))
      s.liegengeblieben.push_back(pool);
}

}  // namespace

Schleife& schleife() {
  return zustand();
}

void schleifeZuruecksetzen() {
  zustand() = Schleife{};
  stopAnforderung().store(0);
}

std::atomic<int>& stopAnforderung() {
  static std::atomic<int> stop{0};
  return stop;
}

bool TriggerSuchen() {
  const ServerOptionen& o = optionen();
  const std::string muster = o.zielVerzeichnis + o.triggerName;
  const std::size_t strich = muster.rfind('\\');
  const std::string ordner = muster.substr(0, strich + 1);
  std::vector<std::string> namen;
  if (plat::listDirectory(ordner, muster.substr(strich + 1), plat::ListKind::files, namen) !=
      plat::Err::ok)
    return false;
  for (const std::string& name : namen) {
    zustand().triggerliste.push_back(ordner + name);
    trace("Trigger da", name);
  }
  return !namen.empty();
}

TriggerStand TriggerLesen(const std::string& pfad) {
  trace("Trigger lesen", pfad);
  plat::SharedFile f;
  const std::uint32_t anfang = plat::tickCount();
  for (;;) {
    const plat::Err e =
        f.open(pfad, plat::Access::read, plat::Share::denyWrite, plat::Disposition::openExisting);
    if (e == plat::Err::ok) break;
    // Its writer still holds it; a writer that never lets go must not
    // stall every pool of the server.
    if (e == plat::Err::sharingViolation &&
        static_cast<int>(plat::tickCount() - anfang) < zustand().triggerWartezeitMs) {
      plat::sleepMs(10);
      continue;
    }
    logFehlerName("Trigger nicht lesbar", pfad);
    return e == plat::Err::sharingViolation ? TriggerStand::gehalten : TriggerStand::unlesbar;
  }

  plat::LineReader leser(f, 127);
  std::string zeile1;
  std::string zeile2;
  const plat::LineStatus st = leser.next(zeile1);
  const char* fehler = nullptr;
  if (st == plat::LineStatus::end || st == plat::LineStatus::error)
    fehler = "Trigger-Inhalt ist defekt";
  else if (zeile1.rfind("Vokarium", 0) != 0)
    fehler = "Trigger-Inhalt ist unbekannt";
  if (fehler != nullptr) {
    // Kept for the administrator under a name outside the trigger pattern,
    // so it is not found again and does not stop the server.
    f.close();
    logFehlerName(fehler, pfad);
    plat::moveFile(pfad, pfad + ".defekt", true);
    return TriggerStand::beiseite;
  }
  const char version = zeile1.size() > 8 ? zeile1[8] : '\0';
  const plat::LineStatus st2 = leser.next(zeile2);
  if (st2 == plat::LineStatus::end || st2 == plat::LineStatus::error) zeile2.clear();
  TriggerStand stand = TriggerStand::gelesen;
  if (version < '5') {
    logFehlerName("zu alte Vokarium-Version", zeile2);
    f.close();
    if (plat::removeFile(pfad) != plat::Err::ok) logFehlerName("Trigger nicht l\xF6schbar", pfad);
    stand = TriggerStand::geloescht;
  }
  arbeitsplatzMerken(zeile2);
  return stand;
}

void TriggerLoeschen() {
  for (std::string& pfad : zustand().triggerliste) {
    if (pfad.empty()) continue;
    const TriggerStand stand = TriggerLesen(pfad);
    if (stand == TriggerStand::gelesen || stand == TriggerStand::unlesbar) {
      trace("Trigger l\xF6schen", pfad);
      if (plat::removeFile(pfad) != plat::Err::ok) logFehlerName("Trigger nicht l\xF6schbar", pfad);
      if (protokoll().verbose) logText(" * ");
    }
    pfad.clear();
  }
  zustand().triggerliste.clear();
}

void AufTriggerWarten() {
  const ServerOptionen& o = optionen();
  TriggerLoeschen();
  // The watch starts before the scan, so a trigger written between the
  // scan and the wait still ends the wait.
  plat::DirWatch watch;
  const bool beobachtet = watch.start(o.triggerVerzeichnis) == plat::Err::ok;
  if (TriggerSuchen()) return;
  const int ms = static_cast<int>(std::min<unsigned>(o.pause, 2000000u) * 1000u);
  if (!beobachtet) {
    trace("Sleep Sekunden", static_cast<long long>(o.pause));
    warten(nullptr, ms);
    trace("Ende Sleep");
  } else {
    trace("Wait Trigger", static_cast<long long>(o.pause));
    warten(&watch, ms);
    watch.stop();
    trace("Ende Wait Trigger");
  }
  TriggerSuchen();
}

void AdminRestart() {
  logMeldung("Admin-Restart");
  TriggerLoeschen();
  Schleife& s = zustand();
  s.triggerliste = std::vector<std::string>{};
  s.nachpruefen.clear();
  TabellenZuruecksetzen();
}

void Hauptroutine() {
  Schleife& s = zustand();
  for (bool weiter = true; weiter;) {
    weiter = false;
    BenutzerlisteLesen();
    BenutzerlisteSchreiben();
    liegengebliebeneSuchen();
    for (;;) {
      TriggerAuswerten();
      if (s.restart) {
        trace("Restart");
        s.restart = false;
        AdminRestart();
        weiter = true;
        break;
      }
      AufTriggerWarten();
      if (optionen().einzelTest || stopAnforderung().load() != 0) break;
    }
  }
  ServerSperreFreigeben();
  trace("Ende");
}

void BasisKlaeren(const BasisFrage& frage) {
  ServerOptionen& o = optionen();
  BasisAusRegistry();
  const bool leer =
      o.basisVerzeichnis.empty() || static_cast<unsigned char>(o.basisVerzeichnis[0]) <= ' ';
  if ((!leer && !o.basisFragen) || o.alsDienst) return;
  std::string verzeichnis;
  switch (frage ? frage(verzeichnis) : FrageErgebnis::unmoeglich) {
    case FrageErgebnis::gewaehlt:
      BasisverzeichnisMerken(verzeichnis);
      return;
    case FrageErgebnis::ohneWahl:
      return;
    case FrageErgebnis::geschlossen:
      logFehler("Basis-Verzeichnis nicht angegeben: Dialog geschlossen");
      stopMitCode(8);
    case FrageErgebnis::unmoeglich:
      logFehler("Basis-Verzeichnis unbekannt: weder Bildschirm noch Terminal f\xFCr die Frage");
      stopMitCode(8);
  }
}

void ServerArbeit() {
  // The OS layer's own notes (a lock fall-back) go into the server's trace.
  plat::setDiagnosticSink([](const std::string& zeile) { trace(zeile); });
  KonfigurationLesen();
  ServerSperreNehmen();
  Hauptroutine();
}

FrageErgebnis BasisFrageTerminal(std::istream& ein, std::ostream& aus, std::string& verzeichnis) {
  auto zeigen = [&](const char* text) {
    std::string t = plat::cp1252ToUtf8(text);
    t.erase(std::remove(t.begin(), t.end(), '\r'), t.end());
    aus << t;
  };
  zeigen(kFrageTitel);
  aus << "\n";
  zeigen(kFrageText);
  aus << "\n\n";
  for (;;) {
    zeigen(kFrageGruppe);
    aus << " (Verzeichnis oder Pfad der Datei Benutzer.dat): " << std::flush;
    std::string zeile;
    if (!std::getline(ein, zeile)) return FrageErgebnis::geschlossen;
    const std::string angabe = plat::utf8ToCp1252(zeile);
    if (angabe.find_first_not_of(" \t\r") == std::string::npos) return FrageErgebnis::ohneWahl;
    verzeichnis = BasisAusAngabe(angabe);
    if (!verzeichnis.empty() && plat::directoryExists(verzeichnis)) return FrageErgebnis::gewaehlt;
    aus << "nicht gefunden\n";
  }
}

}  // namespace zentrale
