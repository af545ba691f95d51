// Change notification on one folder (file names created, deleted, renamed;
// not its subfolders). Changes made by other machines on a network file
// system may never be seen: callers keep a time-out as their fall-back.
#pragma once

#include <string_view>

#include "platform/error.h"

namespace plat {

enum class WatchResult { changed, timeout, failed };

class DirWatch {
 public:
  DirWatch() = default;
  ~DirWatch();
  DirWatch(const DirWatch&) = delete;
  DirWatch& operator=(const DirWatch&) = delete;

  // Starts watching folder `dir` (system form).
  Err start(std::string_view dir);
  bool active() const { return fd_ >= 0; }

  // Waits until a change arrives or `timeoutMs` passes. All changes that
  // arrived so far are consumed by one `changed`. Not active: failed.
  WatchResult wait(int timeoutMs);

  void stop();

 private:
  int fd_ = -1;
  int wd_ = -1;
};

// Test hook: the next DirWatch::wait in this process fails, as a watch
// whose notifications can no longer be read fails.
void setWatchFault(bool on);

}  // namespace plat
