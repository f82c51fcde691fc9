// A temporary folder for file-operation tests, with helpers to build and inspect trees.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace sorabu::fileops::test {

class TempTree {
 public:
  TempTree() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/sorabu-fileops-XXXXXX";
    root_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  explicit TempTree(const std::string& base) {
    std::string pattern = base + "/sorabu-fileops-XXXXXX";
    root_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempTree() {
    if (!root_.empty()) Remove(root_);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  bool ok() const { return !root_.empty(); }
  const std::string& root() const { return root_; }
  std::string operator()(const std::string& rel) const { return root_ + "/" + rel; }

  void Write(const std::string& rel, const std::string& bytes) const {
    MakeParents(rel);
    std::ofstream(root_ + "/" + rel, std::ios::binary) << bytes;
  }
  void Dir(const std::string& rel) const {
    MakeParents(rel + "/x");
  }
  std::string Read(const std::string& rel) const { return ReadPath(root_ + "/" + rel); }
  bool Exists(const std::string& rel) const {
    struct stat st {};
    return lstat((root_ + "/" + rel).c_str(), &st) == 0;
  }

  static std::string ReadPath(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Every entry below rel: relative name -> content ("<dir>", "-> target" for links).
  std::map<std::string, std::string> Snapshot(const std::string& rel = "") const {
    std::map<std::string, std::string> out;
    Walk(rel.empty() ? root_ : root_ + "/" + rel, "", out);
    return out;
  }

  static void Remove(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return;
    if (S_ISDIR(st.st_mode)) {
      chmod(path.c_str(), 0700);
      if (DIR* d = opendir(path.c_str())) {
        while (const dirent* e = readdir(d)) {
          const std::string n = e->d_name;
          if (n != "." && n != "..") Remove(path + "/" + n);
        }
        closedir(d);
      }
      rmdir(path.c_str());
    } else {
      unlink(path.c_str());
    }
  }

 private:
  void MakeParents(const std::string& rel) const {
    std::string path = root_;
    std::size_t start = 0;
    for (auto slash = rel.find('/'); slash != std::string::npos; slash = rel.find('/', start)) {
      path += "/" + rel.substr(start, slash - start);
      mkdir(path.c_str(), 0777);
      start = slash + 1;
    }
  }
  static void Walk(const std::string& path, const std::string& rel, std::map<std::string, std::string>& out) {
    DIR* d = opendir(path.c_str());
    if (!d) return;
    while (const dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n == "." || n == "..") continue;
      const std::string p = path + "/" + n, r = rel.empty() ? n : rel + "/" + n;
      struct stat st {};
      lstat(p.c_str(), &st);
      if (S_ISDIR(st.st_mode)) {
        out[r] = "<dir>";
        Walk(p, r, out);
      } else if (S_ISLNK(st.st_mode)) {
        char target[4096];
        const auto len = readlink(p.c_str(), target, sizeof target);
        out[r] = "-> " + std::string(target, len > 0 ? static_cast<std::size_t>(len) : 0);
      } else if (S_ISREG(st.st_mode)) {
        out[r] = ReadPath(p);
      } else {
        out[r] = "<special>";
      }
    }
    closedir(d);
  }

  std::string root_;
};

}  // namespace sorabu::fileops::test
