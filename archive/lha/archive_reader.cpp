// The archive reader: finds the first header (or the archive inside a self-extracting program),
// walks the headers, and hands one entry's data at a time to the decoder. See archive_reader.h.
#include "archive/lha/archive_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/lha/safe_output.h"

namespace sorabu::lha {

Error ReadWholeFile(const std::string& path, std::uint64_t max_size, std::string& out) {
  out.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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

namespace {

// A header is read through a window that grows when the header does not fit in it; level 3
// headers may be large, but never beyond this.
constexpr std::size_t kFirstWindow = std::size_t{1} << 10;
constexpr std::size_t kLargestWindow = std::size_t{1} << 24;
// Read beyond the self-extractor scan limit, so that a level-2 header starting just before the
// limit is still whole.
constexpr std::size_t kScanMargin = std::size_t{1} << 16;
// Packed data reaches the decoders in pieces of this size, whatever the entry's size.
constexpr std::size_t kPackedPiece = std::size_t{1} << 20;

class InputSource final : public PackedSource {
 public:
  InputSource(const Input& input, std::uint64_t offset, std::uint64_t size)
      : input_(input), offset_(offset), size_(size) {}
  std::uint64_t Size() const noexcept override { return size_; }
  std::string_view Next() noexcept override {
    if (done_ >= size_) return {};
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kPackedPiece, size_ - done_));
    try {
      if (!input_.Read(offset_ + done_, n, piece_)) {
        done_ = size_;
        return {};
      }
    } catch (...) {
      done_ = size_;
      return {};
    }
    done_ += n;
    return piece_;
  }

 private:
  const Input& input_;
  std::uint64_t offset_;
  std::uint64_t size_;
  std::uint64_t done_ = 0;
  std::string piece_;
};

}  // namespace

Error ArchiveReader::OpenMemory(std::string data, const OpenOptions& options) {
  input_ = std::make_unique<MemoryInput>(std::move(data));
  return Scan(options);
}

Error ArchiveReader::OpenFile(const std::string& path, const OpenOptions& options) {
  entries_.clear();
  first_offset_ = 0;
  input_.reset();
  std::unique_ptr<FileInput> file;
  if (const Error e = FileInput::Open(path, file); e != Error::kOk) return e;
  if (file->Size() > options.max_archive_size) return Error::kTooLarge;
  input_ = std::move(file);
  return Scan(options);
}

Error ArchiveReader::OpenInput(std::unique_ptr<Input> input, const OpenOptions& options) {
  entries_.clear();
  first_offset_ = 0;
  input_ = std::move(input);
  if (input_ == nullptr) return Error::kOpenFailed;
  return Scan(options);
}

Error ArchiveReader::HeaderAt(std::uint64_t offset, Entry& e) const {
  const std::uint64_t size = input_->Size();
  if (offset >= size) return Error::kEndOfArchive;
  std::string window;
  for (std::size_t n = kFirstWindow;; n *= 16) {
    input_->Read(offset, n, window);
    Error err = ReadHeader(window, 0, e, size - offset);
    if (err == Error::kTruncated && window.size() == n && n < kLargestWindow) continue;
    if (err == Error::kOk) {
      e.header_offset += offset;
      e.data_offset += offset;
    }
    return err;
  }
}

Error ArchiveReader::Scan(const OpenOptions& options) {
  entries_.clear();
  first_offset_ = 0;
  Entry e;
  Error err = HeaderAt(0, e);
  std::string start;
  input_->Read(0, 7, start);
  // A damaged first header of a plain archive is reported as such; only data that does not start
  // like a header at all (a program) is searched for an archive inside.
  const bool starts_like_header = start.size() == 7 && start[2] == '-' && start[6] == '-';
  if (err != Error::kOk && starts_like_header) return err;
  if (err != Error::kOk) {
    const std::uint64_t limit = std::min<std::uint64_t>(input_->Size(), options.self_extractor_scan);
    std::string prefix;
    input_->Read(0, static_cast<std::size_t>(limit) + kScanMargin, prefix);
    // A program may hold bytes that pass for a header. The archive is the first candidate whose
    // entries run to a clean end; when none does (a damaged archive), the first candidate.
    constexpr int kMaxCandidates = 64;
    std::vector<Entry> first_entries;
    Error first_err = Error::kNotArchive;
    std::uint64_t first_found = 0;
    int candidates = 0;
    for (std::uint64_t off = 1; off < limit && candidates < kMaxCandidates; ++off) {
      if (!LooksLikeHeader(prefix, off, input_->Size())) continue;
      ++candidates;
      const Error chain = Chain(off);
      if (chain == Error::kOk) {
        first_offset_ = off;
        return Error::kOk;
      }
      if (first_found == 0) {
        first_found = off;
        first_err = chain;
        first_entries = std::move(entries_);
      }
      entries_.clear();
    }
    if (first_found == 0) return Error::kNotArchive;
    first_offset_ = first_found;
    entries_ = std::move(first_entries);
    return first_err;
  }
  return Chain(0);
}

Error ArchiveReader::Chain(std::uint64_t offset) {
  entries_.clear();
  Entry e;
  Error err = HeaderAt(offset, e);
  while (err == Error::kOk) {
    entries_.push_back(e);
    err = HeaderAt(e.data_offset + e.packed_size, e);
  }
  return err == Error::kEndOfArchive ? Error::kOk : err;
}

Error ArchiveReader::CheckPacked(const Entry& e) const {
  if (input_ == nullptr) return Error::kOpenFailed;
  if (e.packed_size > input_->Size() || e.data_offset > input_->Size() - e.packed_size) return Error::kTruncated;
  return Error::kOk;
}

Error ArchiveReader::RawEntry(const Entry& e, std::string& out) const {
  out.clear();
  if (input_ == nullptr) return Error::kOpenFailed;
  const std::uint64_t end = e.data_offset + e.packed_size;
  if (e.header_offset > end || end > input_->Size()) return Error::kTruncated;
  return input_->Read(e.header_offset, static_cast<std::size_t>(end - e.header_offset), out) ? Error::kOk
                                                                                               : Error::kTruncated;
}

Error ArchiveReader::CopyRawEntry(const Entry& e, ByteSink& out) const {
  const std::uint64_t end = e.data_offset + e.packed_size;
  if (e.header_offset > end) return Error::kTruncated;
  return CopyBytes(e.header_offset, end - e.header_offset, out);
}

Error ArchiveReader::CopyBytes(std::uint64_t offset, std::uint64_t size, ByteSink& out) const {
  if (input_ == nullptr) return Error::kOpenFailed;
  if (offset > input_->Size() || size > input_->Size() - offset) return Error::kTruncated;
  std::string piece;
  while (size > 0) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kPackedPiece, size));
    if (!input_->Read(offset, n, piece)) return Error::kTruncated;
    if (!out.Write(piece)) return Error::kWriteFailed;
    offset += n;
    size -= n;
  }
  return Error::kOk;
}

DecodeRequest ArchiveReader::Request(const Entry& e, PackedSource& packed) const {
  DecodeRequest r;
  r.method = e.method;
  r.source = &packed;
  r.original_size = e.original_size;
  r.crc = e.crc;
  return r;
}

Error ArchiveReader::ExtractToMemory(const Entry& e, std::string& out, std::uint64_t max_size,
                                     const ProgressFn& progress) const {
  out.clear();
  if (e.original_size > max_size) return Error::kTooLarge;
  if (const Error err = CheckPacked(e); err != Error::kOk) return err;
  InputSource packed(*input_, e.data_offset, e.packed_size);
  DecodeRequest r = Request(e, packed);
  r.progress = progress;
  return DecodeEntryToString(r, max_size, out);
}

Error ArchiveReader::Test(const Entry& e) const {
  class NullSink final : public ByteSink {
    bool Write(std::string_view) override { return true; }
  } sink;
  if (const Error err = CheckPacked(e); err != Error::kOk) return err;
  InputSource packed(*input_, e.data_offset, e.packed_size);
  return DecodeEntry(Request(e, packed), sink);
}

Error ArchiveReader::ExtractToFolder(const Entry& e, const std::string& dest_dir, const ExtractOptions& options,
                                     std::string* written) const {
  if (e.IsLink()) return Error::kLinkNotExtracted;
  if (FindMethod(e.method) == nullptr) return Error::kUnknownMethod;
  if (const Error err = CheckPacked(e); err != Error::kOk) return err;
  InputSource packed(*input_, e.data_offset, e.packed_size);
  DecodeRequest r = Request(e, packed);
  r.progress = options.progress;
  return WriteEntryBelow(dest_dir, e, r, options, written);
}

}  // namespace sorabu::lha
