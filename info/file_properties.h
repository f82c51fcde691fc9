// What the properties dialog shows about one file: labelled rows of CP932 text.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sorabu::info {

struct FileProperties {
  std::string caption;                                    // name + " のプロパティ"
  std::vector<std::pair<std::string, std::string>> rows;  // label, value
};

// "rwxr-xr-x"-style text of a mode's permission bits, with the set-id and sticky letters.
std::string PermissionText(unsigned mode);

// Name, folder, type, size, modified, accessed and changed dates, permissions, owner and group,
// and for a symbolic link its target. Nothing (empty caption) when path cannot be looked at.
FileProperties ReadFileProperties(const std::string& path);

}  // namespace sorabu::info
