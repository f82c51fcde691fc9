// TAR (plain, gzip, bzip2, compress, and a single compressed file), CAB, RAR and 7z through
// libarchive's streaming reader, restricted per plug-in to its own formats so that detection by
// content asks each plug-in only about its format. A single compressed file (raw format) counts
// only when a compression filter was found, or every file would be a "TAR".
//
// Sizes: libarchive bounds each entry's data by its header, and the data is streamed in 64 KiB
// pieces, so no size from the archive decides an allocation. Links are listed, never created.
#include "archive/libs/common/libarchive_format.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "archive/lha/name_path.h"
#include "archive/libs/common/entry_name.h"

namespace sorabu::arcplug {
namespace {

struct ReadDeleter {
  void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteDeleter {
  void operator()(archive* a) const { archive_write_free(a); }
};
using ReadPtr = std::unique_ptr<archive, ReadDeleter>;

ReadPtr OpenReader(LibarchiveKind kind, const std::string& path, const std::string& password) {
  ReadPtr a(archive_read_new());
  if (!a) return a;
  if (!password.empty()) archive_read_add_passphrase(a.get(), password.c_str());
  switch (kind) {
    case LibarchiveKind::kTar:
      archive_read_support_filter_gzip(a.get());
      archive_read_support_filter_bzip2(a.get());
      archive_read_support_filter_compress(a.get());
      archive_read_support_format_tar(a.get());
      archive_read_support_format_gnutar(a.get());
      archive_read_support_format_raw(a.get());
      break;
    case LibarchiveKind::kCab:
      archive_read_support_format_cab(a.get());
      break;
    case LibarchiveKind::kRar:
      archive_read_support_format_rar(a.get());
      archive_read_support_format_rar5(a.get());
      break;
    case LibarchiveKind::k7z:
      archive_read_support_format_7zip(a.get());
      break;
  }
  if (archive_read_open_filename(a.get(), path.c_str(), 65536) != ARCHIVE_OK) a.reset();
  return a;
}

class LibarchiveData final : public EntryData {
 public:
  LibarchiveData(archive* a, bool encrypted) : a_(a), encrypted_(encrypted) {}
  long Read(char* buffer, std::size_t size, int* code) override {
    const la_ssize_t n = archive_read_data(a_, buffer, size);
    if (n < 0) {
      *code = encrypted_ ? unlha32::kErrorPassword : unlha32::kErrorHuffmanCode;
      return -1;
    }
    return static_cast<long>(n);
  }

 private:
  archive* a_;
  bool encrypted_;
};

const char* MethodName(LibarchiveKind kind, archive* a) {
  if (kind == LibarchiveKind::kCab) return "CAB";
  if (kind == LibarchiveKind::kRar) return "RAR";
  if (kind == LibarchiveKind::k7z) return "7Z";
  switch (archive_filter_code(a, 0)) {
    case ARCHIVE_FILTER_GZIP: return "TGZ";
    case ARCHIVE_FILTER_BZIP2: return "BZ2";
    case ARCHIVE_FILTER_COMPRESS: return "TAZ";
    default: return "TAR";
  }
}

// libarchive turns the UTF-16 names of 7z and RAR into the locale's character set, and fails
// for every name beyond ASCII in the C locale the program may run in. The reading thread takes a
// UTF-8 character set while it reads; stored bytes it does not convert stay as they are.
class Utf8Names {
 public:
  Utf8Names() : utf8_(::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {
    if (utf8_ != static_cast<locale_t>(nullptr)) before_ = ::uselocale(utf8_);
  }
  ~Utf8Names() {
    if (utf8_ == static_cast<locale_t>(nullptr)) return;
    ::uselocale(before_);
    ::freelocale(utf8_);
  }
  Utf8Names(const Utf8Names&) = delete;
  Utf8Names& operator=(const Utf8Names&) = delete;

 private:
  locale_t utf8_;
  locale_t before_ = static_cast<locale_t>(nullptr);
};

std::string RawName(const std::string& archive_path, archive_entry* e) {
  // The UTF-8 form when libarchive knows it (pax names), else the stored bytes.
  const char* p = archive_entry_pathname_utf8(e);
  if (p == nullptr) p = archive_entry_pathname(e);
  if (p != nullptr && *p != '\0' && std::string(p) != "data") return p;
  // A single compressed file: its name is the archive's without the compression suffix.
  std::string base = archive_path.substr(archive_path.find_last_of('/') + 1);
  for (const char* suffix : {".gz", ".bz2", ".Z", ".z"}) {
    const std::string s = suffix;
    if (base.size() > s.size() && base.compare(base.size() - s.size(), s.size(), s) == 0) {
      return base.substr(0, base.size() - s.size());
    }
  }
  return base + ".out";
}

}  // namespace

int LibarchiveFormat::Scan(const std::string& native_path, bool with_data, const std::string& password,
                           const Visitor& visit) const {
  if (const int code = RefuseNonRegular(native_path); code != 0) return code;
  const Utf8Names utf8;
  ReadPtr a = OpenReader(kind_, native_path, password);
  if (!a) {
    return ::access(native_path.c_str(), R_OK) == 0 ? unlha32::kErrorNotArchive : unlha32::kErrorArchiveOpen;
  }
  archive_entry* entry = nullptr;
  bool first = true;
  for (;;) {
    const int r = archive_read_next_header(a.get(), &entry);
    if (r == ARCHIVE_EOF) return first ? unlha32::kErrorNotArchive : 0;
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN) return first ? unlha32::kErrorNotArchive : unlha32::kErrorHeaderBroken;
    if (first && archive_format(a.get()) == ARCHIVE_FORMAT_RAW && archive_filter_code(a.get(), 0) == ARCHIVE_FILTER_NONE) {
      return unlha32::kErrorNotArchive;
    }
    first = false;
    ArcEntry e;
    EntryName name = DecodeEntryName(RawName(native_path, entry));
    e.name = std::move(name.cp932);
    e.native_name = std::move(name.native);
    const mode_t type = archive_entry_filetype(entry);
    e.is_dir = type == AE_IFDIR;
    e.is_link = type == AE_IFLNK || archive_entry_hardlink(entry) != nullptr;
    e.is_special = !e.is_link && type != 0 && type != AE_IFREG && !e.is_dir;
    e.size_known = archive_entry_size_is_set(entry) && archive_format(a.get()) != ARCHIVE_FORMAT_RAW;
    e.size = archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0
                 ? static_cast<std::uint64_t>(archive_entry_size(entry)) : 0;
    e.packed = e.size;
    e.method = MethodName(kind_, a.get());
    e.mtime = archive_entry_mtime(entry);
    e.mode = archive_entry_perm(entry) != 0 ? archive_entry_perm(entry) : 0644;
    e.dos_attribute = e.is_dir ? 0x10 : 0x20;
    LibarchiveData data(a.get(), archive_entry_is_data_encrypted(entry) != 0);
    if (!visit(e, with_data ? &data : nullptr)) return 0;
  }
}

int LibarchiveFormat::Pack(const std::string& native_path, const std::vector<PackItem>& items,
                           const PackOptions& options, std::string& output) const {
  if (kind_ != LibarchiveKind::kTar) return unlha32::kErrorCommand;
  std::unique_ptr<archive, WriteDeleter> a(archive_write_new());
  if (!a) return unlha32::kErrorMemory;
  // GNU tar headers store the UTF-8 names as bytes, whatever the locale; long names use its
  // long-name records.
  archive_write_set_format_gnutar(a.get());
  if (options.compression == 'z') archive_write_add_filter_gzip(a.get());
  if (options.compression == 'B') archive_write_add_filter_bzip2(a.get());
  if (options.level >= 1 && options.compression != 0) {
    archive_write_set_filter_option(a.get(), nullptr, "compression-level", std::to_string(options.level).c_str());
  }
  // Written beside the target and renamed at the end, so a failure leaves any old archive intact.
  const std::string tmp = native_path + ".tmp-" + std::to_string(::getpid());
  if (archive_write_open_filename(a.get(), tmp.c_str()) != ARCHIVE_OK) return unlha32::kErrorArchiveOpen;
  int result = 0;
  for (const PackItem& item : items) {
    struct stat st {};
    const int fd = item.is_dir ? -1 : ::open(item.native_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (::stat(item.native_path.c_str(), &st) != 0 || (!item.is_dir && fd < 0)) {
      if (fd >= 0) ::close(fd);
      output += "Error 32781: " + lha::EscapeForDisplay(Utf8NameToCp932(item.stored_name)) + "\r\n";
      result = unlha32::kErrorFileOpen;
      break;
    }
    archive_entry* e = archive_entry_new();
    archive_entry_copy_stat(e, &st);
    archive_entry_set_pathname(e, item.stored_name.c_str());
    if (item.is_dir) archive_entry_set_size(e, 0);
    int r = archive_write_header(a.get(), e);
    if (r == ARCHIVE_WARN) r = ARCHIVE_OK;
    archive_entry_free(e);
    char buffer[65536];
    std::int64_t left = item.is_dir ? 0 : st.st_size;
    while (r == ARCHIVE_OK && left > 0) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n <= 0) break;
      if (archive_write_data(a.get(), buffer, static_cast<std::size_t>(n)) < 0) r = ARCHIVE_FATAL;
      left -= n;
    }
    if (fd >= 0) ::close(fd);
    if (r != ARCHIVE_OK) {
      result = unlha32::kErrorWrite;
      break;
    }
    output += "Adding    : " + lha::EscapeForDisplay(Utf8NameToCp932(item.stored_name)) + "\r\n";
  }
  if (archive_write_close(a.get()) != ARCHIVE_OK && result == 0) result = unlha32::kErrorWrite;
  if (result == 0 && std::rename(tmp.c_str(), native_path.c_str()) != 0) result = unlha32::kErrorWrite;
  if (result != 0) std::remove(tmp.c_str());
  return result;
}

int TarArchiveType(const std::string& native_path) {
  if (RefuseNonRegular(native_path) != 0) return 0;
  ReadPtr a = OpenReader(LibarchiveKind::kTar, native_path, {});
  if (!a) return 0;
  archive_entry* entry = nullptr;
  const int r = archive_read_next_header(a.get(), &entry);
  if (r != ARCHIVE_OK && r != ARCHIVE_WARN) return 0;
  const bool raw = archive_format(a.get()) == ARCHIVE_FORMAT_RAW;
  switch (archive_filter_code(a.get(), 0)) {
    case ARCHIVE_FILTER_NONE: return raw ? 0 : 1;
    case ARCHIVE_FILTER_GZIP: return raw ? 4 : 2;
    case ARCHIVE_FILTER_COMPRESS: return raw ? 5 : 3;
    case ARCHIVE_FILTER_BZIP2: return raw ? 7 : 6;
    default: return 0;
  }
}

}  // namespace sorabu::arcplug
