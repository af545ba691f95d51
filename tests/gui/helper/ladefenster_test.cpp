// The helper's loading window as the user sees it: a tool window without
// minimise and maximise buttons, centred, of one size that holds every
// text it shows, so it never jumps while the recognizer starts.
#include <QScreen>
#include <QtTest>

#include "common/texte.h"
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

  // The user can always give up the wait: the button and the close box end
  // the helper; a window closed because the profile is loaded does not.
  void closingEndsTheHelperUnlessTheProfileIsLoaded_data() {
    QTest::addColumn<int>("wie");
    QTest::newRow("Abbrechen") << 0;
    QTest::newRow("close box") << 1;
    QTest::newRow("profile loaded") << 2;
  }
  void closingEndsTheHelperUnlessTheProfileIsLoaded() {
    QFETCH(int, wie);
    HelferZuruecksetzen();
    vk::TextLaden("Deutsch");
    Dienste().dragonStarten = [] { return true; };
    FormVokariumClient haupt;
    Dienste().ladefensterOeffnen();
    QPointer<FormDragonStart> f = haupt.findChild<FormDragonStart*>();
    QVERIFY(f);
    QVERIFY(f->isVisible());
    QCOMPARE(f->cmdAbbrechen->text(), QString("Abbrechen"));
    if (wie == 0) f->cmdAbbrechen->click();
    if (wie == 1) f->close();
    if (wie == 2) Helfer().profilGeladen = true;
    QTRY_VERIFY(f.isNull());
    QCOMPARE(Helfer().beenden, wie != 2);
    if (wie != 2) QCOMPARE(HauptTick(), Folge::schliessen);
  }
};

QTEST_MAIN(LadefensterTest)
#include "ladefenster_test.moc"
