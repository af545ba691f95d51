// The test hook that plays a script of clicks (see testskript.h).
#include "main/testskript.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <cstdlib>
#include <iostream>

#include "common/meldung.h"

namespace vk {

namespace {

constexpr int kTaktMs = 50;
constexpr int kHoechstVersuche = 20000 / kTaktMs;

// A person can click an action only while it and the toolbar that shows
// it are enabled: a window disables its toolbar while an action runs (and
// waits for the server with window events running).
bool klickbar(const QAction& aktion) {
  if (!aktion.isEnabled()) return false;
  for (QObject* o : aktion.associatedObjects()) {
    if (auto* w = qobject_cast<QWidget*>(o); w != nullptr && !w->isEnabled()) return false;
  }
  return true;
}

QWidget* sichtbaresFenster(const QString& name) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == name && w->isVisible()) return w;
  return nullptr;
}

// A window by name, shown or hidden (the main window hides behind the
// editor, and a picture of it is still wanted).
QWidget* irgendeinFenster(const QString& name) {
  if (QWidget* w = sichtbaresFenster(name)) return w;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == name) return w;
  return nullptr;
}

// The editor's list view and the row whose written form (column 1) is `wort`.
QModelIndex editorZeile(const QString& wort, QAbstractItemView** ansicht) {
  QWidget* editor = sichtbaresFenster(QStringLiteral("FormWortliste"));
  if (editor == nullptr) return {};
  auto* liste = editor->findChild<QAbstractItemView*>(QStringLiteral("Liste"));
  if (liste == nullptr || liste->model() == nullptr || !liste->isVisible()) return {};
  *ansicht = liste;
  const QAbstractItemModel* m = liste->model();
  for (int zeile = 0; zeile < m->rowCount(); ++zeile)
    if (m->index(zeile, 1).data().toString() == wort) return m->index(zeile, 0);
  return {};
}

}  // namespace

void Testskript::starten() {
  const char* datei = std::getenv("VOKARIUM_TESTSKRIPT");
  if (datei == nullptr || *datei == '\0') return;
  QFile f(QString::fromLocal8Bit(datei));
  if (!f.open(QIODevice::ReadOnly)) {
    std::cerr << "Testskript: " << datei << " nicht lesbar\n";
    std::exit(3);
  }
  QStringList schritte;
  for (const QString& zeile : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
    const QString s = zeile.trimmed();
    if (!s.isEmpty() && !s.startsWith(QLatin1Char('#'))) schritte << s;
  }
  new Testskript(schritte, QCoreApplication::instance());
}

Testskript::Testskript(QStringList schritte, QObject* parent)
    : QObject(parent), schritte_(std::move(schritte)) {
  timer_.setInterval(kTaktMs);
  connect(&timer_, &QTimer::timeout, this, &Testskript::weiter);
  timer_.start();
}

void Testskript::weiter() {
  if (naechster_ >= schritte_.size()) {
    timer_.stop();
    return;
  }
  const QString schritt = schritte_[naechster_];
  if (ausfuehren(schritt)) {
    ++naechster_;
    versuche_ = 0;
  } else if (++versuche_ > kHoechstVersuche) {
    abbrechen(QStringLiteral("nicht ausfuehrbar: ") + schritt);
  }
}

void Testskript::abbrechen(const QString& grund) {
  std::cerr << "Testskript: " << grund.toStdString() << std::endl;
  std::_Exit(3);
}

bool Testskript::ausfuehren(const QString& schritt) {
  const QString befehl = schritt.section(QLatin1Char(' '), 0, 0);
  const QString a1 = schritt.section(QLatin1Char(' '), 1, 1);
  const QString rest1 = schritt.section(QLatin1Char(' '), 1);
  const QString rest2 = schritt.section(QLatin1Char(' '), 2);

  if (befehl == QLatin1String("warte")) return sichtbaresFenster(a1) != nullptr;
  if (befehl == QLatin1String("weg")) return sichtbaresFenster(a1) == nullptr;
  if (befehl == QLatin1String("antwort")) {
    setNextAnswer(a1 == QLatin1String("ja"));
    return true;
  }
  if (befehl == QLatin1String("bild")) {
    QWidget* w = irgendeinFenster(a1);
    if (w == nullptr) return false;
    if (!w->grab().save(rest2, "PNG"))
      abbrechen(QStringLiteral("Bild nicht gespeichert: ") + rest2);
    return true;
  }
  if (befehl == QLatin1String("schliessen")) {
    QWidget* w = sichtbaresFenster(a1);
    if (w == nullptr) return false;
    QTimer::singleShot(0, w, &QWidget::close);
    return true;
  }
  if (befehl == QLatin1String("knopf")) {
    QWidget* w = sichtbaresFenster(a1);
    if (w == nullptr) return false;
    auto* aktion = w->findChild<QAction*>(rest2);
    if (aktion == nullptr || !klickbar(*aktion)) return false;
    // Queued: the action may open a modal window, and the script goes on
    // inside its event loop.
    QTimer::singleShot(0, aktion, &QAction::trigger);
    return true;
  }
  if (befehl == QLatin1String("aus")) {
    QWidget* w = sichtbaresFenster(a1);
    auto* aktion = w != nullptr ? w->findChild<QAction*>(rest2) : nullptr;
    return aktion != nullptr && !aktion->isEnabled();
  }
  if (befehl == QLatin1String("benutzer")) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* liste = w->findChild<QListWidget*>(QStringLiteral("lbUser"));
      if (liste == nullptr || !w->isVisible()) continue;
      const auto treffer = liste->findItems(rest1, Qt::MatchExactly);
      if (treffer.isEmpty()) return false;
      liste->setCurrentItem(treffer.first());
      return true;
    }
    return false;
  }
  if (befehl == QLatin1String("haken") || befehl == QLatin1String("waehlen")) {
    QAbstractItemView* ansicht = nullptr;
    const bool haken = befehl == QLatin1String("haken");
    const QModelIndex zeile = editorZeile(haken ? rest2 : rest1, &ansicht);
    if (!zeile.isValid()) return false;
    if (haken) {
      const Qt::CheckState zustand = a1 == QLatin1String("an") ? Qt::Checked : Qt::Unchecked;
      ansicht->model()->setData(zeile, zustand, Qt::CheckStateRole);
    } else {
      ansicht->clearSelection();
      ansicht->selectionModel()->select(zeile,
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
      ansicht->setCurrentIndex(zeile);
    }
    return true;
  }
  if (befehl == QLatin1String("datei")) return QFile::exists(rest1);
  if (befehl == QLatin1String("zeilen")) {
    QWidget* editor = sichtbaresFenster(QStringLiteral("FormWortliste"));
    auto* liste = editor != nullptr ? editor->findChild<QAbstractItemView*>(QStringLiteral("Liste"))
                                    : nullptr;
    if (liste == nullptr || liste->model() == nullptr || !liste->isVisible()) return false;
    const QAbstractItemModel* m = liste->model();
    QString text;
    for (int zeile = 0; zeile < m->rowCount(); ++zeile) {
      const bool an = m->index(zeile, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
      text += QStringLiteral("%1|%2|%3\n")
                  .arg(an ? 1 : 0)
                  .arg(m->index(zeile, 1).data().toString(), m->index(zeile, 2).data().toString());
    }
    QFile f(rest1 + QStringLiteral(".tmp"));
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0) abbrechen(rest1);
    f.close();
    QFile::remove(rest1);
    f.rename(rest1);  // appears whole for whoever waits for it
    return true;
  }
  if (befehl == QLatin1String("sprechform")) {
    QWidget* dialog = sichtbaresFenster(QStringLiteral("FormWortBearbeiten"));
    if (dialog == nullptr) return false;
    auto* feld = dialog->findChild<QLineEdit*>(QStringLiteral("tSprachform"));
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("cOK"));
    if (feld == nullptr || ok == nullptr) return false;
    feld->setText(rest1);
    QTimer::singleShot(0, ok, &QPushButton::click);
    return true;
  }
  abbrechen(QStringLiteral("unbekannter Schritt: ") + schritt);
  return false;
}

}  // namespace vk
