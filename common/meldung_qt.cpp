// The screen of the message boxes, the file dialogs and the window events
// (see meldung.h): installed into the Qt-free part at program start, so
// every program with a widget application shows real boxes. Without a
// QApplication each box still goes to the responder.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "common/meldung.h"
#include "common/qtext.h"
#include "platform/paths.h"

namespace vk {

namespace {

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

QString bildschirmText(std::string_view text) {
  return qtext(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
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

// A dialog without a usable start folder would open in the process's
// working folder (the program folder when started from a launcher): the
// user's home folder is where he keeps his own.
std::string startOrdnerOderHeim(std::string_view startOrdner) {
  if (!startOrdner.empty() && plat::directoryExists(startOrdner)) return std::string(startOrdner);
  return plat::withBackslash(plat::systemPath(QDir::homePath().toStdString()));
}

bool bereit() {
  return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

void boxZeigen(std::string_view titel, std::string_view text, MeldungsSymbol symbol) {
  QMessageBox box(qtSymbol(symbol), qtext(titel), bildschirmText(text), QMessageBox::Ok,
                  meldungsBesitzer());
  zeigenUeber(box);
}

bool boxFragen(std::string_view titel, std::string_view text, bool jaNein) {
  const QMessageBox::StandardButtons knoepfe =
      jaNein ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Retry | QMessageBox::Cancel;
  QMessageBox box(QMessageBox::Question, qtext(titel), bildschirmText(text), knoepfe,
                  meldungsBesitzer());
  box.setDefaultButton(jaNein ? QMessageBox::No : QMessageBox::Cancel);
  const int antwort = zeigenUeber(box);
  return antwort == QMessageBox::Retry || antwort == QMessageBox::Ok || antwort == QMessageBox::Yes;
}

void ereignisse() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

// Installed before main(): the library is linked whole (common/CMakeLists.txt).
const bool eingerichtet = [] {
  bildschirmSetzen({bereit, boxZeigen, boxFragen, ereignisse});
  return true;
}();

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

std::string DateiOeffnen(QWidget* eltern, std::string_view titel, std::string_view startOrdner,
                         std::string_view filter) {
  const std::string start = startOrdnerOderHeim(startOrdner);
  if (ohneBildschirm()) return dialogAufzeichnen(MeldungsArt::dateiDialog, titel, start);
  const QString datei = QFileDialog::getOpenFileName(
      eltern != nullptr ? eltern : meldungsBesitzer(), qtext(titel),
      QString::fromStdString(plat::nativePath(start)), qtFilter(filter));
  if (datei.isEmpty()) return {};
  return plat::systemPath(datei.toStdString());
}

std::string OrdnerWaehlen(QWidget* eltern, std::string_view titel, std::string_view startOrdner) {
  const std::string start = startOrdnerOderHeim(startOrdner);
  if (ohneBildschirm()) return dialogAufzeichnen(MeldungsArt::ordnerDialog, titel, start);
  const QString ordner = QFileDialog::getExistingDirectory(
      eltern != nullptr ? eltern : meldungsBesitzer(), qtext(titel),
      QString::fromStdString(plat::nativePath(start)));
  if (ordner.isEmpty()) return {};
  return plat::withBackslash(plat::systemPath(ordner.toStdString()));
}

}  // namespace vk
