// Another workstation in a child process: appends "<prefix><n>" (n = 1..anzahl)
// to `pfad`, each under the file's exclusive lock, as a helper or a member's
// take-over does. The child ends with 0 when every append succeeded.
#pragma once

#include <unistd.h>

#include <string>

#include "platform/shared_file.h"
#include "platform/system.h"

inline pid_t anhaengerStarten(const std::string& pfad, const std::string& prefix, int anzahl) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  for (int n = 1; n <= anzahl; ++n) {
    plat::SharedFile f;
    while (f.open(pfad, plat::Access::readWrite, plat::Share::exclusive,
                  plat::Disposition::openAlways) != plat::Err::ok)
      plat::sleepMs(1);
    if (f.append(prefix + std::to_string(n) + "\r\n") != plat::Err::ok) ::_exit(1);
    f.close();
    plat::sleepMs(2);
  }
  ::_exit(0);
}
