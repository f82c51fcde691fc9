#include "custom/entry_lists.h"

#include "custom/command_line.h"
#include "settings/ini_file.h"

namespace sorabu::custom {

int TFolderList::AddFolder(const std::string& path) {
  if (path.empty() || std::find(items_.begin(), items_.end(), path) != items_.end()) return -1;
  return Add(path);
}

std::vector<std::string> TFolderList::Stored() const {
  std::vector<std::string> kept;
  for (const std::string& f : items_)
    if (!f.empty()) kept.push_back(f);
  return kept;
}

std::string ProgramOf(const std::string& commandLine) {
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  return words.empty() ? std::string() : words.front();
}

namespace {
// A count that no user reaches by hand; it keeps a damaged file from building millions of items.
constexpr int kMaxEntries = 10000;
}  // namespace

std::vector<AppEntry> ReadApplications(const settings::TIniFile& ini) {
  std::vector<AppEntry> entries;
  const int count = std::min(ini.ReadInteger("Mexe", "Count", 0), kMaxEntries);
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    entries.push_back({ini.ReadString("Mexe", "File" + n, ""), ini.ReadString("Mexe", "Name" + n, "")});
  }
  return entries;
}

void WriteApplications(settings::TIniFile& ini, const std::vector<AppEntry>& entries) {
  ini.EraseSection("Mexe");
  ini.WriteInteger("Mexe", "Count", static_cast<long long>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string n = std::to_string(i);
    ini.WriteString("Mexe", "File" + n, entries[i].commandLine);
    ini.WriteString("Mexe", "Name" + n, entries[i].name);
  }
}

std::vector<std::string> ReadFolders(const settings::TIniFile& ini) {
  std::vector<std::string> folders;
  const int count = std::min(ini.ReadInteger("PopupMenu2", "Count", 0), kMaxEntries);
  for (int i = 0; i < count; ++i) folders.push_back(ini.ReadString("PopupMenu2", "Folder" + std::to_string(i), ""));
  return folders;
}

void WriteFolders(settings::TIniFile& ini, const std::vector<std::string>& folders) {
  const std::vector<std::string> kept = TFolderList(folders).Stored();
  ini.EraseSection("PopupMenu2");
  ini.WriteInteger("PopupMenu2", "Count", static_cast<long long>(kept.size()));
  for (std::size_t i = 0; i < kept.size(); ++i) ini.WriteString("PopupMenu2", "Folder" + std::to_string(i), kept[i]);
}

}  // namespace sorabu::custom
