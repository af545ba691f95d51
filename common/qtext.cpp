// cp1252 <-> QString with the OS layer's table (see qtext.h).
#include "common/qtext.h"

#include <QList>

#include "platform/encoding.h"

namespace vk {

QString qtext(std::string_view cp1252) {
  QString s;
  s.reserve(static_cast<qsizetype>(cp1252.size()));
  for (const char c : cp1252) {
    s.append(QChar(static_cast<char16_t>(plat::cp1252ToUnicode(static_cast<unsigned char>(c)))));
  }
  return s;
}

std::string cp1252(const QString& text) {
  std::string r;
  r.reserve(static_cast<std::size_t>(text.size()));
  for (const char32_t c : text.toUcs4()) {
    const int b = plat::unicodeToCp1252(c);
    r.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return r;
}

}  // namespace vk
