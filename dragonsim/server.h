// The recognizer's local socket: one instance per socket path (a second one
// finds the first answering and gives up), any number of connections, one
// request answered at a time in arrival order. A connection that sends a
// broken frame is dropped. The end of the recognizer: the receivers get the
// status-2 event, the socket keeps answering until every receiver has
// unregistered or 10 seconds passed, then the vocabulary is saved when
// needed and the process ends.
#pragma once

#include <QElapsedTimer>
#include <QLocalServer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <string>

#include "dragonsim/engine.h"

class QLocalSocket;

namespace natspeak {

class Server {
 public:
  explicit Server(Engine& engine);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Listens on the socket; false with `error` when another instance answers
  // there or the socket cannot be made.
  bool listen(std::string& error);
  // Starts the end (idempotent). `done` runs once it is over, with the exit
  // code.
  void startQuit();
  std::function<void(int exitCode)> done;
  // How long the end waits for receivers to unregister.
  int quitWaitMs = 10000;

 private:
  struct Conn;
  void accept();
  void readFrom(int id);
  void closed(int id);
  void send(int id, const Fields& frame);
  void checkQuit();

  Engine& engine_;
  QLocalServer server_;
  std::map<int, Conn*> conns_;
  int nextId_ = 1;
  QTimer quitTimer_;
  QElapsedTimer quitClock_;
  bool quitting_ = false;
};

}  // namespace natspeak
