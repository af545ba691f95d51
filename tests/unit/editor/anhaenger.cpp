// Test helper: appends the lines "<prefix><n>" (n = 1..count) to the file
// given, each under the file's exclusive lock, retrying while another
// program holds it, as a member's take-over appends to the pool total
// list. Exit code 0 when every line was written.
#include <cstdlib>
#include <string>

#include "platform/shared_file.h"
#include "platform/system.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string pfad = argv[1];
  const std::string prefix = argv[2];
  const int anzahl = std::atoi(argv[3]);
  for (int n = 1; n <= anzahl; ++n) {
    const std::string zeile = prefix + std::to_string(n) + "\r\n";
    for (int versuch = 0;; ++versuch) {
      if (versuch == 5000) return 1;
      plat::SharedFile datei;
      const plat::Err e = datei.open(pfad, plat::Access::readWrite, plat::Share::exclusive,
                                     plat::Disposition::openAlways);
      if (e == plat::Err::ok) {
        if (datei.append(zeile) != plat::Err::ok) return 1;
        break;
      }
      plat::sleepMs(1);
    }
    plat::sleepMs(2);
  }
  return 0;
}
