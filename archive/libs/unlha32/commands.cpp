// The commands: "l"/"v" list, "t" tests, "x" extracts with folders ("-x0": without), "e"
// without folders, "a" adds (replacing entries of the same name), "u" adds only files newer than
// their entry. Names are stored without folders unless "-x1" is given (the file names' folders
// relative to the base folder are kept then); "-r" adds folders with their contents. Other
// switches are accepted and ignored. Output lines end in CR LF; names are printed with control
// bytes escaped.
#include "archive/libs/unlha32/commands.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <unordered_set>

#include "archive/lha/archive_writer.h"
#include "archive/lha/dos_time.h"
#include "archive/lha/name_path.h"
#include "archive/libs/unlha32/command_line.h"
#include "archive/libs/unlha32/unlha32.h"
#include "textconv/cp932.h"

namespace sorabu::unlha32 {
namespace {

constexpr const char* kEol = "\r\n";

void Line(std::string& out, std::string_view text) {
  out.append(text);
  out += kEol;
}

std::string Format(const char* fmt, auto... args) {
  char buf[256];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

bool Selected(const Command& c, const lha::Entry& e) {
  if (c.names.empty()) return true;
  for (const auto& n : c.names) {
    std::string pattern = lha::NormalizeSeparators(n);
    if (WildcardMatch(pattern, e.name)) return true;
    const std::size_t slash = e.name.rfind('/');
    if (slash != std::string::npos && WildcardMatch(pattern, std::string_view(e.name).substr(slash + 1))) return true;
  }
  return false;
}

void ErrorLine(std::string& out, int code, const std::string& name, lha::Error e) {
  Line(out, Format("Error %d: ", code) + lha::EscapeForDisplay(name) + " (" + std::string(lha::ErrorText(e)) + ")");
}

int OpenArchive(const Command& c, lha::ArchiveReader& reader, std::string& out) {
  const lha::Error e = reader.OpenFile(NativePath(c.archive));
  if (e == lha::Error::kOpenFailed) return kErrorArchiveOpen;
  if (e != lha::Error::kOk) {
    Line(out, "Archive: " + lha::EscapeForDisplay(c.archive) + " (" + std::string(lha::ErrorText(e)) + ")");
    return ResultCode(e);
  }
  return 0;
}

int List(const Command& c, std::string& out) {
  lha::ArchiveReader reader;
  if (const int code = OpenArchive(c, reader, out); code != 0 && reader.entries().empty()) return code;
  out += ListingText(reader, c.word == 'v');
  return 0;
}

// The destination with its missing parents, like "mkdir -p".
bool MakeFolders(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      const std::string part = path.substr(0, i);
      if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int ExtractOrTest(const Command& c, std::string& out) {
  lha::ArchiveReader reader;
  int result = OpenArchive(c, reader, out);
  if (result != 0 && reader.entries().empty()) return result;
  lha::ExtractOptions opts;
  opts.keep_folders = c.word == 'x' && c.Number("x", 1) != 0;
  const std::string dest = c.folder.empty() ? std::string(".") : NativePath(c.folder);
  if (c.word != 't' && !MakeFolders(dest)) {
    Line(out, "Error: cannot create " + lha::EscapeForDisplay(c.folder));
    return kErrorMakeDirectory;
  }
  for (const auto& e : reader.entries()) {
    if (!Selected(c, e)) continue;
    const lha::Error err = c.word == 't' ? reader.Test(e) : reader.ExtractToFolder(e, dest, opts);
    if (err == lha::Error::kOk) {
      Line(out, (c.word == 't' ? "Tested    : " : "Extracted : ") + lha::EscapeForDisplay(e.name));
      continue;
    }
    const int code = ResultCode(err);
    ErrorLine(out, code, e.name, err);
    if (result == 0) result = code;
  }
  return result;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Add(const Command& c, std::string& out) {
  if (c.names.empty()) return kErrorNoFileName;
  const std::string archive = NativePath(c.archive);
  lha::ArchiveReader old;
  struct stat st {};
  if (::stat(archive.c_str(), &st) == 0) {
    const lha::Error e = old.OpenFile(archive);
    if (e != lha::Error::kOk) return ResultCode(e);
  }
  lha::CreateOptions opts;
  opts.recurse = c.Has("r");
  const bool keep_paths = c.Number("x", 0) != 0;
  const std::string base = c.folder.empty() ? std::string() : NativePath(c.folder);
  lha::ArchiveWriter fresh;
  lha::CreateReport report;
  for (const auto& name : c.names) {
    const std::string given = NativePath(name);
    const std::string disk = base.empty() || (!given.empty() && given[0] == '/') ? given : base + given;
    const std::string stored = keep_paths ? lha::StoredName(given) : BaseName(lha::StoredName(given));
    if (c.word == 'u') {
      struct stat fs {};
      const std::string stored_cp932 = textconv::Utf8ToCp932(stored);
      bool newer = true;
      if (::stat(disk.c_str(), &fs) == 0) {
        for (const auto& e : old.entries()) {
          if (e.name == stored_cp932 && fs.st_mtime <= e.ModificationTime()) newer = false;
        }
      }
      if (!newer) continue;
    }
    lha::AddPath(fresh, disk, stored, opts, report);
  }
  std::unordered_set<std::string> replaced;
  for (const auto& n : fresh.entries()) replaced.insert(n.name);
  lha::ArchiveWriter merged;
  for (const auto& e : old.entries()) {
    std::string raw;
    if (replaced.count(e.name) == 0 && old.RawEntry(e, raw) == lha::Error::kOk) merged.AddExisting(raw, e);
  }
  const std::string added = fresh.Finish();
  lha::ArchiveReader again;
  again.OpenMemory(added);
  for (const auto& e : again.entries()) {
    std::string raw;
    if (again.RawEntry(e, raw) == lha::Error::kOk) merged.AddExisting(raw, e);
    Line(out, "Added     : " + lha::EscapeForDisplay(e.name) + "  " + e.method);
  }
  int result = 0;
  for (const auto& [path, err] : report.failed) {
    const int code = ResultCode(err);
    ErrorLine(out, code, textconv::Utf8ToCp932(path), err);
    if (result == 0) result = code;
  }
  // Nothing to hold and no archive before: no empty archive is left behind.
  if (merged.entries().empty() && old.entries().empty()) return result != 0 ? result : kErrorNoFileName;
  if (const lha::Error e = lha::WriteFileReplacing(archive, merged.Finish()); e != lha::Error::kOk) return kErrorWrite;
  return result;
}

}  // namespace

int ResultCode(lha::Error e) {
  switch (e) {
    case lha::Error::kOk: return 0;
    case lha::Error::kEndOfArchive:
    case lha::Error::kNotArchive: return kErrorNotArchive;
    case lha::Error::kTruncated: return kErrorDataMissing;
    case lha::Error::kBadHeader:
    case lha::Error::kUnknownMethod: return kErrorHeaderBroken;
    case lha::Error::kHeaderChecksum: return kErrorHeaderChecksum;
    case lha::Error::kBadHuffmanTable:
    case lha::Error::kCorruptData: return kErrorHuffmanCode;
    case lha::Error::kDataCrc: return kErrorChecksum;
    case lha::Error::kTooLarge: return kErrorMemory;
    case lha::Error::kUnsafeName:
    case lha::Error::kLinkNotExtracted:
    case lha::Error::kWriteFailed: return kErrorWrite;
    case lha::Error::kOpenFailed: return kErrorFileOpen;
    case lha::Error::kDiskFull: return kErrorDiskSpace;
    case lha::Error::kExists: return kErrorAlreadyExists;
    case lha::Error::kAborted: return kErrorUserCancel;
  }
  return kErrorCommand;
}

std::uint32_t EntryDosTime(const lha::Entry& e) {
  return e.level < 2 && !e.unix_time ? e.dos_time : lha::UnixToDosTime(e.ModificationTime());
}

std::string AttributeText(const lha::Entry& e) {
  std::string s = "----";
  if (e.attribute & 0x01) s[0] = 'r';
  if (e.attribute & 0x02) s[1] = 'h';
  if (e.attribute & 0x04) s[2] = 's';
  if (e.attribute & 0x20) s[3] = 'a';
  if (e.IsDirectory() || (e.attribute & 0x10)) s[3] = 'd';
  return s;
}

unsigned RatioPermille(const lha::Entry& e) {
  if (e.original_size == 0) return 0;
  return static_cast<unsigned>(std::min<std::uint64_t>(e.packed_size * 1000 / e.original_size, 65535));
}

std::string ListingText(const lha::ArchiveReader& reader, bool verbose) {
  std::string out;
  Line(out, verbose ? " Name                      Original     Packed  Ratio   Date     Time    Method  CRC  Attr Lv"
                    : " Name                      Original     Packed  Ratio   Date     Time    Method  CRC");
  const std::string rule = "------------------------- ---------- ---------- ------ -------- -------- ------- ----";
  Line(out, verbose ? rule + " ---- --" : rule);
  std::uint64_t total_orig = 0, total_packed = 0;
  for (const auto& e : reader.entries()) {
    const std::uint32_t dos = EntryDosTime(e);
    const unsigned date = dos >> 16, time = dos & 0xFFFFu;
    std::string name = lha::EscapeForDisplay(e.name);
    if (e.IsLink()) name += " -> " + lha::EscapeForDisplay(e.link_target);
    // A name longer than its column gets a line of its own.
    if (name.size() > 25) {
      Line(out, name);
      name.clear();
    }
    std::string line = Format("%-25s %10llu %10llu %5.1f%% %02u-%02u-%02u %02u:%02u:%02u %-7s %04X", name.c_str(),
                              static_cast<unsigned long long>(e.original_size),
                              static_cast<unsigned long long>(e.packed_size), RatioPermille(e) / 10.0,
                              ((date >> 9) + 80) % 100, (date >> 5) & 15u, date & 31u, time >> 11, (time >> 5) & 63u,
                              (time & 31u) * 2, lha::EscapeForDisplay(e.method).c_str(), e.crc);
    if (verbose) line += " " + AttributeText(e) + Format(" %2d", e.level);
    Line(out, line);
    total_orig += e.original_size;
    total_packed += e.packed_size;
  }
  Line(out, verbose ? rule + " ---- --" : rule);
  const double ratio = total_orig == 0 ? 0.0 : 100.0 * static_cast<double>(total_packed) / static_cast<double>(total_orig);
  Line(out, Format("%6zu files               %10llu %10llu %5.1f%%", reader.entries().size(),
                   static_cast<unsigned long long>(total_orig), static_cast<unsigned long long>(total_packed), ratio));
  return out;
}

int RunCommandLine(std::string_view line, std::string& output) {
  output.clear();
  Command c;
  if (const int code = ParseCommandLine(line, c); code != 0) return code;
  switch (c.word) {
    case 'l':
    case 'v': return List(c, output);
    case 'x':
    case 'e':
    case 't': return ExtractOrTest(c, output);
    case 'a':
    case 'u': return Add(c, output);
    default: return kErrorCommand;
  }
}

}  // namespace sorabu::unlha32
