// Numbered texts from the language files (see texte.h).
#include "common/texte.h"

#include "common/meldung.h"
#include "common/utilities.h"
#include "common/zeichenketten.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"
#include "platform/text_lines.h"

namespace vk {

namespace {

std::string dateiFuer(std::string_view sprache) {
  const auto& z = texteZustand();
  const std::string ordner = z.verzeichnis.empty() ? Programmverzeichnis() : z.verzeichnis;
  return ordner + std::string(sprache) + ".LNG";
}

}  // namespace

const std::vector<std::string>& Sprachen() {
  static const std::vector<std::string> sprachen = {"Deutsch",   "English",    "Espanol",
                                                    "Francaise", "Nederlands", "Italiano"};
  return sprachen;
}

TexteZustand& texteZustand() {
  static TexteZustand z;
  return z;
}

void texteZuruecksetzen() {
  texteZustand() = TexteZustand{};
}

void SprachVerzeichnisSetzen(std::string_view ordner) {
  auto& z = texteZustand();
  z.verzeichnis = ordner.empty() ? std::string() : plat::withBackslash(ordner);
  z.geladen = false;
  z.tabelle.clear();
}

bool SprachZeileLesen(std::string_view zeile, std::int32_t& nummer, std::string& text) {
  if (zeile.size() < 6 || zeile[0] < '1' || zeile[0] > '9') return false;
  const auto tab = zeile.find('\t');
  if (tab == std::string_view::npos || tab == 0) return false;
  const auto tab2 = zeile.find('\t', tab + 1);
  const std::string_view feld2 = zeile.substr(
      tab + 1, tab2 == std::string_view::npos ? std::string_view::npos : tab2 - tab - 1);
  const double wert = zahlwert(zeile.substr(0, tab));
  if (wert < 1 || wert > 2147483647.0) return false;
  const std::string_view t = trimmen(feld2);
  if (t.empty()) return false;
  nummer = static_cast<std::int32_t>(wert);
  text = std::string(t);
  return true;
}

std::string SpracheFuerKennung(int kennung) {
  switch (kennung & 0xFF) {
    case 0x07:
      return "Deutsch";
    case 0x0A:
      return "Espanol";
    case 0x0C:
      return "Francaise";
    case 0x10:
      return "Italiano";
    case 0x13:
      return "Nederlands";
    default:
      return "English";
  }
}

void TextLaden(std::string_view sprache) {
  auto& z = texteZustand();
  if (z.geladen && (sprache.empty() || sprache == z.sprache)) return;
  std::string gewaehlt(sprache);
  if (gewaehlt.empty()) gewaehlt = SpracheFuerKennung(plat::defaultLanguageId());
  if (!plat::fileExists(dateiFuer(gewaehlt))) {
    if (plat::fileExists(dateiFuer("English"))) {
      gewaehlt = "English";
    } else if (plat::fileExists(dateiFuer("Deutsch"))) {
      gewaehlt = "Deutsch";
    }
  }
  z.geladen = true;
  z.sprache = gewaehlt;
  z.tabelle.clear();
  const std::string pfad = dateiFuer(gewaehlt);
  std::string text;
  std::int32_t nummer = 0;
  const plat::Err fehler =
      plat::forEachLine(pfad, 0, [&](plat::LineStatus, const std::string& zeile, std::size_t) {
        // "\n" of the file is a line break of the text itself; a value put in
        // later for "@" is never read for escapes.
        if (SprachZeileLesen(zeile, nummer, text))
          z.tabelle.try_emplace(nummer, ersetzen(text, "\\n", "\r"));
      });
  if (fehler != plat::Err::ok) {
    z.tabelle.clear();
    Fehlermeldung(fehler, "language-file " + pfad + " not found");
  }
}

std::string Text(std::int32_t nummer) {
  auto& z = texteZustand();
  if (!z.geladen) TextLaden("");
  const auto it = z.tabelle.find(nummer);
  if (it == z.tabelle.end()) return "<?" + std::to_string(nummer) + " @?>";
  return it->second;
}

void TextBasis(std::int32_t basis) {
  texteZustand().basis = basis;
}

std::string TextRelativ(std::int32_t n) {
  return Text(texteZustand().basis + n);
}

std::string WertEinsetzen(std::string text, std::string_view wert) {
  if (!text.empty() && text.back() == '@') text += ' ';
  const auto at = text.find('@');
  if (at != std::string::npos) text.replace(at, 1, wert);
  return text;
}

std::string TextMitWert(std::int32_t nummer, std::string_view wert) {
  return WertEinsetzen(Text(nummer), wert);
}

std::string TextRelativMitWert(std::int32_t n, std::string_view wert) {
  return WertEinsetzen(TextRelativ(n), wert);
}

std::string TextMitWerten(std::int32_t nummer, std::string_view wert1, std::string_view wert2) {
  std::string text = Text(nummer);
  auto at = text.find('@');
  if (at == std::string::npos) return text;
  text.replace(at, 1, wert1);
  // The second value goes after the first one, never into it.
  at = text.find('@', at + wert1.size());
  if (at != std::string::npos) text.replace(at, 1, wert2);
  return text;
}

std::string Titel(std::string_view name, std::string_view zusatz) {
  std::string t(name);
  t += " (" + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + ")";
  if (!zusatz.empty()) {
    t += " - ";
    t += zusatz;
  }
  return t;
}

}  // namespace vk
