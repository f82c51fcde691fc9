// The level-2 header writer; the layout is documented in header_reader.cpp.
//
// Written extended headers, in this order: 0x00 header CRC, 0x01 file name (omitted for
// folders), 0x02 folder path with 0xFF separators and a trailing 0xFF, 0x40 MS-DOS attributes,
// 0x50 Unix mode (when known). A total size whose low byte is 0 would make the first byte 0,
// which readers take for the end of the archive, so one padding byte is added then.
#include <algorithm>

#include "archive/lha/crc16.h"
#include "archive/lha/header.h"
#include "archive/lha/name_path.h"

namespace sorabu::lha {
namespace {

constexpr std::size_t kBaseSize = 26;
constexpr std::size_t kCrcExtValueOffset = kBaseSize + 1;
constexpr std::size_t kMaxHeader = 0xFFFF;

void PutLe(std::string& out, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFFu));
}

void SetLe(std::string& out, std::size_t pos, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) out[pos + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFFu);
}

// Appends one extended header: its size is announced by the previous header's last two bytes,
// which the caller already wrote; this one ends with a zero next-size that the next call fills.
void AddExt(std::string& out, std::uint8_t type, std::string_view data) {
  const std::size_t size = 1 + data.size() + 2;
  SetLe(out, out.size() - 2, size, 2);
  out.push_back(static_cast<char>(type));
  out.append(data);
  PutLe(out, 0, 2);
}

}  // namespace

Error WriteLevel2Header(const Entry& e, std::string& out) {
  if (e.method.size() != 5) return Error::kBadHeader;
  if (e.packed_size > 0xFFFFFFFFu || e.original_size > 0xFFFFFFFFu) return Error::kTooLarge;
  const std::vector<std::string> parts = SplitComponents(e.name);
  std::string dir, file;
  const std::size_t dir_parts = e.IsDirectory() ? parts.size() : (parts.empty() ? 0 : parts.size() - 1);
  for (std::size_t i = 0; i < dir_parts; ++i) {
    dir += parts[i];
    dir.push_back('\xFF');
  }
  if (!e.IsDirectory() && !parts.empty()) file = parts.back();

  std::string h;
  PutLe(h, 0, 2);  // total size, set below
  h += e.method;
  PutLe(h, e.packed_size, 4);
  PutLe(h, e.original_size, 4);
  PutLe(h, static_cast<std::uint64_t>(std::clamp<std::int64_t>(e.unix_time.value_or(0), 0, 0xFFFFFFFFll)), 4);
  h.push_back(0x20);
  h.push_back(2);
  PutLe(h, e.crc, 2);
  h.push_back(static_cast<char>(e.os_id != 0 ? e.os_id : 'U'));
  PutLe(h, 0, 2);  // first extended header size
  AddExt(h, 0x00, std::string_view("\0\0", 2));
  if (!e.IsDirectory()) AddExt(h, 0x01, file);
  if (!dir.empty()) AddExt(h, 0x02, dir);
  const char attr[2] = {static_cast<char>(e.attribute), 0};
  AddExt(h, 0x40, std::string_view(attr, 2));
  if (e.unix_mode) {
    const char mode[2] = {static_cast<char>(*e.unix_mode & 0xFFu), static_cast<char>(*e.unix_mode >> 8)};
    AddExt(h, 0x50, std::string_view(mode, 2));
  }
  if ((h.size() & 0xFFu) == 0) h.push_back(0);
  if (h.size() > kMaxHeader) return Error::kTooLarge;
  SetLe(h, 0, h.size(), 2);
  SetLe(h, kCrcExtValueOffset, Crc16(h), 2);
  out += h;
  return Error::kOk;
}

}  // namespace sorabu::lha
