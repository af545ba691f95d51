// Procedures of the main windows without a window (see hauptkern.h).
#include "main/hauptkern.h"

#include <iterator>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/utilities.h"
#include "common/wortpruefung.h"
#include "common/zeichenketten.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"
#include "platform/text_lines.h"

namespace vk {

namespace {

constexpr std::string_view kClaimEndung = ".inArbeit";
// A ".ben" line is read up to this many bytes; a longer one is no word.
constexpr std::size_t kZeilenGrenze = 4096;

// A claim of a ".ben" file: "<name>.ben.inArbeit" or "<name>.ben.<n>.inArbeit".
bool istBenClaim(std::string_view name) {
  return name.ends_with(kClaimEndung) && name.find(".ben.") != std::string_view::npos;
}

// Claims one ".ben" file; the claim's path, or "" when there is nothing to
// merge (empty file deleted, file held all the time, or an error, which is
// reported).
std::string benBeanspruchen(const std::string& pfad) {
  plat::SharedFile f;
  plat::Err e = WortdateiOeffnen(f, pfad, plat::Disposition::openExisting);
  if (e == plat::Err::notFound) return {};
  if (plat::heldByOther(e)) {
    // Its helper is still writing: the file waits for the next run whole.
    Trace("belegt", pfad);
    return {};
  }
  if (e == plat::Err::ok && f.size() == 0) {
    e = f.removeAndClose();
    if (e == plat::Err::ok) return {};
  }
  for (int nummer = 0; e == plat::Err::ok; ++nummer) {
    const std::string claim = BenClaimPfad(pfad, nummer);
    e = f.renameTo(claim);
    if (e == plat::Err::ok) return claim;
    if (e == plat::Err::fileExists) e = plat::Err::ok;  // an older claim: next number
  }
  Fehlermeldung(e, TextMitWert(txt::kWortdateiNichtAngelegt, pfad));
  return {};
}

}  // namespace

Befehlszeile BefehlszeileAuswerten(std::string_view zeile) {
  Befehlszeile b;
  std::string_view rest = trimmen(zeile);
  while (true) {
    const std::size_t strich = rest.find('-');
    if (strich == std::string_view::npos || strich + 1 >= rest.size()) break;
    const char buchstabe = rest[strich + 1];
    rest.remove_prefix(strich + 2);
    if (buchstabe == 'D' || buchstabe == 'A') {
      (buchstabe == 'D' ? b.optionD : b.optionA) = true;
      rest = trimmen(rest);
      continue;
    }
    if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    std::string_view wert;
    if (!rest.empty() && rest.front() == '"') {
      const std::size_t ende = rest.find('"', 1);
      if (ende == std::string_view::npos) break;  // unclosed: option dropped, parse ends
      wert = rest.substr(1, ende - 1);
      rest.remove_prefix(ende + 1);
    } else {
      const std::size_t ende = rest.find(' ');
      wert = rest.substr(0, ende);
      rest.remove_prefix(ende == std::string_view::npos ? rest.size() : ende);
    }
    if (buchstabe == 'p') {
      b.pool = wert;
      b.mitPool = true;
    } else if (buchstabe == 'u') {
      b.benutzer = wert;
      b.mitBenutzer = true;
    }
    rest = trimmen(rest);
  }
  return b;
}

std::string HelferArgumente(std::string_view pool, std::string_view benutzer) {
  return "-e -p \"" + std::string(pool) + "\" -u \"" + std::string(benutzer) + "\"";
}

std::string EintragBilden(const Benutzereintrag& eintrag) {
  return eintrag.benutzer + " | " + eintrag.thema;
}

void EintragTeilen(std::string_view eintrag, std::string& benutzer, std::string& thema) {
  const std::size_t trenner = eintrag.find(" | ");
  if (trenner == std::string_view::npos) {
    benutzer = trimmen(eintrag);
    return;
  }
  benutzer = trimmen(eintrag.substr(0, trenner));
  thema = trimmen(eintrag.substr(trenner + 3));
}

int PoolIndex(const std::vector<std::string>& pools, std::string_view letzterPool) {
  if (pools.empty()) return -1;
  int index = 0;
  for (std::size_t i = 0; i < pools.size(); ++i)
    if (pools[i] == letzterPool) index = static_cast<int>(i);
  return index;
}

std::vector<std::string> BenutzerEintraege(const std::vector<Benutzereintrag>& liste,
                                           std::string_view pool) {
  std::vector<std::string> eintraege;
  for (const Benutzereintrag& e : liste)
    if (gleichOhneFall(e.pool, pool)) eintraege.push_back(EintragBilden(e));
  return eintraege;
}

int BenutzerIndex(const std::vector<std::string>& eintraege, std::string_view letzterBenutzer) {
  int index = -1;
  for (std::size_t i = 0; i < eintraege.size(); ++i) {
    std::string benutzer;
    std::string thema;
    EintragTeilen(eintraege[i], benutzer, thema);
    if (benutzer == letzterBenutzer) index = static_cast<int>(i);
  }
  return index;
}

std::string LastDirectoryFinden(bool kurz, const std::function<std::string()>& dragonStamm) {
  if (!kurz) return KonfigVerzeichnisFinden(dragonStamm);
  std::string verzeichnis = RegLesen("LastDirectory");
  if (verzeichnis.empty()) {
    const std::string stamm = dragonStamm ? dragonStamm() : std::string();
    if (!stamm.empty()) {
      verzeichnis = plat::withBackslash(stamm) + "Vokarium\\";
      RegSchreiben("LastDirectory", verzeichnis);
      RegSchreiben("LastBasisDirectory", stamm);
    }
  }
  konfiguration().KonfigVerzeichnis = verzeichnis;
  return verzeichnis;
}

std::vector<std::pair<std::string, std::string>> KonfigWerte(const Konfiguration& k) {
  auto flag = [](bool b) { return Text(b ? txt::kWahr : txt::kFalsch); };
  return {{"KonfigVerzeichnis", k.KonfigVerzeichnis},
          {"BasisVerzeichnis", k.BasisVerzeichnis},
          {"VocDatei", k.VocDatei},
          {"ZielVerzeichnis", k.ZielVerzeichnis},
          {"WortlistenDatei", k.WortlistenDatei},
          {"GesamtWortlistenDatei", k.GesamtWortlistenDatei},
          {"BenutzerlistenDatei", k.BenutzerlistenDatei},
          {"GeneralVOC", k.GeneralVOC},
          {"NichtLoeschen", flag(k.NichtLoeschen)},
          {"mitTrigger", flag(k.mitTrigger)},
          {"TriggerName", k.TriggerName},
          {"neuWorteTextdatei", k.neuWorteTextdatei},
          {"loeWorteTextdatei", k.loeWorteTextdatei}};
}

bool KonfigurationUndBenutzerLesen(const std::string& verzeichnis) {
  Konfiguration& k = konfiguration();
  // A location chosen anew must not inherit settings of the one before.
  k = Konfiguration{};
  k.KonfigVerzeichnis = verzeichnis;
  if (verzeichnis.empty()) return false;
  KonfigurationLesen(Kommandozeile());
  return !k.BasisVerzeichnis.empty();
}

AutoStart AutomatikEntscheiden(bool mitBenutzer, std::string_view benutzer, bool pruefen) {
  Konfiguration& k = konfiguration();
  // Names from the command line become file names: one that would lead
  // outside the pool folder finds no file.
  const bool poolGueltig = plat::isSafeName(poolZustand().Pool);
  if (!mitBenutzer)
    return poolGueltig && plat::fileExists(WortlistenPfad()) ? AutoStart::offeneWorte
                                                             : AutoStart::nichts;
  k.WortlistenDatei = "_" + std::string(benutzer) + ".ben";
  plat::FileInfo info;
  if (poolGueltig && plat::isSafeName(benutzer)) info = plat::fileInfo(WortlistenPfad());
  if (!info.exists || info.isDirectory) {
    if (pruefen) Trace("keine neuen W\xF6rter");
    return AutoStart::beenden;
  }
  if (pruefen && info.size == 0) {
    Trace("leere Wortdatei");
    return AutoStart::beenden;
  }
  return AutoStart::wortliste;
}

std::string BenVonClaim(std::string_view claim) {
  if (!claim.ends_with(kClaimEndung)) return std::string(claim);
  claim.remove_suffix(kClaimEndung.size());
  if (!claim.ends_with(".ben")) {
    const std::size_t punkt = claim.rfind('.');
    if (punkt != std::string_view::npos) claim = claim.substr(0, punkt);
  }
  return std::string(claim);
}

std::string BenClaimPfad(std::string_view benPfad, int nummer) {
  std::string claim(benPfad);
  if (nummer > 0) claim += "." + std::to_string(nummer);
  return claim + std::string(kClaimEndung);
}

bool BenDateienSammeln(bool traceJeDatei) {
  const std::string ordner = PoolVerzeichnis() + "\\";
  std::vector<std::string> namen;
  if (const plat::Err e = plat::listDirectory(ordner, "*", plat::ListKind::files, namen);
      e != plat::Err::ok) {
    Fehlermeldung(e, TextMitWert(txt::kDateiNichtLesbar, ordner));
    return false;
  }
  // Claims a run that died left behind come first: their lines are older.
  std::vector<std::string> claims;
  for (const std::string& name : namen)
    if (istBenClaim(name)) claims.push_back(ordner + name);
  for (const std::string& name : namen) {
    if (!name.ends_with(".ben")) continue;
    // A claim listed already is this file, cut in its rename by a kill.
    const std::string claim = benBeanspruchen(ordner + name);
    if (!claim.empty() && std::find(claims.begin(), claims.end(), claim) == claims.end())
      claims.push_back(claim);
  }

  std::vector<std::string> zeilen;
  std::vector<std::string> gelesen;
  for (const std::string& claim : claims) {
    if (traceJeDatei) Trace("AppendTextFile", claim);
    std::vector<std::string> datei;
    Abweisungen abgewiesen;
    const plat::Err e = plat::forEachLine(
        claim, kZeilenGrenze,
        [&](plat::LineStatus status, const std::string& zeile, std::size_t nummer) {
          if (status == plat::LineStatus::line && zeile.size() < 2) return;
          if (status != plat::LineStatus::line || WortzeilePruefen(zeile) != Wortfehler::keiner) {
            abgewiesen.hinzufuegen(nummer);
            return;
          }
          datei.push_back(zeile);
        });
    if (e != plat::Err::ok) {
      // Unread: the claim stays for the next run.
      WortdateiFehlerMelden(e, claim);
      continue;
    }
    // Lines that are no words never reach the pool; the rest goes on.
    AbweisungenMelden(abgewiesen, BenVonClaim(claim));
    zeilen.insert(zeilen.end(), std::make_move_iterator(datei.begin()),
                  std::make_move_iterator(datei.end()));
    gelesen.push_back(claim);
  }

  const std::string liste = WortlistenPfad();
  plat::SharedFile f;
  plat::Err e = WortdateiOeffnen(f, liste, plat::Disposition::openAlways);
  int text = txt::kWortlisteNichtGeoeffnet;
  if (e == plat::Err::ok) {
    text = txt::kNichtGeschrieben;
    e = plat::appendLines(f, zeilen);
  }
  if (e == plat::Err::ok) {
    text = txt::kNichtAbgeschlossen;
    e = f.sync();
  }
  f.close();
  if (e != plat::Err::ok) {
    // Nothing is deleted: every claim is merged again at the next run.
    Fehlermeldung(e, TextMitWert(text, liste));
    return false;
  }
  for (const std::string& claim : gelesen) {
    Trace("Delete", claim);
    if (const plat::Err fehler = plat::removeFile(claim); fehler != plat::Err::ok)
      Fehlermeldung(fehler, TextMitWert(txt::kNichtGeloescht, claim));
  }
  return true;
}

int NaechsterSymbolIndex(int index) {
  return index >= 9 || index <= 0 ? 2 : index + 1;
}

}  // namespace vk
