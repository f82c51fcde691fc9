// Small pieces of POSIX file handling the file operations share: an owned descriptor, opening a
// regular file to read, creating a temporary file beside a target, writing everything, and path
// joining. Paths are the file system's bytes.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

struct stat;

namespace sorabu::fileops::io {

// The system's reason for an errno value.
std::string Reason(int err);

// Where the last name of path begins.
std::size_t NameStart(const std::string& path);
std::string BaseName(const std::string& path);
// folder + "/" + name; name alone when folder is empty or name is absolute.
std::string JoinPath(const std::string& folder, const std::string& name);

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
  // 0, or the errno of a failed close (a late write error on some file systems).
  int Close();

 private:
  int fd_;
};

// Opens a file to read without blocking on a FIFO and checks that it is a regular file; empty, or
// the reason it cannot be read.
std::string OpenRegular(const std::string& path, Fd& fd, struct stat& st);

// Makes a new name ".name.XXXXXX" beside path and calls make(name) until it succeeds or fails
// for another reason than the name being taken (errno EEXIST). make must not open an existing
// name, so nothing planted under such a name is followed. 0 with the name in made, or an errno.
int MakeBeside(const std::string& path, std::string& made, const std::function<bool(const std::string&)>& make);

// Creates a new file ".name.XXXXXX" beside path (O_EXCL, never following a link planted under
// the name); 0 with its name in made, or an errno value.
int CreateBeside(const std::string& path, mode_t mode, std::string& made, Fd& fd);

// rename that never replaces what has the new name; false with errno set (EEXIST when taken).
bool RenameNoReplace(const std::string& from, const std::string& to);

// 0, or the errno of the failed write.
int WriteAll(int fd, const char* data, std::size_t size);
inline int WriteAll(int fd, const std::string& text) { return WriteAll(fd, text.data(), text.size()); }

}  // namespace sorabu::fileops::io
