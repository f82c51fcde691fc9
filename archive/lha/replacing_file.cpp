// The temporary name is short and fixed in pattern, created exclusively and never through a link,
// so neither a long final name nor something planted in the folder can redirect the write.
#include "archive/lha/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace sorabu::lha {
namespace {

Error WriteError(int err) {
  return err == ENOSPC || err == EFBIG || err == EDQUOT ? Error::kDiskFull : Error::kWriteFailed;
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tmp_.empty()) ::unlink(tmp_.c_str());
  tmp_.clear();
}

Error ReplacingFile::Open() {
  static std::atomic<unsigned> counter{0};
  Discard();
  error_ = Error::kOk;
  const std::string folder = FolderOf(path_);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string tmp = folder + "/.lha-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode_);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) break;
    fd_ = fd;
    tmp_ = tmp;
    struct stat old {};
    if (::stat(path_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd_, old.st_mode & 0777);
    return Error::kOk;
  }
  return error_ = Error::kWriteFailed;
}

bool ReplacingFile::Write(std::string_view bytes) {
  if (fd_ < 0 || error_ != Error::kOk) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = n < 0 ? WriteError(errno) : Error::kWriteFailed;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

Error ReplacingFile::Commit() {
  if (fd_ < 0 && error_ == Error::kOk) error_ = Error::kWriteFailed;
  if (error_ == Error::kOk && ::fsync(fd_) != 0) error_ = WriteError(errno);
  if (fd_ >= 0 && ::close(fd_) != 0 && error_ == Error::kOk) error_ = WriteError(errno);
  fd_ = -1;
  if (error_ == Error::kOk && std::rename(tmp_.c_str(), path_.c_str()) != 0) error_ = Error::kWriteFailed;
  if (error_ == Error::kOk) tmp_.clear();
  Discard();
  return error_;
}

}  // namespace sorabu::lha
