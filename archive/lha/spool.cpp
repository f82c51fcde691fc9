// O_TMPFILE makes a file that never has a name; where the file system cannot, a name is made
// exclusively and removed at once.
#include "archive/lha/spool.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace sorabu::lha {

Spool::~Spool() { Clear(); }

void Spool::Clear() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
  error_ = Error::kOk;
}

bool Spool::Fail(int err) {
  if (error_ == Error::kOk) error_ = err == ENOSPC || err == EFBIG || err == EDQUOT ? Error::kDiskFull : Error::kWriteFailed;
  return false;
}

bool Spool::Ensure() {
  if (fd_ >= 0) return true;
  if (error_ != Error::kOk) return false;
  std::string dir = folder_;
  if (dir.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    dir = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  }
  fd_ = ::open(dir.c_str(), O_RDWR | O_TMPFILE | O_CLOEXEC, 0600);
  if (fd_ < 0) {
    std::string name = dir + "/.sorabu-spool-XXXXXX";
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) return Fail(errno);
    ::unlink(name.c_str());
  }
  return true;
}

bool Spool::WriteAt(std::uint64_t offset, std::string_view bytes) {
  if (!Ensure()) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t r = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return Fail(r < 0 ? errno : ENOSPC);
    done += static_cast<std::size_t>(r);
  }
  if (offset + bytes.size() > size_) size_ = offset + bytes.size();
  return true;
}

bool Spool::Write(std::string_view bytes) { return WriteAt(size_, bytes); }

bool Spool::Truncate(std::uint64_t size) {
  if (size >= size_) return true;
  if (!Ensure()) return false;
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return Fail(errno);
  size_ = size;
  return true;
}

}  // namespace sorabu::lha
