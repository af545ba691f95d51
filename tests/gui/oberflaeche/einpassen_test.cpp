// Windows fitted onto a small screen (twice the scale): sizes larger than
// the screen, places off it, least sizes larger than it, and every window
// of a program once its start-up has run.
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
  void windowsAreFittedOntoTheScreen_data() {
    // The test means something only at the scale it is run with.
    QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(400, 400));
    QTest::addColumn<QRect>("vorher");
    QTest::addColumn<QSize>("mindestens");
    QTest::addColumn<QRect>("nachher");
    QTest::newRow("larger than the screen")
        << QRect(0, 0, 2120, 920) << QSize() << QRect(0, 0, 388, 362);
    QTest::newRow("off to the top left")
        << QRect(-500, -300, 200, 100) << QSize() << QRect(0, 0, 200, 100);
    QTest::newRow("off to the bottom right")
        << QRect(390, 290, 200, 100) << QSize() << QRect(188, 262, 200, 100);
    QTest::newRow("on the screen stays")
        << QRect(50, 60, 200, 100) << QSize() << QRect(50, 60, 200, 100);
    QTest::newRow("least size larger")
        << QRect(10, 10, 900, 700) << QSize(800, 500) << QRect(0, 0, 388, 362);
  }

  void windowsAreFittedOntoTheScreen() {
    QFETCH(QRect, vorher);
    QFETCH(QSize, mindestens);
    QFETCH(QRect, nachher);
    QWidget w;
    if (mindestens.isValid()) w.setMinimumSize(mindestens);
    w.resize(vorher.size());
    w.move(vorher.topLeft());
    vk::FensterEinpassen(w);
    QCOMPARE(QRect(w.pos(), w.size()), nachher);
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(mitRahmen(w)));
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
