// The C entry points' bodies. Exceptions never leave a plug-in; an open handle holds the entry
// list read once at open time, so find first / find next need no second pass over the archive.
#include <algorithm>
#include <cstring>
#include <new>

#include "archive/lha/name_path.h"
#include "archive/libs/common/plugin.h"
#include "archive/libs/unlha32/command_line.h"
#include "textconv/cp932.h"

namespace sorabu::arcplug {
namespace {

struct Handle {
  std::vector<ArcEntry> entries;
  std::string wildcard;
  std::size_t next = 0;
  bool started = false;
};

void CopyText(char* dst, std::size_t capacity, std::string_view text) {
  if (capacity == 0) return;
  // Never half a double-byte character.
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t len =
        textconv::IsLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
    if (end + len > capacity - 1) break;
    end += len;
  }
  std::memcpy(dst, text.data(), end);
  dst[end] = '\0';
}

int FindFrom(Handle* h, UnlhaIndividualInfo* info) {
  while (h->next < h->entries.size()) {
    const ArcEntry& e = h->entries[h->next++];
    if (unlha32::WildcardMatch(h->wildcard, e.name)) {
      if (info != nullptr) FillRecord(e, info);
      return 0;
    }
  }
  return -1;
}

}  // namespace

void FillRecord(const ArcEntry& e, UnlhaIndividualInfo* info) {
  std::memset(info, 0, sizeof *info);
  SetRecordSizes(info, e.size, e.packed);
  info->crc = e.crc;
  const std::uint64_t ratio = e.size == 0 ? 0 : e.packed * 1000 / e.size;
  info->ratio = static_cast<std::uint16_t>(std::min<std::uint64_t>(ratio, 65535));
  const std::uint32_t dos = DosDateTime(e.mtime);
  info->date = static_cast<std::uint16_t>(dos >> 16);
  info->time = static_cast<std::uint16_t>(dos & 0xFFFFu);
  CopyText(info->name, sizeof info->name, e.name);
  std::string attr = "----";
  if (e.dos_attribute & 0x01) attr[0] = 'r';
  if (e.dos_attribute & 0x02) attr[1] = 'h';
  if (e.dos_attribute & 0x04) attr[2] = 's';
  if (e.dos_attribute & 0x20) attr[3] = 'a';
  if (e.is_dir) attr[3] = 'd';
  CopyText(info->attribute, sizeof info->attribute, attr);
  CopyText(info->mode, sizeof info->mode, e.method);
}

int ApiCommand(const Format& f, const Syntax& s, const char* line, char* output, std::uint32_t size) {
  try {
    std::string text;
    const int code = line == nullptr ? unlha32::kErrorCommand : RunCommand(f, s, line, text);
    if (output != nullptr) CopyText(output, size, text);
    return code;
  } catch (const std::bad_alloc&) {
    return unlha32::kErrorMemory;
  } catch (...) {
    return unlha32::kErrorCommand;
  }
}

int ApiCheck(const Format& f, const char* path) {
  try {
    return path != nullptr && f.Recognises(unlha32::NativePath(path)) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

void* ApiOpen(const Format& f, const char* path) {
  if (path == nullptr) return nullptr;
  try {
    auto* h = new Handle;
    const int code = f.Scan(unlha32::NativePath(path), false, {}, [&](const ArcEntry& e, EntryData*) {
      h->entries.push_back(e);
      return true;
    });
    if (h->entries.empty() && code != 0) {
      delete h;
      return nullptr;
    }
    return h;
  } catch (...) {
    return nullptr;
  }
}

int ApiClose(void* handle) {
  if (handle == nullptr) return unlha32::kErrorHandle;
  delete static_cast<Handle*>(handle);
  return 0;
}

int ApiFindFirst(void* handle, const char* wildcard, UnlhaIndividualInfo* info) {
  if (handle == nullptr) return unlha32::kErrorHandle;
  auto* h = static_cast<Handle*>(handle);
  h->wildcard = wildcard != nullptr ? wildcard : "*.*";
  h->next = 0;
  h->started = true;
  return FindFrom(h, info);
}

int ApiFindNext(void* handle, UnlhaIndividualInfo* info) {
  if (handle == nullptr) return unlha32::kErrorHandle;
  auto* h = static_cast<Handle*>(handle);
  if (!h->started) return unlha32::kErrorSequence;
  return FindFrom(h, info);
}

int ApiExtractMem(const Format& f, const char* line, unsigned char* buffer, std::uint32_t size, std::int64_t* time,
                  std::uint16_t* attribute, std::uint32_t* written) {
  try {
    if (written != nullptr) *written = 0;
    const std::vector<std::string> items = unlha32::ItemsWithoutSwitches(line);
    if (items.empty()) return unlha32::kErrorNoArchiveName;
    if (items.size() < 2) return unlha32::kErrorNoFileName;
    const std::string wanted = lha::NormalizeSeparators(items[1]);
    int result = -1;
    const int scan = f.Scan(unlha32::NativePath(items[0]), true, {}, [&](const ArcEntry& e, EntryData* data) {
      if (e.is_dir || e.is_link || e.is_special || !unlha32::WildcardMatch(wanted, e.name)) return true;
      if (e.size > size) {
        result = unlha32::kErrorMemory;
        return false;
      }
      std::uint32_t filled = 0;
      char chunk[65536];
      for (;;) {
        int code = 0;
        const long n = data->Read(chunk, sizeof chunk, &code);
        if (n < 0) {
          result = code != 0 ? code : unlha32::kErrorRead;
          return false;
        }
        if (n == 0) break;
        // Sizes that lie never write past the caller's buffer.
        if (buffer == nullptr || static_cast<std::uint64_t>(filled) + static_cast<std::uint64_t>(n) > size) {
          result = unlha32::kErrorMemory;
          return false;
        }
        std::memcpy(buffer + filled, chunk, static_cast<std::size_t>(n));
        filled += static_cast<std::uint32_t>(n);
      }
      if (written != nullptr) *written = filled;
      if (time != nullptr) *time = e.mtime;
      if (attribute != nullptr) *attribute = e.dos_attribute;
      result = 0;
      return false;
    });
    return result == -1 && scan != 0 ? scan : result;
  } catch (...) {
    return unlha32::kErrorMemory;
  }
}

}  // namespace sorabu::arcplug
