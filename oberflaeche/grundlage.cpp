// Qt's translations and the suite's icons (see grundlage.h).
#include "oberflaeche/grundlage.h"

#include <QApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTranslator>
#include <QWidget>
#include <algorithm>

namespace vk {

namespace {

// The frame of the last window whose frame the window system reported;
// before any, room for a title bar and thin borders.
QMargins& bekannterRahmen() {
  static QMargins rahmen(6, 32, 6, 6);
  return rahmen;
}

QMargins rahmenVon(const QWidget& fenster) {
  if (fenster.windowFlags().testFlag(Qt::FramelessWindowHint)) return {};
  const QRect innen = fenster.geometry();
  const QRect aussen = fenster.frameGeometry();
  const QMargins rahmen(innen.left() - aussen.left(), innen.top() - aussen.top(),
                        aussen.right() - innen.right(), aussen.bottom() - innen.bottom());
  if (rahmen.isNull()) return bekannterRahmen();
  bekannterRahmen() = rahmen;
  return rahmen;
}

// Fits every window of the program when it is shown by the program (not
// when the window system restores it).
class Einpasser : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* objekt, QEvent* ereignis) override {
    if (ereignis->type() == QEvent::Show && !ereignis->spontaneous() && objekt->isWidgetType()) {
      auto* fenster = static_cast<QWidget*>(objekt);
      if (fenster->isWindow()) FensterEinpassen(*fenster);
    }
    return false;
  }
};

}  // namespace

void FensterEinpassen(QWidget& fenster) {
  if (!fenster.isWindow() || fenster.isMaximized() || fenster.isFullScreen()) return;
  const Qt::WindowType typ = fenster.windowType();
  if (typ == Qt::Popup || typ == Qt::ToolTip || typ == Qt::Desktop) return;
  const QScreen* schirm = fenster.screen();
  if (schirm == nullptr) schirm = QGuiApplication::primaryScreen();
  if (schirm == nullptr) return;
  const QRect frei = schirm->availableGeometry();
  const QMargins rahmen = rahmenVon(fenster);
  const int breiteMax = std::max(frei.width() - rahmen.left() - rahmen.right(), 1);
  const int hoeheMax = std::max(frei.height() - rahmen.top() - rahmen.bottom(), 1);
  if (fenster.minimumWidth() > breiteMax || fenster.minimumHeight() > hoeheMax)
    fenster.setMinimumSize(std::min(fenster.minimumWidth(), breiteMax),
                           std::min(fenster.minimumHeight(), hoeheMax));
  const QSize groesse(std::min(fenster.width(), breiteMax), std::min(fenster.height(), hoeheMax));
  if (groesse != fenster.size()) fenster.resize(groesse);
  // pos() is where the frame begins; the frame's far corner must fit too,
  // and where it cannot, the title bar stays on the screen.
  const int breite = fenster.width() + rahmen.left() + rahmen.right();
  const int hoehe = fenster.height() + rahmen.top() + rahmen.bottom();
  const QPoint ort = fenster.pos();
  const QPoint neu(std::max(frei.left(), std::min(ort.x(), frei.right() + 1 - breite)),
                   std::max(frei.top(), std::min(ort.y(), frei.bottom() + 1 - hoehe)));
  if (neu != ort) fenster.move(neu);
}

OberflaecheZustand& oberflaecheZustand() {
  static OberflaecheZustand z;
  return z;
}

void oberflaecheZuruecksetzen() {
  OberflaecheZustand& z = oberflaecheZustand();
  if (z.qtUebersetzung) QCoreApplication::removeTranslator(z.qtUebersetzung.get());
  z = OberflaecheZustand{};
}

QIcon ProgrammSymbol(std::string_view programm) {
  const QString name = QString::fromUtf8(programm.data(), static_cast<qsizetype>(programm.size()));
  const QPixmap gross(QStringLiteral(":/icons/") + name + QStringLiteral(".png"));
  const QPixmap klein(QStringLiteral(":/icons/64/") + name + QStringLiteral(".png"));
  if (gross.isNull() || klein.isNull()) return {};
  QIcon icon;
  icon.addPixmap(gross);
  icon.addPixmap(klein);
  // The title bar and the task bar draw 16 and 32 pixels: scaled once
  // here, smoothly, rather than by each window system on its own.
  for (const int seite : {16, 32})
    icon.addPixmap(klein.scaled(seite, seite, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  return icon;
}

void OberflaecheMitSprache(QApplication& app, std::string_view programm, std::string_view sprache) {
  oberflaecheZuruecksetzen();
  OberflaecheZustand& z = oberflaecheZustand();
  const QString code = QString::fromUtf8(sprache.data(), static_cast<qsizetype>(sprache.size()));
  auto uebersetzung = std::make_unique<QTranslator>();
  if (uebersetzung->load(QLocale(code), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
      QCoreApplication::installTranslator(uebersetzung.get())) {
    z.qtUebersetzung = std::move(uebersetzung);
    z.sprache = std::string(sprache);
  }
  const QIcon icon = ProgrammSymbol(programm);
  if (!icon.isNull()) app.setWindowIcon(icon);
  static QPointer<Einpasser> einpasser;
  if (einpasser.isNull()) {
    einpasser = new Einpasser(&app);
    app.installEventFilter(einpasser);
  }
}

}  // namespace vk
