// The programs' one clock: local time from the system, or a fixed time set
// by tests. The fixed time is process-wide state behind a mutex; the local
// time conversion is serialised by the same mutex because std::localtime
// shares one result buffer.
#include <chrono>
#include <ctime>
#include <mutex>

#include "platform/clock.h"

namespace plat {

namespace {

struct ClockState {
  std::mutex mutex;
  bool fixed = false;
  LocalTime time;
};

ClockState& clockState() {
  static ClockState state;
  return state;
}

}  // namespace

LocalTime now() {
  ClockState& s = clockState();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.fixed) return s.time;
  auto t = std::chrono::system_clock::now();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
  std::time_t secs = std::chrono::system_clock::to_time_t(t);
  LocalTime r;
  if (const std::tm* tm = std::localtime(&secs)) {
    r.year = tm->tm_year + 1900;
    r.month = tm->tm_mon + 1;
    r.day = tm->tm_mday;
    r.hour = tm->tm_hour;
    r.minute = tm->tm_min;
    r.second = tm->tm_sec;
  }
  r.millisecond = static_cast<int>(((ms % 1000) + 1000) % 1000);
  return r;
}

void fixClock(const LocalTime* t) {
  ClockState& s = clockState();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.fixed = t != nullptr;
  if (t != nullptr) s.time = *t;
}

}  // namespace plat
