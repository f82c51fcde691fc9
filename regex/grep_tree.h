// The files a Grep through a folder tree searches.
//
// The folder's own regular files come first, by name, then each subfolder's tree, folders by
// name, so the results read as a listing of the tree does. Folders whose names begin with "." are
// hidden and left out; a link to a folder is not followed (so a link back up the tree cannot make
// the walk go round); a link to a file is searched as the file. `wanted` decides on a file's name
// (the list's mask); no file is opened (the search sets binary files aside as it opens them). A
// folder that cannot be read is reported with the system's reason and the walk goes on. `stop`,
// asked between entries, ends the walk early.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace sorabu::regex {

struct GrepTree {
  std::vector<std::string> files;
  std::vector<std::pair<std::string, std::string>> unreadable;  // folder, reason (CP932)
  bool stopped = false;
};

GrepTree CollectGrepTree(const std::string& root, const std::function<bool(const std::string& name)>& wanted,
                         const std::function<bool()>& stop = {});

}  // namespace sorabu::regex
