// Client settings: configuration directory, "Vokarium.cfg", registry values
// and the INI reader (see konfiguration.h).
#include "common/konfiguration.h"

#include <cmath>
#include <limits>

#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/zeichenketten.h"
#include "platform/mount_check.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/text_lines.h"

namespace vk {

namespace {

struct KonfigurationsZustand {
  Konfiguration konf;
  plat::Hive wurzel = plat::Hive::currentUser;
};

KonfigurationsZustand& zustand() {
  static KonfigurationsZustand z;
  return z;
}

// The key path as the registry takes it: without a leading "\".
std::string_view schluesselPfad(std::string_view s) {
  if (!s.empty() && s.front() == '\\') s.remove_prefix(1);
  return s;
}

std::string lesen(plat::Hive hive, std::string_view schluessel, std::string_view name) {
  plat::RegValue wert;
  if (plat::regRead(hive, schluesselPfad(schluessel), name, wert) != plat::Err::ok) return {};
  switch (wert.type) {
    case plat::RegType::string:
      if (!wert.text.empty() && wert.text.back() == '\0') wert.text.pop_back();
      return wert.text;
    case plat::RegType::dword:
      return std::to_string(wert.number);
    case plat::RegType::none:
      break;
  }
  return {};
}

}  // namespace

Konfiguration& konfiguration() {
  return zustand().konf;
}

void konfigurationZuruecksetzen() {
  zustand() = KonfigurationsZustand{};
}

bool KonfigZeileAuswerten(Konfiguration& k, std::string_view zeile) {
  const auto gleich = zeile.find('=');
  if (gleich == std::string_view::npos || gleich == 0) return false;
  const std::string_view schluessel = trimmen(zeile.substr(0, gleich));
  const std::string wert(trimmen(zeile.substr(gleich + 1)));
  struct Feld {
    std::string_view name;
    std::string Konfiguration::*feld;
  };
  static constexpr Feld texte[] = {
      {"BasisVerzeichnis", &Konfiguration::BasisVerzeichnis},
      {"VocDatei", &Konfiguration::VocDatei},
      {"ZielVerzeichnis", &Konfiguration::ZielVerzeichnis},
      {"WortlistenDatei", &Konfiguration::WortlistenDatei},
      {"GesamtWortlistenDatei", &Konfiguration::GesamtWortlistenDatei},
      {"BenutzerlistenDatei", &Konfiguration::BenutzerlistenDatei},
      {"GeneralVOC", &Konfiguration::GeneralVOC},
      {"TriggerName", &Konfiguration::TriggerName},
      {"neuWorteTextdatei", &Konfiguration::neuWorteTextdatei},
      {"loeWorteTextdatei", &Konfiguration::loeWorteTextdatei},
  };
  for (const auto& t : texte) {
    if (schluessel == t.name) {
      k.*t.feld = wert;
      return true;
    }
  }
  // Flags are only ever set, by the value "1"; another value leaves them.
  if (schluessel == "NichtLoeschen") {
    if (wert == "1") k.NichtLoeschen = true;
    return wert == "1";
  }
  if (schluessel == "mitTrigger") {
    if (wert == "1") k.mitTrigger = true;
    return wert == "1";
  }
  return false;
}

std::string KonfigVerzeichnisFinden(const std::function<std::string()>& dragonStammverzeichnis) {
  auto& k = konfiguration();
  const std::string letztes = RegLesen("LastDirectory");
  if (!letztes.empty()) {
    k.KonfigVerzeichnis = letztes;
    return letztes;
  }
  std::string basis = RegLesen("LastBasisDirectory");
  if (basis.empty() && dragonStammverzeichnis) basis = dragonStammverzeichnis();
  if (basis.empty()) basis = RegLesenMaschine("LastBasisDirectory");
  if (basis.empty()) return {};
  k.KonfigVerzeichnis = plat::withBackslash(basis) + "Vokarium\\";
  RegSchreiben("LastDirectory", k.KonfigVerzeichnis);
  RegSchreiben("LastBasisDirectory", basis);
  return k.KonfigVerzeichnis;
}

void KonfigVerzeichnisVergessen(std::string_view verzeichnis) {
  if (verzeichnis.empty()) return;
  Trace("KonfigVerzeichnisVergessen", std::string(verzeichnis));
  if (RegLesen("LastDirectory") == verzeichnis) RegSchreiben("LastDirectory", "");
  const std::string basis = RegLesen("LastBasisDirectory");
  if (!basis.empty() && plat::withBackslash(basis) + "Vokarium\\" == verzeichnis)
    RegSchreiben("LastBasisDirectory", "");
}

void PoolLaufwerkPruefen(std::string_view ziel) {
  if (ziel.empty()) return;
  // Locks that hold only on this machine let two workstations change a
  // pool at once: the user hears it and tells the administrator.
  const plat::MountJudgement j = plat::judgeFolder(ziel);
  if (j.verdict == plat::MountVerdict::noExclusion) {
    Meldung(TextMitWerten(txt::kPoolOrdnerLokaleSperren, ziel, j.option));
  } else if (j.verdict == plat::MountVerdict::unmeasured) {
    Meldung(
        TextMitWerten(txt::kPoolOrdnerSperrenUngeprueft, ziel, j.fsType.empty() ? "?" : j.fsType));
  }
}

bool KonfigurationLesen(std::string_view kommandozeile) {
  auto& k = konfiguration();
  if (trimmen(kommandozeile).starts_with("/V")) k.ZusatzInfo = true;
  const std::string pfad = k.KonfigVerzeichnis + "Vokarium.cfg";
  Trace("KonfigDatei", pfad);
  std::vector<std::string> zeilen;
  if (const plat::Err fehler = plat::readLines(pfad, zeilen); fehler != plat::Err::ok) {
    Fehlermeldung(fehler, pfad + " not found");
    return false;
  }
  for (const auto& z : zeilen)
    KonfigZeileAuswerten(k, z);
  // Below the pool drive's folder no symbolic link is followed: a pool
  // folder or file that is one would lead outside it.
  if (!k.ZielVerzeichnis.empty()) plat::confineBelow(k.ZielVerzeichnis);
  PoolLaufwerkPruefen(k.ZielVerzeichnis);
  return true;
}

void RegWurzelSetzen(plat::Hive hive) {
  zustand().wurzel = hive;
}

std::string RegLesen(std::string_view name) {
  return RegLesenSchluessel(kRegSchluessel, name);
}

std::string RegLesenSchluessel(std::string_view schluessel, std::string_view name) {
  return lesen(zustand().wurzel, schluessel, name);
}

std::string RegLesenMaschine(std::string_view name) {
  const std::string wert = lesen(plat::Hive::localMachine, kRegSchluessel, name);
  zustand().wurzel = plat::Hive::currentUser;
  return wert;
}

void RegLesenZahl(std::string_view name, std::int32_t& ziel) {
  const std::string text = RegLesen(name);
  if (text.empty()) return;
  // Rounded half to even, as the settings were always rounded.
  const double wert = std::nearbyint(zahlwert(text));
  if (wert < std::numeric_limits<std::int32_t>::min() ||
      wert > std::numeric_limits<std::int32_t>::max())
    return;
  ziel = static_cast<std::int32_t>(wert);
}

void RegLesenText(std::string_view name, std::string& ziel) {
  std::string text = RegLesen(name);
  if (!text.empty()) ziel = std::move(text);
}

bool RegSchreiben(std::string_view name, std::string_view text) {
  return RegSchreibenSchluessel(kRegSchluessel, name, text);
}

bool RegSchreibenSchluessel(std::string_view schluessel, std::string_view name,
                            std::string_view text) {
  const std::string_view pfad = schluesselPfad(schluessel);
  if (pfad.empty()) return false;
  return plat::regWriteString(plat::Hive::currentUser, pfad, name, text) == plat::Err::ok;
}

void LetzteAuswahlLesen(std::string& pool, std::string& benutzer) {
  pool = RegLesen("LastPool");
  benutzer = RegLesen("LastUser");
}

void LetzteAuswahlSchreiben(std::string_view pool, std::string_view benutzer) {
  RegSchreiben("LastPool", pool);
  RegSchreiben("LastUser", benutzer);
}

Listenmasse ListenmasseLesen() {
  Listenmasse m;
  const Listenmasse standard;
  RegLesenZahl("ListenHoehe", m.ListenHoehe);
  RegLesenZahl("ListenBreite", m.ListenBreite);
  RegLesenZahl("ListenFontGroesse", m.ListenFontGroesse);
  if (m.ListenHoehe <= 0) m.ListenHoehe = standard.ListenHoehe;
  if (m.ListenBreite <= 0) m.ListenBreite = standard.ListenBreite;
  if (m.ListenFontGroesse <= 0) m.ListenFontGroesse = standard.ListenFontGroesse;
  return m;
}

void ListenmasseSchreiben(double hoehe, double breite, double fontGroesse) {
  auto ganz = [](double d) { return std::to_string(static_cast<long long>(std::nearbyint(d))); };
  RegSchreiben("ListenHoehe", ganz(hoehe));
  RegSchreiben("ListenBreite", ganz(breite));
  RegSchreiben("ListenFontGroesse", ganz(fontGroesse));
}

StartWerte StartWerteLesen() {
  StartWerte w;
  RegLesenZahl("KonfVersion", w.KonfVersion);
  RegLesenZahl("DragonStartDauer", w.DragonStartDauer);
  return w;
}

std::string WordAddinVerzeichnis() {
  const std::string datei =
      lesen(plat::Hive::localMachine,
            "Software\\Microsoft\\Office\\Word\\Addins\\Dragon.Word2000Support.1", "Filename");
  return ersetzen(datei, "dgnword.dll", "");
}

std::string IniWert(std::string_view datei, std::string_view abschnitt,
                    std::string_view schluessel) {
  const std::string gesucht = klein(trimmen(schluessel));
  std::vector<std::string> zeilen;
  std::string wert;
  if (plat::readLines(datei, zeilen) == plat::Err::ok) {
    for (const auto& z : zeilen) {
      const auto gleich = z.find('=');
      if (gleich == std::string::npos || gleich == 0) continue;
      if (klein(trimmen(std::string_view(z).substr(0, gleich))) != gesucht) continue;
      wert = std::string(trimmen(std::string_view(z).substr(gleich + 1)));
      if (!wert.empty() && wert.front() == '"') {
        wert = wert.size() >= 2 ? wert.substr(1, wert.size() - 2) : std::string();
      }
      break;
    }
  }
  Trace("INI", datei, klein(abschnitt), gesucht, wert);
  return wert;
}

}  // namespace vk
