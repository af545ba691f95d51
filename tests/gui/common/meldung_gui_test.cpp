// The boxes and the wait form with a real widget application: the question
// box answers Retry only for Retry and is Cancel by default, each kind of
// box has its icon and sits centred on the program's window, the responder
// keeps every box from showing, the wait form appears with text 114 and
// its cursor and goes again; dialogs open in their start folder or at
// home; Qt's own buttons speak the language file's language and
// every window carries the program's icon.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "common/form_warten.h"
#include "common/meldung.h"
#include "common/oberflaeche.h"
#include "common/qtext.h"
#include "common/texte.h"
#include "common/utilities.h"
#include "platform/paths.h"

namespace {

// Acts on the box once it is shown (polled, never blocks the test).
void wennBoxDa(const std::function<void(QMessageBox*)>& tun) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, tun] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      tun(box);
    }
  });
  timer->start(10);
}

}  // namespace

class MeldungGui : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QVERIFY(baum_.isValid());
    const QByteArray wurzel = baum_.path().toLocal8Bit();
    qputenv("XDG_RUNTIME_DIR", wurzel);
    qputenv("VOKARIUM_TRACE_SOCKET", wurzel + "/trace");
    qputenv("VOKARIUM_REGISTRY_DIR", wurzel);
  }

  void init() {
    vk::meldungZuruecksetzen();
    vk::texteZuruecksetzen();
    vk::SprachVerzeichnisSetzen(plat::systemPath(VK_SOURCE_DIR "/lang/"));
    vk::TextLaden("Deutsch");
  }

  // Each kind of box: its icon, its preselected button, the answer of the
  // button pressed, its text with "\r" as a line break, centred on the
  // program's window.
  void questionBoxRetryCancelAndDefault() {
    QWidget fenster;
    fenster.setGeometry(200, 150, 700, 500);
    fenster.show();
    using B = QMessageBox;
    const struct {
      std::function<bool()> zeigen;
      B::Icon symbol;
      B::StandardButton standard, gedrueckt;
      bool antwort;
    } faelle[] = {
        {[] { return vk::Nachfrage("Nochmal?"); }, B::Question, B::Cancel, B::Retry, true},
        {[] { return vk::Nachfrage("Nochmal?"); }, B::Question, B::Cancel, B::Cancel, false},
        {[] { return vk::Frage("Schliessen?"); }, B::Question, B::No, B::Yes, true},
        {[] { return vk::Fehlermeldung(5, "Zugriff verweigert", "x"), false; }, B::Critical,
         B::NoButton, B::Ok, false},
        {[] { return vk::Meldung("Zeile 1\rZeile 2"), false; }, B::NoIcon, B::NoButton, B::Ok,
         false},
    };
    QString titel, text;
    for (const auto& f : faelle) {
      QMessageBox::Icon symbol = B::NoIcon;
      bool standard = false;
      QPoint mitte;
      wennBoxDa([&](QMessageBox* box) {
        symbol = box->icon();
        standard = f.standard == B::NoButton || box->defaultButton() == box->button(f.standard);
        text = box->text();
        if (titel.isEmpty()) titel = box->windowTitle();
        mitte = box->frameGeometry().center();
        if (f.gedrueckt == B::Ok) box->accept();
        if (f.gedrueckt != B::Ok) box->button(f.gedrueckt)->click();
      });
      QCOMPARE(f.zeigen(), f.antwort);
      QCOMPARE(symbol, f.symbol);
      QVERIFY(standard);
      QVERIFY((mitte - fenster.frameGeometry().center()).manhattanLength() < 20);
    }
    QCOMPARE(titel, vk::qtext(vk::Titel("Vokarium", vk::Text(106))));
    QCOMPARE(text, QStringLiteral("Zeile 1\nZeile 2"));
    QVERIFY(vk::recordedMessages().empty());
  }

  // A dialog without a usable start folder opens in the home folder, never
  // in the working folder the program was started in.
  void dialogsOpenInTheStartFolderElseAtHome() {
    const QByteArray heimAlt = qgetenv("HOME");
    qputenv("HOME", baum_.path().toLocal8Bit());
    vk::responderEinschalten();
    const std::string heim = plat::systemPath(baum_.path().toStdString()) + "\\";
    // Start folder (none, missing, a file, a folder) and where it opens.
    for (const auto& [start, erwartet] : {std::pair<std::string, std::string>{"", heim},
                                          {"\\nirgends\\da\\", heim},
                                          {"\\etc\\hostname", heim},
                                          {"\\tmp\\", "\\tmp\\"}}) {
      vk::clearRecordedMessages();
      vk::OrdnerWaehlen(nullptr, "", start);
      vk::DateiOeffnen(nullptr, "", start, vk::Text(2322));
      QCOMPARE(vk::recordedMessages().size(), std::size_t{2});
      for (const vk::AufgezeichneteMeldung& m : vk::recordedMessages())
        QCOMPARE(m.text, erwartet);
    }
    qputenv("HOME", heimAlt);
  }

  void waitFormShownAndRemoved() {
    QWidget form;
    form.resize(300, 200);
    form.show();
    vk::WartenBitte(&form, true);
    vk::WartenBitte(&form, true);  // a second start shows no second form
    const auto formen = form.findChildren<vk::FormWarten*>();
    QCOMPARE(formen.size(), qsizetype{1});
    QVERIFY(formen[0]->isVisible());
    QCOMPARE(formen[0]->findChild<QLabel*>("lWarten")->text(), vk::qtext(vk::Text(114)));
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QCOMPARE(form.cursor().shape(), Qt::WaitCursor);
    QTest::qWait(250);  // the animation goes on

    vk::WartenBitte(&form, false);
    QTRY_VERIFY(form.findChildren<vk::FormWarten*>().isEmpty());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
  }

  void qtTextsFollowTheLanguageFileAndWindowsCarryTheIcon() {
    auto& app = *qobject_cast<QApplication*>(QCoreApplication::instance());
    vk::OberflaecheEinrichten(app, "vkverwalter");
    QCOMPARE(vk::oberflaecheZustand().sprache, std::string("de"));
    QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Retry | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("Abbrechen"));
    QCOMPARE(box.button(QMessageBox::Retry)->text(), QString("Wiederholen"));
    QWidget fenster;
    QVERIFY(fenster.windowIcon().availableSizes().contains(QSize(256, 256)));
    QVERIFY(fenster.windowIcon().availableSizes().contains(QSize(16, 16)));
    for (const char* name : {"vokarium", "vkpflege", "vkverwalter", "vkzentrale", "vkhelfer"})
      QVERIFY2(!vk::ProgrammSymbol(name).isNull(), name);
    QVERIFY(vk::ProgrammSymbol("natspeak").isNull());

    vk::TextLaden("English");
    vk::OberflaecheEinrichten(app, "vkverwalter");
    QMessageBox englisch(QMessageBox::Question, "", "", QMessageBox::Cancel);
    QCOMPARE(englisch.button(QMessageBox::Cancel)->text(), QString("Cancel"));
    vk::oberflaecheZuruecksetzen();
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Cancel"));
  }

 private:
  QTemporaryDir baum_;
};

QTEST_MAIN(MeldungGui)
#include "meldung_gui_test.moc"
