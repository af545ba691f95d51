// A temporary tree for one test: application data folder and registry
// below it, removed at the end. Sets the environment of this process.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/paths.h"

class SimBaum {
 public:
  SimBaum() {
    char muster[] = "/tmp/vk-dragon-unit.XXXXXX";
    root_ = ::mkdtemp(muster);
    std::filesystem::create_directories(root_ + "/appdata");
    std::filesystem::create_directories(root_ + "/registry");
    ::setenv("XDG_CONFIG_HOME", (root_ + "/appdata").c_str(), 1);
    ::setenv("VOKARIUM_REGISTRY_DIR", (root_ + "/registry").c_str(), 1);
  }
  ~SimBaum() { std::filesystem::remove_all(root_); }
  SimBaum(const SimBaum&) = delete;
  SimBaum& operator=(const SimBaum&) = delete;

  // Native path below the tree.
  std::string nativ(const std::string& rel) const { return root_ + "/" + rel; }
  // System form ("\..."), with a trailing "\" for folders.
  std::string system(const std::string& rel) const { return plat::systemPath(nativ(rel)); }

 private:
  std::string root_;
};
