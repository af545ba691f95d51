// Qt's language after the language file in use, and the program's icon
// (see oberflaeche.h).
#include "common/oberflaeche.h"

#include <QApplication>

#include "common/texte.h"

namespace vk {

std::string QtSprache(std::string_view sprachDatei) {
  static const struct {
    const char* datei;
    const char* code;
  } kSprachen[] = {{"Deutsch", "de"},
                   {"Espanol", "es"},
                   {"Francaise", "fr"},
                   {"Italiano", "it"},
                   {"Nederlands", "nl"}};
  for (const auto& s : kSprachen) {
    if (sprachDatei == s.datei) return s.code;
  }
  return "en";
}

void OberflaecheEinrichten(QApplication& app, std::string_view programm) {
  TextLaden("");
  OberflaecheMitSprache(app, programm, QtSprache(texteZustand().sprache));
}

}  // namespace vk
