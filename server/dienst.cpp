// Service registration and the service run: see dienst.h.
#include "server/dienst.h"

#include <cstdlib>
#include <filesystem>

#include "platform/encoding.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "server/optionen.h"
#include "server/protokoll.h"
#include "server/schleife.h"

namespace zentrale {

namespace {

constexpr int kDienstFehlt = 1060;
constexpr int kDienstDa = 1073;

std::string fuerUnit(const std::string& argument) {
  if (argument.find_first_of(" \t\"\\") == std::string::npos) return argument;
  std::string q = "\"";
  for (char c : argument) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + "\"";
}

std::string unitPfad() {
  return UnitVerzeichnis() + DienstName(optionen().iniDatei) + ".service";
}

}  // namespace

std::string IniVollerPfad() {
  const std::string& ini = optionen().iniDatei;
  if (!ini.empty() && ini[0] == '\\') return ini;
  std::error_code fehler;
  const std::filesystem::path hier = std::filesystem::current_path(fehler);
  return plat::withBackslash(plat::systemPath(hier.string())) + ini;
}

std::string DienstBefehlszeile() {
  std::string zeile = fuerUnit(plat::nativePath(plat::programPath())) + " /SERVICE";
  const std::string parameter = "/I" + plat::nativePath(IniVollerPfad());
  return zeile + " " + fuerUnit(parameter);
}

std::string UnitVerzeichnis() {
  const char* umgeleitet = std::getenv("VOKARIUM_UNIT_DIR");
  const std::string ordner =
      umgeleitet != nullptr && *umgeleitet != '\0' ? umgeleitet : "/etc/systemd/system";
  return plat::withBackslash(plat::systemPath(ordner));
}

void DienstFehler(const std::string& schritt, int code) {
  switch (code) {
    case 5:
      fatal("keine Berechtigung");
    case 6:
      fatal("ungueltiges Handle");
    case 52:
      fatal("Display-Name existiert bereits");
    case 87:
      fatal("Fehler in der Versorgung");
    case 120:
      fatal("Service ist nur fuer Win NT implementiert");
    case 123:
      fatal("unzulaessiger Name");
    case 1059:
      fatal("Circular Service Dependency");
    case kDienstDa:
      fatal("Service ist bereits registriert");
    default:
      fatal((schritt.empty() ? std::string("Service-Fehler") : schritt) + " Fehler " +
            std::to_string(code));
  }
}

void DienstRegistrieren() {
  const std::string name = DienstName(optionen().iniDatei);
  std::string unit;
  unit += "[Unit]\nDescription=" + plat::cp1252ToUtf8(name) + "\n\n";
  unit += "[Service]\nType=simple\nExecStart=" + DienstBefehlszeile() + "\n";
  unit += "KillSignal=SIGTERM\nRestart=no\n\n";
  unit += "[Install]\nWantedBy=multi-user.target\n";
  const plat::Err e = plat::publishNew(unitPfad(), unit, true);
  if (e == plat::Err::fileExists) DienstFehler("Fehler bei CreateService", kDienstDa);
  if (e != plat::Err::ok) DienstFehler("Fehler bei CreateService", plat::code(e));
}

void DienstEntfernen() {
  const plat::Err e = plat::removeFile(unitPfad());
  if (e == plat::Err::notFound) DienstFehler("OpenService", kDienstFehlt);
  if (e != plat::Err::ok) DienstFehler("OpenService", plat::code(e));
}

void DienstLauf() {
  ServerOptionen& o = optionen();
  const std::string name = DienstName(o.iniDatei);
  o.alsDienst = true;
  logDateiOeffnen(plat::programDirectory() + name + ".log");
  logNeueZeile();
  logNeueZeile();
  logNeueZeile();
  logZeitstempel();
  logText("Start Service " + name);
  BasisKlaeren(nullptr);
  ServerArbeit();
  const int stop = stopAnforderung().load();
  if (stop != 0)
    logMeldung("Ende Service " + name + " : " +
               (stop == static_cast<int>(StopArt::shutdown) ? "Shutdown" : "Stop"));
  logNeueZeile();
  logDateiSchliessen();
}

}  // namespace zentrale
