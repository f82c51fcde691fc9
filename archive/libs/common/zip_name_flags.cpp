// The central directory is found from the end record, as every ZIP reader finds it; ZIP64
// archives are followed through their locator. Nothing here trusts a size beyond the file.
#include "archive/libs/common/zip_name_flags.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "archive/libs/common/entry_name.h"

namespace sorabu::arcplug {
namespace {

constexpr std::uint16_t kUtf8Flag = 0x0800;

std::uint32_t U16(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 8;
}
std::uint32_t U32(const std::string& b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }
std::uint64_t U64(const std::string& b, std::size_t at) {
  return U32(b, at) | static_cast<std::uint64_t>(U32(b, at + 4)) << 32;
}

struct Directory {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  std::uint64_t entries = 0;
};

bool FindDirectory(std::uint64_t size, ReadAt read, void* context, Directory& dir) {
  constexpr std::size_t kEndRecord = 22;
  if (size < kEndRecord) return false;
  const std::uint64_t tail_start = size > kEndRecord + 0xFFFF ? size - kEndRecord - 0xFFFF : 0;
  std::string tail;
  if (!read(context, tail_start, static_cast<std::size_t>(size - tail_start), tail)) return false;
  for (std::size_t at = tail.size() - kEndRecord + 1; at-- > 0;) {
    if (U32(tail, at) != 0x06054b50) continue;
    dir.entries = U16(tail, at + 10);
    dir.size = U32(tail, at + 12);
    dir.offset = U32(tail, at + 16);
    const std::uint64_t end_record = tail_start + at;
    if ((dir.offset == 0xFFFFFFFFu || dir.entries == 0xFFFF) && end_record >= 20) {
      std::string locator, zip64;
      if (!read(context, end_record - 20, 20, locator) || U32(locator, 0) != 0x07064b50) return false;
      if (!read(context, U64(locator, 8), 56, zip64) || U32(zip64, 0) != 0x06064b50) return false;
      dir.entries = U64(zip64, 32);
      dir.size = U64(zip64, 40);
      dir.offset = U64(zip64, 48);
    }
    return dir.offset <= size && dir.size <= size - dir.offset;
  }
  return false;
}

struct FileSource {
  int fd = -1;
  std::uint64_t size = 0;
  std::uint64_t pos = 0;
  std::vector<std::uint64_t> fields;  // sorted
  zip_error_t error;
};

zip_int64_t SourceCallback(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
  auto* s = static_cast<FileSource*>(state);
  switch (cmd) {
    case ZIP_SOURCE_OPEN:
      s->pos = 0;
      return 0;
    case ZIP_SOURCE_READ: {
      const std::uint64_t n = std::min<std::uint64_t>(len, s->size - std::min(s->pos, s->size));
      auto* out = static_cast<unsigned char*>(data);
      std::uint64_t done = 0;
      while (done < n) {
        const ssize_t r = ::pread(s->fd, out + done, n - done, static_cast<off_t>(s->pos + done));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
          zip_error_set(&s->error, ZIP_ER_READ, errno);
          return -1;
        }
        if (r == 0) break;
        done += static_cast<std::uint64_t>(r);
      }
      // The flag is bit 11 of a little-endian field: bit 3 of its second byte.
      auto it = std::lower_bound(s->fields.begin(), s->fields.end(), s->pos > 0 ? s->pos - 1 : 0);
      for (; it != s->fields.end() && *it + 1 < s->pos + done; ++it) {
        if (*it + 1 >= s->pos) out[*it + 1 - s->pos] &= static_cast<unsigned char>(~(kUtf8Flag >> 8));
      }
      s->pos += done;
      return static_cast<zip_int64_t>(done);
    }
    case ZIP_SOURCE_CLOSE: return 0;
    case ZIP_SOURCE_STAT: {
      auto* st = static_cast<zip_stat_t*>(data);
      zip_stat_init(st);
      st->size = s->size;
      st->valid |= ZIP_STAT_SIZE;
      return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR: return zip_error_to_data(&s->error, data, len);
    case ZIP_SOURCE_FREE:
      ::close(s->fd);
      zip_error_fini(&s->error);
      delete s;
      return 0;
    case ZIP_SOURCE_SEEK: {
      const zip_int64_t to = zip_source_seek_compute_offset(s->pos, s->size, data, len, &s->error);
      if (to < 0) return -1;
      s->pos = static_cast<std::uint64_t>(to);
      return 0;
    }
    case ZIP_SOURCE_TELL: return static_cast<zip_int64_t>(s->pos);
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                            ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                                            ZIP_SOURCE_SUPPORTS, -1);
    default:
      zip_error_set(&s->error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

}  // namespace

std::vector<std::uint64_t> MisflaggedNameFields(std::uint64_t size, ReadAt read, void* context) {
  std::vector<std::uint64_t> fields;
  Directory dir;
  if (!FindDirectory(size, read, context, dir)) return fields;
  std::string cd;
  if (dir.size > (std::uint64_t{1} << 30) || !read(context, dir.offset, static_cast<std::size_t>(dir.size), cd)) return fields;
  constexpr std::size_t kCentral = 46;
  std::string local;
  for (std::size_t at = 0; at + kCentral <= cd.size() && U32(cd, at) == 0x02014b50;) {
    const std::size_t name_len = U16(cd, at + 28);
    const std::size_t next = at + kCentral + name_len + U16(cd, at + 30) + U16(cd, at + 32);
    if (next > cd.size()) break;
    if ((U16(cd, at + 8) & kUtf8Flag) != 0 && !IsUtf8(std::string_view(cd).substr(at + kCentral, name_len))) {
      fields.push_back(dir.offset + at + 8);
      const std::uint64_t header = U32(cd, at + 42);
      if (read(context, header, 8, local) && U32(local, 0) == 0x04034b50 && (U16(local, 6) & kUtf8Flag) != 0) {
        fields.push_back(header + 6);
      }
    }
    at = next;
  }
  std::sort(fields.begin(), fields.end());
  return fields;
}

zip_t* OpenWithFlagsCleared(const std::string& path, const std::vector<std::uint64_t>& fields, int* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (fd >= 0) ::close(fd);
    *error = ZIP_ER_OPEN;
    return nullptr;
  }
  auto* state = new FileSource;
  state->fd = fd;
  state->size = static_cast<std::uint64_t>(st.st_size);
  state->fields = fields;
  zip_error_init(&state->error);
  zip_error_t err;
  zip_error_init(&err);
  zip_source_t* src = zip_source_function_create(SourceCallback, state, &err);
  if (src == nullptr) {
    SourceCallback(state, nullptr, 0, ZIP_SOURCE_FREE);
    *error = zip_error_code_zip(&err);
    zip_error_fini(&err);
    return nullptr;
  }
  zip_t* z = zip_open_from_source(src, ZIP_RDONLY, &err);
  if (z == nullptr) {
    zip_source_free(src);
    *error = zip_error_code_zip(&err);
  }
  zip_error_fini(&err);
  return z;
}

}  // namespace sorabu::arcplug
