// ZIP through libzip. Names are taken as stored and read by DecodeEntryName: UTF-8 (flagged,
// from Info-ZIP's Unicode path field, which libzip puts in place of the stored name, or unflagged)
// or CP932 from Japanese Windows. New names are stored as UTF-8: libzip sets the UTF-8 flag for
// any non-ASCII name and leaves ASCII names unflagged, which every current unzip reads back.
// libzip checks each entry's CRC at its end and never yields more than the directory's size, so
// a lying size ends in an error code, not a larger file.
// Packing adds to (or replaces in) an existing archive, as zip does; libzip writes a temporary
// file and renames it at zip_close, so a failure leaves the old archive intact.
#include "archive/libs/common/zip_format.h"

#include <sys/stat.h>
#include <zip.h>

#include "archive/lha/input.h"
#include "archive/lha/name_path.h"
#include "archive/libs/common/entry_name.h"
#include "archive/libs/common/zip_name_flags.h"

namespace sorabu::arcplug {
namespace {

class ZipData final : public EntryData {
 public:
  // open_code: the result code for an entry that could not be opened (f null). A wrong password
  // passes ZipCrypto's one-byte check once in 256 times and then reads as damaged data.
  ZipData(zip_file_t* f, int open_code, bool encrypted) : f_(f), open_code_(open_code), encrypted_(encrypted) {}
  long Read(char* buffer, std::size_t size, int* code) override {
    if (f_ == nullptr) {
      *code = open_code_;
      return -1;
    }
    const zip_int64_t n = zip_fread(f_, buffer, size);
    if (n < 0) {
      const int ze = zip_error_code_zip(zip_file_get_error(f_));
      *code = encrypted_ ? unlha32::kErrorPassword
              : ze == ZIP_ER_CRC ? unlha32::kErrorChecksum : ze == ZIP_ER_COMPNOTSUPP ? unlha32::kErrorHeaderBroken
                                                                                    : unlha32::kErrorHuffmanCode;
      return -1;
    }
    return static_cast<long>(n);
  }

 private:
  zip_file_t* f_;
  int open_code_;
  bool encrypted_;
};

bool ReadFileAt(void* context, std::uint64_t offset, std::size_t n, std::string& out) {
  auto& in = *static_cast<lha::FileInput*>(context);
  return in.Read(offset, n, out);
}

// An archive libzip finds inconsistent only because some names flagged UTF-8 are not UTF-8.
zip_t* OpenMisflagged(const std::string& path, int* err) {
  std::unique_ptr<lha::FileInput> in;
  if (lha::FileInput::Open(path, in) != lha::Error::kOk) return nullptr;
  const std::vector<std::uint64_t> fields = MisflaggedNameFields(in->Size(), ReadFileAt, in.get());
  if (fields.empty()) return nullptr;
  return OpenWithFlagsCleared(path, fields, err);
}

}  // namespace

std::string ZipMethodName(int method) {
  switch (method) {
    case ZIP_CM_STORE: return "Stored";
    case 1: return "Shrunk";
    case 2: case 3: case 4: case 5: return "Reduced";
    case 6: return "Implode";
    case ZIP_CM_DEFLATE: return "Deflate";
    case ZIP_CM_DEFLATE64: return "Deflat64";
    case ZIP_CM_BZIP2: return "BZip2";
    case ZIP_CM_LZMA: return "LZMA";
    case 93: return "Zstd";
    case 95: return "XZ";
    case 98: return "PPMd";
    case 99: return "AES";
    default: return "Unknown";
  }
}

int ZipFormat::Scan(const std::string& native_path, bool with_data, const std::string& password,
                    const Visitor& visit) const {
  if (const int code = RefuseNonRegular(native_path); code != 0) return code;
  int err = 0;
  zip_t* z = zip_open(native_path.c_str(), ZIP_RDONLY, &err);
  if (z == nullptr && err == ZIP_ER_INCONS) z = OpenMisflagged(native_path, &err);
  if (z == nullptr) {
    if (err == ZIP_ER_OPEN || err == ZIP_ER_NOENT || err == ZIP_ER_READ) return unlha32::kErrorArchiveOpen;
    return unlha32::kErrorNotArchive;
  }
  if (!password.empty()) zip_set_default_password(z, password.c_str());
  const zip_int64_t count = zip_get_num_entries(z, 0);
  int result = 0;
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(z, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &st) != 0 || st.name == nullptr) {
      result = unlha32::kErrorHeaderBroken;
      break;
    }
    ArcEntry e;
    EntryName name = DecodeEntryName(st.name);
    e.name = std::move(name.cp932);
    e.native_name = std::move(name.native);
    e.is_dir = name.is_dir;
    e.size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    e.packed = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
    e.crc = (st.valid & ZIP_STAT_CRC) ? st.crc : 0;
    e.method = ZipMethodName((st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : 0);
    e.mtime = (st.valid & ZIP_STAT_MTIME) ? st.mtime : 0;
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    zip_file_get_external_attributes(z, static_cast<zip_uint64_t>(i), 0, &opsys, &attributes);
    e.dos_attribute = static_cast<std::uint8_t>(attributes & 0xFF);
    if (opsys == ZIP_OPSYS_UNIX) {
      const std::uint32_t unix_mode = attributes >> 16;
      if (S_ISLNK(unix_mode)) e.is_link = true;
      if (S_ISDIR(unix_mode)) e.is_dir = true;
      // Devices, FIFOs and sockets carry no data to extract; writing them as empty files would
      // pretend otherwise.
      if (S_ISCHR(unix_mode) || S_ISBLK(unix_mode) || S_ISFIFO(unix_mode) || S_ISSOCK(unix_mode)) e.is_special = true;
      if ((unix_mode & 0777) != 0) e.mode = unix_mode & 0777;
    }
    if (e.dos_attribute & 0x10) e.is_dir = true;
    bool go_on;
    if (with_data && !e.is_dir && !e.is_link && !e.is_special) {
      zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(i), 0);
      int open_code = unlha32::kErrorRead;
      if (f == nullptr) {
        const int ze = zip_error_code_zip(zip_get_error(z));
        if (ze == ZIP_ER_NOPASSWD || ze == ZIP_ER_WRONGPASSWD) open_code = unlha32::kErrorPassword;
        if (ze == ZIP_ER_ENCRNOTSUPP) open_code = unlha32::kErrorHeaderBroken;
        zip_error_clear(z);
      }
      const bool encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
      ZipData data(f, open_code, encrypted);
      go_on = visit(e, &data);
      if (f != nullptr) zip_fclose(f);
    } else {
      go_on = visit(e, nullptr);
    }
    if (!go_on) break;
  }
  zip_discard(z);
  return result;
}

int ZipFormat::Pack(const std::string& native_path, const std::vector<PackItem>& items, const PackOptions& options,
                    std::string& output) const {
  int err = 0;
  zip_t* z = zip_open(native_path.c_str(), ZIP_CREATE, &err);
  if (z == nullptr) return err == ZIP_ER_NOZIP || err == ZIP_ER_INCONS ? unlha32::kErrorNotArchive : unlha32::kErrorArchiveOpen;
  int result = 0;
  for (const PackItem& item : items) {
    const std::string shown = lha::EscapeForDisplay(Utf8NameToCp932(item.stored_name));
    zip_int64_t index;
    if (item.is_dir) {
      std::string name = item.stored_name;
      while (!name.empty() && name.back() == '/') name.pop_back();
      index = zip_name_locate(z, (name + "/").c_str(), 0);
      if (index < 0) index = zip_dir_add(z, name.c_str(), ZIP_FL_ENC_UTF_8);
      if (index < 0) index = zip_dir_add(z, name.c_str(), ZIP_FL_ENC_RAW);
    } else {
      zip_source_t* src = zip_source_file(z, item.native_path.c_str(), 0, -1);
      index = src == nullptr ? -1 : zip_file_add(z, item.stored_name.c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
      // libzip refuses control bytes in a name it is told is UTF-8, and bytes that are no UTF-8 (a
      // file named on a non-UTF-8 system); such a name is stored as bytes, without the flag.
      if (index < 0 && src != nullptr) index = zip_file_add(z, item.stored_name.c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_RAW);
      if (index < 0 && src != nullptr) zip_source_free(src);
      if (index >= 0) {
        const zip_int32_t method = options.level == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
        zip_set_file_compression(z, static_cast<zip_uint64_t>(index), method,
                                 options.level > 0 ? static_cast<zip_uint32_t>(options.level) : 0);
        if (!options.password.empty() &&
            zip_file_set_encryption(z, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, options.password.c_str()) != 0) {
          index = -1;
        }
      }
    }
    if (index < 0) {
      output += "Error 32781: " + shown + "\r\n";
      result = unlha32::kErrorFileOpen;
      break;
    }
    struct stat st {};
    if (::stat(item.native_path.c_str(), &st) == 0) {
      zip_file_set_external_attributes(z, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                       (static_cast<zip_uint32_t>(st.st_mode) << 16) | (item.is_dir ? 0x10u : 0u));
      zip_file_set_mtime(z, static_cast<zip_uint64_t>(index), st.st_mtime, 0);
    }
    output += "  adding: " + shown + "\r\n";
  }
  if (result != 0) {
    zip_discard(z);
    return result;
  }
  if (zip_close(z) != 0) {
    zip_discard(z);
    return unlha32::kErrorWrite;
  }
  return 0;
}

}  // namespace sorabu::arcplug
