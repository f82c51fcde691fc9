#include "fileops/file_io.h"
#include "textconv/system_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>

namespace sorabu::fileops::io {

namespace {
constexpr std::size_t kTempStem = 200;  // bytes of the name kept in a temporary name
}  // namespace

std::string Reason(int err) { return textconv::SystemErrorUtf8(err); }

std::size_t NameStart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string BaseName(const std::string& path) { return path.substr(NameStart(path)); }

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || (!name.empty() && name[0] == '/')) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

int Fd::Close() {
  if (fd_ < 0) return 0;
  const int r = ::close(fd_);
  fd_ = -1;
  return r == 0 ? 0 : errno;
}

std::string OpenRegular(const std::string& path, Fd& fd, struct stat& st) {
  fd.Reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd || ::fstat(fd.get(), &st) != 0) return Reason(errno);
  if (S_ISDIR(st.st_mode)) return Reason(EISDIR);
  return S_ISREG(st.st_mode) ? "" : "通常のファイルではありません。";
}

int MakeBeside(const std::string& path, std::string& made, const std::function<bool(const std::string&)>& make) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 random{std::random_device{}()};
  const std::size_t start = NameStart(path);
  const std::string prefix = path.substr(0, start) + "." + path.substr(start, kTempStem) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix;
    for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    if (make(name)) {
      made = name;
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

int CreateBeside(const std::string& path, mode_t mode, std::string& made, Fd& fd) {
  int opened = -1;
  const int err = MakeBeside(path, made, [&](const std::string& name) {
    opened = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    return opened >= 0;
  });
  if (err == 0) fd.Reset(opened);
  return err;
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the flag: check, then rename (a small window, but nothing better exists).
  struct stat st {};
  if (lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return std::rename(from.c_str(), to.c_str()) == 0;
}

int WriteAll(int fd, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

}  // namespace sorabu::fileops::io
