// The archive reader: lists the entries of an LHA archive held in memory or read from a file,
// and extracts them to memory or under a destination folder.
//
// Extraction policy: an entry is written only below the destination. Names are split into
// folders by characters (CP932), every component is converted for the file system separately,
// and absolute names, drive prefixes and ".." are refused per entry with kUnsafeName. Folders on
// the way are opened without following symbolic links, so a link inside the destination cannot
// lead out of it; link entries themselves are never created. Data goes to a temporary file that
// replaces the target only after the CRC matched, so a broken entry never destroys a good file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/lha/codec.h"
#include "archive/lha/error.h"
#include "archive/lha/header.h"
#include "archive/lha/input.h"

namespace sorabu::lha {

struct OpenOptions {
  // When the data does not start with a header (a self-extracting program), the first header is
  // searched for within this many bytes.
  std::uint64_t self_extractor_scan = std::uint64_t{1} << 20;
  // Archives larger than this are refused by OpenFile before reading.
  std::uint64_t max_archive_size = std::uint64_t{1} << 32;
};

// CP932 name component -> file-system name component.
using NameConverter = std::function<std::string(std::string_view cp932)>;

struct ExtractOptions {
  bool keep_folders = true;  // false: only the last name component is used
  bool overwrite = true;     // false: an existing file gives kExists
  bool set_times = true;     // the file's modification time from the header
  NameConverter convert_name;  // empty: CP932 to UTF-8
  ProgressFn progress;
};

class ArchiveReader {
 public:
  // Both keep the entries read before a failure: the result is kOk after a clean end, else the
  // error that stopped the listing (kNotArchive when no header was found at all). A file is
  // read piece by piece: listing reads the headers only.
  Error OpenMemory(std::string data, const OpenOptions& options = {});
  Error OpenFile(const std::string& path, const OpenOptions& options = {});
  Error OpenInput(std::unique_ptr<Input> input, const OpenOptions& options = {});

  const std::vector<Entry>& entries() const noexcept { return entries_; }
  // Offset of the first header: 0, or where a self-extractor's archive starts.
  std::uint64_t first_header_offset() const noexcept { return first_offset_; }
  // Size of the archive file or data; 0 before a successful open.
  std::uint64_t size() const noexcept { return input_ != nullptr ? input_->Size() : 0; }

  // The entry's header and data exactly as stored, for copying into another archive.
  Error RawEntry(const Entry& e, std::string& out) const;
  // The same bytes handed to `out` piece by piece, for an entry of any size; kWriteFailed when
  // the sink refuses them.
  Error CopyRawEntry(const Entry& e, ByteSink& out) const;
  // size bytes of the archive from offset (a self-extractor's program before its first header).
  Error CopyBytes(std::uint64_t offset, std::uint64_t size, ByteSink& out) const;
  // Decodes the entry; sizes above max_size are refused before anything is allocated.
  Error ExtractToMemory(const Entry& e, std::string& out, std::uint64_t max_size = std::uint64_t{1} << 31,
                        const ProgressFn& progress = {}) const;
  // Decodes and checks the CRC without keeping the data.
  Error Test(const Entry& e) const;
  // Writes the entry below dest_dir (which must exist); *written receives the path made.
  Error ExtractToFolder(const Entry& e, const std::string& dest_dir, const ExtractOptions& options,
                        std::string* written = nullptr) const;

 private:
  Error Scan(const OpenOptions& options);
  // Reads the entries from offset on into entries_, to the end mark or the first failure.
  Error Chain(std::uint64_t offset);
  Error HeaderAt(std::uint64_t offset, Entry& e) const;
  Error CheckPacked(const Entry& e) const;
  DecodeRequest Request(const Entry& e, PackedSource& packed) const;

  std::unique_ptr<Input> input_;
  std::vector<Entry> entries_;
  std::uint64_t first_offset_ = 0;
};

// The whole file, or kOpenFailed / kTooLarge.
Error ReadWholeFile(const std::string& path, std::uint64_t max_size, std::string& out);

}  // namespace sorabu::lha
