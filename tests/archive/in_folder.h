// The generic archive commands work relative to the current folder, as the window's do: a test
// runs them inside its temporary folder, with the plug-ins of this build.
#pragma once

#include <filesystem>
#include <string>

#include "archive/bind/library.h"

namespace sorabu::archive::test {

struct InFolder {
  explicit InFolder(const std::string& dir) : old(std::filesystem::current_path()) {
    SetLibraryFolder(PLUGIN_DIR);
    std::filesystem::current_path(dir);
  }
  ~InFolder() { std::filesystem::current_path(old); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;
  std::filesystem::path old;
};

}  // namespace sorabu::archive::test
