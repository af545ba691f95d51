// The recognizer's windows (not in headless mode): its bar ("Dragon-Leiste"
// or "DragonBar") showing speaker and topic with the buttons add word, open
// user and exit; the open-user dialog ("Benutzer öffnen" / "Open User")
// listing the speakers and topics of the master directory; and the word
// dialog. The windows follow the engine's state, so a client closing the
// open-user dialog over the socket closes the window too. Closing the bar
// ends the recognizer as its exit button does. Adding a word is offered
// only while a speaker is open.
#pragma once

#include <memory>

namespace natspeak {

class Engine;
class Server;

class Windows {
 public:
  Windows(Engine& engine, Server& server, bool english);
  ~Windows();
  Windows(const Windows&) = delete;
  Windows& operator=(const Windows&) = delete;
  void show();
  void closeAll();

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace natspeak
