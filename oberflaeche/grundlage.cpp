// Qt's translations and the suite's icons (see grundlage.h).
#include "oberflaeche/grundlage.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QTranslator>

namespace vk {

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
}

}  // namespace vk
