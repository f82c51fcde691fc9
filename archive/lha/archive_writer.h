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
#include "archive/lha/input.h"
#include "archive/lha/lzh_encoder.h"
#include "archive/lha/sink.h"
#include "archive/lha/spool.h"

namespace sorabu::lha {

struct PackOptions {
  bool compress = true;  // false: every file stored (-lh0-)
  EncodeOptions encode;
  std::string spool_dir;  // where the archive is built up (empty: $TMPDIR or /tmp)
};

class ArchiveReader;

// Entries are written to a scratch file as they are added, and files are read a piece at a
// time, so memory stays small whatever the sizes.
class ArchiveWriter {
 public:
  explicit ArchiveWriter(PackOptions options = {}) : options_(options), spool_(options_.spool_dir) {}

  // name: CP932 bytes, folders separated by "/". kTooLarge beyond 4 GiB - 1 or for names a
  // level-2 header cannot hold.
  Error AddFile(std::string_view name, std::string_view data, std::int64_t mtime,
                std::optional<std::uint16_t> unix_mode = std::nullopt);
  // The same for data read from `data` piece by piece; kOpenFailed when it cannot be read to its
  // end. A failed call leaves the archive as it was.
  Error AddFileFrom(std::string_view name, const Input& data, std::int64_t mtime,
                    std::optional<std::uint16_t> unix_mode = std::nullopt);
  Error AddDirectory(std::string_view name, std::int64_t mtime,
                     std::optional<std::uint16_t> unix_mode = std::nullopt);

  // Copies an entry of another archive unchanged: `raw` is its header and data as stored
  // (ArchiveReader::RawEntry), `entry` what the reader made of them.
  Error AddExisting(std::string_view raw, const Entry& entry);

  const std::vector<Entry>& entries() const noexcept { return entries_; }
  // The entries written so far, opened for reading (to copy them on with CopyRawEntry).
  Error OpenEntries(ArchiveReader& reader) const;
  // The archive with its end mark handed to `out`; the writer is empty again afterwards.
  Error Finish(ByteSink& out);
  // The same in memory, for small archives.
  std::string Finish();

 private:
  Error Rollback(std::uint64_t to, Error e);
  // Appends e's level-2 header and sets its offsets and header size.
  Error WriteHeader(Entry& e);

  PackOptions options_;
  Spool spool_;
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

// Writes archive_path (replacing an existing file only once the new archive is complete) from
// `files`, given relative to base_dir (or absolute); names are stored relative, without leading
// "/", "." or ".." components. Symbolic links are skipped. kOk when every file was added.
Error CreateArchiveFile(const std::string& archive_path, const std::string& base_dir,
                        const std::vector<std::string>& files, const CreateOptions& options,
                        CreateReport* report = nullptr);

}  // namespace sorabu::lha
