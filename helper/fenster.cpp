// vkHelfer's windows (see fenster.h).
#include "helper/fenster.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QIcon>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "common/poolfiles.h"
#include "common/texte_namen.h"
#include "common/utilities.h"
#include "helper/anbindung.h"
#include "helper/helfer.h"
#include "helper/helfer_texte.h"
#include "oberflaeche/grundlage.h"
#include "platform/encoding.h"
#include "platform/paths.h"

namespace helfer {

namespace {

QString Anzeige(const std::string& cp1252) {
  return QString::fromStdString(plat::cp1252ToUtf8(cp1252));
}

// The program's icon from the suite's set.
QIcon ProgrammIcon() {
  return vk::ProgrammSymbol("vkhelfer");
}

// Every text the loading window shows; its width is fixed for the longest.
constexpr int kLadeTexte[] = {txt::kLaden, txt::kDragonInitialisieren, txt::kProfilLaden,
                              txt::kProfilPruefen, txt::kProfilAktualisieren};

}  // namespace

// A small tool window without minimise and maximise buttons, of one fixed
// size and centred on the screen: the main window it belongs to is hidden.
FormDragonStart::FormDragonStart(QWidget* besitzer)
    : QWidget(besitzer,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lLadeText(new QLabel(Anzeige(Tx(txt::kLaden)), this)),
      cmdAbbrechen(new QPushButton(Anzeige(Tx(vk::txt::kAbbrechen)), this)),
      Image1(new QLabel(this)),
      Timer1(new QTimer(this)) {
  setObjectName(QStringLiteral("FormDragonStart"));
  setWindowTitle(Anzeige(Tx(txt::kLadefensterTitel)));
  lLadeText->setObjectName(QStringLiteral("lLadeText"));
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setPixmap(ProgrammIcon().pixmap(32, 32));
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(25);
  lLadeText->setAlignment(Qt::AlignCenter);
  cmdAbbrechen->setObjectName(QStringLiteral("cmdAbbrechen"));
  // Shows that the helper is at work while the recognizer takes its time.
  auto* fortschritt = new QProgressBar(this);
  fortschritt->setObjectName(QStringLiteral("Fortschritt"));
  fortschritt->setRange(0, 0);
  fortschritt->setTextVisible(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 12, 16, 12);
  layout->addWidget(Image1, 0, Qt::AlignHCenter);
  layout->addWidget(lLadeText);
  layout->addWidget(fortschritt);
  layout->addWidget(cmdAbbrechen, 0, Qt::AlignHCenter);
  connect(cmdAbbrechen, &QPushButton::clicked, this, &QWidget::close);
  const QFontMetrics masse(lLadeText->font());
  int breite = masse.horizontalAdvance(windowTitle()) + 80;  // the title with its close box
  for (const int text : kLadeTexte)
    breite = std::max(breite, masse.horizontalAdvance(Anzeige(Tx(text))) + 32);
  setFixedSize(std::max(breite, 260), sizeHint().height());
  if (const QScreen* schirm = QGuiApplication::primaryScreen())
    move(schirm->availableGeometry().center() - rect().center());
  connect(Timer1, &QTimer::timeout, this, &FormDragonStart::Tick);
  LadefensterGeladen();
  Timer1->start();
}

void FormDragonStart::SetLadeText(const std::string& text) {
  lLadeText->setText(Anzeige(text));
}

void FormDragonStart::Tick() {
  if (LadefensterTick() == Folge::schliessen) {
    fertig = ProfilGeladen();
    Timer1->stop();
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    close();
  }
}

void FormDragonStart::closeEvent(QCloseEvent* e) {
  Timer1->stop();
  // Closed by the user before the recognizer was ready: the helper ends.
  if (!fertig && Helfer().phase != Phase::abgebrochen) {
    Tr({"Ladefenster geschlossen"});
    Helfer().phase = Naechste(Helfer().phase, Anlass::abbruch);
    if (QWidget* besitzer = parentWidget()) besitzer->close();
  }
  e->accept();
}

FormVokariumClient::FormVokariumClient()
    : Timer250(new QTimer(this)),
      cmdOK(new QPushButton(Anzeige(Tx(txt::kVorgangAbbrechen)), this)),
      lInitText(new QLabel(Anzeige(Tx(txt::kWartetAufDragon)), this)) {
  setObjectName(QStringLiteral("FormVokariumClient"));
  setWindowIcon(ProgrammIcon());
  Timer250->setObjectName(QStringLiteral("Timer250"));
  Timer250->setInterval(100);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  lInitText->setObjectName(QStringLiteral("lInitText"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lInitText);
  layout->addWidget(cmdOK);
  connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
  connect(Timer250, &QTimer::timeout, this, &FormVokariumClient::Tick);

  HelferDienste& d = Dienste();
  d.ladefensterOeffnen = [this] { LadefensterOeffnen(); };
  d.ladeText = [this](const std::string& text) {
    if (ladefenster) ladefenster->SetLadeText(text);
  };
  d.initText = [this](const std::string& text) { lInitText->setText(Anzeige(text)); };
  d.warten = [this](bool an) { vk::WartenBitte(this, an); };
  d.trayAnzeigen = [this] { TrayAnzeigen(); };
  d.ereignisseVerarbeiten = [] { QCoreApplication::processEvents(); };
}

FormVokariumClient::~FormVokariumClient() {
  HelferDienste& d = Dienste();
  d.ladefensterOeffnen = [] {};
  d.ladeText = [](const std::string&) {};
  d.initText = [](const std::string&) {};
  d.warten = [](bool) {};
  d.trayAnzeigen = [] {};
}

bool FormVokariumClient::Laden(const std::string& befehlszeile) {
  if (HelferStart(befehlszeile) == Folge::schliessen) return false;
  setWindowTitle(Anzeige(ProgrammTitel()));
  return true;
}

void FormVokariumClient::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!Helfer().aktiviert) {
    Helfer().aktiviert = true;
    QTimer::singleShot(0, this, &FormVokariumClient::ErsteAktivierung);
  }
}

void FormVokariumClient::ErsteAktivierung() {
  hide();
  Timer250->start();
}

void FormVokariumClient::Tick() {
  if (HauptTick() == Folge::schliessen) close();
}

void FormVokariumClient::LadefensterOeffnen() {
  ladefenster = new FormDragonStart(this);
  ladefenster->setAttribute(Qt::WA_DeleteOnClose);
  ladefenster->show();
}

QString TrayTipp() {
  // The tooltip of the notification area holds 64 characters.
  const vk::PoolZustand& p = vk::poolZustand();
  return Anzeige(TxWW(txt::kTrayTipp, p.Benutzer, p.Pool)).left(63);
}

// The menu is made even where no tray shows it: it is the same wherever
// the helper runs.
void FormVokariumClient::TrayAnzeigen() {
  trayMenue = new QMenu(this);
  trayMenue->setObjectName(QStringLiteral("TrayMenue"));
  // Whose helper it is, so that "Beenden" is not taken for the recognizer's.
  trayMenue->addAction(TrayTipp())->setEnabled(false);
  trayMenue->addSeparator();
  QAction* beenden = trayMenue->addAction(Anzeige(Tx(txt::kTrayBeenden)));
  beenden->setObjectName(QStringLiteral("mnuBeenden"));
  connect(beenden, &QAction::triggered, this, &QWidget::close);
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  tray = new QSystemTrayIcon(ProgrammIcon(), this);
  tray->setObjectName(QStringLiteral("Tray"));
  tray->setToolTip(TrayTipp());
  tray->setContextMenu(trayMenue);
  // A left click opens the menu too: the icon has nothing else to offer.
  connect(tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    if (r == QSystemTrayIcon::Trigger) trayMenue->popup(QCursor::pos());
  });
  tray->show();
}

void FormVokariumClient::closeEvent(QCloseEvent* e) {
  if (!beendet) {
    beendet = true;
    Helfer().phase = Naechste(Helfer().phase, Anlass::abbruch);
    Timer250->stop();
    delete tray;
    tray = nullptr;
    if (ladefenster) ladefenster->close();
    Tr({"Ende", plat::programPath()});
    QCoreApplication::quit();
  }
  e->accept();
}

}  // namespace helfer
