// Message boxes, error reports and questions without Qt (see meldung.h):
// texts, the responder, and the hand-over to the screen the window part
// installs (common/meldung_qt.cpp).
#include "common/meldung.h"

#include <deque>
#include <iostream>

#include "common/mtrace.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "platform/encoding.h"

namespace vk {

namespace {

struct MeldungsZustand {
  bool responder = false;
  std::deque<bool> antworten;
  std::function<bool(const AufgezeichneteMeldung&)> antwortFunktion;
  std::function<void(const AufgezeichneteMeldung&)> beobachter;
  std::deque<std::string> dateinamen;
  std::vector<AufgezeichneteMeldung> protokoll;
};

MeldungsZustand& zustand() {
  static MeldungsZustand z;
  return z;
}

Bildschirm& bildschirm() {
  static Bildschirm b;
  return b;
}

void aufzeichnen(MeldungsArt art, std::string_view titel, std::string_view text,
                 MeldungsSymbol symbol = MeldungsSymbol::keins) {
  auto& z = zustand();
  z.protokoll.push_back({art, std::string(titel), std::string(text), symbol});
  if (!z.responder) std::cerr << plat::cp1252ToUtf8(text) << '\n';
  if (z.beobachter) z.beobachter(z.protokoll.back());
}

std::string boxTitel() {
  return Titel("Vokarium", Text(txt::kHinweis));
}

// Shows a box whose line breaks are already in place.
void zeigen(std::string_view text, MeldungsSymbol symbol) {
  const std::string titel = boxTitel();
  if (ohneBildschirm()) {
    aufzeichnen(MeldungsArt::meldung, titel, text, symbol);
    return;
  }
  bildschirm().zeigen(titel, text, symbol);
}

std::string nummerText(long nummer) {
  return nummer > 0 ? " " + std::to_string(nummer) : "";
}

}  // namespace

void Meldung(std::string_view text) {
  zeigen(text, MeldungsSymbol::keins);
}

void Fehlermeldung(long nummer, std::string_view beschreibung, std::string_view kontext) {
  const std::string nr = nummerText(nummer);
  zeigen(Text(txt::kFehler) + nr + " " + std::string(kontext) + " :\r" + std::string(beschreibung),
         MeldungsSymbol::fehler);
  Trace("WINerror " + nr + " " + std::string(kontext) + " " + std::string(beschreibung));
}

std::string FehlerGrund(plat::Err fehler) {
  switch (fehler) {
    case plat::Err::isFolder:
      return Text(txt::kFehlerOrdner);
    case plat::Err::notAFile:
      return Text(txt::kFehlerKeineDatei);
    case plat::Err::isLink:
      return Text(txt::kFehlerLink);
    case plat::Err::accessDenied:
      return Text(txt::kFehlerBerechtigung);
    case plat::Err::sharingViolation:
    case plat::Err::lockViolation:
      return Text(txt::kGrundBelegt);
    default:
      return plat::errText(fehler);
  }
}

void Fehlermeldung(plat::Err fehler, std::string_view kontext) {
  Fehlermeldung(plat::code(fehler), FehlerGrund(fehler), kontext);
}

namespace {

// A question box: recorded and answered from the queue without a screen.
bool fragen(std::string_view text, bool jaNein) {
  const std::string titel = boxTitel();
  const std::string inhalt(text);
  if (ohneBildschirm()) {
    aufzeichnen(MeldungsArt::nachfrage, titel, inhalt, MeldungsSymbol::frage);
    auto& z = zustand();
    if (z.antwortFunktion) return z.antwortFunktion(z.protokoll.back());
    if (z.antworten.empty()) return false;
    const bool ja = z.antworten.front();
    z.antworten.pop_front();
    return ja;
  }
  return bildschirm().fragen(titel, inhalt, jaNein);
}

}  // namespace

bool Nachfrage(std::string_view text) {
  return fragen(text, false);
}

bool Frage(std::string_view text) {
  return fragen(text, true);
}

bool ohneBildschirm() {
  const Bildschirm& b = bildschirm();
  return zustand().responder || b.bereit == nullptr || !b.bereit();
}

void bildschirmSetzen(const Bildschirm& b) {
  bildschirm() = b;
}

void EreignisseVerarbeiten() {
  if (bildschirm().ereignisse != nullptr) bildschirm().ereignisse();
}

std::string dialogAufzeichnen(MeldungsArt art, std::string_view titel, std::string_view ordner) {
  auto& z = zustand();
  aufzeichnen(art, titel, ordner);
  if (z.dateinamen.empty()) return {};
  std::string pfad = std::move(z.dateinamen.front());
  z.dateinamen.pop_front();
  return pfad;
}

void responderEinschalten() {
  zustand().responder = true;
}

void setNextAnswer(bool ja) {
  zustand().antworten.push_back(ja);
}

void setAnswerFunction(std::function<bool(const AufgezeichneteMeldung&)> antwort) {
  zustand().antwortFunktion = std::move(antwort);
}

void setBeimAufzeichnen(std::function<void(const AufgezeichneteMeldung&)> beobachter) {
  zustand().beobachter = std::move(beobachter);
}

void setNextFileName(std::string_view pfad) {
  zustand().dateinamen.emplace_back(pfad);
}

const std::vector<AufgezeichneteMeldung>& recordedMessages() {
  return zustand().protokoll;
}

void clearRecordedMessages() {
  zustand().protokoll.clear();
}

void meldungZuruecksetzen() {
  zustand() = MeldungsZustand{};
}

}  // namespace vk
