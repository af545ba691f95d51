// Socket side of the recognizer stand-in (Qt event loop). Assumes clients
// send one request and wait for its answer; events for a receiver are
// written between answers, never inside one.
#include "dragonsim/server.h"

#include <QLocalSocket>
#include <cstdio>

#include "platform/encoding.h"

namespace natspeak {

namespace proto = dragonproto;

struct Server::Conn {
  QLocalSocket* sock = nullptr;
  proto::FrameReader reader;
};

Server::Server(Engine& engine) : engine_(engine) {
  QObject::connect(&server_, &QLocalServer::newConnection, [this]() { accept(); });
  engine_.sendEvent = [this](int conn, const Fields& frame) { send(conn, frame); };
  quitTimer_.setInterval(20);
  QObject::connect(&quitTimer_, &QTimer::timeout, [this]() { checkQuit(); });
}

Server::~Server() {
  for (auto& [id, c] : conns_) {
    c->sock->disconnect();
    delete c;
  }
  engine_.sendEvent = nullptr;
}

bool Server::listen(std::string& error) {
  QString path = QString::fromStdString(proto::socketPath());
  {
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(500)) {
      error = "natspeak l\xE4uft bereits an " + proto::socketPath();
      return false;
    }
  }
  QLocalServer::removeServer(path);
  if (!server_.listen(path)) {
    error = "Socket " + proto::socketPath() + ": " + server_.errorString().toStdString();
    return false;
  }
  return true;
}

void Server::accept() {
  while (QLocalSocket* s = server_.nextPendingConnection()) {
    int id = nextId_++;
    auto* c = new Conn;
    c->sock = s;
    conns_[id] = c;
    QObject::connect(s, &QLocalSocket::readyRead, [this, id]() { readFrom(id); });
    QObject::connect(s, &QLocalSocket::disconnected, [this, id]() { closed(id); });
    if (s->bytesAvailable() > 0) readFrom(id);
  }
}

void Server::readFrom(int id) {
  auto it = conns_.find(id);
  if (it == conns_.end()) return;
  Conn* c = it->second;
  qint64 n = c->sock->bytesAvailable();
  if (n > 0) {
    qint64 got = c->sock->read(c->reader.room(static_cast<std::size_t>(n)), n);
    c->reader.commit(got > 0 ? static_cast<std::size_t>(got) : 0);
  }
  Fields request;
  for (;;) {
    auto st = c->reader.next(request);
    if (st == proto::FrameReader::Status::more) return;
    if (st == proto::FrameReader::Status::bad) {
      c->sock->abort();
      return;
    }
    send(id, engine_.handle(id, request));
    if (conns_.find(id) == conns_.end()) return;
  }
}

void Server::send(int id, const Fields& frame) {
  auto it = conns_.find(id);
  if (it == conns_.end()) return;
  std::string bytes;
  proto::appendFrame(bytes, frame);
  it->second->sock->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void Server::closed(int id) {
  auto it = conns_.find(id);
  if (it == conns_.end()) return;
  Conn* c = it->second;
  conns_.erase(it);
  engine_.connectionClosed(id);
  c->sock->deleteLater();
  delete c;
}

void Server::startQuit() {
  if (quitting_) return;
  quitting_ = true;
  engine_.beginQuit();
  quitClock_.start();
  quitTimer_.start();
  checkQuit();
}

void Server::checkQuit() {
  if (engine_.receivers() > 0 && quitClock_.elapsed() < quitWaitMs) return;
  quitTimer_.stop();
  std::string error;
  int code = 0;
  if (!engine_.finish(error)) {
    std::fprintf(stderr, "natspeak: %s\n", plat::cp1252ToUtf8(error).c_str());
    code = 1;
  }
  for (auto& [id, c] : conns_)
    c->sock->flush();
  server_.close();
  if (done) done(code);
}

}  // namespace natspeak
