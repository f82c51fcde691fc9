#include "info/dir_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>

#include "info/drive_figures.h"
#include "textconv/cp932.h"
#include "textconv/printable.h"
#include "textconv/ui_text.h"
#include "textconv/system_error.h"

namespace sorabu::info {

namespace {

constexpr const char* kEol = "\r\n";

using textconv::Sjis;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int CompareNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(Lower(a[i])), y = static_cast<unsigned char>(Lower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

std::string_view Extension(const DirEntry& e) {
  const std::size_t dot = e.name.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string_view() : std::string_view(e.name).substr(dot + 1);
}

template <typename T>
int Compare(T a, T b) {
  return a < b ? -1 : a > b ? 1 : 0;
}

int CompareBy(char key, const DirEntry& a, const DirEntry& b) {
  switch (key) {
    case 'N': return CompareNoCase(a.name, b.name);
    case 'E': return CompareNoCase(Extension(a), Extension(b));
    case 'S': return Compare(a.dir ? 0ull : a.size, b.dir ? 0ull : b.size);
    case 'D': return Compare(a.modified, b.modified);
    case 'A': return Compare(a.accessed, b.accessed);
    case 'G': return Compare(a.dir ? 0 : 1, b.dir ? 0 : 1);
    default: return 0;
  }
}

DirEntry EntryFromStat(std::string name, const struct stat& st, bool link) {
  DirEntry e;
  e.name = std::move(name);
  e.link = link;
  e.dir = S_ISDIR(st.st_mode);
  e.system = !e.dir && !S_ISREG(st.st_mode);
  e.readOnly = (st.st_mode & 0222) == 0;
  e.hidden = !e.name.empty() && e.name.front() == '.' && e.name != "." && e.name != "..";
  e.size = e.dir ? 0 : static_cast<unsigned long long>(st.st_size);
  e.allocated = static_cast<unsigned long long>(st.st_blocks) * 512ull;
  e.modified = st.st_mtime;
  e.accessed = st.st_atime;
  return e;
}

std::string Converted(const std::string& fsBytes, bool lower) {
  std::string s = textconv::Utf8ToCp932(fsBytes);
  if (lower) {
    for (std::size_t i = 0; i < s.size(); i += textconv::CharLength(s, i)) s[i] = Lower(s[i]);
  }
  return textconv::PrintableCp932(s);
}

// A path in a problem line: every character of its name, control bytes escaped.
std::string Shown(const std::string& fsBytes) { return textconv::PrintableCp932(textconv::Utf8ToCp932Exact(fsBytes)); }

std::string DateTime(long long seconds, bool withTime) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm {};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, withTime ? "%Y/%m/%d  %H:%M" : "%Y/%m/%d", &tm);
  return buf;
}

std::string RightAligned(const std::string& s, std::size_t width) {
  return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

std::string Attributes(const DirEntry& e) {
  std::string s;
  s += e.readOnly ? 'R' : '-';
  s += e.hidden ? 'H' : '-';
  s += e.system ? 'S' : '-';
  s += e.archive ? 'A' : '-';
  return s;
}

std::string Joined(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

struct Totals {
  unsigned long long files = 0, dirs = 0, bytes = 0, allocated = 0;
};

class TLister {
 public:
  TLister(const DirOptions& options, const DirSink& sink) : o_(options), sink_(sink) {}

  bool Run() {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string path = o_.path.empty() ? std::string(".") : o_.path;
    fs::path absolute = fs::absolute(fs::path(path), ec).lexically_normal();
    std::string folder = absolute.string();
    pattern_ = "*";
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      // A wildcard or a single name in its folder; a name that exists is that name, whatever
      // characters it holds.
      const std::string name = absolute.filename().string();
      const std::string parent = absolute.parent_path().string();
      if (name.empty() || ::stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return NotFound();
      exact_ = o_.literal || ::lstat(folder.c_str(), &st) == 0;
      folder = parent;
      pattern_ = name;
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    std::vector<std::string> pending{folder};
    bool anyShown = false;
    while (!pending.empty()) {
      const std::string current = std::move(pending.back());
      pending.pop_back();
      std::vector<std::string> subfolders;
      anyShown |= Block(current, subfolders);
      // Reversed onto the stack so the first subfolder comes next.
      for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) pending.push_back(*it);
    }
    if (!anyShown && ok_) return NotFound();
    if (!anyShown) return false;
    if (o_.form != DirForm::Bare) Footer(folder);
    return ok_;
  }

 private:
  bool NotFound() {
    sink_.problem(Sjis("ファイルが見つかりません"));
    return false;
  }

  bool Matches(const std::string& name) const {
    if (exact_) return name == pattern_;
    return pattern_ == "*" || ::fnmatch(pattern_.c_str(), name.c_str(), FNM_CASEFOLD | FNM_NOESCAPE) == 0;
  }

  // Lists one folder; true when it showed anything. Fills subfolders (with /S) in name order.
  bool Block(const std::string& folder, std::vector<std::string>& subfolders) {
    std::vector<DirEntry> entries;
    std::vector<UnexaminedEntry> unexamined;
    std::string why;
    if (!ReadFolder(folder, entries, why, &unexamined)) {
      sink_.problem(Shown(folder) + Sjis(" のディレクトリを読み取れません: ") + textconv::Utf8ToCp932(why));
      ok_ = false;
      return false;
    }
    for (const UnexaminedEntry& u : unexamined) {
      if (!Matches(u.name)) continue;
      sink_.problem(Shown(Joined(folder, u.name)) + Sjis(" を調べられません: ") + textconv::Utf8ToCp932(u.why));
      ok_ = false;
    }
    if (o_.subdirs) {
      for (const DirEntry& e : entries)
        if (e.dir && !e.link) subfolders.push_back(e.name);
      std::sort(subfolders.begin(), subfolders.end(),
                [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
      for (std::string& s : subfolders) s = Joined(folder, s);
    }
    std::vector<DirEntry> shown;
    shown.reserve(entries.size());
    for (DirEntry& e : entries)
      if (Matches(e.name) && PassesAttributes(e, o_)) shown.push_back(std::move(e));
    SortEntries(shown, o_.sort.empty() ? std::string_view("N") : std::string_view(o_.sort));
    // "." and ".." head every folder but the root, as they do under the command interpreter.
    if (o_.form != DirForm::Bare && folder != "/") {
      std::vector<DirEntry> dots;
      for (const char* name : {".", ".."}) {
        struct stat st {};
        const std::string path = std::string(name) == "." ? folder : Joined(folder, "..");
        if (::stat(path.c_str(), &st) != 0) continue;
        DirEntry e = EntryFromStat(name, st, false);
        if (Matches(e.name) && PassesAttributes(e, o_)) dots.push_back(std::move(e));
      }
      shown.insert(shown.begin(), std::make_move_iterator(dots.begin()), std::make_move_iterator(dots.end()));
    }
    if (shown.empty()) return false;
    Write(folder, shown);
    return true;
  }

  void Write(const std::string& folder, const std::vector<DirEntry>& shown) {
    std::string out;
    Totals here;
    for (const DirEntry& e : shown) {
      if (e.dir) ++here.dirs;
      else {
        ++here.files;
        here.bytes += e.size;
      }
      here.allocated += e.allocated;
    }
    if (o_.form == DirForm::Bare) {
      for (const DirEntry& e : shown) {
        out += o_.subdirs ? Name(Joined(folder, e.name)) : Name(e.name, folder);
        out += kEol;
      }
      sink_.write(out);
      Add(here);
      return;
    }
    out += kEol;
    out += " " + Converted(folder, false) + Sjis(" のディレクトリ") + kEol + kEol;
    if (o_.form == DirForm::Wide) {
      std::vector<std::string> names;
      std::size_t width = 0;
      for (const DirEntry& e : shown) {
        names.push_back(e.dir ? "[" + Name(e.name, folder) + "]" : Name(e.name, folder));
        width = std::max(width, names.back().size());
      }
      width += 2;
      const std::size_t columns = std::max<std::size_t>(1, 79 / width);
      for (std::size_t i = 0; i < names.size(); ++i) {
        const bool last = (i + 1) % columns == 0 || i + 1 == names.size();
        out += names[i];
        if (last) out += kEol;
        else out += std::string(width - names[i].size(), ' ');
      }
    } else {
      for (const DirEntry& e : shown) {
        out += DateTime(e.modified, true);
        std::string size;
        if (e.link) size = e.dir ? "<SYMLINKD>" : "<SYMLINK>";
        else size = e.dir ? "<DIR>" : GroupDigits(e.size);
        if (e.dir || e.link) out += "    " + size + std::string(size.size() < 15 ? 15 - size.size() : 1, ' ');
        else out += RightAligned(size, 18) + " ";
        if (o_.form == DirForm::Verbose) {
          out += RightAligned(GroupDigits(e.allocated), 15) + "  " + DateTime(e.accessed, false) + "  " + Attributes(e) + "  ";
        }
        out += Name(e.name, folder);
        if (e.link && !e.target.empty()) out += " [" + Converted(e.target, false) + "]";
        out += kEol;
      }
    }
    out += RightAligned(std::to_string(here.files), 16) + Sjis(" 個のファイル") + RightAligned(GroupDigits(here.bytes), 20) +
           Sjis(" バイト") + kEol;
    if (o_.form == DirForm::Verbose)
      out += RightAligned(GroupDigits(here.allocated), 49) + Sjis(" バイト割り当て済み") + kEol;
    sink_.write(out);
    Add(here);
  }

  void Add(const Totals& t) {
    all_.files += t.files;
    all_.dirs += t.dirs;
    all_.bytes += t.bytes;
    all_.allocated += t.allocated;
  }

  void Footer(const std::string& folder) {
    std::string out;
    if (o_.subdirs) {
      out += kEol + Sjis("     ファイルの総数:") + kEol;
      out += RightAligned(std::to_string(all_.files), 16) + Sjis(" 個のファイル") + RightAligned(GroupDigits(all_.bytes), 20) +
             Sjis(" バイト") + kEol;
    }
    struct statvfs vs {};
    const unsigned long long free =
        ::statvfs(folder.c_str(), &vs) == 0 ? static_cast<unsigned long long>(vs.f_bavail) * vs.f_frsize : 0;
    out += RightAligned(std::to_string(all_.dirs), 16) + Sjis(" 個のディレクトリ") + RightAligned(GroupDigits(free), 16) +
           Sjis(" バイトの空き領域") + kEol;
    sink_.write(out);
  }

  const DirOptions& o_;
  const DirSink& sink_;

  // A name in the listing; one Shift-JIS cannot hold shows "?" there, and a problem line says so.
  std::string Name(const std::string& name, const std::string& folder = {}) {
    std::size_t unmappable = 0;
    textconv::Utf8ToCp932(name, &unmappable);
    if (unmappable > 0)
      sink_.problem(Shown(folder.empty() ? name : Joined(folder, name)) +
                    Sjis(" : 名前に Shift-JIS で表せない文字があるため、一覧では ? で示しています"));
    return Converted(name, o_.lower);
  }
  std::string pattern_;
  bool exact_ = false;  // pattern_ is a name, not a wildcard
  Totals all_;
  bool ok_ = true;
};

}  // namespace

bool ReadFolder(const std::string& folder, std::vector<DirEntry>& out, std::string& why,
                std::vector<UnexaminedEntry>* unexamined) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
  if (!dir) {
    why = textconv::SystemErrorUtf8(errno);
    if (fd >= 0) ::close(fd);
    return false;
  }
  std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, ::closedir);
  for (;;) {
    errno = 0;
    const dirent* d = ::readdir(dir);
    if (!d) break;
    const std::string name = d->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno != ENOENT && unexamined != nullptr) unexamined->push_back({name, textconv::SystemErrorUtf8(errno)});
      continue;  // ENOENT: gone since
    }
    const bool link = S_ISLNK(st.st_mode);
    struct stat target {};
    DirEntry e = EntryFromStat(name, link && ::fstatat(fd, name.c_str(), &target, 0) == 0 ? target : st, link);
    if (link) {
      e.size = 0;  // the link's own bytes, not its target's, as the command interpreter counts them
      char buf[4096];
      const ssize_t n = ::readlinkat(fd, name.c_str(), buf, sizeof buf);
      if (n > 0) e.target.assign(buf, static_cast<std::size_t>(n));
    }
    out.push_back(std::move(e));
  }
  if (errno != 0) {
    why = textconv::SystemErrorUtf8(errno);
    return false;
  }
  return true;
}

bool PassesAttributes(const DirEntry& e, const DirOptions& o) {
  if (!o.attributesGiven) return !e.hidden && !e.system;
  const bool has[5] = {e.dir, e.readOnly, e.hidden, e.system, e.archive};
  for (int i = 0; i < 5; ++i) {
    const int want = o.attributes[static_cast<std::size_t>(i)];
    if ((want == 1 && !has[i]) || (want == -1 && has[i])) return false;
  }
  return true;
}

void SortEntries(std::vector<DirEntry>& entries, std::string_view keys) {
  std::stable_sort(entries.begin(), entries.end(), [keys](const DirEntry& a, const DirEntry& b) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const bool reverse = keys[i] == '-';
      if (reverse && ++i == keys.size()) break;
      const int c = CompareBy(keys[i], a, b);
      if (c != 0) return reverse ? c > 0 : c < 0;
    }
    // Whatever the keys leave equal goes by name, so a listing never depends on the disk's order.
    const int c = CompareNoCase(a.name, b.name);
    return c != 0 ? c < 0 : a.name < b.name;
  });
}

bool ListDirectory(const DirOptions& options, const DirSink& sink) { return TLister(options, sink).Run(); }

}  // namespace sorabu::info
