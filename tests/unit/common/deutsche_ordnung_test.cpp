// The Qt-free German sort keys order names as the window part's collator
// does (letter case aside): every pair of a list of names with umlauts, ß,
// accents, blanks, punctuation and digits compares the same both ways.
#include <gtest/gtest.h>

#include <QCollator>
#include <sstream>
#include <string>
#include <vector>

#include "common/deutsche_ordnung.h"
#include "common/qtext.h"
#include "common/sortierung.h"

namespace {

TEST(DeutscheOrdnung, WieDerCollatorDesFensterteils) {
  // cp1252 names (octal escapes), "|" between two.
  std::istringstream liste(
      "Meier|meier|Meier Hans|Meier-Hans|Meier_Hans|Meier2|Meier10|Maier|M\374ller|Mueller|Muller|"
      "MUELLER|\304rzte|Arzt|Zentrum|Strasse|Stra\337e|Strasse1|\326stlich|Osten|Oz|Ren\351|Rene|"
      "Renz|\307a|Ca|Cb|| Vorn|(Kurs)|Kurs|Chirurgie|Radiologie|Allgemein|alpha|Zeta|1. Stock|"
      "10 Betten|2 Betten|\212ef|Sef|Tag.Nacht");
  std::vector<std::string> namen;
  for (std::string n; std::getline(liste, n, '|');)
    namen.push_back(n);
  QCollator collator = vk::deutscherCollator();
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  const auto vorzeichen = [](int n) { return (n > 0) - (n < 0); };
  for (const std::string& a : namen) {
    for (const std::string& b : namen) {
      EXPECT_EQ(vorzeichen(vk::deutscherSchluessel(a).compare(vk::deutscherSchluessel(b))),
                vorzeichen(collator.compare(vk::qtext(a), vk::qtext(b))))
          << "\"" << a << "\" vs \"" << b << "\"";
    }
  }
}

}  // namespace
