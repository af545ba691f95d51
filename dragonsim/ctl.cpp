// natspeak --ctl: one request, one answer, a time-out of a few seconds so a
// script never hangs on a recognizer that stopped answering.
#include "dragonsim/ctl.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <cstdio>

#include "common/dragon_protocol.h"
#include "platform/encoding.h"

namespace natspeak {

namespace proto = dragonproto;

namespace {

void print(const std::string& cp1252) {
  std::printf("%s\n", plat::cp1252ToUtf8(cp1252).c_str());
}

bool exchange(const proto::Fields& request, proto::Fields& answer, std::string& error) {
  QLocalSocket sock;
  sock.connectToServer(QString::fromStdString(proto::socketPath()));
  if (!sock.waitForConnected(2000)) {
    error = "natspeak antwortet nicht (" + proto::socketPath() + ")";
    return false;
  }
  std::string frame;
  proto::appendFrame(frame, request);
  sock.write(frame.data(), static_cast<qint64>(frame.size()));
  QDeadlineTimer deadline(15000);
  proto::FrameReader reader;
  for (;;) {
    auto st = reader.next(answer);
    if (st == proto::FrameReader::Status::frame) {
      if (!answer.empty() && answer[0] == proto::kEvent) continue;
      return true;
    }
    if (st == proto::FrameReader::Status::bad) {
      error = "gest\xF6rte Antwort";
      return false;
    }
    if (!sock.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
      error = "keine Antwort von natspeak";
      return false;
    }
    QByteArray data = sock.readAll();
    reader.feed(data.constData(), static_cast<std::size_t>(data.size()));
  }
}

}  // namespace

int runCtl(const std::vector<std::string>& args) {
  if (args.empty()) {
    std::fprintf(stderr,
                 "usage: natspeak --ctl state | add-word W [S] | remove-word W [S] | words [user] |"
                 " open-user-dialog | switch-speaker SPEAKER TOPIC | quit | event NAME [N [M]]\n");
    return 3;
  }
  proto::Fields request;
  for (const auto& a : args)
    request.push_back(plat::utf8ToCp1252(a));
  proto::Fields answer;
  std::string error;
  if (!exchange(request, answer, error)) {
    std::fprintf(stderr, "natspeak: %s\n", plat::cp1252ToUtf8(error).c_str());
    return 2;
  }
  if (answer.empty() || answer[0] != proto::kOk) {
    std::string text = answer.size() >= 3 ? answer[1] + " " + answer[2] : "gest\xF6rte Antwort";
    std::fprintf(stderr, "natspeak: Fehler %s\n", plat::cp1252ToUtf8(text).c_str());
    return 1;
  }
  if (args[0] == proto::cmd::ctlWords) {
    proto::Words words;
    if (!proto::takeWords(answer, 1, words)) {
      std::fprintf(stderr, "natspeak: gest\xF6rte Wortliste\n");
      return 1;
    }
    for (const auto& w : words)
      print(w.spoken.empty() ? w.written : w.written + "\\" + w.spoken);
    return 0;
  }
  for (std::size_t i = 1; i < answer.size(); ++i)
    print(answer[i]);
  return 0;
}

}  // namespace natspeak
