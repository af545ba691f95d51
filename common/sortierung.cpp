// German sort order of the lists shown to the user.
#include "common/sortierung.h"

#include <QLocale>

namespace vk {

QCollator deutscherCollator() {
  QCollator c{QLocale(QLocale::German, QLocale::Germany)};
  // Letters first compare without accents and case; only when the texts are
  // otherwise equal do the umlaut and then upper case decide.
  c.setCaseSensitivity(Qt::CaseSensitive);
  c.setNumericMode(false);
  return c;
}

int deutschVergleichen(const QString& a, const QString& b) {
  return deutscherCollator().compare(a, b);
}

}  // namespace vk
