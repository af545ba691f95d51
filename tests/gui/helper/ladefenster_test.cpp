// The helper's loading window as the user sees it: a tool window without
// minimise and maximise buttons, centred, of one size that holds every
// text it shows, so it never jumps while the recognizer starts.
#include <QScreen>
#include <QtTest>

#include "helper/fenster.h"
#include "helper/helfer.h"

using namespace helfer;

class LadefensterTest : public QObject {
  Q_OBJECT
 private slots:
  void fixedToolWindowWideEnoughForEveryText() {
    int starts = 0;
    Dienste().dragonStarten = [&starts] {
      ++starts;
      return true;
    };
    FormDragonStart f(nullptr);
    f.show();
    QCOMPARE(starts, 1);
    QCOMPARE(f.windowTitle(), QString("Vokarium-Meldung"));
    const Qt::WindowFlags flags = f.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(f.minimumSize(), f.maximumSize());
    const QPoint mitte = f.screen()->availableGeometry().center();
    QVERIFY((f.frameGeometry().center() - mitte).manhattanLength() < 20);

    const QSize groesse = f.size();
    for (const char* text : {"Vokarium wird geladen", "Dragon wird initialisiert",
                             "Profil wird gepr\xFC"
                             "ft",
                             "Profil wird aktualisiert"}) {
      f.SetLadeText(text);
      QCoreApplication::processEvents();
      QCOMPARE(f.size(), groesse);
      QVERIFY2(f.lLadeText->fontMetrics().horizontalAdvance(f.lLadeText->text()) <=
                   f.lLadeText->contentsRect().width(),
               text);
    }
    QVERIFY(f.fontMetrics().horizontalAdvance(f.windowTitle()) < f.width());
  }
};

QTEST_MAIN(LadefensterTest)
#include "ladefenster_test.moc"
