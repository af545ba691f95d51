// The registry of the system (per-user and per-machine values under keys
// like "Software\QMT\Vokarium"), kept in one text file per hive in the
// format of a registry export so an administrator can read and edit it:
//   REGEDIT4
//   [HKEY_CURRENT_USER\Software\QMT\Vokarium]
//   "Name"="string"          (\\ and \" escaped)
//   "Zahl"=dword:0000000a
// Current user: $XDG_CONFIG_HOME/QMT/HKEY_CURRENT_USER.reg (default
// ~/.config); local machine: /etc/QMT/HKEY_LOCAL_MACHINE.reg.
// VOKARIUM_REGISTRY_DIR redirects both files into one folder.
// Writes replace the file atomically; readers never see half a file. Two
// programs writing the same hive at once may lose one of the two writes (as
// the last writer wins); key and value names compare without case.
// Strings are cp1252 bytes as they stand in the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace plat {

enum class Hive { currentUser, localMachine };

enum class RegType { none, string, dword };

struct RegValue {
  RegType type = RegType::none;
  std::string text;          // for string
  std::uint32_t number = 0;  // for dword
};

// Path of the file behind a hive (native form).
std::string registryFile(Hive hive);

bool regKeyExists(Hive hive, std::string_view key);

// Reads one value. Missing key or value: notFound (value.type = none).
Err regRead(Hive hive, std::string_view key, std::string_view name, RegValue& value);

// Typed reads: a value of the other type gives invalidParameter and leaves
// the output as it was (so a caller's default stays).
Err regReadString(Hive hive, std::string_view key, std::string_view name, std::string& text);
Err regReadDword(Hive hive, std::string_view key, std::string_view name, std::uint32_t& number);

// Creates the key (and its file) when missing.
Err regCreateKey(Hive hive, std::string_view key);

// Write a value, creating the key when missing.
Err regWriteString(Hive hive, std::string_view key, std::string_view name, std::string_view text);
Err regWriteDword(Hive hive, std::string_view key, std::string_view name, std::uint32_t number);

Err regDeleteValue(Hive hive, std::string_view key, std::string_view name);

}  // namespace plat
