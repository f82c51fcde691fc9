// Every step works relative to an open folder descriptor (openat, mkdirat, renameat) and opens
// with O_NOFOLLOW, so neither a ".." in a name nor a symbolic link planted in the destination (or
// in the archive's own earlier entries) can redirect a write. The temporary file gets a short
// fixed-pattern name so that it fits even when the real name is at the length limit.
#include "archive/lha/safe_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "archive/lha/macbinary.h"
#include "archive/lha/name_path.h"
#include "textconv/cp932.h"

namespace sorabu::lha {
namespace {

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Reset(-1); }
  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int get() const { return fd_; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

class FdSink final : public ByteSink {
 public:
  explicit FdSink(int fd) : fd_(fd) {}
  bool Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        failed_ = true;
        full_ = n < 0 && (errno == ENOSPC || errno == EFBIG || errno == EDQUOT);
        return false;
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }
  bool failed() const { return failed_; }
  bool full() const { return full_; }

 private:
  int fd_;
  bool failed_ = false;
  bool full_ = false;
};

bool UsableComponent(const std::string& c) {
  return !c.empty() && c != "." && c != ".." && c.find('/') == std::string::npos &&
         c.find('\0') == std::string::npos;
}

// Opens (creating when missing) the folder `name` inside `parent`, never through a link.
Error EnterFolder(int parent, const std::string& name, Fd& out) {
  int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    if (::mkdirat(parent, name.c_str(), 0777) != 0 && errno != EEXIST) return Error::kWriteFailed;
    fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  }
  if (fd < 0) {
    struct stat st {};
    const bool link = ::fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
    return link ? Error::kUnsafeName : Error::kWriteFailed;
  }
  out.Reset(fd);
  return Error::kOk;
}

// A size the archive declares is checked against the free space before a byte is written, so a
// small archive claiming terabytes is refused instead of filling the disk.
bool RoomFor(int dir, std::uint64_t size) {
  struct statvfs vfs {};
  if (::fstatvfs(dir, &vfs) != 0) return true;
  const std::uint64_t free_bytes = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
  return size <= free_bytes;
}

std::string TempName() {
  static std::atomic<unsigned> counter{0};
  return ".lha-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

}  // namespace

Error WriteEntryBelow(const std::string& dest_dir, const Entry& entry, const DecodeRequest& request,
                      const ExtractOptions& options, std::string* written) {
  std::vector<std::string> parts;
  if (const Error e = SafeComponents(entry.name, parts); e != Error::kOk) return e;
  const bool is_dir = entry.IsDirectory();
  if (!options.keep_folders) {
    if (is_dir) return Error::kOk;
    parts = {parts.back()};
  }
  std::string path = dest_dir;
  for (auto& p : parts) {
    p = options.convert_name ? options.convert_name(p) : textconv::Cp932ToUtf8(p);
    if (!UsableComponent(p)) return Error::kUnsafeName;
    if (!path.empty() && path.back() != '/') path.push_back('/');
    path += p;
  }
  Fd dir(::open(dest_dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() < 0) return Error::kWriteFailed;
  const std::size_t folders = is_dir ? parts.size() : parts.size() - 1;
  for (std::size_t i = 0; i < folders; ++i) {
    Fd next;
    if (const Error e = EnterFolder(dir.get(), parts[i], next); e != Error::kOk) return e;
    dir.Reset(::dup(next.get()));
    if (dir.get() < 0) return Error::kWriteFailed;
  }
  if (written != nullptr) *written = path;
  if (is_dir) return Error::kOk;

  const std::string& name = parts.back();
  struct stat st {};
  if (::fstatat(dir.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!options.overwrite) return Error::kExists;
    if (S_ISDIR(st.st_mode)) return Error::kWriteFailed;
  }
  if (!RoomFor(dir.get(), entry.original_size)) return Error::kDiskFull;
  const std::string tmp = TempName();
  const mode_t mode = entry.unix_mode ? static_cast<mode_t>(*entry.unix_mode & 0777u) : 0666;
  Fd file(::openat(dir.get(), tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
  if (file.get() < 0) return Error::kWriteFailed;
  FdSink sink(file.get());
  MacBinarySink mac(sink, entry.original_size);
  const bool from_mac = entry.os_id == 'm';
  Error err = DecodeEntry(request, from_mac ? static_cast<ByteSink&>(mac) : sink);
  if (err == Error::kOk && from_mac && !mac.Finish()) err = Error::kWriteFailed;
  if (sink.failed()) err = sink.full() ? Error::kDiskFull : Error::kWriteFailed;
  if (err == Error::kOk && options.set_times) {
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(entry.ModificationTime()), 0}};
    ::futimens(file.get(), times);
  }
  if (::close(file.Release()) != 0 && err == Error::kOk) err = Error::kWriteFailed;
  if (err == Error::kOk && ::renameat(dir.get(), tmp.c_str(), dir.get(), name.c_str()) != 0) err = Error::kWriteFailed;
  if (err != Error::kOk) ::unlinkat(dir.get(), tmp.c_str(), 0);
  return err;
}

}  // namespace sorabu::lha
