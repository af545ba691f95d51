// Result codes of the OS layer. The numbers are the Windows system error
// codes, because logs, traces and error reports of the system show those
// numbers to administrators; a POSIX errno is mapped onto them in one place.
// An Err is [[nodiscard]]: a caller handles it, passes it up, or drops it
// through ignoreErr with the reason why that is safe.
#pragma once

#include <string>

namespace plat {

enum class [[nodiscard]] Err : int{
    ok = 0,
    notFound = 2,           // file does not exist
    pathNotFound = 3,       // a directory on the way does not exist
    accessDenied = 5,       // no permission (the system refused it)
    invalidHandle = 6,      // operation on a closed file
    sharingViolation = 32,  // another open refuses ours (a held lock)
    lockViolation = 33,
    fileExists = 80,  // create-new of an existing name
    invalidParameter = 87,
    diskFull = 112,
    invalidName = 123,  // unsafe or unconvertible name
    dirNotEmpty = 145,
    alreadyExists = 183,
    ioError = 1117,
    timeout = 1460,
    lineTooLong = 10001,  // a text line longer than the reader's cap
    nulInLine = 10002,    // a text line holding a NUL byte
    // Refusals Windows reports as 5 (access denied), told apart here so the
    // message says what is under the name; code() gives 5 for each.
    isLink = 10003,    // a symbolic link under the name or on the way (none is followed)
    notAFile = 10004,  // a FIFO, socket or device where a file was expected
    isFolder = 10005,  // a folder where a file was expected
    unknown = 10099,
};

// Whether another program holds the file (its lock refused ours): worth
// trying again shortly, unlike every other error.
inline bool heldByOther(Err e) {
  return e == Err::sharingViolation || e == Err::lockViolation;
}

// Whether the name was refused: no permission, or no regular file under it.
inline bool denied(Err e) {
  return e == Err::accessDenied || e == Err::isLink || e == Err::notAFile || e == Err::isFolder;
}

// Drops an error on purpose; `warum` says why nothing depends on it (a
// best-effort clean-up, a trace, a result a later step checks again).
inline void ignoreErr(Err, const char* warum) {
  static_cast<void>(warum);
}

// Windows code as a number, for logs ("Fehler 32").
inline int code(Err e) {
  return denied(e) ? static_cast<int>(Err::accessDenied) : static_cast<int>(e);
}

// Short German description of an error, for error reports and logs; a
// refusal says what is under the name.
std::string errText(Err e);

// Maps a POSIX errno to our code (used by every POSIX implementation file).
Err fromErrno(int e);

}  // namespace plat
