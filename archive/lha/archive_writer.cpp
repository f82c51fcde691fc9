// The writer keeps the archive in memory until it is complete and then replaces the target in
// one rename, so a failed run never leaves half an archive behind. Each file is read whole and
// tried with -lh5-; the stored form is used when that is not smaller.
#include "archive/lha/archive_writer.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "archive/lha/archive_reader.h"
#include "archive/lha/crc16.h"
#include "archive/lha/name_path.h"
#include "archive/lha/replacing_file.h"
#include "textconv/cp932.h"

namespace sorabu::lha {

Error ArchiveWriter::AddFile(std::string_view name, std::string_view data, std::int64_t mtime,
                             std::optional<std::uint16_t> unix_mode) {
  if (data.size() > 0xFFFFFFFFu) return Error::kTooLarge;
  Entry e;
  e.name = std::string(name);
  e.original_size = data.size();
  e.crc = Crc16(data);
  e.unix_time = mtime;
  e.unix_mode = unix_mode;
  e.os_id = 'U';
  e.attribute = 0x20;
  std::string packed;
  if (options_.compress && !data.empty() && EncodeLh5(data, packed, options_.encode)) {
    e.method = "-lh5-";
  } else {
    e.method = "-lh0-";
    packed.clear();
  }
  const std::string_view body = e.method == "-lh0-" ? data : std::string_view(packed);
  e.packed_size = body.size();
  e.header_offset = out_.size();
  const std::size_t before = out_.size();
  if (const Error err = WriteLevel2Header(e, out_); err != Error::kOk) {
    out_.resize(before);
    return err;
  }
  e.header_size = out_.size() - before;
  e.data_offset = out_.size();
  out_.append(body);
  entries_.push_back(std::move(e));
  return Error::kOk;
}

Error ArchiveWriter::AddDirectory(std::string_view name, std::int64_t mtime, std::optional<std::uint16_t> unix_mode) {
  Entry e;
  e.method = "-lhd-";
  e.name = std::string(name);
  e.unix_time = mtime;
  e.unix_mode = unix_mode;
  e.os_id = 'U';
  e.attribute = 0x10;
  e.header_offset = out_.size();
  const std::size_t before = out_.size();
  if (const Error err = WriteLevel2Header(e, out_); err != Error::kOk) {
    out_.resize(before);
    return err;
  }
  e.header_size = out_.size() - before;
  e.data_offset = out_.size();
  entries_.push_back(std::move(e));
  return Error::kOk;
}

Error ArchiveWriter::AddExisting(std::string_view raw, const Entry& entry) {
  if (entry.data_offset < entry.header_offset ||
      raw.size() != entry.data_offset - entry.header_offset + entry.packed_size) {
    return Error::kTruncated;
  }
  Entry e = entry;
  const std::uint64_t shift = out_.size();
  out_.append(raw);
  e.data_offset = e.data_offset - e.header_offset + shift;
  e.header_offset = shift;
  entries_.push_back(std::move(e));
  return Error::kOk;
}

std::string ArchiveWriter::Finish() {
  std::string result = std::move(out_);
  result.push_back('\0');
  out_.clear();
  entries_.clear();
  return result;
}

std::string StoredName(const std::string& path) {
  std::string out;
  std::size_t i = 0;
  while (i <= path.size()) {
    const std::size_t slash = std::min(path.find('/', i), path.size());
    const std::string part = path.substr(i, slash - i);
    if (!part.empty() && part != "." && part != "..") {
      if (!out.empty()) out.push_back('/');
      out += part;
    }
    i = slash + 1;
  }
  return out;
}

namespace {

class Packer {
 public:
  Packer(ArchiveWriter& w, const CreateOptions& o, CreateReport& r) : o_(o), r_(r), w_(w) {}

  void Add(const std::string& disk_path, const std::string& stored) {
    struct stat st {};
    if (::lstat(disk_path.c_str(), &st) != 0) return Fail(disk_path, Error::kOpenFailed);
    if (S_ISLNK(st.st_mode)) return;
    bool exact = true;
    const std::string name = Encode(stored, exact);
    // Two names turned into the same "?" would overwrite each other; such a file is left out, and said.
    if (!exact) return Fail(disk_path, Error::kNameNotShiftJis);
    const auto mode = static_cast<std::uint16_t>(st.st_mode & 0xFFFFu);
    const bool admitted = !o_.admit || o_.admit(name, st.st_mtime, S_ISDIR(st.st_mode));
    if (S_ISDIR(st.st_mode)) {
      if (!name.empty() && admitted) {
        if (const Error e = w_.AddDirectory(name, st.st_mtime, mode); e != Error::kOk) return Fail(disk_path, e);
      }
      if (!o_.recurse) return;
      for (const auto& child : List(disk_path)) {
        Add(disk_path + "/" + child, stored.empty() ? child : stored + "/" + child);
      }
      return;
    }
    if (!S_ISREG(st.st_mode)) return Fail(disk_path, Error::kOpenFailed);
    if (name.empty()) return Fail(disk_path, Error::kUnsafeName);
    if (!admitted) return;
    std::string data;
    if (const Error e = ReadWholeFile(disk_path, 0xFFFFFFFFu, data); e != Error::kOk) return Fail(disk_path, e);
    if (const Error e = w_.AddFile(name, data, st.st_mtime, mode); e != Error::kOk) return Fail(disk_path, e);
  }

 private:
  std::string Encode(const std::string& utf8, bool& exact) const {
    std::string out;
    std::size_t i = 0;
    while (i <= utf8.size()) {
      const std::size_t slash = std::min(utf8.find('/', i), utf8.size());
      const std::string part = utf8.substr(i, slash - i);
      if (!out.empty()) out.push_back('/');
      if (o_.encode_name) {
        out += o_.encode_name(part);
      } else {
        const std::string code = textconv::Utf8ToCp932(part);
        exact = exact && textconv::Cp932ToUtf8(code) == part;
        out += code;
      }
      i = slash + 1;
    }
    return utf8.empty() ? std::string() : out;
  }

  static std::vector<std::string> List(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return names;
    while (const dirent* ent = ::readdir(d)) {
      const std::string n = ent->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
  }

  void Fail(const std::string& path, Error e) { r_.failed.emplace_back(path, e); }

  const CreateOptions& o_;
  CreateReport& r_;
  ArchiveWriter& w_;
};

}  // namespace

void AddPath(ArchiveWriter& writer, const std::string& disk_path, const std::string& stored,
             const CreateOptions& options, CreateReport& report) {
  Packer packer(writer, options, report);
  packer.Add(disk_path, stored);
}

Error WriteFileReplacing(const std::string& path, std::string_view bytes) {
  ReplacingFile file(path);
  if (const Error e = file.Open(); e != Error::kOk) return e;
  file.Write(bytes);
  return file.Commit();
}

Error CreateArchiveFile(const std::string& archive_path, const std::string& base_dir,
                        const std::vector<std::string>& files, const CreateOptions& options, CreateReport* report) {
  CreateReport local;
  CreateReport& r = report != nullptr ? *report : local;
  r = CreateReport{};
  ArchiveWriter writer(options.pack);
  for (const auto& f : files) {
    const std::string disk = (!f.empty() && f[0] == '/') || base_dir.empty() ? f : base_dir + "/" + f;
    AddPath(writer, disk, StoredName(f), options, r);
  }
  r.added = writer.entries();
  if (const Error e = WriteFileReplacing(archive_path, writer.Finish()); e != Error::kOk) return e;
  return r.failed.empty() ? Error::kOk : r.failed.front().second;
}

}  // namespace sorabu::lha
