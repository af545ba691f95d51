// The windows of the windowed server: the text window that shows the log
// (fixed-pitch, new text at the bottom, the program's own icons set with
// the start banner), the base-directory dialog `DRAFRAGE` with its
// file-open dialog, and the windowed run that connects them to the server
// core. Thin: the log text and the decisions come from the core; closing
// the text window asks the loop to stop. A fatal stop of the core keeps the
// window open with the error until the user closes it.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QPlainTextEdit>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "server/schleife.h"

class QCloseEvent;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zentrale {

// The program's icon from the suite's set (16, 32, 64 and 256 pixels).
QIcon ServerIcon();

class TextFenster : public QPlainTextEdit {
 public:
  static constexpr const char* kTitel = "VokariumServer   5.0";

  // A windowed server runs for months: the window keeps only its newest
  // lines, so its memory stays bounded (the log file keeps everything).
  static constexpr int kZeilenMax = 20000;

  TextFenster();
  // Appends cp1252 log text (CR LF line ends). GUI thread only.
  void anhaengen(std::string_view text);
  // Sets the 16 and 32 pixel icons (with the start banner).
  void iconsSetzen();
  // After a fatal stop: the title says that the server has stopped.
  void angehalten();
  // Called when the user closes the window: true lets it close.
  std::function<bool()> beimSchliessen;

 protected:
  void closeEvent(QCloseEvent* ereignis) override;
};

// The file-open dialog behind "???": its title, the preset "Benutzer.dat",
// the filter, and an existing file only; it starts in the folder `start`
// (cp1252, with "\") when that exists.
std::unique_ptr<QFileDialog> BasisDateiDialog(QWidget* eltern, std::string_view start = {});

// An answer for the next file-open dialog, given in advance (native path;
// "" as if cancelled): "???" then takes it instead of showing the modal
// dialog. For tests; cleared by fensterZuruecksetzen.
// State: the window module's record (writes).
void setNextFileName(std::string_view pfad);
void fensterZuruecksetzen();

class DraFrageDialog : public QDialog {
 public:
  explicit DraFrageDialog(QWidget* eltern);
  // "???": asks for a file and shows its folder in the edit field.
  // State: the window module's record (reads and writes).
  void dateiSuchen();
  // The folder the edit field names (with "\", cp1252), "" when none.
  std::string verzeichnis() const;
  // Where "???" starts: the folder in the edit field, else the base
  // directory known so far.
  // State: optionen() (reads).
  std::string startVerzeichnis() const;
  // OK and Enter: a typed folder counts as a chosen one when it exists;
  // one that does not keeps the dialog open with a hint under the field.
  void accept() override;

  QLineEdit* feld;
  QLabel* hinweis;
  QPushButton* suchen;
  QPushButton* ok;
};

// Shows `DRAFRAGE` modally: `gewaehlt` with the folder, `ohneWahl` after OK
// without a usable folder, `geschlossen` after its close box.
FrageErgebnis DraFrage(QWidget* eltern, std::string& verzeichnis);

// The windowed run on `fenster`; a QApplication must exist. The log goes
// to the window, `DRAFRAGE` (centred on the window) settles the base
// directory, `bereit` runs once that is done, then the core works on a
// thread of its own while this thread serves the window. Returns 0 after a
// stop request (closing the window) or the end of the work, the stop code
// of a fatal stop once the user closed the window showing it; closing the
// dialog without an answer is such a fatal stop. The window sink in effect
// before is restored on return.
// State: protokoll(), stopAnforderung() (reads and writes).
int FensterLauf(TextFenster& fenster, const std::function<void()>& bereit);

}  // namespace zentrale
