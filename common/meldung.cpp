// Message boxes, error reports, questions and file dialogs (see meldung.h).
#include "common/meldung.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <deque>
#include <iostream>

#include "common/mtrace.h"
#include "common/qtext.h"
#include "common/texte.h"
#include "platform/encoding.h"
#include "platform/paths.h"

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

// True when boxes are answered without a screen: responder on, or no
// widget application to show them.
bool ohneBildschirm() {
  return zustand().responder ||
         qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr;
}

void aufzeichnen(MeldungsArt art, std::string_view titel, std::string_view text,
                 MeldungsSymbol symbol = MeldungsSymbol::keins) {
  auto& z = zustand();
  z.protokoll.push_back({art, std::string(titel), std::string(text), symbol});
  if (!z.responder) std::cerr << plat::cp1252ToUtf8(text) << '\n';
  if (z.beobachter) z.beobachter(z.protokoll.back());
}

QMessageBox::Icon qtSymbol(MeldungsSymbol symbol) {
  switch (symbol) {
    case MeldungsSymbol::fehler:
      return QMessageBox::Critical;
    case MeldungsSymbol::frage:
      return QMessageBox::Question;
    case MeldungsSymbol::keins:
      break;
  }
  return QMessageBox::NoIcon;
}

// Runs a box over its owner: Qt centres a dialog on its parent when it is
// shown; the box is then brought to the foreground.
int zeigenUeber(QMessageBox& box) {
  box.raise();
  box.activateWindow();
  return box.exec();
}

std::string boxTitel() {
  return Titel("Vokarium", Text(106));
}

QString bildschirmText(std::string_view text) {
  return qtext(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// Shows a box whose line breaks are already in place.
void zeigen(std::string_view text, MeldungsSymbol symbol) {
  const std::string titel = boxTitel();
  if (ohneBildschirm()) {
    aufzeichnen(MeldungsArt::meldung, titel, text, symbol);
    return;
  }
  QMessageBox box(qtSymbol(symbol), qtext(titel), bildschirmText(text), QMessageBox::Ok,
                  meldungsBesitzer());
  zeigenUeber(box);
}

std::string nummerText(long nummer) {
  return nummer > 0 ? " " + std::to_string(nummer) : "";
}

// VB-style filter "Name|*.txt|Alle|*.*" as Qt filter "Name (*.txt);;Alle (*.*)".
QString qtFilter(std::string_view filter) {
  QStringList teile = qtext(filter).split(QLatin1Char('|'));
  QStringList ergebnis;
  for (qsizetype i = 0; i + 1 < teile.size(); i += 2) {
    QString muster = teile[i + 1];
    muster.replace(QLatin1Char(';'), QLatin1Char(' '));
    QString name = teile[i];
    if (!name.contains(muster)) name += QStringLiteral(" (") + muster + QStringLiteral(")");
    ergebnis << name;
  }
  return ergebnis.join(QStringLiteral(";;"));
}

std::string dialogAntwort(MeldungsArt art, std::string_view titel) {
  auto& z = zustand();
  aufzeichnen(art, titel, "");
  if (z.dateinamen.empty()) return {};
  std::string pfad = std::move(z.dateinamen.front());
  z.dateinamen.pop_front();
  return pfad;
}

}  // namespace

QWidget* meldungsBesitzer() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
  if (QWidget* aktiv = QApplication::activeWindow()) return aktiv;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->isWindow() && !w->isMinimized() && w->windowType() != Qt::ToolTip &&
        w->windowType() != Qt::Popup)
      return w;
  }
  return nullptr;
}

void Meldung(std::string_view text) {
  zeigen(text, MeldungsSymbol::keins);
}

void Fehlermeldung(long nummer, std::string_view beschreibung, std::string_view kontext) {
  const std::string nr = nummerText(nummer);
  zeigen(Text(105) + nr + " " + std::string(kontext) + " :\r" + std::string(beschreibung),
         MeldungsSymbol::fehler);
  Trace("WINerror " + nr + " " + std::string(kontext) + " " + std::string(beschreibung));
}

std::string FehlerGrund(plat::Err fehler) {
  switch (fehler) {
    case plat::Err::isFolder:
      return Text(180);
    case plat::Err::notAFile:
      return Text(181);
    case plat::Err::isLink:
      return Text(182);
    case plat::Err::accessDenied:
      return Text(183);
    case plat::Err::sharingViolation:
    case plat::Err::lockViolation:
      return Text(2584);
    default:
      return plat::errText(fehler);
  }
}

void Fehlermeldung(plat::Err fehler, std::string_view kontext) {
  Fehlermeldung(plat::code(fehler), FehlerGrund(fehler), kontext);
}

namespace {

// A question box: recorded and answered from the queue without a screen.
bool fragen(std::string_view text, QMessageBox::StandardButtons knoepfe,
            QMessageBox::StandardButton vorgabe) {
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
  QMessageBox box(QMessageBox::Question, qtext(titel), bildschirmText(inhalt), knoepfe,
                  meldungsBesitzer());
  box.setDefaultButton(vorgabe);
  const int antwort = zeigenUeber(box);
  return antwort == QMessageBox::Retry || antwort == QMessageBox::Ok || antwort == QMessageBox::Yes;
}

}  // namespace

bool Nachfrage(std::string_view text) {
  return fragen(text, QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Cancel);
}

bool Frage(std::string_view text) {
  return fragen(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
}

std::string DateiOeffnen(QWidget* eltern, std::string_view titel, std::string_view startOrdner,
                         std::string_view filter) {
  if (ohneBildschirm()) return dialogAntwort(MeldungsArt::dateiDialog, titel);
  const QString datei = QFileDialog::getOpenFileName(
      eltern != nullptr ? eltern : meldungsBesitzer(), qtext(titel),
      QString::fromStdString(plat::nativePath(startOrdner)), qtFilter(filter));
  if (datei.isEmpty()) return {};
  return plat::systemPath(datei.toStdString());
}

std::string OrdnerWaehlen(QWidget* eltern, std::string_view titel, std::string_view startOrdner) {
  if (ohneBildschirm()) return dialogAntwort(MeldungsArt::ordnerDialog, titel);
  const QString ordner = QFileDialog::getExistingDirectory(
      eltern != nullptr ? eltern : meldungsBesitzer(), qtext(titel),
      QString::fromStdString(plat::nativePath(startOrdner)));
  if (ordner.isEmpty()) return {};
  return plat::withBackslash(plat::systemPath(ordner.toStdString()));
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
