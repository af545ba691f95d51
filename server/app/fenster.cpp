// The text window, the base-directory dialog and the windowed run: see
// fenster.h.
#include "server/app/fenster.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <optional>
#include <thread>

#include "oberflaeche/grundlage.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "server/optionen.h"
#include "server/protokoll.h"

namespace zentrale {

namespace {

struct FensterZustand {
  std::optional<std::string> naechsteDatei;
};

FensterZustand& zustand() {
  static FensterZustand z;
  return z;
}

QString anzeige(std::string_view cp1252) {
  std::string utf8 = plat::cp1252ToUtf8(cp1252);
  std::erase(utf8, '\r');
  return QString::fromStdString(utf8);
}

// The system's fixed-pitch font; where the system's choice turns out not to
// be fixed-pitch (some fontconfig set-ups), a known fixed-pitch family.
QFont festeSchrift() {
  const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (QFontInfo(system).fixedPitch()) return system;
  for (const char* familie : {"DejaVu Sans Mono", "Liberation Mono", "Courier New"}) {
    QFont f(QString::fromLatin1(familie), system.pointSize());
    f.setStyleHint(QFont::TypeWriter);
    if (QFontInfo(f).fixedPitch()) return f;
  }
  return system;
}

// Runs `tun` on the window in its own thread: at once when called there,
// else queued (the core logs from its worker thread).
void imFenster(const QPointer<TextFenster>& ziel, std::function<void(TextFenster&)> tun) {
  if (!ziel) return;
  if (QThread::currentThread() == ziel->thread()) {
    tun(*ziel);
    return;
  }
  QMetaObject::invokeMethod(
      ziel.data(),
      [ziel, tun = std::move(tun)] {
        if (ziel) tun(*ziel);
      },
      Qt::QueuedConnection);
}

}  // namespace

QIcon ServerIcon() {
  return vk::ProgrammSymbol("vkzentrale");
}

TextFenster::TextFenster() {
  setObjectName("TextFenster");
  setWindowTitle(kTitel);
  setReadOnly(true);
  setFont(festeSchrift());
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setMaximumBlockCount(kZeilenMax);
  // In the middle of the screen: its place is known before the window
  // manager shows it, so the question over it is centred on it.
  resize(760, 420);
  if (const QScreen* schirm = QGuiApplication::primaryScreen())
    move(schirm->availableGeometry().center() - rect().center());
}

void TextFenster::anhaengen(std::string_view text) {
  moveCursor(QTextCursor::End);
  insertPlainText(anzeige(text));
  moveCursor(QTextCursor::End);
}

void TextFenster::iconsSetzen() {
  setWindowIcon(ServerIcon());
}

void TextFenster::angehalten() {
  setWindowTitle(QString::fromLatin1(kTitel) + QStringLiteral(" - angehalten"));
}

void TextFenster::closeEvent(QCloseEvent* ereignis) {
  if (beimSchliessen && !beimSchliessen()) {
    ereignis->ignore();
    return;
  }
  ereignis->accept();
}

std::unique_ptr<QFileDialog> BasisDateiDialog(QWidget* eltern, std::string_view start) {
  auto dlg = std::make_unique<QFileDialog>(eltern, anzeige(kFrageDateiTitel));
  dlg->setObjectName("dlgBasis");
  dlg->setFileMode(QFileDialog::ExistingFile);
  dlg->setNameFilter(anzeige(kFrageFilter) + " (*.dat)");
  if (!start.empty() && plat::directoryExists(start))
    dlg->setDirectory(QString::fromStdString(plat::nativePath(start)));
  dlg->selectFile("Benutzer.dat");
  return dlg;
}

void setNextFileName(std::string_view pfad) {
  zustand().naechsteDatei = std::string(pfad);
}

void fensterZuruecksetzen() {
  zustand() = FensterZustand{};
}

DraFrageDialog::DraFrageDialog(QWidget* eltern) : QDialog(eltern) {
  setObjectName("DRAFRAGE");
  setWindowTitle(anzeige(kFrageTitel));
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(anzeige(kFrageText), this);
  text->setObjectName("lText");
  text->setWordWrap(true);
  layout->addWidget(text);
  auto* gruppe = new QGroupBox(anzeige(kFrageGruppe), this);
  gruppe->setObjectName("fBasis");
  auto* zeile = new QHBoxLayout(gruppe);
  feld = new QLineEdit(gruppe);
  feld->setObjectName("tBasis");
  suchen = new QPushButton("???", gruppe);
  suchen->setObjectName("cSuchen");
  zeile->addWidget(feld);
  zeile->addWidget(suchen);
  layout->addWidget(gruppe);
  hinweis = new QLabel(this);
  hinweis->setObjectName("lHinweis");
  hinweis->setWordWrap(true);
  hinweis->hide();
  layout->addWidget(hinweis);
  // OK at its own size at the right, as in every dialog.
  ok = new QPushButton("OK", this);
  ok->setObjectName("cOK");
  ok->setDefault(true);
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addStretch(1);
  knoepfe->addWidget(ok);
  layout->addLayout(knoepfe);
  connect(suchen, &QPushButton::clicked, this, &DraFrageDialog::dateiSuchen);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void DraFrageDialog::dateiSuchen() {
  QString datei;
  if (std::optional<std::string>& vorgabe = zustand().naechsteDatei) {
    datei = QString::fromStdString(*vorgabe);
    vorgabe.reset();
  } else {
    const std::unique_ptr<QFileDialog> dlg = BasisDateiDialog(this, startVerzeichnis());
    if (dlg->exec() != QDialog::Accepted || dlg->selectedFiles().isEmpty()) return;
    datei = dlg->selectedFiles().front();
  }
  if (datei.isEmpty()) return;
  const std::string gewaehlt = BasisAusAngabe(plat::utf8ToCp1252(datei.toStdString()));
  if (!gewaehlt.empty()) feld->setText(QString::fromStdString(plat::nativePath(gewaehlt)));
}

void DraFrageDialog::accept() {
  const QString angabe = feld->text().trimmed();
  const std::string gewaehlt = verzeichnis();
  if (angabe.isEmpty() || (!gewaehlt.empty() && plat::directoryExists(gewaehlt))) {
    QDialog::accept();
    return;
  }
  hinweis->setText(QStringLiteral("Nicht gefunden: %1\nBitte ein vorhandenes Verzeichnis "
                                  "eingeben oder mit \"???\" die Benutzer.dat w\u00e4hlen.")
                       .arg(angabe));
  hinweis->show();
  // The dialog grows by the hint; its texts and field keep their room.
  adjustSize();
  feld->setFocus();
  feld->selectAll();
}

std::string DraFrageDialog::startVerzeichnis() const {
  const std::string gewaehlt = verzeichnis();
  if (!gewaehlt.empty() && plat::directoryExists(gewaehlt)) return gewaehlt;
  return optionen().basisVerzeichnis;
}

std::string DraFrageDialog::verzeichnis() const {
  const std::string angabe = plat::utf8ToCp1252(feld->text().trimmed().toStdString());
  return angabe.empty() ? std::string() : BasisAusAngabe(angabe);
}

FrageErgebnis DraFrage(QWidget* eltern, std::string& verzeichnis) {
  DraFrageDialog dlg(eltern);
  dlg.adjustSize();
  if (eltern != nullptr) dlg.move(eltern->window()->frameGeometry().center() - dlg.rect().center());
  if (dlg.exec() != QDialog::Accepted) return FrageErgebnis::geschlossen;
  verzeichnis = dlg.verzeichnis();
  return verzeichnis.empty() ? FrageErgebnis::ohneWahl : FrageErgebnis::gewaehlt;
}

int FensterLauf(TextFenster& fenster, const std::function<void()>& bereit) {
  Protokoll& p = protokoll();
  // Whatever way this returns, the core no longer writes into this window.
  struct Zurueck {
    Protokoll& p;
    TextFenster& fenster;
    std::function<void(std::string_view)> sink = p.fenster;
    std::function<void()> banner = p.beimStartBanner;
    ~Zurueck() {
      p.fenster = std::move(sink);
      p.beimStartBanner = std::move(banner);
      fenster.beimSchliessen = nullptr;
    }
  } zurueck{p, fenster};

  QPointer<TextFenster> ziel(&fenster);
  p.fenster = [ziel](std::string_view text) {
    imFenster(ziel, [kopie = std::string(text)](TextFenster& f) { f.anhaengen(kopie); });
  };
  p.beimStartBanner = [ziel] { imFenster(ziel, [](TextFenster& f) { f.iconsSetzen(); }); };
  fenster.show();

  // -1 while the core works; then its exit code. Closing the window before
  // that is a stop request, after a fatal stop it ends the program.
  std::atomic<int> endCode{-1};
  // A question closed without an answer is a fatal stop like any other:
  // its line stays in the window until the user closes it.
  try {
    BasisKlaeren([&fenster](std::string& verzeichnis) { return DraFrage(&fenster, verzeichnis); });
  } catch (const Abbruch& a) {
    endCode.store(a.code);
    fenster.angehalten();
  }
  if (bereit) bereit();

  fenster.beimSchliessen = [&endCode] {
    const int code = endCode.load();
    if (code >= 0) {
      QApplication::exit(code);
      return true;
    }
    stopAnforderung().store(static_cast<int>(StopArt::stop));
    return false;
  };
  // After a fatal stop no loop is left to see a stop request (a signal):
  // it ends the program with the stop code, as closing the window does.
  QTimer wache;
  QObject::connect(&wache, &QTimer::timeout, [&endCode] {
    const int code = endCode.load();
    if (code > 0 && stopAnforderung().load() != 0) QApplication::exit(code);
  });
  wache.start(100);
  std::thread arbeit;
  if (endCode.load() < 0) {
    arbeit = std::thread([&endCode, ziel] {
      int code = 0;
      try {
        ServerArbeit();
      } catch (const Abbruch& a) {
        code = a.code;
      }
      endCode.store(code);
      if (code == 0) {
        QMetaObject::invokeMethod(
            qApp, [] { QApplication::exit(0); }, Qt::QueuedConnection);
      } else {
        imFenster(ziel, [](TextFenster& f) { f.angehalten(); });
      }
    });
  }
  const int code = QApplication::exec();
  if (arbeit.joinable()) arbeit.join();
  return code;
}

}  // namespace zentrale
