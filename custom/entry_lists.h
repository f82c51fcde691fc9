// The two user-kept lists (applications and registered folders): the editing steps their dialogs
// offer and how they sit in the settings file (sections Mexe and PopupMenu2).
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/dialogs.h"

namespace sorabu::settings {
class TIniFile;
}

namespace sorabu::custom {

using dialogs::AppEntry;

// The list behind a list box: each step returns the row to select afterwards (-1 for none) and
// leaves the list unchanged when the row does not allow the step.
template <typename T>
class TOrderedList {
 public:
  TOrderedList() = default;
  explicit TOrderedList(std::vector<T> items) : items_(std::move(items)) {}

  const std::vector<T>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  bool Valid(int i) const { return i >= 0 && i < Count(); }

  int Add(T item) {
    items_.push_back(std::move(item));
    return Count() - 1;
  }
  int Update(int i, T item) {
    if (!Valid(i)) return i;
    items_[static_cast<std::size_t>(i)] = std::move(item);
    return i;
  }
  int Up(int i) {
    if (i <= 0 || !Valid(i)) return i;
    std::swap(items_[static_cast<std::size_t>(i)], items_[static_cast<std::size_t>(i - 1)]);
    return i - 1;
  }
  int Down(int i) {
    if (i < 0 || i > Count() - 2) return i;
    std::swap(items_[static_cast<std::size_t>(i)], items_[static_cast<std::size_t>(i + 1)]);
    return i + 1;
  }
  int Remove(int i) {
    if (!Valid(i)) return i;
    items_.erase(items_.begin() + i);
    return i <= 0 ? (Count() > 0 ? 0 : -1) : i - 1;
  }

 protected:
  std::vector<T> items_;
};

using TAppList = TOrderedList<AppEntry>;

// Folders: the same path twice is kept once (exact, case-sensitive).
class TFolderList : public TOrderedList<std::string> {
 public:
  using TOrderedList::TOrderedList;
  // The new row, or -1 when the path is empty or listed already.
  int AddFolder(const std::string& path);
  // The list as it is stored: empty entries left out.
  std::vector<std::string> Stored() const;
};

// What an application entry runs: its first word is the program.
std::string ProgramOf(const std::string& commandLine);

// Every Mexe entry in file order (index i under File+i and Name+i).
std::vector<AppEntry> ReadApplications(const settings::TIniFile& ini);
void WriteApplications(settings::TIniFile& ini, const std::vector<AppEntry>& entries);
// Every PopupMenu2 entry in file order, empty ones included: their position is their number.
std::vector<std::string> ReadFolders(const settings::TIniFile& ini);
// Empty entries are dropped before writing.
void WriteFolders(settings::TIniFile& ini, const std::vector<std::string>& folders);

}  // namespace sorabu::custom
