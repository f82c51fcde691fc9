// The archive writer: entries with level-2 headers, data in -lh5- or, where compression does not
// help, -lh0-; folders as -lhd- entries.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/lha/error.h"
#include "archive/lha/header.h"
#include "archive/lha/lzh_encoder.h"

namespace sorabu::lha {

struct PackOptions {
  bool compress = true;  // false: every file stored (-lh0-)
  EncodeOptions encode;
};

class ArchiveWriter {
 public:
  explicit ArchiveWriter(PackOptions options = {}) : options_(options) {}

  // name: CP932 bytes, folders separated by "/". kTooLarge beyond 4 GiB - 1 or for names a
  // level-2 header cannot hold.
  Error AddFile(std::string_view name, std::string_view data, std::int64_t mtime,
                std::optional<std::uint16_t> unix_mode = std::nullopt);
  Error AddDirectory(std::string_view name, std::int64_t mtime,
                     std::optional<std::uint16_t> unix_mode = std::nullopt);

  // Copies an entry of another archive unchanged: `raw` is its header and data as stored
  // (ArchiveReader::RawEntry), `entry` what the reader made of them.
  Error AddExisting(std::string_view raw, const Entry& entry);

  const std::vector<Entry>& entries() const noexcept { return entries_; }
  // The archive with its end mark; the writer is empty again afterwards.
  std::string Finish();

 private:
  PackOptions options_;
  std::string out_;
  std::vector<Entry> entries_;
};

// UTF-8 file-system name -> CP932 name component.
using NameEncoder = std::function<std::string(std::string_view utf8)>;

// Asked before a file or folder is read: its stored CP932 name, modification time and kind; false
// leaves it out (a folder's contents are still visited).
using AdmitFn = std::function<bool(const std::string& stored, std::int64_t mtime, bool is_folder)>;

struct CreateOptions {
  PackOptions pack;
  bool recurse = true;      // folders are added with their contents
  NameEncoder encode_name;  // empty: UTF-8 to CP932
  AdmitFn admit;            // empty: everything
};

// One line per file that could not be added, with its path and the error.
struct CreateReport {
  std::vector<Entry> added;
  std::vector<std::pair<std::string, Error>> failed;
};

// The name to store for a path given by the user: "/a/./b/../c" -> "a/b/c". Leading "/", "." and
// ".." components are dropped, so what is stored can always be extracted below a folder.
std::string StoredName(const std::string& path);

// Adds the file or folder at disk_path under the UTF-8 name `stored` ("a/b.txt"; folders with
// their contents when options.recurse). Failures are appended to report.failed.
void AddPath(ArchiveWriter& writer, const std::string& disk_path, const std::string& stored,
             const CreateOptions& options, CreateReport& report);

// Writes bytes to path through a temporary file beside it, so path is replaced only when complete.
Error WriteFileReplacing(const std::string& path, std::string_view bytes);

// Writes archive_path (replacing an existing file only once the new archive is complete) from
// `files`, given relative to base_dir (or absolute); names are stored relative, without leading
// "/", "." or ".." components. Symbolic links are skipped. kOk when every file was added.
Error CreateArchiveFile(const std::string& archive_path, const std::string& base_dir,
                        const std::vector<std::string>& files, const CreateOptions& options,
                        CreateReport* report = nullptr);

}  // namespace sorabu::lha
