// vktrace, the trace viewer: binds the trace socket, prints every line it
// receives with a time stamp (converted from cp1252 to UTF-8 for the
// terminal) and, with -o, appends the same lines to a log file in cp1252
// with CR LF. Ends on SIGINT or SIGTERM and removes its socket. Exit code 0
// on a clean end and for --help, 2 for a wrong option, 3 when the socket
// cannot be bound (another viewer on it is said as such), 4 when the log
// file cannot be opened or written. Its own messages are English, like
// its usage. The log file is held open under deny-write for the whole run:
// others may read it meanwhile.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "platform/clock.h"
#include "platform/encoding.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/trace.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int) {
  stopRequested = 1;
}

struct Options {
  std::string socketPath;  // empty: the default trace socket
  std::string logFile;     // empty: no log file
  bool quiet = false;
};

void usage(std::ostream& out) {
  out << "usage: vktrace [-s SOCKET] [-o LOGFILE] [-q]\n"
         "  -s SOCKET   socket path (default: $VOKARIUM_TRACE_SOCKET, else the\n"
         "              QMTtracer_TRACEWIN socket in $XDG_RUNTIME_DIR)\n"
         "  -o LOGFILE  also append every line to LOGFILE (cp1252, CR LF)\n"
         "  -q          do not print the lines\n";
}

// What an error of the OS layer means here, in the viewer's language.
std::string reason(plat::Err e) {
  switch (e) {
    case plat::Err::notFound:
    case plat::Err::pathNotFound:
      return "its folder does not exist";
    case plat::Err::isLink:
      return "it is a symbolic link, which is not followed";
    case plat::Err::isFolder:
    case plat::Err::notAFile:
      return "it is no regular file";
    case plat::Err::accessDenied:
    case plat::Err::sharingViolation:
    case plat::Err::lockViolation:
      return "access denied (another program may hold it)";
    case plat::Err::invalidName:
      return "the path is too long or not allowed";
    case plat::Err::diskFull:
      return "the disk is full";
    default:
      return "system error";
  }
}

bool parseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "-s" || a == "-o") && i + 1 < argc) {
      (a == "-s" ? o.socketPath : o.logFile) = argv[++i];
    } else if (a == "-q") {
      o.quiet = true;
    } else {
      return false;
    }
  }
  return true;
}

// "2026-12-06 18:47:01.123 "
std::string timeStamp() {
  plat::LocalTime t = plat::now();
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d ", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.millisecond);
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      usage(std::cout);
      return 0;
    }
  }
  Options opt;
  if (!parseOptions(argc, argv, opt)) {
    usage(std::cerr);
    return 2;
  }

  plat::SharedFile log;
  if (!opt.logFile.empty()) {
    plat::Err e = log.open(plat::systemPath(opt.logFile), plat::Access::readWrite,
                           plat::Share::denyWrite, plat::Disposition::openAlways);
    if (e != plat::Err::ok) {
      std::cerr << "vktrace: cannot open the log file " << opt.logFile << ": " << reason(e) << "\n";
      return 4;
    }
  }

  plat::TraceReceiver receiver;
  std::string socketPath = opt.socketPath.empty() ? plat::traceSocketPath() : opt.socketPath;
  plat::Err e = receiver.bind(socketPath);
  if (e != plat::Err::ok) {
    std::error_code fehler;
    if (e == plat::Err::alreadyExists && std::filesystem::is_socket(socketPath, fehler)) {
      std::cerr << "vktrace: another trace viewer is already running on " << socketPath
                << ".\nEnd it first (Ctrl+C in its terminal), or give this one another socket "
                   "with -s.\n";
    } else if (e == plat::Err::alreadyExists) {
      std::cerr << "vktrace: cannot listen on " << socketPath
                << ": a file of that name is there and it is no socket.\n";
    } else {
      std::cerr << "vktrace: cannot listen on " << socketPath << ": " << reason(e) << ".\n";
    }
    return 3;
  }
  std::signal(SIGINT, onStopSignal);
  std::signal(SIGTERM, onStopSignal);
  std::cerr << "vktrace: listening on " << socketPath << "\n";

  int result = 0;
  std::string line;
  while (stopRequested == 0) {
    // Short waits, so a stop signal is seen soon even if it lands between
    // the check and the wait.
    if (!receiver.receive(line, 200)) continue;
    std::string stamped = timeStamp() + line;
    if (!opt.quiet) std::cout << plat::cp1252ToUtf8(stamped) << std::endl;
    if (log.isOpen()) {
      e = log.append(stamped + "\r\n");
      if (e != plat::Err::ok) {
        std::cerr << "vktrace: cannot write the log file " << opt.logFile << ": " << reason(e)
                  << "\n";
        result = 4;
        break;
      }
    }
  }
  receiver.close();
  log.close();
  return result;
}
