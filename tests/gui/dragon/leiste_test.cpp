// The recognizer stand-in's bar as a user meets it: adding a word is
// offered only while a speaker is open, and the word dialog shows the word
// asked about with the speaker it belongs to.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "dragonsim/bar.h"
#include "dragonsim/engine.h"
#include "dragonsim/server.h"
#include "dragonsim/world.h"
#include "tests/support/baum.h"

class LeisteTest : public QObject {
  Q_OBJECT
 private slots:
  void addWordOnlyWithASpeakerAndTheWordDialogShowsTheWord() {
    vktest::Baum baum;
    baum.umgebungUmleiten();
    std::string meldung;
    QVERIFY(natspeak::setup(baum.sys("R") + "\\", {{"Anna", "Allgemein", "", "", ""}},
                            "\\opt\\natspeak\\", meldung));
    natspeak::Engine engine({});
    natspeak::Server server(engine);
    natspeak::Windows fenster(engine, server, false);
    fenster.show();
    QPushButton* hinzufuegen = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* k = w->findChild<QPushButton*>("cWort")) hinzufuegen = k;
    }
    QVERIFY(hinzufuegen && !hinzufuegen->isEnabled());
    int nummer = 0;
    std::string fehler;
    QVERIFY(engine.open("Anna", "Allgemein", 0, true, nummer, fehler));
    QVERIFY(hinzufuegen->isEnabled());

    engine.showWordDialog("Femur");
    QMessageBox* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == "WortEigenschaften") box = qobject_cast<QMessageBox*>(w);
    }
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QString("Eigenschaften"));
    QVERIFY2(box->text().startsWith("Wort: Femur\nBenutzer: Anna\nThema: Allgemein\n"),
             qPrintable(box->text()));
    box->close();
    fenster.closeAll();
  }
};

QTEST_MAIN(LeisteTest)
#include "leiste_test.moc"
