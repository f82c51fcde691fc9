// The writer builds the archive in a scratch file until it is complete and then replaces the
// target in one rename, so a failed run never leaves half an archive behind. Each file is read a
// piece at a time and tried with -lh5-; the stored form is used when that is not smaller.
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

namespace {

constexpr std::size_t kCopyPiece = std::size_t{1} << 20;

// Keeps the CRC of what the encoder reads; it reads every byte once, in order.
class CrcInput final : public Input {
 public:
  explicit CrcInput(const Input& in) : in_(in) {}
  std::uint64_t Size() const override { return in_.Size(); }
  bool Read(std::uint64_t offset, std::size_t n, std::string& out) const override {
    const bool ok = in_.Read(offset, n, out);
    if (ok && offset == next_) {
      crc_ = Crc16Update(crc_, out);
      next_ += out.size();
    }
    return ok;
  }
  bool Complete() const { return next_ == in_.Size(); }
  std::uint16_t crc() const { return crc_; }

 private:
  const Input& in_;
  mutable std::uint64_t next_ = 0;
  mutable std::uint16_t crc_ = 0;
};

Error CopyInput(const Input& in, ByteSink& out, std::uint16_t& crc) {
  crc = 0;
  std::string piece;
  for (std::uint64_t at = 0; at < in.Size(); at += piece.size()) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kCopyPiece, in.Size() - at));
    if (!in.Read(at, n, piece)) return Error::kOpenFailed;
    crc = Crc16Update(crc, piece);
    if (!out.Write(piece)) return Error::kWriteFailed;
  }
  return Error::kOk;
}

}  // namespace

Error ArchiveWriter::Rollback(std::uint64_t to, Error e) {
  const Error spool = spool_.error();
  spool_.Truncate(to);
  return e == Error::kWriteFailed && spool != Error::kOk ? spool : e;
}

Error ArchiveWriter::WriteHeader(Entry& e) {
  e.header_offset = spool_.size();
  std::string header;
  if (const Error err = WriteLevel2Header(e, header); err != Error::kOk) return err;
  if (!spool_.Write(header)) return Rollback(e.header_offset, Error::kWriteFailed);
  e.header_size = header.size();
  e.data_offset = spool_.size();
  return Error::kOk;
}

Error ArchiveWriter::AddFile(std::string_view name, std::string_view data, std::int64_t mtime,
                             std::optional<std::uint16_t> unix_mode) {
  return AddFileFrom(name, ViewInput(data), mtime, unix_mode);
}

Error ArchiveWriter::AddFileFrom(std::string_view name, const Input& data, std::int64_t mtime,
                                 std::optional<std::uint16_t> unix_mode) {
  if (data.Size() > 0xFFFFFFFFu) return Error::kTooLarge;
  Entry e;
  e.name = std::string(name);
  e.original_size = data.Size();
  e.unix_time = mtime;
  e.unix_mode = unix_mode;
  e.os_id = 'U';
  e.attribute = 0x20;
  e.method = "-lh5-";
  if (const Error err = WriteHeader(e); err != Error::kOk) return err;

  StreamResult packed = StreamResult::kNotSmaller;
  CrcInput crc_in(data);
  std::uint64_t packed_size = 0;
  if (options_.compress && data.Size() != 0) packed = EncodeLh5Stream(crc_in, spool_, options_.encode, &packed_size);
  if (packed == StreamResult::kReadFailed) return Rollback(e.header_offset, Error::kOpenFailed);
  if (packed == StreamResult::kWriteFailed) return Rollback(e.header_offset, Error::kWriteFailed);
  if (packed == StreamResult::kPacked && crc_in.Complete()) {
    e.crc = crc_in.crc();
  } else {
    e.method = "-lh0-";
    spool_.Truncate(e.data_offset);
    if (const Error err = CopyInput(data, spool_, e.crc); err != Error::kOk) return Rollback(e.header_offset, err);
    packed_size = data.Size();
  }
  e.packed_size = packed_size;
  std::string header;
  if (const Error err = WriteLevel2Header(e, header); err != Error::kOk) return Rollback(e.header_offset, err);
  if (header.size() != e.header_size) return Rollback(e.header_offset, Error::kBadHeader);
  if (!spool_.WriteAt(e.header_offset, header)) return Rollback(e.header_offset, Error::kWriteFailed);
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
  if (const Error err = WriteHeader(e); err != Error::kOk) return err;
  entries_.push_back(std::move(e));
  return Error::kOk;
}

Error ArchiveWriter::AddExisting(std::string_view raw, const Entry& entry) {
  if (entry.data_offset < entry.header_offset ||
      raw.size() != entry.data_offset - entry.header_offset + entry.packed_size) {
    return Error::kTruncated;
  }
  Entry e = entry;
  const std::uint64_t shift = spool_.size();
  if (!spool_.Write(raw)) return Rollback(shift, Error::kWriteFailed);
  e.data_offset = e.data_offset - e.header_offset + shift;
  e.header_offset = shift;
  entries_.push_back(std::move(e));
  return Error::kOk;
}

Error ArchiveWriter::OpenEntries(ArchiveReader& reader) const {
  if (spool_.size() == 0) return reader.OpenMemory(std::string(1, '\0'));
  std::unique_ptr<FileInput> in;
  if (const Error e = FileInput::Duplicate(spool_.fd(), spool_.size(), in); e != Error::kOk) return e;
  return reader.OpenInput(std::move(in));
}

Error ArchiveWriter::Finish(ByteSink& out) {
  Error result = spool_.error();
  if (result == Error::kOk && spool_.size() != 0) {
    std::unique_ptr<FileInput> in;
    result = FileInput::Duplicate(spool_.fd(), spool_.size(), in);
    std::uint16_t crc = 0;
    if (result == Error::kOk) result = CopyInput(*in, out, crc);
  }
  if (result == Error::kOk && !out.Write(std::string_view("\0", 1))) result = Error::kWriteFailed;
  spool_.Clear();
  entries_.clear();
  return result;
}

std::string ArchiveWriter::Finish() {
  std::string result;
  StringSink sink(result);
  Finish(sink);
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
    std::unique_ptr<FileInput> data;
    if (const Error e = FileInput::Open(disk_path, data); e != Error::kOk) return Fail(disk_path, e);
    if (const Error e = w_.AddFileFrom(name, *data, st.st_mtime, mode); e != Error::kOk) return Fail(disk_path, e);
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

Error CreateArchiveFile(const std::string& archive_path, const std::string& base_dir,
                        const std::vector<std::string>& files, const CreateOptions& options, CreateReport* report) {
  CreateReport local;
  CreateReport& r = report != nullptr ? *report : local;
  r = CreateReport{};
  PackOptions pack = options.pack;
  if (pack.spool_dir.empty()) pack.spool_dir = FolderOf(archive_path);
  ArchiveWriter writer(pack);
  for (const auto& f : files) {
    const std::string disk = (!f.empty() && f[0] == '/') || base_dir.empty() ? f : base_dir + "/" + f;
    AddPath(writer, disk, StoredName(f), options, r);
  }
  r.added = writer.entries();
  ReplacingFile file(archive_path);
  Error e = file.Open();
  if (e == Error::kOk) e = writer.Finish(file);
  if (e == Error::kWriteFailed && file.error() != Error::kOk) e = file.error();
  if (e == Error::kOk) e = file.Commit();
  if (e != Error::kOk) return e;
  return r.failed.empty() ? Error::kOk : r.failed.front().second;
}

}  // namespace sorabu::lha
