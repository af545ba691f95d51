// The test hook of Vokarium and vkPflege: when the environment variable
// VOKARIUM_TESTSKRIPT names a file, the program plays its steps on its own
// windows as a person would click them, so system tests and the demo can
// drive the real main window and the real word list editor (its own
// take-over code runs; nothing is bypassed). One step per line (UTF-8),
// words separated by blanks, the last argument is the rest of the line;
// empty lines and lines starting with "#" are skipped:
//   warte F            until the window F (objectName) is shown
//   weg F              until no window F is shown any more
//   bild F DATEI       saves a picture of window F as PNG (also when the
//                      window is hidden behind the editor)
//   knopf F AKTION     clicks the toolbar action AKTION of window F
//   aus F AKTION       until the toolbar action AKTION of window F is disabled
//   benutzer EINTRAG   selects the user list entry EINTRAG (main window)
//   haken an|aus WORT  sets the check box of the editor row with the
//                      written form WORT
//   waehlen WORT       selects only the editor row WORT
//   sprechform TEXT    types TEXT as spoken form into the open word edit
//                      dialog and confirms it
//   zeilen DATEI       writes the editor's rows to DATEI, one per line:
//                      "1|written|spoken" (1 checked, 0 unchecked)
//   datei PFAD         until the file PFAD exists (a signal of the test)
//   antwort ja|nein    answer to the next question of a message box
//   schliessen F       closes window F
// A step waits at most 20 seconds for its window or row; a step that cannot
// be done ends the program with exit code 3 and a line "Testskript: ..."
// on standard error. Without the variable nothing happens.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace vk {

class Testskript : public QObject {
  Q_OBJECT
 public:
  // Starts the script named by VOKARIUM_TESTSKRIPT, if any; the object is
  // owned by the application.
  static void starten();

  explicit Testskript(QStringList schritte, QObject* parent = nullptr);

 private:
  void weiter();
  // Runs one step; false while its window or row is not there yet.
  bool ausfuehren(const QString& schritt);
  void abbrechen(const QString& grund);

  QStringList schritte_;
  int naechster_ = 0;
  int versuche_ = 0;
  QTimer timer_;
};

}  // namespace vk
