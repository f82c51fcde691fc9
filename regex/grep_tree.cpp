#include "regex/grep_tree.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "textconv/system_error.h"

namespace sorabu::regex {

namespace fs = std::filesystem;

namespace {

void Walk(const fs::path& folder, const std::function<bool(const std::string&)>& wanted,
          const std::function<bool()>& stop, GrepTree& out) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) {
    out.unreadable.emplace_back(folder.string(), textconv::SystemErrorText(ec.value()));
    return;
  }
  std::vector<std::string> files, folders;
  for (const fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    if (stop && stop()) {
      out.stopped = true;
      return;
    }
    const fs::directory_entry& entry = *it;
    const std::string name = entry.path().filename().string();
    std::error_code type_ec;
    if (entry.is_directory(type_ec)) {
      if (!entry.is_symlink(type_ec) && !name.starts_with('.')) folders.push_back(name);
    } else if (entry.is_regular_file(type_ec) && (!wanted || wanted(name))) {
      files.push_back(name);
    }
  }
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end());
  for (const std::string& name : files) out.files.push_back((folder / name).string());
  for (const std::string& name : folders) {
    if (out.stopped) return;
    Walk(folder / name, wanted, stop, out);
  }
}

}  // namespace

GrepTree CollectGrepTree(const std::string& root, const std::function<bool(const std::string& name)>& wanted,
                         const std::function<bool()>& stop) {
  GrepTree tree;
  Walk(fs::path(root), wanted, stop, tree);
  return tree;
}

}  // namespace sorabu::regex
