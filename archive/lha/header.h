// One archive entry's header: what the header reader produces and the header writer consumes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "archive/lha/error.h"

namespace sorabu::lha {

struct Entry {
  std::string method;               // five bytes, "-lh5-"
  std::string name;                 // CP932 bytes; folders separated by "/" (see ReadHeader)
  std::uint64_t packed_size = 0;    // bytes of (compressed) data after the header
  std::uint64_t original_size = 0;
  std::uint16_t crc = 0;            // CRC-16 of the original data
  std::uint32_t dos_time = 0;       // MS-DOS date (high 16 bits) and time (low 16 bits)
  std::optional<std::int64_t> unix_time;  // modification time, seconds since 1970 UTC
  std::uint8_t attribute = 0x20;    // MS-DOS attributes
  int level = 0;                    // header level 0..3
  std::uint8_t os_id = 0;           // 'M' MS-DOS, 'U' Unix, 'W' Windows ...
  std::optional<std::uint16_t> unix_mode;
  std::string link_target;          // non-empty for a symbolic link ("name|target" entries)
  std::string comment;              // what follows a NUL in the name (Amiga's LhA keeps comments there)

  std::uint64_t header_offset = 0;  // where the header starts in the archive
  std::uint64_t header_size = 0;    // header bytes including all extended headers
  std::uint64_t data_offset = 0;    // where the packed data starts

  bool IsDirectory() const noexcept { return method == "-lhd-" && link_target.empty(); }
  bool IsLink() const noexcept { return !link_target.empty(); }
  // unix_time when the header has one, else dos_time read as local time.
  std::int64_t ModificationTime() const;
};

// Reads the header starting at archive[offset].
// - kEndOfArchive: offset is at the end, or at the zero byte that ends an archive.
// - kTruncated: the header or its data reaches past the end of `archive`.
// - kBadHeader / kHeaderChecksum: lengths, level or method field impossible, or the checksum
//   (levels 0, 1) or header CRC (levels 2, 3, when present) differs.
// Names are normalised: the directory separators of every level (0xFF, "\" as a character, "/")
// become "/"; a 0x5C that is the second byte of a Shift-JIS character stays. A name ends at its
// first NUL; the bytes after it are the entry's comment.
// `archive` may be a window: archive_size, when given, is the size of the whole archive of which
// `archive` is the start, and bounds the packed data instead of the window.
Error ReadHeader(std::string_view archive, std::uint64_t offset, Entry& out,
                 std::uint64_t archive_size = UINT64_MAX);

// True when a header that ReadHeader accepts, checksum included, starts at archive[offset];
// used to find the archive inside a self-extracting program.
bool LooksLikeHeader(std::string_view archive, std::uint64_t offset, std::uint64_t archive_size = UINT64_MAX);

// A level-2 header for the entry (name, method, sizes, crc, unix_time, attribute, unix_mode).
// kTooLarge for names or sizes a level-2 header cannot hold.
Error WriteLevel2Header(const Entry& entry, std::string& out);

}  // namespace sorabu::lha
