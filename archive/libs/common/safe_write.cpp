// Every step works relative to an open folder descriptor (openat, mkdirat, renameat) and opens
// with O_NOFOLLOW, so neither ".." nor a symbolic link planted in the destination can redirect a
// write. A UTF-8 name from the format is split at its "/" bytes; a CP932 name alone is split into
// folders by CP932 characters first (a second byte may be 0x5C), then each part is converted to
// UTF-8. Either is checked for the same unsafe forms. Data goes to a temporary file renamed into
// place only when complete, so a failed entry leaves no half file and never clobbers an existing
// one.
#include "archive/libs/common/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "archive/lha/name_path.h"
#include "textconv/cp932.h"

namespace sorabu::arcplug {
namespace {

struct Fd {
  int fd = -1;
  explicit Fd(int f = -1) : fd(f) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Reset(-1); }
  void Reset(int f) {
    if (fd >= 0) ::close(fd);
    fd = f;
  }
};

bool Usable(const std::string& c) {
  return !c.empty() && c != "." && c != ".." && c.find('/') == std::string::npos && c.find('\0') == std::string::npos;
}

int EnterFolder(int parent, const std::string& name, Fd& out) {
  int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    if (::mkdirat(parent, name.c_str(), 0777) != 0 && errno != EEXIST) return unlha32::kErrorMakeDirectory;
    fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  }
  if (fd < 0) return unlha32::kErrorMakeDirectory;
  out.Reset(fd);
  return 0;
}

// As lha::SafeComponents for a UTF-8 name, in which no byte below 0x80 is part of a longer
// character.
bool SafeNativeComponents(std::string_view name, std::vector<std::string>& out) {
  out.clear();
  if (name.find('\0') != std::string_view::npos) return false;
  if (name.size() >= 2 && name[1] == ':' &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'))) {
    name.remove_prefix(2);
  }
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && name[i] != '/' && name[i] != '\\') continue;
    const std::string_view part = name.substr(start, i - start);
    start = i + 1;
    if (part == "..") return false;
    if (!part.empty() && part != ".") out.emplace_back(part);
  }
  return !out.empty();
}

bool RoomFor(int dir, std::uint64_t size) {
  struct statvfs vfs {};
  if (::fstatvfs(dir, &vfs) != 0) return true;
  return size <= static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
}

constexpr std::uint64_t kCheckEvery = std::uint64_t{64} << 20;
constexpr std::uint64_t kReserve = std::uint64_t{256} << 20;

bool DiskFull(int error) { return error == ENOSPC || error == EFBIG || error == EDQUOT; }

std::string TempName() {
  static std::atomic<unsigned> counter{0};
  return ".arc-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

}  // namespace

int WriteBelow(const std::string& dest, const ArcEntry& entry, EntryData* data, bool keep_folders,
               bool overwrite, std::string* shown, unlha32::OwnerProgress* progress) {
  const bool native = !entry.native_name.empty();
  const std::string& full = native ? entry.native_name : entry.name;
  // "." and "./" folder entries name the destination itself.
  if (entry.is_dir && full.find_first_not_of("./") == std::string::npos && full.find("..") == std::string::npos) {
    return 0;
  }
  std::vector<std::string> parts;
  if (native ? !SafeNativeComponents(full, parts)
             : lha::SafeComponents(full, parts) != lha::Error::kOk || parts.empty()) {
    return unlha32::kErrorWrite;
  }
  if (!keep_folders) {
    if (entry.is_dir) return 0;
    parts = {parts.back()};
  }
  std::string path;
  for (auto& p : parts) {
    if (!native) p = textconv::Cp932ToUtf8(p);
    if (!Usable(p)) return unlha32::kErrorWrite;
    if (!path.empty()) path += '/';
    path += p;
  }
  if (shown != nullptr) *shown = path;
  Fd dir(::open(dest.empty() ? "." : dest.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.fd < 0) return unlha32::kErrorMakeDirectory;
  const std::size_t folders = entry.is_dir ? parts.size() : parts.size() - 1;
  for (std::size_t i = 0; i < folders; ++i) {
    Fd next;
    if (const int code = EnterFolder(dir.fd, parts[i], next); code != 0) return code;
    dir.Reset(next.fd);
    next.fd = -1;
  }
  if (entry.is_dir) return 0;

  const std::string& name = parts.back();
  struct stat st {};
  if (::fstatat(dir.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!overwrite) return unlha32::kErrorAlreadyExists;
    if (S_ISDIR(st.st_mode)) return unlha32::kErrorWrite;
  }
  // The declared size is checked against the free space first, and the data may never run past
  // it: a small archive claiming (or secretly holding) gigabytes cannot fill the disk.
  if (entry.size_known && !RoomFor(dir.fd, entry.size)) return unlha32::kErrorDiskSpace;
  const std::string tmp = TempName();
  Fd file(::openat(dir.fd, tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                   static_cast<mode_t>(entry.mode & 0777u)));
  if (file.fd < 0) return unlha32::kErrorWrite;
  int code = 0;
  char buffer[65536];
  std::uint64_t total = 0;
  std::uint64_t next_check = kCheckEvery;
  while (data != nullptr) {
    int read_code = 0;
    const long n = data->Read(buffer, sizeof buffer, &read_code);
    if (n < 0) {
      code = read_code != 0 ? read_code : unlha32::kErrorRead;
      break;
    }
    if (n == 0) break;
    total += static_cast<std::uint64_t>(n);
    if (entry.size_known && total > entry.size) {
      code = unlha32::kErrorHeaderBroken;
      break;
    }
    // A single compressed file says no size: it may expand only while the disk keeps a reserve,
    // so a small bomb cannot fill it for every other program.
    if (!entry.size_known && total >= next_check) {
      next_check = total + kCheckEvery;
      if (!RoomFor(file.fd, kReserve)) {
        code = unlha32::kErrorDiskSpace;
        break;
      }
    }
    for (long off = 0; off < n;) {
      const ssize_t w = ::write(file.fd, buffer + off, static_cast<std::size_t>(n - off));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        code = w < 0 && DiskFull(errno) ? unlha32::kErrorDiskSpace : unlha32::kErrorWrite;
        break;
      }
      off += w;
    }
    if (code != 0) break;
    if (progress != nullptr && !progress->Step(total)) {
      code = unlha32::kErrorUserCancel;
      break;
    }
  }
  if (code == 0 && entry.size_known && total < entry.size) code = unlha32::kErrorDataMissing;
  if (code == 0) {
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(entry.mtime), 0}};
    ::futimens(file.fd, times);
  }
  if (::close(file.fd) != 0 && code == 0) code = unlha32::kErrorWrite;
  file.fd = -1;
  if (code == 0 && ::renameat(dir.fd, tmp.c_str(), dir.fd, name.c_str()) != 0) code = unlha32::kErrorWrite;
  if (code != 0) ::unlinkat(dir.fd, tmp.c_str(), 0);
  return code;
}

}  // namespace sorabu::arcplug
