#include "archive/lha/archive_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/lha/safe_output.h"

namespace sorabu::lha {

Error ReadWholeFile(const std::string& path, std::uint64_t max_size, std::string& out) {
  out.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Error::kOpenFailed;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Error::kOpenFailed;
  }
  if (static_cast<std::uint64_t>(st.st_size) > max_size) {
    ::close(fd);
    return Error::kTooLarge;
  }
  out.resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  out.resize(done);
  return Error::kOk;
}

Error ArchiveReader::OpenMemory(std::string data, const OpenOptions& options) {
  data_ = std::move(data);
  return Scan(options);
}

Error ArchiveReader::OpenFile(const std::string& path, const OpenOptions& options) {
  entries_.clear();
  first_offset_ = 0;
  const Error e = ReadWholeFile(path, options.max_archive_size, data_);
  if (e != Error::kOk) return e;
  return Scan(options);
}

Error ArchiveReader::Scan(const OpenOptions& options) {
  entries_.clear();
  first_offset_ = 0;
  Entry e;
  Error err = ReadHeader(data_, 0, e);
  // A damaged first header of a plain archive is reported as such; only data that does not start
  // like a header at all (a program) is searched for an archive inside.
  const bool starts_like_header = data_.size() > 6 && data_[2] == '-' && data_[6] == '-';
  if (err != Error::kOk && starts_like_header) return err;
  if (err != Error::kOk) {
    const std::uint64_t limit = std::min<std::uint64_t>(data_.size(), options.self_extractor_scan);
    std::uint64_t found = 0;
    for (std::uint64_t off = 1; off < limit; ++off) {
      if (LooksLikeHeader(data_, off)) {
        found = off;
        break;
      }
    }
    if (found == 0) return Error::kNotArchive;
    first_offset_ = found;
    err = ReadHeader(data_, found, e);
  }
  std::uint64_t offset = first_offset_;
  while (err == Error::kOk) {
    entries_.push_back(e);
    offset = e.data_offset + e.packed_size;
    err = ReadHeader(data_, offset, e);
  }
  return err == Error::kEndOfArchive ? Error::kOk : err;
}

DecodeRequest ArchiveReader::Request(const Entry& e) const {
  DecodeRequest r;
  r.method = e.method;
  r.packed = std::string_view(data_).substr(static_cast<std::size_t>(e.data_offset),
                                            static_cast<std::size_t>(e.packed_size));
  r.original_size = e.original_size;
  r.crc = e.crc;
  return r;
}

Error ArchiveReader::ExtractToMemory(const Entry& e, std::string& out, std::uint64_t max_size,
                                     const ProgressFn& progress) const {
  DecodeRequest r = Request(e);
  r.progress = progress;
  return DecodeEntryToString(r, max_size, out);
}

Error ArchiveReader::Test(const Entry& e) const {
  class NullSink final : public ByteSink {
    bool Write(std::string_view) override { return true; }
  } sink;
  return DecodeEntry(Request(e), sink);
}

Error ArchiveReader::ExtractToFolder(const Entry& e, const std::string& dest_dir, const ExtractOptions& options,
                                     std::string* written) const {
  if (e.IsLink()) return Error::kLinkNotExtracted;
  if (FindMethod(e.method) == nullptr) return Error::kUnknownMethod;
  DecodeRequest r = Request(e);
  r.progress = options.progress;
  return WriteEntryBelow(dest_dir, e, r, options, written);
}

}  // namespace sorabu::lha
