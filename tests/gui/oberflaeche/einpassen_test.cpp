// Windows fitted onto a small screen (twice the scale), and every window of
// a program once its start-up has run.
#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QtTest>

#include "oberflaeche/grundlage.h"

namespace {

// The frame's outer rectangle: as the window system reports it once the
// window is shown, else with the frame the helper assumes.
QRect mitRahmen(const QWidget& w) {
  if (w.frameGeometry() != w.geometry()) return w.frameGeometry();
  return QRect(w.pos(), w.size() + QSize(12, 38));
}

}  // namespace

class EinpassenTest : public QObject {
  Q_OBJECT

 private slots:
  void windowsAreFittedOntoTheScreen() {
    // The test means something only at the scale it is run with.
    QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(400, 400));
    const struct {
      QRect vorher;
      QSize mindestens;
      QRect nachher;
    } faelle[] = {
        {{0, 0, 2120, 920}, {}, {0, 0, 388, 362}},           // larger than the screen
        {{-500, -300, 200, 100}, {}, {0, 0, 200, 100}},      // off to the top left
        {{390, 290, 200, 100}, {}, {188, 262, 200, 100}},    // off to the bottom right
        {{50, 60, 200, 100}, {}, {50, 60, 200, 100}},        // on the screen: stays
        {{10, 10, 900, 700}, {800, 500}, {0, 0, 388, 362}},  // least size larger
    };
    for (const auto& f : faelle) {
      QWidget w;
      if (f.mindestens.isValid()) w.setMinimumSize(f.mindestens);
      w.resize(f.vorher.size());
      w.move(f.vorher.topLeft());
      vk::FensterEinpassen(w);
      QCOMPARE(QRect(w.pos(), w.size()), f.nachher);
      QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(mitRahmen(w)));
    }
  }

  void everyWindowOfTheProgramIsFittedWhenShown() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QWidget vorDemStart;
    vorDemStart.resize(2120, 920);
    vorDemStart.show();
    QCOMPARE(vorDemStart.width(), 2120);  // nothing fits it before the start-up

    vk::OberflaecheMitSprache(*app, "vokarium", "de");
    const QRect frei = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget haupt;
    haupt.resize(2120, 920);
    haupt.show();
    QVERIFY(frei.contains(mitRahmen(haupt)));
    QDialog dialog(&haupt);
    dialog.resize(1500, 1200);
    dialog.show();
    QVERIFY(frei.contains(mitRahmen(dialog)));
    // Shown again after it was made large once more: fitted again.
    dialog.hide();
    dialog.resize(1500, 1200);
    dialog.show();
    QVERIFY(frei.contains(mitRahmen(dialog)));
    vk::oberflaecheZuruecksetzen();
  }
};

QTEST_MAIN(EinpassenTest)
#include "einpassen_test.moc"
