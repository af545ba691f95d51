// Paths as the system writes them ("\srv\dragon\Vokarium\Trigger\*.trg",
// cp1252) and their native form. All logic keeps the system form; the OS
// layer converts at the moment of a file-system call. Also: simple file and
// folder queries, folder listing, and the check for names taken from shared
// files before they become file or folder names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace plat {

// System form -> native: "\" becomes "/", cp1252 becomes UTF-8.
std::string nativePath(std::string_view systemPath);

// Native -> system form: UTF-8 becomes cp1252, "/" becomes "\".
std::string systemPath(std::string_view nativePath);

// True when the name may become one file or folder name below a folder:
// not empty, not "." or "..", no "\" or "/", no control character (below
// 0x20 or 0x7F), and no ":" (a drive or stream on Windows).
bool isSafeName(std::string_view name);

// Appends "\" when the path does not end with one (and is not empty).
std::string withBackslash(std::string_view dir);

// The folder of the running program, system form, ending with "\".
std::string programDirectory();

// Full path of the running program, system form.
std::string programPath();

// The system's temporary folder, system form, ending with "\".
std::string tempDirectory();

// Creates a new empty file with a unique name in the temporary folder and
// returns its path (system form), or "" on failure.
std::string tempFileName(std::string_view prefix);

bool fileExists(std::string_view path);       // a regular file
bool directoryExists(std::string_view path);  // a folder

struct FileInfo {
  bool exists = false;
  bool isDirectory = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // seconds since 1970 (UTC)
};
FileInfo fileInfo(std::string_view path);

Err createDirectory(std::string_view path);      // one level; ok if it exists
Err createDirectoryTree(std::string_view path);  // all missing levels

// Case-insensitive match of a file name against a pattern with "*" and "?",
// as the Windows folder listing matches.
bool matchesPattern(std::string_view name, std::string_view pattern);

// Folders below which nothing is followed: a symbolic link on the way from
// such a root to a file (a pool folder, the trigger folder, the file
// itself) is refused by every open, listing, publish and folder creation of
// the OS layer. The roots themselves may be links. Process-wide; a program
// confines its base and target directories once they are known.
void confineBelow(std::string_view root);
void resetConfinement();

// True when a component of `path` below a confined root is a symbolic link.
bool linkOnTheWay(std::string_view path);

// What the path names, without following a last-component link.
enum class PathKind { missing, regular, directory, link, other };
PathKind pathKind(std::string_view path);

// Why a path cannot be opened as a shared file, for error lines: "" when it
// is a regular file on a path without a link (or missing).
std::string whyNoFile(std::string_view path);

enum class ListKind { files, directories, both };

// Names (not paths) in folder `dir` matching `pattern`, sorted by bytes.
// "." and "..", and the OS layer's own in-flight temporary files, never
// appear.
Err listDirectory(std::string_view dir, std::string_view pattern, ListKind kind,
                  std::vector<std::string>& names);

}  // namespace plat
