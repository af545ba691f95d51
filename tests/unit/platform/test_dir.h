// A temporary folder per test, removed afterwards, with its path in the
// system form the OS layer takes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/paths.h"

struct TestDir {
  std::filesystem::path native;
  TestDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vkplat.XXXXXX").string();
    native = ::mkdtemp(tmpl.data());
  }
  ~TestDir() {
    std::error_code ec;
    std::filesystem::remove_all(native, ec);
  }
  // System form of a path below the folder ("a\b" -> "\tmp\vkplat.x\a\b").
  std::string sys(const std::string& rel = std::string()) const {
    return plat::systemPath(native.string()) + "\\" + rel;
  }
};
