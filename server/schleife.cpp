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
    logText("Platz : " + sichtbar(name));
  }
  liste.push_back(name);
}

// Waits up to `ms` in short slices so a stop request is seen at once; a
// change in the watched folder ends the wait, and so does the end of the
// watch (the folder was deleted: the caller scans and creates it again).
// Without a watch it sleeps. True when the whole time ran out.
bool warten(plat::DirWatch* watch, int ms) {
  const std::uint32_t anfang = plat::tickCount();
  for (;;) {
    if (stopAnforderung().load() != 0) return false;
    const int vergangen = static_cast<int>(plat::tickCount() - anfang);
    if (vergangen >= ms) return true;
    const int scheibe = std::min(kWarteScheibeMs, ms - vergangen);
    if (watch != nullptr) {
      const plat::WatchResult r = watch->wait(scheibe);
      if (r != plat::WatchResult::timeout) return false;
    } else {
      plat::sleepMs(scheibe);
    }
  }
}

// Pools left behind by an earlier run: a claim (killed, or a member held),
// a text whose trigger is gone (killed in the wait), or a member's
// remainder.
void liegengebliebeneSuchen() {
  Schleife& s = zustand();
  for (const std::string& pool : tabellen().pools) {
    std::vector<std::string> reste;
    plat::ignoreErr(plat::listDirectory(optionen().zielVerzeichnis + pool, "_*.zustellung",
                                        plat::ListKind::both, reste),
                    "a pool that cannot be listed has its remainders served with its next trigger");
    if (poolTextDa(pool) ||
        plat::pathKind(ClaimPfad(PoolText(TextArt::neu, pool))) != plat::PathKind::missing ||
        plat::pathKind(ClaimPfad(PoolText(TextArt::geloescht, pool))) != plat::PathKind::missing ||
        !reste.empty())
      s.liegengeblieben.push_back(pool);
  }
}

bool zurueckgestellt(const std::string& pfad) {
  const std::vector<std::string>& z = zustand().zurueckgestellt;
  return std::find(z.begin(), z.end(), pfad) != z.end();
}

void zurueckstellen(const std::string& pfad) {
  if (!zurueckgestellt(pfad)) zustand().zurueckgestellt.push_back(pfad);
}

// Sets aside what lies in the trigger folder under a trigger's name but is
// no trigger, under a name outside the trigger pattern.
TriggerStand beiseiteLegen(const std::string& fehler, const std::string& pfad) {
  logFehlerName(fehler, pfad);
  if (plat::renameEntry(pfad, pfad + ".defekt") != plat::Err::ok) {
    logFehlerName("Trigger nicht beiseite zu legen", pfad);
    zurueckstellen(pfad);
  }
  return TriggerStand::beiseite;
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
  // Folders and other entries under a trigger's name are listed too: the
  // reading sets them aside.
  const plat::Err e =
      plat::listDirectory(ordner, muster.substr(strich + 1), plat::ListKind::both, namen);
  if (e == plat::Err::pathNotFound || e == plat::Err::notFound) {
    // Deleted while the server runs: without it every client's trigger
    // fails, so it is made again.
    logFehlerName("Trigger-Verzeichnis fehlt, wird neu angelegt", ordner);
    if (plat::createDirectoryTree(ordner) != plat::Err::ok)
      logFehlerName("Trigger-Verzeichnis nicht erzeugbar", ordner);
    return false;
  }
  if (e != plat::Err::ok) {
    if (!zurueckgestellt(ordner)) logFehlerName("Trigger-Verzeichnis nicht lesbar", ordner);
    zurueckstellen(ordner);
    return false;
  }
  bool gefunden = false;
  for (const std::string& name : namen) {
    if (zurueckgestellt(ordner + name)) continue;
    zustand().triggerliste.push_back(ordner + name);
    trace("Trigger da", name);
    gefunden = true;
  }
  return gefunden;
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
    // stall every pool of the server, nor a stop request.
    if (e == plat::Err::sharingViolation && stopAnforderung().load() == 0 &&
        static_cast<int>(plat::tickCount() - anfang) < zustand().triggerWartezeitMs) {
      plat::sleepMs(10);
      continue;
    }
    if (plat::denied(e)) {
      const std::string warum = plat::whyNoFile(pfad);
      if (!warum.empty()) return beiseiteLegen("Trigger ist keine Datei (" + warum + ")", pfad);
    }
    logFehlerName("Trigger nicht lesbar", pfad);
    return e == plat::Err::sharingViolation ? TriggerStand::gehalten : TriggerStand::unlesbar;
  }

  // Two short lines are all a trigger holds; nothing more is read.
  std::string anfangText;
  if (f.readAll(anfangText, 4096) != plat::Err::ok) anfangText.clear();
  plat::LineReader leser(anfangText, 127);
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
    if (plat::moveFile(pfad, pfad + ".defekt", true) != plat::Err::ok) zurueckstellen(pfad);
    return TriggerStand::beiseite;
  }
  const char version = zeile1.size() > 8 ? zeile1[8] : '\0';
  const plat::LineStatus st2 = leser.next(zeile2);
  if (st2 == plat::LineStatus::end || st2 == plat::LineStatus::error) zeile2.clear();
  TriggerStand stand = TriggerStand::gelesen;
  if (version < '5') {
    logFehlerName("zu alte Vokarium-Version", zeile2);
    f.close();
    if (plat::removeFile(pfad) != plat::Err::ok) {
      logFehlerName("Trigger nicht l\xF6schbar", pfad);
      zurueckstellen(pfad);
    }
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
      // A trigger that stays (no right to delete it, a name the folder
      // listing cannot give back) is not looked at again before the next
      // full `Pause`: no pass after pass, no log line after log line.
      if (plat::removeFile(pfad) != plat::Err::ok) {
        logFehlerName("Trigger nicht l\xF6schbar", pfad);
        zurueckstellen(pfad);
      }
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
  bool beobachtet = watch.start(o.triggerVerzeichnis) == plat::Err::ok;
  if (TriggerSuchen()) return;
  // The scan may just have made the folder again.
  if (!beobachtet) {
    beobachtet = watch.start(o.triggerVerzeichnis) == plat::Err::ok;
    if (beobachtet && TriggerSuchen()) return;
  }
  const int ms = static_cast<int>(std::min<unsigned>(o.pause, 2000000u) * 1000u);
  bool abgelaufen = false;
  if (!beobachtet) {
    trace("Sleep Sekunden", static_cast<long long>(o.pause));
    abgelaufen = warten(nullptr, ms);
    trace("Ende Sleep");
  } else {
    trace("Wait Trigger", static_cast<long long>(o.pause));
    abgelaufen = warten(&watch, ms);
    watch.stop();
    trace("Ende Wait Trigger");
  }
  if (abgelaufen) zustand().zurueckgestellt.clear();
  TriggerSuchen();
}

void AdminRestart() {
  logMeldung("Admin-Restart");
  TriggerLoeschen();
  Schleife& s = zustand();
  s.triggerliste = std::vector<std::string>{};
  s.nachpruefen.clear();
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
  // A folder chosen once and gone since (a drive not connected) is asked
  // for again, as if none were known.
  const bool weg = !leer && !plat::directoryExists(o.basisVerzeichnis);
  if ((!leer && !weg && !o.basisFragen) || o.alsDienst) return;
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
  // Below the base and target directories no symbolic link is followed.
  plat::confineBelow(optionen().basisVerzeichnis);
  plat::confineBelow(optionen().zielVerzeichnis);
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
