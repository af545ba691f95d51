// Trigger files for the pool server and the waits of the clients (see
// server_trigger.h).
#include "common/server_trigger.h"

#include <algorithm>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/utilities.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"

namespace vk {

namespace {

constexpr std::uint32_t kErsteNummer = 1000;
constexpr std::uint32_t kLetzteNummer = 999999;
// Rounds without an answer of the server before the user is asked.
constexpr int kRundenBisFrage = 10;
constexpr int kWartenScheibeMs = 300;

// False (reported with text 2560) when something that is no regular file
// holds the trigger's name.
bool nameFrei(const std::string& pfad) {
  const std::string warum = plat::whyNoFile(pfad);
  if (warum.empty()) return true;
  Fehlermeldung(plat::Err::accessDenied, TextMitWerten(txt::kNameKeineDatei, pfad, warum));
  return false;
}

}  // namespace

TriggerZustand& triggerZustand() {
  static TriggerZustand z;
  return z;
}

void triggerZuruecksetzen() {
  triggerZustand() = TriggerZustand{};
}

std::string TriggerId(TriggerArt art, std::uint32_t n, std::string_view pool) {
  switch (art) {
    case TriggerArt::nummer:
      return "T" + std::to_string(n);
    case TriggerArt::pool:
      return "POOL-" + std::string(pool);
    case TriggerArt::verwaltung:
      break;
  }
  return "ADMIN";
}

std::string TriggerPfad(std::string_view id) {
  const auto& k = konfiguration();
  std::string name = k.TriggerName;
  const auto stern = name.find('*');
  if (stern != std::string::npos) name.replace(stern, 1, id);
  return k.ZielVerzeichnis + name;
}

bool TriggerSetzen(TriggerArt art) {
  auto& z = triggerZustand();
  if (!konfiguration().mitTrigger) return true;
  const std::string& pool = poolZustand().Pool;
  if (art == TriggerArt::pool && !plat::isSafeName(pool)) {
    Fehlermeldung(plat::Err::invalidName,
                  TextMitWert(txt::kAuftragNichtGeschrieben, TriggerPfad(TriggerId(art, 0, pool))));
    return false;
  }
  if (z.zaehler == 0) z.zaehler = kErsteNummer;
  const std::string inhalt = "Vokarium5-Trigger\r\n" + RechnerName() + "\r\n";
  std::string pfad;
  for (std::uint32_t n = z.zaehler + 1; n <= kLetzteNummer; ++n) {
    pfad = TriggerPfad(TriggerId(art, n, pool));
    // Only a regular file is a request waiting for the server; a folder,
    // link or FIFO under the name is never served, so it is reported.
    if (!nameFrei(pfad)) return false;
    if (!plat::fileExists(pfad)) {
      Trace("Trigger", pfad);
      // Published whole and never over an existing file: the server never
      // reads a half-written trigger, and a second writer that took the
      // same name a moment earlier makes this one try the next.
      const plat::Err e = plat::publishNew(pfad, inhalt, true);
      if (e == plat::Err::ok) {
        z.letzterTrigger = pfad;
        z.zaehler = n;
        return true;
      }
      if (e != plat::Err::fileExists) {
        Fehlermeldung(e, TextMitWert(txt::kAuftragNichtGeschrieben, pfad));
        return false;
      }
      if (!nameFrei(pfad)) return false;
    }
    // The same pool or administrative request is pending already.
    if (art != TriggerArt::nummer) return true;
  }
  Fehlermeldung(plat::Err::fileExists, TextMitWert(txt::kAuftragNichtGeschrieben, pfad));
  return false;
}

bool TriggerSetzen(int art) {
  return TriggerSetzen(static_cast<TriggerArt>(art));
}

void TriggerAbwarten() {
  auto& z = triggerZustand();
  if (!konfiguration().mitTrigger) return;
  int runden = 0;
  while (!z.letzterTrigger.empty() && plat::fileExists(z.letzterTrigger)) {
    if (++runden > kRundenBisFrage) {
      runden = 0;
      // The user may stop waiting for a server that does not answer; the
      // caller then goes on with the files as they are.
      if (!Nachfrage(Text(txt::kServerAntwortetNicht))) {
        Trace("TriggerAbbruch", z.letzterTrigger);
        break;
      }
    }
    EreignisseVerarbeiten();
    Warten(z.rundeSekunden);
  }
  z.letzterTrigger.clear();
  Trace("TriggerEnde");
}

void Warten(float sekunden) {
  const auto dauer = static_cast<std::uint32_t>(std::max(0.0f, sekunden) * 1000.0f);
  const std::uint32_t anfang = plat::tickCount();
  std::uint32_t rest = dauer;
  while (true) {
    EreignisseVerarbeiten();
    plat::sleepMs(static_cast<int>(std::min<std::uint32_t>(rest, kWartenScheibeMs)));
    // Unsigned difference: right across the wrap of the tick count.
    const std::uint32_t vergangen = plat::tickCount() - anfang;
    if (vergangen >= dauer) break;
    rest = dauer - vergangen;
  }
}

}  // namespace vk
