// Names within paths, for the file operations: plain string work on the file system's bytes,
// no GIO and no Qt.
#pragma once

#include <string>

namespace sorabu::fileops {

// The last part of a path, trailing slashes ignored ("a/b/" gives "b").
std::string BaseName(const std::string& path);
// The folder part of a path ("a/b" gives "a", "/a" gives "/", "a" gives ".").
std::string DirName(const std::string& path);
bool HasWildcard(const std::string& s);
// Matches a name against a pattern of "*" and "?" ("*.*" matches every name).
bool WildcardMatch(const std::string& pattern, const std::string& name);
// The name a rename mask gives a name: "*" and "?" take the name's characters, stem and
// extension separately ("*.bak" on "a.txt" gives "a.bak").
std::string ApplyRenameMask(const std::string& mask, const std::string& name);
// A free name in folder for name: "name (2).ext", "name (3).ext", ...
std::string FreeName(const std::string& folder, const std::string& name);

}  // namespace sorabu::fileops
