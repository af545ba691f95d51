// The command line of vkHelfer (see befehlszeile.h). The rules follow the
// way the desktop shortcuts and the main program write it: "-u "Name"",
// "-e -p "Pool" -u "User"", "-G 5".
#include "helper/befehlszeile.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "common/zeichenketten.h"

namespace helfer {

namespace {

std::string_view Trimmen(std::string_view s) {
  while (!s.empty() && s.front() == ' ')
    s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ')
    s.remove_suffix(1);
  return s;
}

void Anwenden(HelferOptionen& o, char buchstabe, std::string_view wert) {
  switch (buchstabe) {
    case 'p':
      o.pool = std::string(wert);
      break;
    case 'u':
      o.user = std::string(wert);
      break;
    case 't':
      o.topic = std::string(wert);
      break;
    case 'G':
      o.option = ZahlAusText(wert, -1);
      break;
    case 'E':
      o.hauptprogrammAmEnde = false;
      break;
    case 'e':
      o.nurStarten = true;
      break;
    default:  // "-i", "-D" and unknown letters: accepted, no effect
      break;
  }
}

}  // namespace

std::string BefehlszeileAusArgumenten(const std::vector<std::string>& argumente) {
  std::string zeile;
  for (const std::string& a : argumente) {
    if (!zeile.empty()) zeile += ' ';
    const bool klammern =
        a.empty() || (a.find(' ') != std::string::npos && a.find('"') == std::string::npos);
    zeile += klammern ? '"' + a + '"' : a;
  }
  return zeile;
}

int ZahlAusText(std::string_view text, int fallback) {
  const double gerundet = std::nearbyint(vk::zahlwert(text));  // half to even
  if (gerundet < std::numeric_limits<std::int32_t>::min() ||
      gerundet > std::numeric_limits<std::int32_t>::max()) {
    return fallback;
  }
  return static_cast<int>(gerundet);
}

HelferOptionen BefehlszeileLesen(std::string_view zeile) {
  HelferOptionen o;
  std::string_view rest = Trimmen(zeile);
  for (;;) {
    const std::size_t strich = rest.find('-');
    if (strich == std::string_view::npos || strich + 1 >= rest.size()) break;
    const char buchstabe = rest[strich + 1];
    std::size_t start = strich + 2;
    if (start < rest.size() && rest[start] == ' ') ++start;
    std::string_view wert;
    std::size_t weiter = rest.size();  // where the rest of the line begins
    if (start < rest.size() && rest[start] == '"') {
      const std::size_t ende = rest.find('"', start + 1);
      if (ende == std::string_view::npos) break;  // unclosed quote: option dropped
      wert = rest.substr(start + 1, ende - start - 1);
      weiter = ende + 1;
    } else if (start < rest.size() && rest[start] == '-') {
      weiter = start;  // the next option follows at once: empty value
    } else if (start < rest.size()) {
      const std::size_t blank = rest.find(' ', start);
      if (blank == std::string_view::npos) {
        wert = rest.substr(start);
      } else {
        wert = rest.substr(start, blank - start);
        weiter = blank + 1;
      }
    }
    Anwenden(o, buchstabe, wert);
    rest = Trimmen(rest.substr(weiter));
  }
  return o;
}

}  // namespace helfer
