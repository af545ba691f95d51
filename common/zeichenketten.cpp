// String helpers for cp1252 byte strings (see zeichenketten.h).
#include "common/zeichenketten.h"

#include "common/poolfiles.h"

namespace vk {

std::string_view trimmen(std::string_view s) {
  const auto a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  const auto b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

std::string ersetzen(std::string_view s, std::string_view alt, std::string_view neu) {
  std::string r;
  if (alt.empty()) return std::string(s);
  std::size_t pos = 0;
  while (true) {
    const auto f = s.find(alt, pos);
    if (f == std::string_view::npos) break;
    r.append(s.substr(pos, f - pos));
    r.append(neu);
    pos = f + alt.size();
  }
  r.append(s.substr(pos));
  return r;
}

std::string klein(std::string_view s) {
  std::string r(s);
  for (auto& c : r)
    c = static_cast<char>(grossKlein(static_cast<unsigned char>(c)));
  return r;
}

double zahlwert(std::string_view s, bool* gefunden) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
    ++i;
  double vorzeichen = 1.0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    if (s[i] == '-') vorzeichen = -1.0;
    ++i;
  }
  double wert = 0.0;
  bool ziffern = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    wert = wert * 10.0 + (s[i] - '0');
    ziffern = true;
    ++i;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    double faktor = 0.1;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      wert += (s[i] - '0') * faktor;
      faktor /= 10.0;
      ziffern = true;
      ++i;
    }
  }
  if (gefunden) *gefunden = ziffern;
  return ziffern ? vorzeichen * wert : 0.0;
}

}  // namespace vk
