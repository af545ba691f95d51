// The option "--sprachdatei" (see sprachdatei.h).
#include "common/sprachdatei.h"

#include <iostream>
#include <string_view>

#include "common/texte.h"
#include "common/utilities.h"
#include "platform/paths.h"

namespace vk {

std::optional<int> SprachdateiAbfrage(int argc, char** argv) {
  if (argc != 2 || std::string_view(argv[1]) != "--sprachdatei") return std::nullopt;
  TextLaden("");
  const TexteZustand& z = texteZustand();
  const std::string ordner = z.verzeichnis.empty() ? Programmverzeichnis() : z.verzeichnis;
  std::cout << plat::nativePath(ordner + z.sprache + ".LNG") << ' ' << z.tabelle.size()
            << std::endl;
  return z.tabelle.empty() ? 1 : 0;
}

}  // namespace vk
