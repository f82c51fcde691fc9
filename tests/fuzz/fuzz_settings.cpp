// Arbitrary bytes as the settings file: it is read, every key of every section it names is
// looked up, a value is written, and the file written back is read again: the written value and
// every value read before must come back the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "settings/ini_file.h"
#include "tests/fuzz/fuzz_folder.h"

using sorabu::settings::TIniFile;

namespace {

const std::string& Folder() { return sorabu::fuzz::FuzzFolder("settings"); }

// Section names as a reader of INI text sees them: "[name]" at the start of a line.
std::vector<std::string> SectionNames(const std::string& text) {
  std::vector<std::string> names;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    const std::size_t close = line.find(']');
    if (!line.empty() && line[0] == '[' && close != std::string::npos && names.size() < 64) {
      names.push_back(line.substr(1, close - 1));
    }
    at = end + 1;
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string path = Folder() + "/sorabu.ini";
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(text.data(), static_cast<std::streamsize>(size));
  std::vector<std::pair<std::pair<std::string, std::string>, std::string>> seen;
  {
    TIniFile ini(path);
    for (const std::string& section : SectionNames(text)) {
      for (const std::string& key : ini.ReadSectionKeys(section)) {
        const auto value = ini.Find(section, key);
        if (!value) std::abort();
        (void)ini.ReadInteger(section, key, 0);
        if (seen.size() < 256) seen.push_back({{section, key}, *value});
      }
    }
    ini.WriteString("Fuzz", "Written", "値 = [x]");
    if (!ini.UpdateFile()) std::abort();
  }
  TIniFile again(path);
  if (again.ReadString("Fuzz", "Written", "") != "値 = [x]") std::abort();
  for (const auto& [where, value] : seen) {
    if (where.first == "Fuzz" || where.first.empty()) continue;
    if (again.Find(where.first, where.second) != value) std::abort();
  }
  return 0;
}
