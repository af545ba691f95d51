// The one clock of the programs: local time for time stamps. Tests fix it
// so that logs and file names they compare do not depend on the moment.
#pragma once

namespace plat {

struct LocalTime {
  int year = 0;  // four digits
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

LocalTime now();

// Fixes now() to `t` (nullptr: back to the real clock).
void fixClock(const LocalTime* t);

}  // namespace plat
