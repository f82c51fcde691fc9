// The commands common to the plug-ins: "l" lists (name, sizes, ratio, date, method, CRC), "t"
// reads every selected entry's data, "x"/"e" extract with or without folders, "a" packs. Output
// lines end in CR LF; names are shown with control bytes escaped. A failing entry gets an
// "Error N: name" line and the first such code is returned, after the other entries were done.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <dirent.h>

#include "archive/lha/name_path.h"
#include "archive/libs/common/plugin.h"
#include "archive/libs/common/safe_write.h"
#include "archive/libs/unlha32/command_line.h"
#include "textconv/cp932.h"

namespace sorabu::arcplug {
namespace {

void Line(std::string& out, std::string_view text) {
  out.append(text);
  out += "\r\n";
}

std::string Printf(const char* fmt, auto... args) {
  char buf[512];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

bool Selected(const Command& c, const ArcEntry& e) {
  if (c.names.empty()) return true;
  for (const auto& n : c.names) {
    const std::string pattern = lha::NormalizeSeparators(n);
    // An empty name given ('""') selects only an entry without a name, never every entry.
    if (pattern.empty()) {
      if (e.name.empty()) return true;
      continue;
    }
    if (unlha32::WildcardMatch(pattern, e.name)) return true;
    const std::size_t slash = e.name.rfind('/');
    if (slash != std::string::npos && unlha32::WildcardMatch(pattern, std::string_view(e.name).substr(slash + 1))) return true;
  }
  return false;
}

unsigned Ratio(const ArcEntry& e) {
  if (e.size == 0) return 0;
  const std::uint64_t r = e.packed * 1000 / e.size;
  return static_cast<unsigned>(r > 65535 ? 65535 : r);
}

int List(const Format& f, const Command& c, std::string& out) {
  Line(out, " Original    Packed  Ratio  Date     Time     Method    CRC      Name");
  Line(out, "---------- ---------- ------ -------- -------- -------- -------- --------------------");
  std::uint64_t total = 0, packed = 0;
  unsigned count = 0;
  const int code = f.Scan(unlha32::NativePath(c.archive), false, c.password, [&](const ArcEntry& e, EntryData*) {
    if (!Selected(c, e)) return true;
    const std::uint32_t dos = DosDateTime(e.mtime);
    Line(out, Printf("%10llu %10llu %5.1f%% %02u-%02u-%02u %02u:%02u:%02u %-8s %08X ",
                     static_cast<unsigned long long>(e.size), static_cast<unsigned long long>(e.packed),
                     Ratio(e) / 10.0, ((dos >> 25) + 80) % 100, (dos >> 21) & 15, (dos >> 16) & 31,
                     (dos >> 11) & 31, (dos >> 5) & 63, (dos & 31) * 2, lha::EscapeForDisplay(e.method).c_str(), e.crc) +
                  lha::EscapeForDisplay(e.name));
    total += e.size;
    packed += e.packed;
    ++count;
    return true;
  });
  Line(out, "---------- ---------- ------ -------- -------- -------- -------- --------------------");
  Line(out, Printf("%10llu %10llu %5.1f%% %u files", static_cast<unsigned long long>(total),
                   static_cast<unsigned long long>(packed), total ? static_cast<double>(packed) * 100.0 / static_cast<double>(total) : 0.0, count));
  return code;
}

bool MakeFolders(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      if (::mkdir(path.substr(0, i).c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int Extract(const Format& f, const Command& c, std::string& out) {
  const bool test = c.op == 't';
  std::string dest = unlha32::NativePath(c.folder);
  while (dest.size() > 1 && dest.back() == '/') dest.pop_back();
  if (!test && !dest.empty() && !MakeFolders(dest)) {
    Line(out, "Error: cannot create " + lha::EscapeForDisplay(c.folder));
    return unlha32::kErrorMakeDirectory;
  }
  int result = 0;
  auto note = [&](int code) {
    if (result == 0) result = code;
  };
  unlha32::OwnerProgress progress;
  const int scan = f.Scan(unlha32::NativePath(c.archive), true, c.password, [&](const ArcEntry& e, EntryData* data) {
    if (!Selected(c, e)) return true;
    const std::string shown = lha::EscapeForDisplay(e.name);
    if (e.is_link) {
      Line(out, "Skipped (link) : " + shown);
      return true;
    }
    if (e.is_special) {
      Line(out, "Skipped (not a regular file) : " + shown);
      return true;
    }
    int code = 0;
    if (!progress.Begin(e.name, e.name, e.size)) {
      note(unlha32::kErrorUserCancel);
      return false;
    }
    if (test) {
      char buffer[65536];
      int read_code = 0;
      long n;
      std::uint64_t done = 0;
      while ((n = data->Read(buffer, sizeof buffer, &read_code)) > 0) {
        done += static_cast<std::uint64_t>(n);
        if (!progress.Step(done)) break;
      }
      if (n < 0) code = read_code != 0 ? read_code : unlha32::kErrorRead;
      if (progress.stopped()) code = unlha32::kErrorUserCancel;
    } else {
      code = WriteBelow(dest, e, data, c.op == 'x' && !c.junk_paths, c.overwrite, nullptr, &progress);
    }
    if (code == 0 && !progress.End()) code = unlha32::kErrorUserCancel;
    if (code != 0) {
      Line(out, Printf("Error %d: ", code) + shown);
      note(code);
      if (code == unlha32::kErrorUserCancel) return false;
    } else {
      Line(out, (test ? "Tested    : " : "Extracted : ") + shown);
    }
    return true;
  });
  if (scan != 0) {
    Line(out, Printf("Error %d: ", scan) + lha::EscapeForDisplay(c.archive));
    return scan;
  }
  return result;
}

std::string StoredName(const std::string& name, bool junk) {
  std::string n = name;
  if (junk) {
    const std::size_t slash = n.find_last_of('/');
    return slash == std::string::npos ? n : n.substr(slash + 1);
  }
  // Stored names are relative: leading "/", "./" and "../" are dropped, as tar and zip do.
  for (;;) {
    if (n.rfind("/", 0) == 0) n.erase(0, 1);
    else if (n.rfind("./", 0) == 0) n.erase(0, 2);
    else if (n.rfind("../", 0) == 0) n.erase(0, 3);
    else break;
  }
  return n;
}

void Collect(const std::string& path, const std::string& stored, const Command& c, std::vector<PackItem>& items,
             int depth) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    if (!c.no_dir_entries && !c.junk_paths) items.push_back({path, stored + "/", true});
    if (!c.recurse || depth > 64) return;
    DIR* d = ::opendir(path.c_str());
    if (d == nullptr) return;
    std::vector<std::string> names;
    while (const dirent* ent = ::readdir(d)) {
      const std::string n = ent->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    for (const auto& n : names) {
      Collect(path + "/" + n, c.junk_paths ? n : stored + "/" + n, c, items, depth + 1);
    }
  } else if (S_ISREG(st.st_mode)) {
    items.push_back({path, stored, false});
  }
}

int Pack(const Format& f, const Command& c, std::string& out) {
  if (!f.CanPack()) return unlha32::kErrorCommand;
  if (c.names.empty()) return unlha32::kErrorNoFileName;
  std::string base = unlha32::NativePath(c.folder);
  if (!base.empty() && base.back() != '/') base += '/';
  std::vector<PackItem> items;
  for (const auto& n : c.names) {
    std::string native = unlha32::NativePath(n);
    while (native.size() > 1 && native.back() == '/') native.pop_back();
    const std::string path = !base.empty() && native.rfind("/", 0) != 0 ? base + native : native;
    const std::size_t before = items.size();
    Collect(path, StoredName(native, c.junk_paths), c, items, 0);
    if (items.size() == before) {
      struct stat st {};
      if (::lstat(path.c_str(), &st) != 0) {
        Line(out, Printf("Error %d: ", unlha32::kErrorFileOpen) + lha::EscapeForDisplay(n));
        return unlha32::kErrorFileOpen;
      }
    }
  }
  // Nothing to add (a folder without "-r" under "-D"): an error, never an empty success.
  if (items.empty()) return unlha32::kErrorNoFileName;
  for (auto& item : items) {
    if (item.stored_name.empty() || item.stored_name == "/") item.stored_name = ".";
  }
  return f.Pack(unlha32::NativePath(c.archive), items, c.pack, out);
}

}  // namespace

int RefuseNonRegular(const std::string& native_path) {
  struct stat st {};
  if (::stat(native_path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return unlha32::kErrorArchiveOpen;
  return 0;
}

int Format::Pack(const std::string&, const std::vector<PackItem>&, const PackOptions&, std::string&) const {
  return unlha32::kErrorCommand;
}

bool Format::Recognises(const std::string& native_path) const {
  bool any = false;
  const int code = Scan(native_path, false, {}, [&](const ArcEntry&, EntryData*) {
    any = true;
    return false;
  });
  return code == 0 && any;
}

int RunCommand(const Format& format, const Syntax& syntax, std::string_view line, std::string& output) {
  Command c;
  if (const int code = ParseCommand(line, syntax, c); code != 0) return code;
  switch (c.op) {
    case 'l': return List(format, c, output);
    case 't':
    case 'x':
    case 'e': return Extract(format, c, output);
    case 'a': return Pack(format, c, output);
  }
  return unlha32::kErrorCommand;
}

std::uint32_t DosDateTime(std::int64_t unix_time) {
  const time_t t = static_cast<time_t>(unix_time);
  std::tm tm {};
  if (::localtime_r(&t, &tm) == nullptr || tm.tm_year < 80) return (1u << 21) | (1u << 16);
  const unsigned year = static_cast<unsigned>(tm.tm_year - 80) & 127u;
  return (year << 25) | (static_cast<unsigned>(tm.tm_mon + 1) << 21) | (static_cast<unsigned>(tm.tm_mday) << 16) |
         (static_cast<unsigned>(tm.tm_hour) << 11) | (static_cast<unsigned>(tm.tm_min) << 5) |
         static_cast<unsigned>(tm.tm_sec / 2);
}

}  // namespace sorabu::arcplug
