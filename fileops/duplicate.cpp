#include "fileops/duplicate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "fileops/file_io.h"

namespace sorabu::fileops {

bool DuplicateWithCrLf(const std::string& source, const std::string& target, bool replace, std::string& error) {
  io::Fd in;
  struct stat st {};
  if (error = io::OpenRegular(source, in, st); !error.empty()) return false;
  io::Fd out;
  std::string temporary;
  if (const int err = io::CreateBeside(target, st.st_mode & 0777, temporary, out); err != 0) {
    error = io::Reason(err);
    return false;
  }
  auto fail = [&](int err) {
    error = io::Reason(err);
    unlink(temporary.c_str());
    return false;
  };
  std::vector<char> buffer(1 << 20);
  std::string converted;
  bool pendingCr = false, lineOpen = false;
  for (;;) {
    const ssize_t n = read(in.get(), buffer.data(), buffer.size());
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
    if (const int err = io::WriteAll(out.get(), converted); err != 0) return fail(err);
  }
  if (pendingCr || lineOpen)
    if (const int err = io::WriteAll(out.get(), "\r\n", 2); err != 0) return fail(err);
  if (const int err = out.Close(); err != 0) return fail(err);
  const bool placed = replace ? std::rename(temporary.c_str(), target.c_str()) == 0
                              : io::RenameNoReplace(temporary, target);
  if (!placed) return fail(errno);
  return true;
}

}  // namespace sorabu::fileops
