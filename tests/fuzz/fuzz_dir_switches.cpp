// Arbitrary argument text through the dir command's parser (split into words, switches applied,
// the path gathered), then the arguments the dir dialog builds read back: the parser must give
// the dialog's path and choices back unchanged. Byte 0 picks the dialog's choices.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "info/dir_switches.h"

namespace info = sorabu::info;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string line(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto tokens = info::SplitDirLine(line);
  for (const auto& t : tokens) {
    if (t.text.find('"') != std::string::npos) std::abort();
  }
  info::DirOptions options;
  std::string error;
  if (!info::ParseDirTokens(tokens, options, error) && error.empty()) std::abort();

  // The dialog quotes the path, so any path without a double quote must come back whole.
  if (line.find('"') != std::string::npos || line.empty()) return 0;
  const int choice = data[0];
  const bool subdirs = (choice & 1) != 0, lower = (choice & 2) != 0;
  const int form = (choice >> 2) & 3;
  const int attribute = (choice >> 4) % static_cast<int>(info::DirAttributeItems().size());
  const int sort = (choice * 7) % static_cast<int>(info::DirSortItems().size());
  info::DirOptions back;
  if (!info::ParseDirTokens(info::SplitDirLine(info::BuildDirArguments(line, attribute, sort, subdirs, form, lower)),
                            back, error)) {
    std::abort();
  }
  if (back.path != line || back.subdirs != subdirs || back.lower != lower ||
      static_cast<int>(back.form) != form) {
    std::abort();
  }
  return 0;
}
