// Module DNSiniWerte: where the recognizer keeps its users, read from its
// "nsuser.ini" below the roaming application data folder (version 10, else
// version 9). A missing file or missing keys give empty directories, never
// an error. Assumes the recognizer writes the file; it is only read here.
#pragma once

#include <string>

namespace vk {

struct DNSiniWerte {
  std::string version;                     // "10" or "9"
  std::string userBaseDirectoryRU;         // "User Base Directory RU", with "\"
  std::string roamingUserMasterDirectory;  // "Roaming User Master Directory", with "\"
};

DNSiniWerte& DnsIni();
void DnsIniZuruecksetzen();

// Fills DnsIni(); with `hinweis` set, an empty directory is traced with
// text 2203.
// State: DnsIni() (reads and writes).
void DnsIniLesen(bool hinweis);

}  // namespace vk
