// The boxes with a real widget application, the dialogs' start folder and
// Qt's own buttons in the language file's language.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "common/meldung.h"
#include "common/oberflaeche.h"
#include "common/qtext.h"
#include "common/texte.h"
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
  // button pressed, its text with "\r" as a line break.
  void questionBoxRetryCancelAndDefault() {
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
    QString text;
    for (const auto& f : faelle) {
      QMessageBox::Icon symbol = B::NoIcon;
      bool standard = false;
      wennBoxDa([&](QMessageBox* box) {
        symbol = box->icon();
        standard = f.standard == B::NoButton || box->defaultButton() == box->button(f.standard);
        text = box->text();
        if (f.gedrueckt == B::Ok) box->accept();
        if (f.gedrueckt != B::Ok) box->button(f.gedrueckt)->click();
      });
      QCOMPARE(f.zeigen(), f.antwort);
      QCOMPARE(symbol, f.symbol);
      QVERIFY(standard);
    }
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

  void qtTextsFollowTheLanguageFile() {
    auto& app = *qobject_cast<QApplication*>(QCoreApplication::instance());
    vk::OberflaecheEinrichten(app, "vkverwalter");
    QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Retry | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("Abbrechen"));
    QCOMPARE(box.button(QMessageBox::Retry)->text(), QString("Wiederholen"));

    vk::TextLaden("English");
    vk::OberflaecheEinrichten(app, "vkverwalter");
    QMessageBox englisch(QMessageBox::Question, "", "", QMessageBox::Cancel);
    QCOMPARE(englisch.button(QMessageBox::Cancel)->text(), QString("Cancel"));
    vk::oberflaecheZuruecksetzen();
  }

 private:
  QTemporaryDir baum_;
};

QTEST_MAIN(MeldungGui)
#include "meldung_gui_test.moc"
