// A temporary folder per test, removed afterwards, and environment
// variables set for the test and put back after it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/paths.h"

struct TempTree {
  std::filesystem::path root;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;

  TempTree() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vksys.XXXXXX").string();
    root = ::mkdtemp(tmpl.data());
  }
  ~TempTree() {
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
      if (it->second) ::setenv(it->first.c_str(), it->second->c_str(), 1);
      if (!it->second) ::unsetenv(it->first.c_str());
    }
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  // Native path, and its system form ("\tmp\vksys.x\a"), below the folder.
  std::string path(const std::string& rel = {}) const {
    return rel.empty() ? root.string() : (root / rel).string();
  }
  std::string sys(const std::string& rel = {}) const { return plat::systemPath(path(rel)); }

  // Sets (or, with nullptr, removes) a variable until the end of the test.
  void env(const std::string& name, const char* value) {
    const char* old = std::getenv(name.c_str());
    saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value) ::setenv(name.c_str(), value, 1);
    if (!value) ::unsetenv(name.c_str());
  }
  void write(const std::string& rel, const std::string& data) const {
    std::ofstream(path(rel), std::ios::binary) << data;
  }
  std::string read(const std::string& rel) const {
    std::ostringstream s;
    s << std::ifstream(path(rel), std::ios::binary).rdbuf();
    return s.str();
  }
};
