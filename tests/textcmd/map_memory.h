// A search memory held in a map, standing in for the settings file in the search tests.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "textcmd/search_commands.h"

namespace sorabu::textcmd::test {

class MapMemory : public TSearchMemory {
 public:
  std::map<std::string, std::string> values;  // "section/key" -> value
  std::optional<std::string> Read(std::string_view section, std::string_view key) override {
    auto it = values.find(std::string(section) + "/" + std::string(key));
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  void Write(std::string_view section, std::string_view key, std::string_view value) override {
    values[std::string(section) + "/" + std::string(key)] = std::string(value);
  }
};

}  // namespace sorabu::textcmd::test
