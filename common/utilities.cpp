// Program start, workstation name, program folder, desktop shortcuts and
// path splitting (see utilities.h).
#include "common/utilities.h"

#include <cstdlib>

#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/zeichenketten.h"
#include "platform/paths.h"
#include "platform/system.h"

namespace vk {

UtilitiesZustand& utilitiesZustand() {
  static UtilitiesZustand z;
  return z;
}

void utilitiesZuruecksetzen() {
  utilitiesZustand() = UtilitiesZustand{};
}

void ProgrammAnmelden(int argc, char** argv) {
  std::string zeile;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (!zeile.empty()) zeile += ' ';
    zeile += arg.find(' ') == std::string::npos ? arg : "\"" + arg + "\"";
  }
  utilitiesZustand().kommandozeile = zeile;
}

const std::string& Kommandozeile() {
  return utilitiesZustand().kommandozeile;
}

std::string Programmverzeichnis() {
  const auto& z = utilitiesZustand();
  if (!z.programmverzeichnis.empty()) return z.programmverzeichnis;
  return plat::withBackslash(plat::programDirectory());
}

void ProgrammverzeichnisSetzen(std::string_view ordner) {
  utilitiesZustand().programmverzeichnis =
      ordner.empty() ? std::string() : plat::withBackslash(ordner);
}

std::string RechnerName() {
  auto& z = utilitiesZustand();
  if (z.rechnername.empty()) {
    z.rechnername = plat::workstationName();
    const char* client = std::getenv("CLIENTNAME");
    Trace(client != nullptr && *client != '\0' ? "WTS" : "Comp", z.rechnername);
  }
  return z.rechnername;
}

bool Starten(std::string_view programm, bool sichtbar, std::string_view argumente, bool warten) {
  // Every window of a started program opens normally here; the flag only
  // decides activation on systems that have it.
  static_cast<void>(sichtbar);
  const std::string pfad(programm);
  // Messages name the file really looked for and run ("X.exe" is "X" here).
  const std::string datei = plat::programFile(pfad);
  if (!plat::fileExists(datei)) {
    Meldung(TextMitWert(txt::kProgrammFehlt, datei));
    return false;
  }
  std::string zeile = "\"" + pfad + "\"";
  if (!argumente.empty()) zeile += " " + std::string(argumente);
  const auto args = plat::splitCommandLine(argumente);
  int code = 0;
  if (warten) {
    Trace("Run/Wait " + zeile);
    plat::Process prozess;
    const plat::Err fehler = plat::startProcess(pfad, args, prozess);
    if (fehler != plat::Err::ok) {
      Fehlermeldung(fehler, TextMitWert(txt::kAusfuehrenFehler, datei));
      return false;
    }
    // The window stays alive while the other program runs.
    while (true) {
      const auto zustand = plat::waitProcess(prozess, 100, code);
      if (zustand == plat::ProcessState::exited) break;
      if (zustand == plat::ProcessState::failed) {
        Fehlermeldung(plat::Err::unknown, TextMitWert(txt::kAusfuehrenFehler, datei));
        return false;
      }
      EreignisseVerarbeiten();
    }
    Trace("Exit " + zeile);
  } else {
    Trace("Run " + zeile);
    plat::Process prozess;
    const plat::Err fehler = plat::startProcess(pfad, args, prozess);
    if (fehler != plat::Err::ok) {
      Fehlermeldung(fehler, TextMitWert(txt::kAusfuehrenFehler, datei));
      return false;
    }
  }
  if (code != 0) {
    Meldung(TextMitWert(txt::kAusfuehrenFehler, datei) + Text(txt::kFehler) + " " +
            std::to_string(code) + ", ");
    return false;
  }
  return true;
}

bool StartenUndWarten(std::string_view programm, std::string_view argumente) {
  return Starten(programm, true, argumente, true);
}

Verknuepfung VerknuepfungBilden(std::string_view benutzer, std::string_view thema,
                                std::string_view pool, std::int32_t sprecherOption) {
  const std::string u(benutzer);
  const std::string t(thema);
  const std::string p(pool);
  Verknuepfung v;
  v.dateiname = u + (p.empty() ? " (DNS)" : " " + p);
  if (sprecherOption > 2) v.dateiname += " (" + std::to_string(sprecherOption) + ")";
  v.dateiname += ".desktop";
  v.argumente = "-u \"" + u + "\"";
  if (!t.empty()) v.argumente += "-t \"" + t + "\"";
  if (!p.empty()) v.argumente += " -p \"" + p + "\"";
  if (sprecherOption >= 0) v.argumente += " -G " + std::to_string(sprecherOption);
  v.beschreibung = TextMitWert(txt::kLinkDragonFuer, u);
  if (!t.empty()) v.beschreibung += "\r" + t;
  if (!p.empty())
    v.beschreibung += "\r" + Text(txt::kLinkMitAbgleich) + "\r" + TextMitWert(txt::kLinkPool, p);
  return v;
}

// The suite's icon of vkHelfer, in share/icons beside the programs' folder
// (an installation and the build tree both have it); "" without it.
static std::string HelferSymbol() {
  std::string ordner = Programmverzeichnis();
  ordner.pop_back();
  ordner.resize(ordner.rfind('\\') + 1);
  const std::string symbol = ordner + "share\\icons\\vkhelfer.png";
  return plat::fileExists(symbol) ? symbol : std::string();
}

bool VerknuepfungAnlegen(std::string_view benutzer, std::string_view thema, std::string_view pool,
                         int symbolIndex, std::int32_t sprecherOption) {
  const Verknuepfung v = VerknuepfungBilden(benutzer, thema, pool, sprecherOption);
  plat::DesktopLauncher link;
  link.fileName = v.dateiname;
  link.program = Programmverzeichnis() + "vkHelfer.exe";
  // A launcher hands its arguments over one by one, split at blanks: a
  // topic directly behind the user's closing quote would be glued to the
  // user, so it gets a blank of its own there.
  link.arguments = ersetzen(v.argumente, "\"-t \"", "\" -t \"");
  link.workingDir = Programmverzeichnis();
  link.icon = HelferSymbol();
  link.iconIndex = symbolIndex;
  link.description = v.beschreibung;
  plat::Err fehler = plat::Err::invalidName;
  // The name comes from the user list: it must stay one file on the desktop.
  if (plat::isSafeName(link.fileName)) {
    fehler = plat::writeDesktopLauncher(plat::desktopDirectory(), link);
  }
  if (fehler != plat::Err::ok) {
    Fehlermeldung(fehler, Text(txt::kLinkNichtAngelegt));
    return false;
  }
  Meldung(TextMitWert(txt::kLinkAngelegt, plat::desktopDirectory() + link.fileName));
  return true;
}

void PfadTeilen(std::string& pfad, std::string& ordner) {
  const auto schnitt = pfad.rfind('\\');
  if (schnitt == std::string::npos || schnitt == 0) return;
  ordner = pfad.substr(0, schnitt + 1);
  pfad.erase(0, schnitt + 1);
}

}  // namespace vk
