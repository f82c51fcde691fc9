// TSHFOP: copy, move, delete and rename over lists of paths, with wildcards and folders.
//
// The transfers themselves are GIO's (the file-operation library of the Linux desktops); this
// class collects the items, asks the questions through the dialog interface (missing destination,
// name taken, delete confirmation), reports progress, honours Cancel and lists per-item problems
// once at the end. Paths are the file system's bytes; "/" separates folders.
//
// Nothing is lost: a file is copied under a temporary name in the destination folder and renamed
// into place only when complete, and a move across file systems removes a source only after its
// copy is complete. Symbolic links are copied as links and never followed.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"
#include "fileops/path_names.h"

namespace sorabu::fileops {

enum class TwFuncOption { wCOPY = 0, wDELETE = 1, wMOVE = 2, wRENAME = 3 };

enum class TfFlagsOption {
  ALLOWUNDO, FILESONLY, MULTIDESTFILES, NOCONFIRMATION, NOCONFIRMMKDIR, RENAMEONCOLLISION, SILENT,
  SIMPLEPROGRESS
};

class TfFlagsOptions {
 public:
  TfFlagsOptions(std::initializer_list<TfFlagsOption> options = {}) {
    for (TfFlagsOption o : options) Include(o);
  }
  bool Has(TfFlagsOption o) const { return (bits_ >> static_cast<unsigned>(o)) & 1U; }
  void Include(TfFlagsOption o) { bits_ |= 1U << static_cast<unsigned>(o); }
  void Exclude(TfFlagsOption o) { bits_ &= ~(1U << static_cast<unsigned>(o)); }
  // The flag word of the classic shell file operation (ALLOWUNDO 0x0040, ...).
  unsigned ShellFlags() const;
  bool operator==(const TfFlagsOptions&) const = default;

 private:
  unsigned bits_ = 0;
};

// Attribute bits as the rest of the program knows them.
inline constexpr unsigned kAttrReadOnly = 0x01, kAttrHidden = 0x02, kAttrSystem = 0x04,
                          kAttrDirectory = 0x10, kAttrArchive = 0x20, kAttrNormal = 0x80;

// What is known of one file: the shell-style information, then the directory record.
struct TFileRecord {
  std::string displayName;
  std::string typeName;
  int iconIndex = -1;
  unsigned attributes = 0;
  unsigned long long size = 0;
  long long writeTime = 0, accessTime = 0, changeTime = 0;  // seconds since the epoch
  std::string name;
  std::string shortName;
};

struct TCollectedFile {
  std::string path;
  std::optional<TFileRecord> record;  // present when the list was collected with records
};

struct TFileOpProgress {
  unsigned long long bytesDone = 0, bytesTotal = 0;
  unsigned long long filesDone = 0, filesTotal = 0;
  std::string current;  // the item at work; empty with SIMPLEPROGRESS
};

enum class TListMode { Paths, Records };

class TSHFOP {
 public:
  explicit TSHFOP(dialogs::TDialogs& dialogs);
  ~TSHFOP();
  TSHFOP(const TSHFOP&) = delete;
  TSHFOP& operator=(const TSHFOP&) = delete;

  bool GetFileList = false;
  std::string ProgressTitle;  // CP932
  std::vector<std::string> FromFFList;
  std::string ToFolder;  // the destination; for a rename the new name
  TwFuncOption OperationF = TwFuncOption::wCOPY;
  TfFlagsOptions Options{TfFlagsOption::ALLOWUNDO};
  // Raised just before the work starts; clearing execFlag cancels it.
  std::function<void(TSHFOP& sender, bool& execFlag)> OnPrepared;
  // Called from the thread that runs Execute, at most every few tens of milliseconds.
  std::function<void(const TFileOpProgress&)> OnProgress;

  // True when the operation ran, every item succeeded and nothing was aborted.
  bool Execute();
  // From any thread: the running Execute stops at its next piece and reports aborted.
  void Cancel();

  const std::vector<TCollectedFile>& FileList() const { return fileList_; }
  bool Aborted() const { return aborted_; }
  // "path: reason" for every item that failed in the last run (CP932 for display).
  const std::vector<std::string>& Errors() const { return errors_; }

  // Every file below folder (the folder itself first, then its subfolders breadth-first) whose name
  // matches pattern; returns their total size. A folder that does not exist gives 0 and leaves
  // out untouched.
  static unsigned long long ListFiles(const std::string& folder, std::string pattern, TListMode mode,
                                      std::vector<TCollectedFile>& out);
  // True when path exists and is not a folder; fills record.
  static bool FileData(const std::string& path, TFileRecord& record);

 private:
  struct Work;
  // Expands FromFFList into the items to work on and fills the file list; the bytes of its files.
  unsigned long long Collect(std::vector<std::string>& items);
  bool EnsureDestination();

  dialogs::TDialogs& dialogs_;
  std::vector<TCollectedFile> fileList_;
  std::vector<std::string> errors_;
  bool aborted_ = false;
  std::atomic<bool> cancel_{false};
  std::atomic<void*> cancellable_{nullptr};
};

// Creates folder and every missing parent; false when it cannot.
bool ForceDirectories(const std::string& folder);

}  // namespace sorabu::fileops
