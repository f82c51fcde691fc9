// The search commands' histories and lists kept in a settings file, for the window and the
// command-line tool alike.
#pragma once

#include <string>

#include "settings/ini_file.h"
#include "textcmd/search_commands.h"

namespace sorabu::settings {

class TIniSearchMemory final : public textcmd::TSearchMemory {
 public:
  explicit TIniSearchMemory(const std::string& path) : ini_(path) {}
  std::optional<std::string> Read(std::string_view section, std::string_view key) override {
    return ini_.Find(section, key);
  }
  void Write(std::string_view section, std::string_view key, std::string_view value) override {
    ini_.WriteString(section, key, value);
  }
  void Flush() override { ini_.UpdateFile(); }

 private:
  TIniFile ini_;
};

}  // namespace sorabu::settings
