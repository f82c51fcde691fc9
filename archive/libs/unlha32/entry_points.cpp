// The exported entry points: thin wrappers that keep every exception and every oversized text
// inside the library. Handles are heap objects owned by the caller between open and close; a
// handle that was not returned by UnlhaOpenArchive must not be passed (as with any C handle).
#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "archive/lha/archive_reader.h"
#include "archive/lha/name_path.h"
#include "archive/libs/unlha32/command_line.h"
#include "archive/libs/unlha32/commands.h"
#include "archive/libs/unlha32/owner_progress.h"
#include "archive/libs/unlha32/unlha32.h"
#include "textconv/cp932.h"

namespace {

using namespace sorabu;

struct OpenArchive {
  lha::ArchiveReader reader;
  std::string wildcard;
  std::size_t next = 0;
  bool started = false;
};

void CopyText(char* dst, std::size_t capacity, std::string_view text) {
  if (capacity == 0) return;
  const std::size_t n = std::min(capacity - 1, text.size());
  std::memcpy(dst, text.data(), n);
  dst[n] = '\0';
}

// At most max bytes of a CP932 name, never half a double-byte character.
std::string_view CutAtCharacter(std::string_view name, std::size_t max) {
  std::size_t end = 0;
  while (end < name.size()) {
    const std::size_t len = textconv::IsLeadByte(static_cast<unsigned char>(name[end])) && end + 1 < name.size() ? 2 : 1;
    if (end + len > max) break;
    end += len;
  }
  return name.substr(0, end);
}

void Fill(const lha::Entry& e, UnlhaIndividualInfo* info) {
  std::memset(info, 0, sizeof *info);
  SetRecordSizes(info, e.original_size, e.packed_size);
  info->crc = e.crc;
  info->ratio = static_cast<std::uint16_t>(unlha32::RatioPermille(e));
  const std::uint32_t dos = unlha32::EntryDosTime(e);
  info->date = static_cast<std::uint16_t>(dos >> 16);
  info->time = static_cast<std::uint16_t>(dos & 0xFFFFu);
  CopyText(info->name, sizeof info->name, CutAtCharacter(e.name, sizeof info->name - 1));
  CopyText(info->attribute, sizeof info->attribute, unlha32::AttributeText(e));
  CopyText(info->mode, sizeof info->mode, e.method);
}

int FindFrom(OpenArchive* a, UnlhaIndividualInfo* info) {
  const auto& entries = a->reader.entries();
  while (a->next < entries.size()) {
    const lha::Entry& e = entries[a->next++];
    if (unlha32::WildcardMatch(a->wildcard, e.name)) {
      if (info != nullptr) Fill(e, info);
      return 0;
    }
  }
  return -1;
}

bool Check(const char* path, int mode) {
  lha::ArchiveReader r;
  const lha::Error e = r.OpenFile(unlha32::NativePath(path));
  if (r.entries().empty()) return false;
  const bool full = (mode & 16) != 0 || (mode & 3) == 3;
  const bool headers = full || (mode & 4) != 0 || (mode & 3) != 0;
  if (headers && e != lha::Error::kOk) return false;
  if (full) {
    for (const auto& entry : r.entries()) {
      if (r.Test(entry) != lha::Error::kOk) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int Unlha(void* owner, const char* command_line, char* output,
                                                 std::uint32_t size) {
  try {
    const unlha32::CommandOwner running(owner);
    std::string text;
    const int code = command_line == nullptr ? unlha32::kErrorCommand : unlha32::RunCommandLine(command_line, text);
    if (output != nullptr) CopyText(output, size, text);
    return code;
  } catch (const std::bad_alloc&) {
    return unlha32::kErrorMemory;
  } catch (...) {
    return unlha32::kErrorCommand;
  }
}

__attribute__((visibility("default"))) std::uint16_t UnlhaGetVersion() { return 100; }

__attribute__((visibility("default"))) int UnlhaCheckArchive(const char* path, int mode) {
  try {
    if (path == nullptr) return 0;
    // Callers quote the path as on a command line.
    std::string_view p(path);
    if (p.size() >= 2 && p.front() == '"' && p.back() == '"') p = p.substr(1, p.size() - 2);
    return Check(std::string(p).c_str(), mode) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

__attribute__((visibility("default"))) HARC UnlhaOpenArchive(void*, const char* path, std::uint32_t) {
  if (path == nullptr) return nullptr;
  try {
    auto* a = new OpenArchive;
    const lha::Error e = a->reader.OpenFile(unlha32::NativePath(path));
    if (a->reader.entries().empty() && e != lha::Error::kOk) {
      delete a;
      return nullptr;
    }
    return a;
  } catch (...) {
    return nullptr;
  }
}

__attribute__((visibility("default"))) int UnlhaCloseArchive(HARC archive) {
  if (archive == nullptr) return unlha32::kErrorHandle;
  delete static_cast<OpenArchive*>(archive);
  return 0;
}

__attribute__((visibility("default"))) int UnlhaFindFirst(HARC archive, const char* wildcard, UnlhaIndividualInfo* info) {
  if (archive == nullptr) return unlha32::kErrorHandle;
  auto* a = static_cast<OpenArchive*>(archive);
  a->wildcard = wildcard != nullptr ? wildcard : "";
  a->next = 0;
  a->started = true;
  return FindFrom(a, info);
}

__attribute__((visibility("default"))) int UnlhaFindNext(HARC archive, UnlhaIndividualInfo* info) {
  if (archive == nullptr) return unlha32::kErrorHandle;
  auto* a = static_cast<OpenArchive*>(archive);
  if (!a->started) return unlha32::kErrorSequence;
  return FindFrom(a, info);
}

__attribute__((visibility("default"))) int UnlhaExtractMem(void*, const char* command_line, unsigned char* buffer,
                                                           std::uint32_t size, std::int64_t* time,
                                                           std::uint16_t* attribute, std::uint32_t* written) {
  try {
    if (written != nullptr) *written = 0;
    const std::vector<std::string> items = unlha32::ItemsWithoutSwitches(command_line);
    if (items.empty()) return unlha32::kErrorNoArchiveName;
    if (items.size() < 2) return unlha32::kErrorNoFileName;
    lha::ArchiveReader r;
    const lha::Error open_error = r.OpenFile(unlha32::NativePath(items[0]));
    if (r.entries().empty()) {
      return open_error == lha::Error::kOpenFailed ? unlha32::kErrorArchiveOpen : unlha32::ResultCode(open_error);
    }
    for (const auto& e : r.entries()) {
      if (!unlha32::WildcardMatch(lha::NormalizeSeparators(items[1]), e.name)) continue;
      if (e.original_size > size || (buffer == nullptr && e.original_size > 0)) return unlha32::kErrorMemory;
      std::string data;
      const lha::Error err = r.ExtractToMemory(e, data, size);
      if (err != lha::Error::kOk) return unlha32::ResultCode(err);
      if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
      if (written != nullptr) *written = static_cast<std::uint32_t>(data.size());
      if (time != nullptr) *time = e.ModificationTime();
      if (attribute != nullptr) *attribute = e.attribute;
      return 0;
    }
    return -1;
  } catch (...) {
    return unlha32::kErrorMemory;
  }
}

__attribute__((visibility("default"))) int UnlhaSetOwnerWindowEx(void* owner, void* callback) {
  unlha32::SetOwnerProc(owner, reinterpret_cast<UnlhaArchiverProc>(callback));
  return 1;
}
__attribute__((visibility("default"))) int UnlhaKillOwnerWindowEx(void* owner) {
  unlha32::KillOwnerProc(owner);
  return 1;
}

}  // extern "C"
