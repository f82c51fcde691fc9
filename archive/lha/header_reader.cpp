// The header reader: levels 0, 1, 2 and 3 and their extended headers.
//
// Level 0 (checksum over bytes 2 .. 2+H):
//   0  1  H = header size - 2        1  1  byte sum of the following H bytes
//   2  5  method                     7  4  packed size        11 4  original size
//   15 4  MS-DOS time and date       19 1  attribute          20 1  level (0)
//   21 1  N = name length            22 N  name (folders separated by "\" or 0xFF)
//   22+N 2 CRC-16 of the data        24+N  optional: OS id, and for 'U' mtime(4) mode(2) ...
// Level 1: as level 0 up to the CRC, then
//   24+N 1 OS id                     25+N 2 size of the first extended header (0: none)
//   19 holds 0x20; the packed size counts the extended headers, which follow the base header.
// Level 2 (header CRC in extended header 0x00):
//   0  2  total header size T        2  5  method             7  4  packed size
//   11 4  original size              15 4  Unix time          19 1  reserved
//   20 1  level (2)                  21 2  CRC-16 of data     23 1  OS id
//   24 2  size of the first extended header
// Level 3: as level 2 with 0 2 = word size (4), 24 4 = total header size, 28 4 = first size.
//
// Extended header: type(1) data next-size(2, level 3: 4); its size counts all three parts.
// Types read: 0x00 header CRC, 0x01 file name, 0x02 folder (0xFF separated), 0x40 MS-DOS
// attributes, 0x41 Windows time stamps, 0x42 64-bit sizes, 0x50 Unix mode, 0x54 Unix time.
//
// Every length is checked against the bytes actually present before it is used.
#include <cstring>

#include "archive/lha/crc16.h"
#include "archive/lha/dos_time.h"
#include "archive/lha/header.h"
#include "archive/lha/name_path.h"

namespace sorabu::lha {
namespace {

constexpr std::size_t kMethodOffset = 2;
constexpr std::size_t kMethodLength = 5;
constexpr std::size_t kPackedOffset = 7;
constexpr std::size_t kOriginalOffset = 11;
constexpr std::size_t kTimeOffset = 15;
constexpr std::size_t kAttributeOffset = 19;
constexpr std::size_t kLevelOffset = 20;
constexpr std::size_t kNameLengthOffset = 21;  // levels 0, 1
constexpr std::size_t kNameOffset = 22;        // levels 0, 1
constexpr std::size_t kCrcOffset = 21;         // levels 2, 3
constexpr std::size_t kOsOffset = 23;          // levels 2, 3
constexpr std::size_t kLevel2FirstExt = 24;
constexpr std::size_t kLevel2BaseSize = 26;
constexpr std::size_t kLevel3TotalSize = 24;
constexpr std::size_t kLevel3FirstExt = 28;
constexpr std::size_t kLevel3BaseSize = 32;
constexpr std::size_t kLevel0MinSize = 24;     // with an empty name
constexpr std::size_t kLevel1MinSize = 27;

constexpr std::uint8_t kExtHeaderCrc = 0x00;
constexpr std::uint8_t kExtFileName = 0x01;
constexpr std::uint8_t kExtDirectory = 0x02;
constexpr std::uint8_t kExtAttribute = 0x40;
constexpr std::uint8_t kExtWindowsTime = 0x41;
constexpr std::uint8_t kExtLargeSizes = 0x42;
constexpr std::uint8_t kExtUnixMode = 0x50;
constexpr std::uint8_t kExtUnixTime = 0x54;

constexpr std::uint16_t kUnixTypeMask = 0xF000;
constexpr std::uint16_t kUnixSymlink = 0xA000;

std::uint64_t Le(const unsigned char* p, int n) {
  std::uint64_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

bool ValidMethod(const unsigned char* p) {
  if (p[0] != '-' || p[4] != '-') return false;
  for (int i = 1; i < 4; ++i) {
    if (p[i] < 0x20 || p[i] > 0x7E) return false;
  }
  return true;
}

struct ExtState {
  std::string file_name;
  std::string directory;
  bool has_file_name = false;
  bool has_directory = false;
  std::optional<std::uint16_t> header_crc;
  std::size_t header_crc_pos = 0;  // offset of the CRC value inside the header
};

// Walks extended headers in h[pos ..), the first announced by first_size, until a size of 0.
// limit bounds where they may reach; returns the offset just past the last one.
Error ReadExtHeaders(const unsigned char* h, std::size_t pos, std::size_t limit, std::uint64_t first_size,
                     int size_bytes, Entry& e, ExtState& st, std::size_t& end) {
  std::uint64_t size = first_size;
  while (size != 0) {
    if (size < 1u + static_cast<unsigned>(size_bytes)) return Error::kBadHeader;
    if (size > limit - pos) return Error::kTruncated;
    const unsigned char* x = h + pos;
    const auto data_len = static_cast<std::size_t>(size) - 1 - static_cast<std::size_t>(size_bytes);
    const unsigned char* d = x + 1;
    switch (x[0]) {
      case kExtHeaderCrc:
        if (data_len >= 2) {
          st.header_crc = static_cast<std::uint16_t>(Le(d, 2));
          st.header_crc_pos = pos + 1;
        }
        break;
      case kExtFileName:
        st.file_name.assign(reinterpret_cast<const char*>(d), data_len);
        st.has_file_name = true;
        break;
      case kExtDirectory:
        st.directory.assign(reinterpret_cast<const char*>(d), data_len);
        st.has_directory = true;
        break;
      case kExtAttribute:
        if (data_len >= 1) e.attribute = d[0];
        break;
      case kExtWindowsTime:
        if (data_len >= 16) {
          const std::uint64_t ft = Le(d + 8, 8);  // creation, modification, access
          constexpr std::uint64_t kEpochDiff = 11644473600ull;
          if (ft / 10000000u >= kEpochDiff) e.unix_time = static_cast<std::int64_t>(ft / 10000000u - kEpochDiff);
        }
        break;
      case kExtLargeSizes:
        if (data_len >= 16) {
          e.packed_size = Le(d, 8);
          e.original_size = Le(d + 8, 8);
        }
        break;
      case kExtUnixMode:
        if (data_len >= 2) e.unix_mode = static_cast<std::uint16_t>(Le(d, 2));
        break;
      case kExtUnixTime:
        if (data_len >= 4) e.unix_time = static_cast<std::int64_t>(Le(d, 4));
        break;
      default:
        break;
    }
    pos += static_cast<std::size_t>(size);
    size = Le(x + size - static_cast<std::uint64_t>(size_bytes), size_bytes);
  }
  end = pos;
  return Error::kOk;
}

// Joins folder and file name and applies the link convention "name|target".
void FinishName(Entry& e, std::string raw_name, const ExtState& st) {
  std::string name = st.has_file_name ? st.file_name : std::move(raw_name);
  if (const std::size_t nul = name.find('\0'); nul != std::string::npos) {
    e.comment = name.substr(nul + 1);
    name.resize(nul);
  }
  name = NormalizeSeparators(name);
  if (st.has_directory && !st.directory.empty()) {
    std::string dir = NormalizeSeparators(st.directory);
    if (dir.back() != '/' && !name.empty()) dir.push_back('/');
    name = dir + name;
  }
  const bool mode_link = e.unix_mode && (*e.unix_mode & kUnixTypeMask) == kUnixSymlink;
  const std::size_t bar = name.find('|');
  if (bar != std::string::npos && (mode_link || e.method == "-lhd-")) {
    e.link_target = name.substr(bar + 1);
    name.resize(bar);
  }
  while (name.size() > 1 && name.back() == '/' ) name.pop_back();
  e.name = std::move(name);
}

Error ReadLevel01(const unsigned char* h, std::size_t avail, Entry& e) {
  const std::size_t base = static_cast<std::size_t>(h[0]) + 2;
  const int level = h[kLevelOffset];
  if (base < (level == 0 ? kLevel0MinSize : kLevel1MinSize)) return Error::kBadHeader;
  if (base > avail) return Error::kTruncated;
  unsigned sum = 0;
  for (std::size_t i = 2; i < base; ++i) sum += h[i];
  if ((sum & 0xFFu) != h[1]) return Error::kHeaderChecksum;
  const std::size_t n = h[kNameLengthOffset];
  const std::size_t fixed = kNameOffset + n + 2 + (level == 1 ? 3 : 0);
  if (fixed > base) return Error::kBadHeader;
  std::string raw(reinterpret_cast<const char*>(h + kNameOffset), n);
  e.crc = static_cast<std::uint16_t>(Le(h + kNameOffset + n, 2));
  e.dos_time = static_cast<std::uint32_t>(Le(h + kTimeOffset, 4));
  ExtState st;
  std::size_t end = base;
  if (level == 0) {
    e.attribute = h[kAttributeOffset];
    const std::size_t ext = kNameOffset + n + 2;
    if (base > ext) e.os_id = h[ext];
    // LHa for UNIX's extension: 'U', Unix time(4), mode(2), uid(2), gid(2).
    if (base >= ext + 11 && e.os_id == 'U') {
      e.unix_time = static_cast<std::int64_t>(Le(h + ext + 1, 4));
      e.unix_mode = static_cast<std::uint16_t>(Le(h + ext + 5, 2));
    }
  } else {
    e.os_id = h[kNameOffset + n + 2];
    const std::uint64_t first = Le(h + base - 2, 2);
    const Error err = ReadExtHeaders(h, base, avail, first, 2, e, st, end);
    if (err != Error::kOk) return err;
    const std::uint64_t ext_bytes = end - base;
    if (e.packed_size < ext_bytes) return Error::kBadHeader;
    e.packed_size -= ext_bytes;
  }
  e.header_size = end;
  FinishName(e, std::move(raw), st);
  return Error::kOk;
}

Error ReadLevel23(const unsigned char* h, std::size_t avail, Entry& e) {
  const bool l3 = e.level == 3;
  const std::size_t base = l3 ? kLevel3BaseSize : kLevel2BaseSize;
  if (avail < base) return Error::kTruncated;
  const std::uint64_t total = l3 ? Le(h + kLevel3TotalSize, 4) : Le(h, 2);
  if (l3 && Le(h, 2) != 4) return Error::kBadHeader;
  if (total < base) return Error::kBadHeader;
  if (total > avail) return Error::kTruncated;
  const auto t = static_cast<std::size_t>(total);
  e.crc = static_cast<std::uint16_t>(Le(h + kCrcOffset, 2));
  e.os_id = h[kOsOffset];
  e.unix_time = static_cast<std::int64_t>(Le(h + kTimeOffset, 4));
  e.attribute = 0x20;
  ExtState st;
  std::size_t end = 0;
  const std::uint64_t first = l3 ? Le(h + kLevel3FirstExt, 4) : Le(h + kLevel2FirstExt, 2);
  const Error err = ReadExtHeaders(h, base, t, first, l3 ? 4 : 2, e, st, end);
  if (err == Error::kTruncated) return Error::kBadHeader;
  if (err != Error::kOk) return err;
  if (st.header_crc) {
    std::string copy(reinterpret_cast<const char*>(h), t);
    copy[st.header_crc_pos] = 0;
    copy[st.header_crc_pos + 1] = 0;
    if (Crc16(copy) != *st.header_crc) return Error::kHeaderChecksum;
  }
  e.header_size = t;
  FinishName(e, std::string(), st);
  return Error::kOk;
}

}  // namespace

std::int64_t Entry::ModificationTime() const { return unix_time ? *unix_time : DosTimeToUnix(dos_time); }

Error ReadHeader(std::string_view archive, std::uint64_t offset, Entry& out, std::uint64_t archive_size) {
  out = Entry{};
  if (offset >= archive.size()) return Error::kEndOfArchive;
  const auto* h = reinterpret_cast<const unsigned char*>(archive.data()) + offset;
  const std::size_t avail = archive.size() - static_cast<std::size_t>(offset);
  if (h[0] == 0) return Error::kEndOfArchive;
  if (avail < kLevelOffset + 1) return Error::kTruncated;
  if (!ValidMethod(h + kMethodOffset)) return Error::kBadHeader;
  out.level = h[kLevelOffset];
  out.method.assign(reinterpret_cast<const char*>(h + kMethodOffset), kMethodLength);
  out.packed_size = Le(h + kPackedOffset, 4);
  out.original_size = Le(h + kOriginalOffset, 4);
  out.header_offset = offset;
  Error e;
  switch (out.level) {
    case 0:
    case 1: e = ReadLevel01(h, avail, out); break;
    case 2:
    case 3: e = ReadLevel23(h, avail, out); break;
    default: return Error::kBadHeader;
  }
  if (e != Error::kOk) return e;
  out.data_offset = offset + out.header_size;
  const std::uint64_t total = archive_size == UINT64_MAX ? archive.size() : archive_size;
  if (out.data_offset > total || out.packed_size > total - out.data_offset) return Error::kTruncated;
  return Error::kOk;
}

bool LooksLikeHeader(std::string_view archive, std::uint64_t offset, std::uint64_t archive_size) {
  if (offset + kLevelOffset + 1 > archive.size()) return false;
  const auto* h = reinterpret_cast<const unsigned char*>(archive.data()) + offset;
  if (!ValidMethod(h + kMethodOffset) || h[2 + 1] != 'l') return false;
  Entry e;
  return ReadHeader(archive, offset, e, archive_size) == Error::kOk;
}

}  // namespace sorabu::lha
