// The check of pool words, the UTF-8 import text and the causes of an
// unreadable word file (see wortpruefung.h).
#include "common/wortpruefung.h"

#include "common/meldung.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/zeichenketten.h"
#include "platform/encoding.h"
#include "platform/paths.h"

namespace vk {

namespace {

bool steuerzeichen(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

// Decodes the UTF-8 sequence at `s[i]` (strict: no overlong forms, no
// surrogates, nothing above U+10FFFF); false when there is none.
bool zeichenLesen(std::string_view s, std::size_t& i, char32_t& c) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {
    c = b;
    ++i;
    return true;
  }
  std::size_t n = 0;
  char32_t mindestens = 0;
  if ((b & 0xE0) == 0xC0) {
    n = 1;
    c = b & 0x1F;
    mindestens = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    n = 2;
    c = b & 0x0F;
    mindestens = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    n = 3;
    c = b & 0x07;
    mindestens = 0x10000;
  } else {
    return false;
  }
  if (i + n >= s.size()) return false;
  for (std::size_t k = 1; k <= n; ++k) {
    const auto f = static_cast<unsigned char>(s[i + k]);
    if ((f & 0xC0) != 0x80) return false;
    c = (c << 6) | (f & 0x3F);
  }
  if (c < mindestens || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  i += n + 1;
  return true;
}

// Whether `s` from `i` on is the start of a character cut off by the end
// of the text: a lead byte and fewer continuation bytes than it needs,
// which, completed, would be a valid character (the lead byte and the
// first continuation byte decide that).
bool abgeschnittenesZeichen(std::string_view s, std::size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  const std::size_t laenge = (b & 0xE0) == 0xC0   ? 2
                             : (b & 0xF0) == 0xE0 ? 3
                             : (b & 0xF8) == 0xF0 ? 4
                                                  : 0;
  if (s.size() - i >= laenge) return false;
  std::string ergaenzt(s.substr(i));
  ergaenzt.append(laenge - ergaenzt.size(), '\x80');
  std::size_t k = 0;
  char32_t c = 0;
  return zeichenLesen(ergaenzt, k, c);
}

}  // namespace

Wortfehler WortzeilePruefen(std::string_view zeile) {
  for (const char c : zeile) {
    if (steuerzeichen(static_cast<unsigned char>(c))) return Wortfehler::steuerzeichen;
  }
  const std::size_t trenner = zeile.find('\\');
  const std::string_view geschrieben = trimmen(zeile.substr(0, trenner));
  const std::string_view gesprochen =
      trenner == std::string_view::npos ? std::string_view() : trimmen(zeile.substr(trenner + 1));
  if (geschrieben.size() > kMaxWortform || gesprochen.size() > kMaxWortform)
    return Wortfehler::zuLang;
  return Wortfehler::keiner;
}

void Abweisungen::hinzufuegen(std::size_t nummer) {
  ++anzahl;
  if (ersteNummern.size() < kGezeigteNummern) ersteNummern.push_back(nummer);
}

std::string AbweisungenText(const Abweisungen& abweisungen, std::string_view quelle) {
  if (abweisungen.leer()) return {};
  std::string nummern;
  for (const std::size_t n : abweisungen.ersteNummern) {
    if (!nummern.empty()) nummern += ", ";
    nummern += std::to_string(n);
  }
  if (abweisungen.anzahl > abweisungen.ersteNummern.size()) nummern += ", ...";
  return WertEinsetzen(
      TextMitWerten(txt::kKeineWoerter, std::to_string(abweisungen.anzahl), quelle), nummern);
}

void AbweisungenMelden(const Abweisungen& abweisungen, std::string_view quelle) {
  if (!abweisungen.leer()) Meldung(AbweisungenText(abweisungen, quelle));
}

bool Utf8Erkennen(std::string_view& inhalt) {
  if (inhalt.starts_with("\xEF\xBB\xBF")) {
    inhalt.remove_prefix(3);
    return true;
  }
  bool ausserAscii = false;
  for (std::size_t i = 0; i < inhalt.size();) {
    char32_t c = 0;
    // A copy cut in the middle of its last character stays UTF-8 when it
    // holds another one (a cp1252 "Fu\xDF" at the end alone does not).
    if (!zeichenLesen(inhalt, i, c)) return ausserAscii && abgeschnittenesZeichen(inhalt, i);
    if (c >= 0x80) ausserAscii = true;
  }
  return ausserAscii;
}

bool Utf8ZeileWandeln(std::string_view zeile, std::string& ansi) {
  ansi.clear();
  ansi.reserve(zeile.size());
  for (std::size_t i = 0; i < zeile.size();) {
    char32_t c = 0;
    if (!zeichenLesen(zeile, i, c)) return false;
    const int b = plat::unicodeToCp1252(c);
    if (b < 0) return false;
    ansi += static_cast<char>(b);
  }
  return true;
}

namespace {

// The language text of the cause, or "" when none of them applies.
std::string ursache(plat::Err fehler, std::string_view pfad) {
  if (plat::heldByOther(fehler)) return Text(txt::kGrundBelegt);
  if (fehler == plat::Err::notFound || fehler == plat::Err::pathNotFound)
    return Text(txt::kGrundFehlt);
  if (fehler == plat::Err::isLink) return Text(txt::kGrundLink);
  if (fehler == plat::Err::isFolder || fehler == plat::Err::notAFile)
    return Text(txt::kGrundKeineDatei);
  if (fehler == plat::Err::accessDenied) {
    if (plat::linkOnTheWay(pfad)) return Text(txt::kGrundLink);
    switch (plat::pathKind(pfad)) {
      case plat::PathKind::link:
        return Text(txt::kGrundLink);
      case plat::PathKind::directory:
      case plat::PathKind::other:
        return Text(txt::kGrundKeineDatei);
      case plat::PathKind::missing:
        return Text(txt::kGrundFehlt);
      case plat::PathKind::regular:
        return Text(txt::kGrundKeinRecht);
    }
  }
  return {};
}

}  // namespace

std::string WortdateiUrsache(plat::Err fehler, std::string_view pfad) {
  std::string text = ursache(fehler, pfad);
  return text.empty() ? TextMitWert(txt::kWortdateiNichtGelesen, pfad) : text;
}

void WortdateiFehlerMelden(plat::Err fehler, const std::string& pfad) {
  Fehlermeldung(plat::code(fehler), WortdateiUrsache(fehler, pfad), pfad);
}

void DateiFehlerMelden(plat::Err fehler, const std::string& pfad, int textNr) {
  std::string text = ursache(fehler, pfad);
  if (text.empty()) text = plat::errText(fehler);
  Fehlermeldung(plat::code(fehler), text, TextMitWert(textNr, pfad));
}

}  // namespace vk
