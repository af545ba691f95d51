// The Qt-free German sort keys order names as the window part's collator
// does (letter case aside): every pair of a list of names with umlauts, ß,
// accents, blanks, punctuation and digits compares the same both ways.
#include <gtest/gtest.h>

#include <QCollator>
#include <string>
#include <vector>

#include "common/deutsche_ordnung.h"
#include "common/qtext.h"
#include "common/sortierung.h"

namespace {

TEST(DeutscheOrdnung, WieDerCollatorDesFensterteils) {
  // cp1252 names, "|" between two.
  const std::string liste =
      "Meier|meier|Meier Hans|Meier-Hans|Meier_Hans|Meier2|Meier10|Maier|M\xFCller|Mueller|"
      "Muller|MUELLER|\xC4rzte|Arzt|Zentrum|Strasse|Stra\xDF"
      "e|Strasse1|\xD6stlich|Osten|Oz|Ren\xE9|Rene|Renz|\xC7"
      "a|Ca|Cb|| Vorn|(Kurs)|Kurs|Chirurgie|Radiologie|Allgemein|alpha|Zeta|1. Stock|10 Betten|2 "
      "Betten|"
      "\x8A"
      "ef|Sef|Tag.Nacht";
  std::vector<std::string> namen(1);
  for (const char c : liste) {
    if (c == '|') {
      namen.emplace_back();
    } else {
      namen.back().push_back(c);
    }
  }
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
