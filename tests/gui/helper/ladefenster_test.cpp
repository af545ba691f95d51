// The helper's loading window as the user sees it: a tool window without
// minimise and maximise buttons, centred, of one size that holds every
// text it shows, so it never jumps while the recognizer starts.
#include <QMenu>
#include <QScreen>
#include <QtTest>

#include "common/poolfiles.h"
#include "common/texte.h"
#include "helper/fenster.h"
#include "helper/helfer.h"
#include "helper/helfer_texte.h"
#include "platform/encoding.h"

using namespace helfer;

class LadefensterTest : public QObject {
  Q_OBJECT
 private slots:
  void fixedToolWindowWideEnoughForEveryText_data() {
    QTest::addColumn<QString>("sprache");
    QTest::newRow("Deutsch") << "Deutsch";
    QTest::newRow("English") << "English";
  }
  void fixedToolWindowWideEnoughForEveryText() {
    QFETCH(QString, sprache);
    HelferZuruecksetzen();
    vk::TextLaden(sprache.toStdString());
    int starts = 0;
    Dienste().dragonStarten = [&starts] {
      ++starts;
      return true;
    };
    FormDragonStart f(nullptr);
    f.show();
    QCOMPARE(starts, 1);
    const Qt::WindowFlags flags = f.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(f.minimumSize(), f.maximumSize());
    const QPoint mitte = f.screen()->availableGeometry().center();
    QVERIFY((f.frameGeometry().center() - mitte).manhattanLength() < 20);

    const QSize groesse = f.size();
    for (const int text : {txt::kLaden, txt::kDragonInitialisieren, txt::kProfilLaden,
                           txt::kProfilPruefen, txt::kProfilAktualisieren}) {
      f.SetLadeText(vk::Text(text));
      QCoreApplication::processEvents();
      QCOMPARE(f.size(), groesse);
      QVERIFY2(f.lLadeText->fontMetrics().horizontalAdvance(f.lLadeText->text()) <=
                   f.lLadeText->contentsRect().width(),
               qPrintable(f.lLadeText->text()));
    }
    QVERIFY(f.fontMetrics().horizontalAdvance(f.windowTitle()) < f.width());
  }

  // The tray icon names whose helper it is, its menu says so too, and its
  // "Beenden" ends the helper (not the recognizer). A long name is cut to
  // what the notification area shows.
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
    HelferZuruecksetzen();
    vk::TextLaden("Deutsch");
    vk::poolZustand().Benutzer = plat::utf8ToCp1252(benutzer.toStdString());
    vk::poolZustand().Pool = "Chirurgie";
    FormVokariumClient haupt;
    Dienste().trayAnzeigen();
    QCOMPARE(TrayTipp(), tipp);
    auto* menue = haupt.findChild<QMenu*>("TrayMenue");
    QVERIFY(menue);
    const QList<QAction*> eintraege = menue->actions();
    QCOMPARE(eintraege.size(), 3);
    QCOMPARE(eintraege[0]->text(), tipp);
    QVERIFY(!eintraege[0]->isEnabled());
    QCOMPARE(eintraege[2]->text(), QString("Beenden"));
    QCOMPARE(eintraege[2]->objectName(), QString("mnuBeenden"));
    QVERIFY(Helfer().phase != Phase::abgebrochen);
    eintraege[2]->trigger();
    QCOMPARE(Helfer().phase, Phase::abgebrochen);
    QCOMPARE(HauptTick(), Folge::schliessen);
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
    // The loading window opens while the helper waits for the recognizer.
    Helfer().phase = Phase::warteAufLeiste;
    FormVokariumClient haupt;
    Dienste().ladefensterOeffnen();
    QPointer<FormDragonStart> f = haupt.findChild<FormDragonStart*>();
    QVERIFY(f);
    QVERIFY(f->isVisible());
    QCOMPARE(f->cmdAbbrechen->text(), QString("Abbrechen"));
    if (wie == 0) f->cmdAbbrechen->click();
    if (wie == 1) f->close();
    if (wie == 2) Helfer().phase = Phase::diktat;
    QTRY_VERIFY(f.isNull());
    QCOMPARE(Helfer().phase == Phase::abgebrochen, wie != 2);
    if (wie != 2) QCOMPARE(HauptTick(), Folge::schliessen);
  }
};

QTEST_MAIN(LadefensterTest)
#include "ladefenster_test.moc"
