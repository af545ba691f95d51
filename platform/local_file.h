// Whole-file access to small local files of the OS layer itself (registry
// hives, desktop launchers), by native path. These files are no pool files:
// nobody holds them open, so reads take no lock; a writer replaces the file
// whole (temporary file in the same folder, flushed, renamed into place), so
// a reader sees the old or the new content, never half a file. Two writers
// at once: the last rename wins.
#pragma once

#include <string>
#include <string_view>

#include "platform/error.h"

namespace plat {

// Reads the whole file. A missing file (or folder on the way) is notFound.
Err readLocalFile(const std::string& path, std::string& out);

// Replaces (or creates) the file with `data` and gives it the permission
// bits `mode`; creates missing folders on the way.
Err replaceLocalFile(const std::string& path, std::string_view data, unsigned mode);

}  // namespace plat
