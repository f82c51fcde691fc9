#include "fileops/folder_list.h"

#include <dirent.h>
#include <sys/stat.h>

#include "fileops/file_io.h"
#include "fileops/path_names.h"
#include "textconv/cp932.h"

namespace sorabu::fileops {

using io::JoinPath;
using textconv::Utf8ToCp932;

bool IsFolder(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> FolderNames(const std::string& folder, bool* ok) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (ok) *ok = dir != nullptr;
  if (dir == nullptr) return names;
  while (const dirent* e = readdir(dir)) {
    const std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(n);
  }
  closedir(dir);
  return names;
}

std::string TypeNameOf(const std::string& name, bool folder) {
  if (folder) return Utf8ToCp932("ファイル フォルダー");
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return Utf8ToCp932("ファイル");
  std::string ext = name.substr(dot + 1);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return ext + Utf8ToCp932(" ファイル");
}

void FillRecord(const std::string& path, const struct stat& st, TFileRecord& r) {
  r.name = BaseName(path);
  r.displayName = r.name;
  r.shortName.clear();
  r.typeName = TypeNameOf(r.name, S_ISDIR(st.st_mode));
  r.size = S_ISDIR(st.st_mode) ? 0 : static_cast<unsigned long long>(st.st_size);
  r.writeTime = st.st_mtime;
  r.accessTime = st.st_atime;
  r.changeTime = st.st_ctime;
  unsigned a = 0;
  if (!(st.st_mode & S_IWUSR)) a |= kAttrReadOnly;
  if (!r.name.empty() && r.name[0] == '.') a |= kAttrHidden;
  if (S_ISDIR(st.st_mode)) a |= kAttrDirectory;
  r.attributes = a == 0 ? kAttrNormal : a;
}

unsigned long long TSHFOP::ListFiles(const std::string& folder, std::string pattern, TListMode mode,
                                     std::vector<TCollectedFile>& out) {
  if (!IsFolder(folder)) return 0;
  out.clear();
  if (!pattern.empty() && pattern.front() == '/') pattern.erase(0, 1);
  if (pattern.empty()) pattern = "*.*";
  std::vector<std::string> folders{folder};
  // Breadth-first; links to folders are not entered, so a loop of links ends.
  for (std::size_t i = 0; i < folders.size(); ++i) {
    for (const std::string& n : FolderNames(folders[i])) {
      const std::string p = JoinPath(folders[i], n);
      struct stat st {};
      if (lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) folders.push_back(p);
    }
  }
  unsigned long long total = 0;
  for (const std::string& f : folders) {
    for (const std::string& n : FolderNames(f)) {
      if (!WildcardMatch(pattern, n)) continue;
      const std::string p = JoinPath(f, n);
      struct stat st {};
      if (stat(p.c_str(), &st) != 0 && lstat(p.c_str(), &st) != 0) continue;
      if (S_ISDIR(st.st_mode)) continue;
      total += static_cast<unsigned long long>(st.st_size);
      TCollectedFile file{p, std::nullopt};
      if (mode == TListMode::Records) {
        TFileRecord r;
        FillRecord(p, st, r);
        file.record = r;
      }
      out.push_back(std::move(file));
    }
  }
  return total;
}

bool TSHFOP::FileData(const std::string& path, TFileRecord& record) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 && lstat(path.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return false;
  FillRecord(path, st, record);
  return true;
}

}  // namespace sorabu::fileops
