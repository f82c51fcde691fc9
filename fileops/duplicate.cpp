#include "fileops/duplicate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace sorabu::fileops {

namespace {

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool DuplicateWithCrLf(const std::string& source, const std::string& target, bool replace, std::string& error) {
  Fd in;
  in.fd = open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st {};
  if (in.fd < 0 || fstat(in.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = in.fd < 0 ? std::strerror(errno) : "not a regular file";
    return false;
  }
  const auto slash = target.rfind('/');
  std::string temporary = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + ".sorabu-XXXXXX";
  Fd out;
  out.fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (out.fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  auto fail = [&](int e) {
    error = std::strerror(e);
    unlink(temporary.c_str());
    return false;
  };
  std::vector<char> buffer(1 << 20);
  std::string converted;
  bool pendingCr = false, lineOpen = false;
  for (;;) {
    const ssize_t n = read(in.fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(errno);
    if (n == 0) break;
    converted.clear();
    for (ssize_t i = 0; i < n; ++i) {
      const char c = buffer[static_cast<std::size_t>(i)];
      if (pendingCr) {
        pendingCr = false;
        converted += "\r\n";
        lineOpen = false;
        if (c == '\n') continue;
      }
      if (c == '\r') {
        pendingCr = true;
      } else if (c == '\n') {
        converted += "\r\n";
        lineOpen = false;
      } else {
        converted += c;
        lineOpen = true;
      }
    }
    if (!WriteAll(out.fd, converted.data(), converted.size())) return fail(errno);
  }
  if ((pendingCr || lineOpen) && !WriteAll(out.fd, "\r\n", 2)) return fail(errno);
  fchmod(out.fd, st.st_mode & 0666);
  if (close(out.fd) != 0) {
    out.fd = -1;
    return fail(errno);
  }
  out.fd = -1;
  const int placed = replace ? std::rename(temporary.c_str(), target.c_str())
                             : renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
  if (placed != 0) return fail(errno);
  return true;
}

}  // namespace sorabu::fileops
