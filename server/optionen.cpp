// The server's settings, the client configuration file and the server lock:
// see optionen.h.
#include "server/optionen.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "platform/encoding.h"
#include "platform/mount_check.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/shared_file.h"
#include "platform/text_lines.h"
#include "server/benutzer.h"
#include "server/protokoll.h"

namespace zentrale {

const char* const kFrageTitel = "qmt   Vokarium Dragon-Roaming-User-Verzeichnis suchen";
const char* const kFrageText =
    "\r\nDer Vokarium Server ben\xF6tigt die Angabe, wo der Vokarium Admin die Datei "
    "'Benutzer.dat' abgelegt hat.\r\n\r\nDieses Verzeichnis muss von allen "
    "Arbeitspl\xE4tzen aus zugreifbar sein, die mit Vokarium zusammenarbeiten sollen.";
const char* const kFrageGruppe = "Basis-Verzeichnis";
const char* const kFrageDateiTitel = "Dragon-Basis-Verzeichnis suchen";
const char* const kFrageFilter = "Benutzer.dat-Benutzerliste";

namespace {

constexpr const char* kRegSchluessel = "Software\\QMT\\Vokarium";
constexpr const char* kRegWert = "LastBasisDirectory";

struct Zustand {
  ServerOptionen optionen;
  plat::SharedFile sperre;
};

Zustand& zustand() {
  static Zustand z;
  return z;
}

std::string gekuerzt(std::string s, std::size_t kapazitaet) {
  if (s.size() > kapazitaet) s.resize(kapazitaet);
  return s;
}

std::string alsSystemPfad(std::string s) {
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

bool istDruckbar(std::string_view s) {
  return !s.empty() && static_cast<unsigned char>(s[0]) > ' ';
}

std::string klein(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

std::string getrimmt(std::string_view s) {
  std::size_t a = s.find_first_not_of(" \t");
  if (a == std::string_view::npos) return {};
  std::size_t b = s.find_last_not_of(" \t");
  return std::string(s.substr(a, b - a + 1));
}

// Keys of section "[Vokarium]" in the INI file (lower case -> value). Keys
// and section compare without case; a value in matching quotes loses them;
// the first occurrence of a key counts.
std::map<std::string, std::string> iniLesen(const std::string& pfad) {
  std::map<std::string, std::string> werte;
  plat::SharedFile f;
  if (f.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting) !=
      plat::Err::ok)
    return werte;
  std::string inhalt;
  if (f.readAll(inhalt) != plat::Err::ok) return werte;
  f.close();
  plat::LineReader leser(inhalt);
  std::string zeile;
  bool imAbschnitt = false;
  for (plat::LineStatus st;
       (st = leser.next(zeile)) != plat::LineStatus::end && st != plat::LineStatus::error;) {
    std::string t = getrimmt(zeile);
    if (t.empty() || t[0] == ';') continue;
    if (t[0] == '[') {
      std::size_t zu = t.find(']');
      imAbschnitt = zu != std::string::npos && klein(getrimmt(t.substr(1, zu - 1))) == "vokarium";
      continue;
    }
    std::size_t gleich = t.find('=');
    if (!imAbschnitt || gleich == std::string::npos) continue;
    std::string wert = getrimmt(t.substr(gleich + 1));
    if (wert.size() >= 2 && (wert.front() == '"' || wert.front() == '\'') &&
        wert.back() == wert.front())
      wert = wert.substr(1, wert.size() - 2);
    werte.emplace(klein(getrimmt(t.substr(0, gleich))), wert);
  }
  return werte;
}

class Ini {
 public:
  explicit Ini(const std::string& pfad) : werte_(iniLesen(pfad)) {}

  // A non-empty value replaces the setting (cut to its capacity).
  void text(const char* schluessel, std::string& ziel, std::size_t kapazitaet) const {
    auto it = werte_.find(klein(schluessel));
    if (it != werte_.end() && !it->second.empty()) ziel = gekuerzt(it->second, kapazitaet);
  }

  // "TRUE" 1, "FALSE" 0, else an unsigned decimal number; anything else
  // leaves the setting as it is.
  bool zahl(const char* schluessel, unsigned& ziel) const {
    auto it = werte_.find(klein(schluessel));
    if (it == werte_.end()) return false;
    std::string w = gekuerzt(it->second, 127);
    std::string k = klein(w);
    if (k == "true") {
      ziel = 1;
      return true;
    }
    if (k == "false") {
      ziel = 0;
      return true;
    }
    if (w.empty() || w.size() > 9 ||
        !std::all_of(w.begin(), w.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return false;
    ziel = static_cast<unsigned>(std::stoul(w));
    return true;
  }

  void schalter(const char* schluessel, bool& ziel) const {
    unsigned n = ziel ? 1 : 0;
    if (zahl(schluessel, n)) ziel = n != 0;
  }

 private:
  std::map<std::string, std::string> werte_;
};

// Lines of a response file become the arguments.
bool antwortDateiLesen(const std::string& pfad, std::vector<std::string>& argumente) {
  plat::SharedFile f;
  std::string inhalt;
  if (f.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting) !=
          plat::Err::ok ||
      f.readAll(inhalt) != plat::Err::ok)
    return false;
  plat::LineReader leser(inhalt);
  std::string zeile;
  for (plat::LineStatus st;
       (st = leser.next(zeile)) != plat::LineStatus::end && st != plat::LineStatus::error;) {
    if (zeile.empty() || static_cast<unsigned char>(zeile[0]) <= ' ') continue;
    if (zeile[0] != '-' && zeile[0] != '/') zeile.insert(0, "-");
    argumente.push_back(zeile);
  }
  return true;
}

void einstellung(const char* schluessel, const std::string& wert) {
  if (!istDruckbar(wert)) return;
  logText(schluessel);
  logText(" = ");
  logText(wert);
  logNeueZeile();
  trace(schluessel, wert);
}

void cfgZeile(std::string& aus, const char* schluessel, const std::string& wert) {
  if (istDruckbar(wert)) plat::addLine(aus, std::string(schluessel) + "=" + wert);
}

// A path from the root (or a drive or share), not one that would be taken
// from the folder the server was started in.
bool vollstaendig(std::string_view pfad) {
  return std::filesystem::path(plat::nativePath(pfad)).is_absolute();
}

// Without a usable base directory the server would read no user list and
// make its target folder wherever it was started: it stops instead and
// says what to do.
void basisPruefen(const ServerOptionen& o) {
  const std::string tun =
      " - vkZentrale mit -D starten und die Benutzer.dat w\xE4hlen, oder BasisVerzeichnis in " +
      o.iniDatei + " eintragen";
  if (!istDruckbar(o.basisVerzeichnis)) fatal("Basis-Verzeichnis nicht angegeben" + tun);
  if (!vollstaendig(o.basisVerzeichnis))
    fatalName("Basis-Verzeichnis ist kein vollst\xE4ndiger Pfad" + tun, o.basisVerzeichnis);
  if (!plat::directoryExists(o.basisVerzeichnis))
    fatalName("Basis-Verzeichnis nicht gefunden" + tun, o.basisVerzeichnis);
}

}  // namespace

ServerOptionen& optionen() {
  return zustand().optionen;
}

void optionenZuruecksetzen() {
  zustand().sperre.close();
  zustand().optionen = ServerOptionen{};
}

void OptionenLesen() {
  ServerOptionen& o = optionen();
  o.iniDatei = plat::programDirectory() + "Vokarium.ini";
  o.wortlistenDatei = "Worte.dat";
  o.benutzerlistenDatei = "Benutzer.dat";
  o.cfgDatei = "Vokarium.cfg";
  o.vocDatei = "vocdelta.dat";
  o.generalVoc = "general.voc";
  o.neuWorteTextdatei = "neuWorte.txt";
  o.loeWorteTextdatei = "loeWorte.txt";
  o.einzelTest = false;
  o.verbose = false;
  o.trace = false;
  o.clBasisVerzeichnis.clear();
  o.clZielVerzeichnis.clear();

  std::vector<std::string> argumente = o.argumente;
  if (!argumente.empty() && !argumente[0].empty() && argumente[0][0] == '@') {
    std::string datei = alsSystemPfad(argumente[0].substr(1));
    argumente.clear();
    if (!antwortDateiLesen(datei, argumente)) {
      logFehlerName("unzulaessige Option", o.argumente[0]);
      stopMitCode(16);
    }
  }
  for (const std::string& a : argumente) {
    if (a.empty() || (a[0] != '-' && a[0] != '/')) break;
    const char buchstabe = a.size() > 1 ? a[1] : '\0';
    switch (buchstabe) {
      case 'I':
      case 'i':
        o.iniDatei = gekuerzt(alsSystemPfad(a.substr(2)), 255);
        if (o.iniDatei.empty()) fatal("Name der INI-Datei fehlt");
        break;
      case 'E':
      case 'e':
        o.einzelTest = true;
        break;
      case 'v':
        break;
      case 'V':
        o.verbose = true;
        break;
      case 'D':
      case 'd':
        o.basisFragen = true;
        break;
      case 'T':
      case 't':
        o.trace = true;
        break;
      case 'S':
      case 'R':
      case 'U':
        break;
      default:
        logFehlerName("unzulaessige Option", a);
        stopMitCode(16);
    }
  }
  if (o.iniDatei.empty()) o.iniDatei = "Vokarium.ini";
}

void BasisAusRegistry() {
  plat::RegValue wert;
  if (plat::regRead(plat::Hive::localMachine, kRegSchluessel, kRegWert, wert) == plat::Err::ok &&
      wert.type == plat::RegType::string)
    optionen().basisVerzeichnis = gekuerzt(wert.text, 255);
}

void BasisverzeichnisMerken(const std::string& verzeichnis) {
  optionen().basisVerzeichnis = verzeichnis;
  // Clients find the base directory through this value; the server itself
  // goes on with the folder chosen, so a refused write is only logged.
  plat::Err e = plat::regCreateKey(plat::Hive::localMachine, kRegSchluessel);
  if (e == plat::Err::ok)
    e = plat::regWriteString(plat::Hive::localMachine, kRegSchluessel, kRegWert, verzeichnis);
  if (e != plat::Err::ok)
    logFehlerName("Basis-Verzeichnis nicht in der Registry gemerkt: " + plat::errText(e),
                  verzeichnis);
}

std::string BasisAusAngabe(std::string_view angabe) {
  std::string pfad = alsSystemPfad(getrimmt(angabe));
  // A path from the folder the server happens to run in names no folder
  // that the workstations share.
  if (pfad.empty() || !vollstaendig(pfad)) return {};
  if (plat::directoryExists(pfad)) return plat::withBackslash(pfad);
  std::size_t strich = pfad.rfind('\\');
  if (strich == std::string::npos || !plat::fileExists(pfad)) return {};
  return pfad.substr(0, strich + 1);
}

int EndzeitWert(std::string_view text) {
  auto ziffer = [&](std::size_t i) {
    const char c = i < text.size() ? text[i] : '\0';
    return c >= '0' && c <= '9' ? c - '0' : 3000;
  };
  return (ziffer(0) * 10 + ziffer(1)) * 100 + ziffer(3) * 10 + ziffer(4);
}

void KonfigurationLesen() {
  ServerOptionen& o = optionen();
  TabellenZuruecksetzen();
  o.zielVerzeichnis.clear();
  o.pause = 10;
  o.endzeit.clear();
  o.internBenutzerliste = "BenIntern.dat";

  OptionenLesen();
  if (o.trace) traceEin();
  trace("INIdatei", o.iniDatei);
  const Ini ini(o.iniDatei);

  ini.zahl("Debug", o.debug);
  if (o.debug >= 2) o.verbose = true;
  if (o.debug >= 4 && !o.trace) {
    o.trace = true;
    traceEin();
  }
  protokoll().verbose = o.verbose;
  logStartBanner();

  ini.text("BasisVerzeichnis", o.basisVerzeichnis, 255);
  BasisAusRegistry();
  o.basisVerzeichnis = plat::withBackslash(o.basisVerzeichnis);

  o.zielVerzeichnis = gekuerzt(o.basisVerzeichnis + "Vokarium", 255);
  ini.text("ZielVerzeichnis", o.zielVerzeichnis, 255);
  ini.text("WortlistenDatei", o.wortlistenDatei, 255);
  ini.text("BenutzerlistenDatei", o.benutzerlistenDatei, 255);
  ini.text("CFGdatei", o.cfgDatei, 127);
  ini.text("ClBasisVerzeichnis", o.clBasisVerzeichnis, 263);
  ini.text("ClZielVerzeichnis", o.clZielVerzeichnis, 263);
  ini.text("GeneralVOC", o.generalVoc, 255);
  ini.text("VocDatei", o.vocDatei, 255);
  ini.text("neuWorteTextdatei", o.neuWorteTextdatei, 255);
  ini.text("loeWorteTextdatei", o.loeWorteTextdatei, 255);
  ini.zahl("Pause", o.pause);
  ini.text("Endzeit", o.endzeit, 15);
  ini.schalter("EinzelTest", o.einzelTest);
  ini.schalter("NichtLoeschen", o.nichtLoeschen);

  if (!istDruckbar(o.zielVerzeichnis)) fatal("Verzeichnisangabe fehlt");
  basisPruefen(o);
  o.zielVerzeichnis = plat::withBackslash(o.zielVerzeichnis);
  if (!vollstaendig(o.zielVerzeichnis))
    fatalName("ZielVerzeichnis ist kein vollst\xE4ndiger Pfad", o.zielVerzeichnis);
  if (!plat::directoryExists(o.zielVerzeichnis)) {
    trace("no Directory", o.zielVerzeichnis);
    if (plat::createDirectoryTree(o.zielVerzeichnis) != plat::Err::ok) {
      trace("CreateDirTree failed", o.zielVerzeichnis);
      fatalName("Verzeichnis konnte nicht kreiert werden", o.zielVerzeichnis);
    }
  }
  if (o.neuWorteTextdatei.empty() || o.neuWorteTextdatei[0] != '\\')
    o.neuWorteTextdatei.insert(0, "\\");
  if (o.loeWorteTextdatei.empty() || o.loeWorteTextdatei[0] != '\\')
    o.loeWorteTextdatei.insert(0, "\\");

  const std::string muster = o.zielVerzeichnis + o.triggerName;
  o.triggerVerzeichnis = muster.substr(0, muster.rfind('\\') + 1);
  if (plat::createDirectoryTree(o.triggerVerzeichnis) != plat::Err::ok)
    trace("CreateDirTree-Fehler", o.triggerVerzeichnis);

  einstellung("BasisVerzeichnis", o.basisVerzeichnis);
  einstellung("VocDatei", o.vocDatei);
  einstellung("ZielVerzeichnis", o.zielVerzeichnis);
  einstellung("WortlistenDatei", o.wortlistenDatei);
  einstellung("GesamtWortlistenDatei", o.gesamtWortlistenDatei);
  einstellung("BenutzerlistenDatei", o.benutzerlistenDatei);
  einstellung("Endzeit", o.endzeit);
  einstellung("ClBasisVerzeichnis", o.clBasisVerzeichnis);
  einstellung("ClZielVerzeichnis", o.clZielVerzeichnis);
  if (o.nichtLoeschen) einstellung("NichtLoeschen", "TRUE");
  einstellung("Pause", std::to_string(o.pause));
  if (o.einzelTest) einstellung("EinzelTest", "TRUE");
  if (o.mitTrigger) einstellung("mitTrigger", "TRUE");
  // Where the work really lands, as the file system names the folders.
  const auto imDateisystem = [](const std::string& p) {
    return plat::utf8ToCp1252(plat::nativePath(p));
  };
  logText("arbeitet in " + imDateisystem(o.zielVerzeichnis) + " mit der Benutzerliste " +
          imDateisystem(o.basisVerzeichnis + o.benutzerlistenDatei));
  logNeueZeile();

  o.endzeitHHMM = 0;
  if (istDruckbar(o.endzeit)) {
    o.endzeitHHMM = EndzeitWert(o.endzeit);
    if (o.endzeitHHMM > 2350) fatal("unzulaessige Endzeit-Angabe");
  }
  KonfigurationSchreiben();
}

void KonfigurationSchreiben() {
  const ServerOptionen& o = optionen();
  std::string aus;
  plat::addLine(aus, "[Vokarium]");
  cfgZeile(aus, "BasisVerzeichnis",
           istDruckbar(o.clBasisVerzeichnis) ? o.clBasisVerzeichnis : o.basisVerzeichnis);
  cfgZeile(aus, "VocDatei", o.vocDatei);
  cfgZeile(aus, "ZielVerzeichnis",
           istDruckbar(o.clZielVerzeichnis) ? o.clZielVerzeichnis : o.zielVerzeichnis);
  cfgZeile(aus, "WortlistenDatei", o.wortlistenDatei);
  cfgZeile(aus, "GesamtWortlistenDatei", o.gesamtWortlistenDatei);
  cfgZeile(aus, "BenutzerlistenDatei", o.internBenutzerliste);
  cfgZeile(aus, "Pause", std::to_string(o.pause));
  cfgZeile(aus, "Endzeit", o.endzeit);
  cfgZeile(aus, "NichtLoeschen", o.nichtLoeschen ? "1" : "0");
  cfgZeile(aus, "mitTrigger", o.mitTrigger ? "1" : "0");
  cfgZeile(aus, "TriggerName", o.triggerName);
  cfgZeile(aus, "neuWorteTextdatei", o.neuWorteTextdatei);
  cfgZeile(aus, "loeWorteTextdatei", o.loeWorteTextdatei);
  const std::string pfad = o.zielVerzeichnis + o.cfgDatei;
  if (plat::publishReplace(pfad, aus, true) != plat::Err::ok)
    logFehlerName("INI-Datei nicht erzeugbar", pfad);
}

void ServerSperreNehmen() {
  const std::string pfad = optionen().zielVerzeichnis + "vkZentrale.lck";
  if (zustand().sperre.open(pfad, plat::Access::readWrite, plat::Share::exclusive,
                            plat::Disposition::openAlways) != plat::Err::ok)
    fatal("der Vokarium-Server l\xE4uft bereits !");
  // Locks that hold only on this host let workstations change a pool at
  // once and a second server deliver the same texts: the mount says so
  // (nobrl, nolock, local_lock, an unmeasured file system), the probe
  // catches a local folder whose locks do not work at all.
  const std::string& ziel = optionen().zielVerzeichnis;
  const plat::MountJudgement j = plat::judgeFolder(ziel);
  if (j.verdict != plat::MountVerdict::excludes) {
    logMeldung(plat::mountAdvice(j, ziel));
  } else if (const std::string samba = plat::sambaAdvice(ziel); !samba.empty()) {
    logMeldung(samba);
  } else if (plat::probeLocking(ziel) == plat::LockProbe::fails) {
    logMeldung(
        "Fehler: Dateisperren im Zielverzeichnis schlie\xDF"
        "en einander nicht aus");
  }
  // An NFS export of the folder is judged on its own: a Samba share of the
  // same folder may need its own remedy too.
  if (const std::string nfs = plat::nfsLeaseAdvice(ziel); !nfs.empty()) logMeldung(nfs);
}

void ServerSperreFreigeben() {
  plat::SharedFile& s = zustand().sperre;
  if (s.isOpen() && s.removeAndClose() != plat::Err::ok) s.close();
}

std::string DienstName(std::string_view iniDatei) {
  std::string name(iniDatei);
  std::size_t strich = name.find_last_of("\\/");
  if (strich != std::string::npos) name.erase(0, strich + 1);
  std::size_t punkt = name.rfind('.');
  if (punkt != std::string::npos) name.erase(punkt);
  return "vkZentrale." + name;
}

}  // namespace zentrale
