// The proxy's connection to the recognizer, shared by the Qt-free objects
// (dragon_proxy.cpp) and the engine control object with its events
// (dragon_engine.cpp). Internal to the two; a failed call sets its Error and
// leaves the connection dropped or in step, never half read.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/dragon_protocol.h"
#include "common/dragon_proxy.h"
#include "platform/stream_socket.h"

namespace dragon {

namespace proto = dragonproto;

void setError(Error& e, int number, std::string description);
// The number in `s`, 0 when it is none.
int toInt(const std::string& s);

// One socket connection with its frame reader. Answers and events are
// separated as frames arrive.
class Channel {
 public:
  using Build = std::function<void(std::size_t index, proto::Fields& request)>;
  enum class Pump { ok, bad, gone };
  // State: the proxy's time-outs (reads).
  bool connect(Error& e);
  bool call(const proto::Fields& request, proto::Fields& answer, Error& e);
  // Sends `count` requests, each built by `build` just before it goes out,
  // and takes their answers in order: the recognizer works on the first
  // while later ones are still built and sent. Fails with the first error
  // answer, after all answers have come, so the connection stays in step.
  // State: the proxy's time-outs (reads).
  bool callMany(std::size_t count, const Build& build, std::vector<proto::Fields>& answers,
                Error& e);
  // Reads what has arrived; bad when the stream is broken, gone when the
  // recognizer closed its end (the frames before it are taken).
  Pump pump();
  void drop();
  // Called with the descriptor after a connect and with -1 before a drop,
  // so an event loop can watch the connection.
  std::function<void(int descriptor)> watch;

  plat::StreamSocket sock;
  proto::FrameReader reader;
  std::deque<proto::Fields> answers;
  std::deque<proto::Fields> events;
  bool inCall = false;
};

}  // namespace dragon
