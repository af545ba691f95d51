// vkHelfer's links to the client common library (see anbindung.h).
#include "helper/anbindung.h"

#include <cstdlib>
#include <vector>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/texte.h"
#include "common/utilities.h"
#include "platform/local_file.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"

namespace helfer {

namespace {

// Held open without sharing for the whole run: a second helper of the same
// user on this machine cannot open it.
plat::SharedFile gEinzelstart;

}  // namespace

void Tr(std::initializer_list<std::string_view> werte) {
  vk::TraceWerte(std::vector<std::string>(werte.begin(), werte.end()));
}

std::string Tx(int nummer) {
  return vk::Text(nummer);
}
std::string TxW(int nummer, const std::string& wert) {
  return vk::TextMitWert(nummer, wert);
}
std::string TxWW(int nummer, const std::string& wert1, const std::string& wert2) {
  return vk::TextMitWerten(nummer, wert1, wert2);
}

void Melde(const std::string& text) {
  vk::Meldung(text);
}
bool Nachfragen(const std::string& text) {
  return vk::Nachfrage(text);
}
void FehlerMelden(plat::Err fehler, const std::string& kontext) {
  vk::Fehlermeldung(fehler, kontext);
}

namespace {

std::string EinzelstartPfad() {
  const char* benutzer = std::getenv("USER");
  return plat::systemPath(plat::runtimeDirectory()) + "\\vkHelfer-" +
         (benutzer != nullptr ? benutzer : "") + ".lck";
}

}  // namespace

bool EinzelstartSichern() {
  if (gEinzelstart.isOpen()) return true;
  return gEinzelstart.open(EinzelstartPfad(), plat::Access::readWrite, plat::Share::exclusive,
                           plat::Disposition::openAlways) == plat::Err::ok;
}

void EinzelstartBeschriften(const std::string& user, const std::string& pool) {
  if (!gEinzelstart.isOpen()) return;
  // The text only names the holder to a second start; the lock guards the run.
  if (gEinzelstart.truncate() == plat::Err::ok)
    plat::ignoreErr(gEinzelstart.write(user + "\t" + pool + "\r\n"), "a name shown, not the lock");
}

bool EinzelstartInhaber(std::string& user, std::string& pool) {
  // Read past the holder's lock: the lock guards the run, not the text.
  std::string inhalt;
  if (plat::readLocalFile(plat::nativePath(EinzelstartPfad()), inhalt) != plat::Err::ok)
    return false;
  const auto tab = inhalt.find('\t');
  const auto ende = inhalt.find("\r\n");
  if (tab == std::string::npos || ende == std::string::npos || ende < tab) return false;
  user = inhalt.substr(0, tab);
  pool = inhalt.substr(tab + 1, ende - tab - 1);
  return !user.empty();
}

void EinzelstartFreigeben() {
  gEinzelstart.close();
}

void StartEinstellungenLesen(HelferZustand& z) {
  vk::TraceInit();
  vk::TraceStart();
  vk::TextLaden("");
  z.dragonStartDauer = vk::StartWerteLesen().DragonStartDauer;
}

bool KonfigurationFinden(std::string& verzeichnis) {
  verzeichnis = vk::RegLesen("LastDirectory");
  if (verzeichnis.empty()) {
    const std::string stamm = Dienste().dragonStammverzeichnis();
    if (!stamm.empty()) verzeichnis = stamm + "Vokarium\\";
  }
  if (verzeichnis.empty()) return false;
  vk::konfiguration().KonfigVerzeichnis = verzeichnis;
  vk::KonfigurationLesen(vk::Kommandozeile());
  return true;
}

bool ThemaAusBenutzerliste(const std::string& pool, const std::string& user, std::string& thema) {
  vk::BenutzerLesen();
  for (const vk::Benutzereintrag& b : vk::poolZustand().Benutzerliste) {
    if (b.pool == pool && b.benutzer == user) {
      thema = b.thema;
      return true;
    }
  }
  return false;
}

void LetzteAuswahlMerken(const std::string& pool, const std::string& user) {
  vk::LetzteAuswahlSchreiben(pool, user);
}

std::string ProgrammTitel() {
  return vk::Titel("VokariumClient", "");
}

bool ProgrammStarten(const std::string& programm, const std::string& argumente) {
  return vk::Starten(programm, true, argumente, false);
}

}  // namespace helfer
