// The helper's tray icon and its loading window: who may end the helper.
#include <QMenu>
#include <QtTest>

#include "common/poolfiles.h"
#include "common/texte.h"
#include "helper/fenster.h"
#include "helper/helfer.h"
#include "platform/encoding.h"

using namespace helfer;

class LadefensterTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    HelferZuruecksetzen();
    vk::TextLaden("Deutsch");
  }
  // The tray tip and menu name the user (cut to what the notification area
  // shows) and pool; "Beenden" ends the helper, not the recognizer.
  void trayNamesUserAndPoolAndEndsTheHelper_data() {
    QTest::addColumn<QString>("benutzer");
    QTest::addColumn<QString>("tipp");
    QTest::newRow("umlaut") << "M\u00fcller"
                            << "Vokarium-Helfer: M\u00fcller, Pool Chirurgie";
    QTest::newRow("long name") << QString(60, QChar('x'))
                               << "Vokarium-Helfer: " + QString(46, QChar('x'));
  }
  void trayNamesUserAndPoolAndEndsTheHelper() {
    QFETCH(QString, benutzer);
    QFETCH(QString, tipp);
    vk::poolZustand().Benutzer = plat::utf8ToCp1252(benutzer.toStdString());
    vk::poolZustand().Pool = "Chirurgie";
    FormVokariumClient haupt;
    Dienste().trayAnzeigen();
    QCOMPARE(TrayTipp(), tipp);
    auto* menue = haupt.findChild<QMenu*>("TrayMenue");
    QVERIFY(menue);
    const QList<QAction*> eintraege = menue->actions();
    QCOMPARE(eintraege[0]->text(), tipp);
    QVERIFY(Helfer().phase != Phase::abgebrochen);
    eintraege[2]->trigger();
    QCOMPARE(Helfer().phase, Phase::abgebrochen);
    QCOMPARE(HauptTick(), Folge::schliessen);
  }

  // The user can always give up the wait: the button and the close box end
  // the helper; a window closed because the profile is loaded does not.
  void closingEndsTheHelperUnlessTheProfileIsLoaded() {
    for (const int wie : {0, 1, 2}) {  // Abbrechen, close box, profile loaded
      init();
      Dienste().dragonStarten = [] { return true; };
      Helfer().phase = Phase::warteAufLeiste;
      FormVokariumClient haupt;
      Dienste().ladefensterOeffnen();
      QPointer<FormDragonStart> f = haupt.findChild<FormDragonStart*>();
      QVERIFY(f);
      if (wie == 0) f->cmdAbbrechen->click();
      if (wie == 1) f->close();
      if (wie == 2) Helfer().phase = Phase::diktat;
      QTRY_VERIFY(f.isNull());
      QCOMPARE(Helfer().phase == Phase::abgebrochen, wie != 2);
      if (wie != 2) QCOMPARE(HauptTick(), Folge::schliessen);
    }
  }
};

QTEST_MAIN(LadefensterTest)
#include "ladefenster_test.moc"
