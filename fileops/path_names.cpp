#include "fileops/path_names.h"

#include <sys/stat.h>

#include <utility>

#include "fileops/file_io.h"

namespace sorabu::fileops {

std::string BaseName(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  const auto slash = p.rfind('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string DirName(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  const auto slash = p.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : p.substr(0, slash);
}

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*" || pattern == "*") return true;
  // Iterative match with one back-tracking point: linear in practice, never exponential.
  std::size_t p = 0, n = 0, star = std::string::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string ApplyRenameMask(const std::string& mask, const std::string& name) {
  auto split = [](const std::string& s) {
    const auto dot = s.rfind('.');
    if (dot == std::string::npos || dot == 0) return std::pair<std::string, std::string>{s, std::string()};
    return std::pair<std::string, std::string>{s.substr(0, dot), s.substr(dot + 1)};
  };
  auto apply = [](const std::string& m, const std::string& part) {
    std::string out;
    std::size_t i = 0;
    for (char c : m) {
      if (c == '*') {
        if (i < part.size()) out += part.substr(i);
        i = part.size();
      } else if (c == '?') {
        if (i < part.size()) out += part[i];
        ++i;
      } else {
        out += c;
        ++i;
      }
    }
    return out;
  };
  const auto [maskStem, maskExt] = split(mask);
  const auto [stem, ext] = split(name);
  const bool maskHasExt = mask.find('.') != std::string::npos && mask.rfind('.') != 0;
  std::string out = apply(maskStem, stem);
  if (maskHasExt) {
    const std::string e = apply(maskExt, ext);
    if (!e.empty()) out += "." + e;
  }
  return out;
}

std::string FreeName(const std::string& folder, const std::string& name) {
  const auto dot = name.rfind('.');
  const bool hasExt = dot != std::string::npos && dot != 0;
  const std::string stem = hasExt ? name.substr(0, dot) : name;
  const std::string ext = hasExt ? name.substr(dot) : std::string();
  for (unsigned long long i = 2;; ++i) {
    const std::string candidate = stem + " (" + std::to_string(i) + ")" + ext;
    struct stat st {};
    if (lstat(io::JoinPath(folder, candidate).c_str(), &st) != 0) return candidate;
  }
}

}  // namespace sorabu::fileops
