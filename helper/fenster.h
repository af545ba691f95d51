// vkHelfer's windows: the hidden main window FormVokariumClient with the
// main timer Timer250, the topmost loading window FormDragonStart with its
// timer Timer1, and the tray icon. The windows are thin: every tick and
// every decision is a procedure of helfer.h; the windows only run timers,
// show texts and close. A tray icon is shown only where the desktop has a
// system tray. Closing any of them (its close box, "Abbrechen", the tray's
// "Beenden") ends the helper.
#pragma once

#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <string>

namespace helfer {

// The tray icon's tooltip: the helper, its user and pool, at most 63
// characters.
// State: poolZustand() (reads).
QString TrayTipp();

class FormDragonStart : public QWidget {
  Q_OBJECT
 public:
  explicit FormDragonStart(QWidget* besitzer);
  void SetLadeText(const std::string& text);

  QLabel* lLadeText;
  QPushButton* cmdAbbrechen;

 protected:
  // State: Helfer() (reads and writes).
  void closeEvent(QCloseEvent* e) override;

 private:
  void Tick();
  QLabel* Image1;
  QTimer* Timer1;
  bool fertig = false;  // closed because the profile is loaded
};

class FormVokariumClient : public QWidget {
  Q_OBJECT
 public:
  // State: Dienste() (writes).
  FormVokariumClient();
  // State: Dienste() (writes).
  ~FormVokariumClient() override;

  // The load of the window: the start-up sequence with the command line.
  // false: the window is to close at once.
  bool Laden(const std::string& befehlszeile);

 protected:
  // State: Helfer() (reads and writes).
  void showEvent(QShowEvent* e) override;
  // State: Helfer() (reads and writes).
  void closeEvent(QCloseEvent* e) override;

 private:
  void ErsteAktivierung();
  void Tick();
  void LadefensterOeffnen();
  void TrayAnzeigen();
  QTimer* Timer250;
  QPushButton* cmdOK;
  QLabel* lInitText;
  QPointer<FormDragonStart> ladefenster;
  QSystemTrayIcon* tray = nullptr;
  QMenu* trayMenue = nullptr;
  bool beendet = false;
};

}  // namespace helfer
