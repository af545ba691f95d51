// Reads the recognizer's "nsuser.ini" (version 10, else 9) below the
// roaming application data folder. Only reads; the recognizer owns the file.
#include "common/dns_ini.h"

#include "common/konfiguration.h"
#include "common/mtrace.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "platform/paths.h"
#include "platform/system.h"

namespace vk {

namespace {

DNSiniWerte gWerte;

std::string mitBackslash(const std::string& s) {
  return s.empty() ? s : plat::withBackslash(s);
}

}  // namespace

DNSiniWerte& DnsIni() {
  return gWerte;
}

void DnsIniZuruecksetzen() {
  gWerte = DNSiniWerte();
}

void DnsIniLesen(bool hinweis) {
  // The application data folder ends with "\"; the file names below start
  // with one, as the recognizer's own paths do.
  std::string ordner = plat::appDataDirectory();
  if (!ordner.empty() && ordner.back() == '\\') ordner.pop_back();
  const std::string stamm = ordner + "\\nuance\\naturallyspeaking";
  gWerte.version = plat::fileExists(stamm + "10\\nsuser.ini") ? "10" : "9";
  const std::string datei = stamm + gWerte.version + "\\nsuser.ini";
  Trace("DNS version", gWerte.version, datei);
  gWerte.userBaseDirectoryRU = mitBackslash(IniWert(datei, "Settings", "User Base Directory RU"));
  gWerte.roamingUserMasterDirectory =
      mitBackslash(IniWert(datei, "Settings", "Roaming User Master Directory"));
  if (hinweis &&
      (gWerte.userBaseDirectoryRU.empty() || gWerte.roamingUserMasterDirectory.empty())) {
    Trace(Text(txt::kDragonVerzeichnisseFehlen));
  }
}

}  // namespace vk
