// The windows of the windowed server: the text window that shows the log
// (fixed-pitch, new text at the bottom) and the base-directory dialog
// `DRAFRAGE`. Thin: the log text and the decisions come from the server
// core; closing the text window asks the loop to stop.
#pragma once

#include <QPlainTextEdit>
#include <functional>
#include <string>
#include <string_view>

class QCloseEvent;

namespace zentrale {

class TextFenster : public QPlainTextEdit {
 public:
  TextFenster();
  // Appends cp1252 log text (CR LF line ends). GUI thread only.
  void anhaengen(std::string_view text);
  // Called when the user closes the window; the default is to hide it.
  std::function<bool()> beimSchliessen;

 protected:
  void closeEvent(QCloseEvent* ereignis) override;
};

// Shows `DRAFRAGE`. True when OK was chosen; `verzeichnis` then holds the
// chosen folder ("" when none was chosen). False: closed by its close box.
bool DraFrage(QWidget* eltern, std::string& verzeichnis);

}  // namespace zentrale
