// pread keeps no file position, so one open archive serves any order of reads.
#include "archive/lha/input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace sorabu::lha {

bool MemoryInput::Read(std::uint64_t offset, std::size_t n, std::string& out) const {
  out.clear();
  if (offset > data_.size()) return false;
  out = data_.substr(static_cast<std::size_t>(offset), n);
  return out.size() == n;
}

bool ViewInput::Read(std::uint64_t offset, std::size_t n, std::string& out) const {
  out.clear();
  if (offset > data_.size()) return false;
  out = data_.substr(static_cast<std::size_t>(offset), n);
  return out.size() == n;
}

FileInput::~FileInput() { ::close(fd_); }

Error FileInput::Open(const std::string& path, std::unique_ptr<FileInput>& out) {
  // O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever; only regular files
  // pass the check below, and for them the flag changes nothing.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return Error::kOpenFailed;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Error::kOpenFailed;
  }
  out.reset(new FileInput(fd, static_cast<std::uint64_t>(st.st_size)));
  return Error::kOk;
}

Error FileInput::Duplicate(int fd, std::uint64_t size, std::unique_ptr<FileInput>& out) {
  const int copy = fd < 0 ? -1 : ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) return Error::kOpenFailed;
  out.reset(new FileInput(copy, size));
  return Error::kOk;
}

bool FileInput::Read(std::uint64_t offset, std::size_t n, std::string& out) const {
  out.clear();
  if (offset > size_) return false;
  // Never allocate beyond what the file holds, whatever n says.
  out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset)));
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t r = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += static_cast<std::size_t>(r);
  }
  out.resize(done);
  return done == n;
}

}  // namespace sorabu::lha
