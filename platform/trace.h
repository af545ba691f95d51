// Transport of trace lines to the external trace viewer: a Unix datagram
// socket named QMTtracer_TRACEWIN in $XDG_RUNTIME_DIR (else
// /tmp/QMTtracer_TRACEWIN-<uid>), redirected by VOKARIUM_TRACE_SOCKET.
// The viewer is looked up once per run, at the first traceInit(); without
// a viewer every line is dropped silently. One datagram per line; a viewer
// that does not take a line within 5000 ms loses it. The line format is the
// caller's (server and client library build their own).
#pragma once

#include <string>
#include <string_view>

#include "platform/error.h"

namespace plat {

// Native path of the trace socket.
std::string traceSocketPath();

// Looks for the viewer once per run; later calls do nothing.
void traceInit();

// True when the lookup found a viewer.
bool traceActive();

// Sends one line (no-op when no viewer was found).
void traceSend(std::string_view line);

// Forgets the lookup, so the next traceInit() looks again (tests).
void traceReset();

// The receiving end, for the viewer program and for tests.
class TraceReceiver {
 public:
  TraceReceiver() = default;
  ~TraceReceiver();
  TraceReceiver(const TraceReceiver&) = delete;
  TraceReceiver& operator=(const TraceReceiver&) = delete;

  // Binds the socket (default: traceSocketPath()), replacing a stale one.
  Err bind(const std::string& path = std::string());

  // Waits up to timeoutMs for one line; false on time-out or error.
  bool receive(std::string& line, int timeoutMs);

  void close();

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace plat
