// Entries are copied from the old archive as stored, piece by piece, and new files are packed
// into a scratch file beside the archive, so rewriting an archive of any size holds little in
// memory.
#include "archive/libs/unlha32/edit_commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <unordered_map>
#include <vector>

#include "archive/lha/archive_writer.h"
#include "archive/lha/name_path.h"
#include "archive/lha/replacing_file.h"
#include "archive/libs/unlha32/command_support.h"
#include "archive/libs/unlha32/commands.h"
#include "archive/libs/unlha32/unlha32.h"
#include "textconv/cp932.h"

namespace sorabu::unlha32 {
namespace {

// One entry of the new archive and where its bytes come from.
struct Piece {
  const lha::ArchiveReader* from;
  const lha::Entry* entry;
};

// Where the old archive's entries end: its end mark, or the end of a file that has none.
std::uint64_t EndOfEntries(const lha::ArchiveReader& old) {
  if (old.entries().empty()) return old.first_header_offset();
  const lha::Entry& last = old.entries().back();
  return last.data_offset + last.packed_size;
}

// A self-extractor's program is searched for the archive by its headers; bytes in it that pass
// for a header could, once the entries after them change, be taken for the archive instead. The
// new file is read back before it replaces the old one, and refused unless it holds the plan.
bool ReadsBackAsPlanned(const std::string& path, const lha::ArchiveReader* old, const std::vector<Piece>& plan) {
  lha::ArchiveReader back;
  if (back.OpenFile(path) != lha::Error::kOk) return false;
  if (back.first_header_offset() != (old != nullptr ? old->first_header_offset() : 0)) return false;
  if (back.entries().size() != plan.size()) return false;
  for (std::size_t i = 0; i < plan.size(); ++i) {
    const lha::Entry& e = back.entries()[i];
    if (e.name != plan[i].entry->name || e.packed_size != plan[i].entry->packed_size || e.crc != plan[i].entry->crc) {
      return false;
    }
  }
  return true;
}

// Bytes the rewrite does not mean to change go into the new archive unchanged: a
// self-extractor's program before its first header, and everything from the old end mark on
// (the program after a self-extractor's archive, a second archive appended to the first, a
// damaged tail the reader stopped at). Plain archives and self-extractors are treated alike.
int WriteArchive(const std::string& path, const lha::ArchiveReader* old, const std::vector<Piece>& plan,
                 std::string& out) {
  lha::ReplacingFile file(path);
  lha::Error e = file.Open();
  if (e == lha::Error::kOk && old != nullptr && old->first_header_offset() > 0) {
    e = old->CopyBytes(0, old->first_header_offset(), file);
  }
  for (std::size_t i = 0; i < plan.size() && e == lha::Error::kOk; ++i) e = plan[i].from->CopyRawEntry(*plan[i].entry, file);
  const std::uint64_t tail = old != nullptr ? EndOfEntries(*old) : 0;
  if (e == lha::Error::kOk && old != nullptr && tail < old->size()) {
    e = old->CopyBytes(tail, old->size() - tail, file);  // starts with the end mark
  } else if (e == lha::Error::kOk && !file.Write(std::string_view("\0", 1))) {
    e = file.error();
  }
  if (e == lha::Error::kWriteFailed && file.error() != lha::Error::kOk) e = file.error();
  if (e == lha::Error::kOk && !ReadsBackAsPlanned(file.TemporaryPath(), old, plan)) {
    Line(out, "Archive: would not read back as written (the bytes before it look like an archive "
              "themselves), left unchanged");
    return kErrorCommand;
  }
  if (e == lha::Error::kOk) e = file.Commit();
  if (e == lha::Error::kOk) return 0;
  Line(out, "Archive: " + std::string(lha::ErrorText(e)) + ", left unchanged");
  return ResultCode(e);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// True when the file's time is later than the entry's. A time kept only as an MS-DOS time has
// two-second steps, so a file up to a second later is the same file.
bool Newer(std::int64_t file_time, const lha::Entry& e) {
  return file_time > e.ModificationTime() + (e.unix_time ? 0 : 1);
}

// Whether the file or folder (stored name, time) goes into the archive, by the command word.
lha::AdmitFn Admission(char word, const lha::ArchiveReader& old) {
  std::unordered_map<std::string, const lha::Entry*> by_name;
  for (const auto& e : old.entries()) by_name.emplace(e.name, &e);
  return [word, by_name](const std::string& name, std::int64_t mtime, bool is_folder) {
    if (word == 'a') return true;
    const auto it = by_name.find(name);
    if (it == by_name.end()) return word == 'u';
    return !is_folder && Newer(mtime, *it->second);
  };
}

// A name selects an entry as for extraction, or as a folder holding it.
bool Removed(const Command& c, const lha::Entry& e) {
  if (Selected(c, e)) return true;
  for (const auto& n : c.names) {
    std::string folder = lha::NormalizeSeparators(n);
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    if (!folder.empty() && (WildcardMatch(folder, e.name) || WildcardMatch(folder + "/*", e.name))) return true;
  }
  return false;
}

}  // namespace

int AddFiles(const Command& c, std::string& out) {
  if (c.names.empty()) return kErrorNoFileName;
  const std::string archive = NativePath(c.archive);
  const bool exists = Exists(archive);
  lha::ArchiveReader old;
  if (exists) {
    if (const int code = OpenArchive(c, old, out); code != 0) return code;
  } else if (c.word == 'f') {
    return kErrorArchiveOpen;
  }

  lha::CreateOptions opts;
  opts.recurse = c.Has("r");
  opts.admit = Admission(c.word, old);
  const bool keep_paths = c.Number("x", 0) != 0;
  const std::string base = c.folder.empty() ? std::string() : NativePath(c.folder);
  lha::PackOptions pack;
  pack.spool_dir = lha::FolderOf(archive);
  lha::ArchiveWriter writer(pack);
  lha::CreateReport report;
  for (const auto& name : c.names) {
    const std::string given = NativePath(name);
    const std::string disk = base.empty() || (!given.empty() && given[0] == '/') ? given : base + given;
    const std::string stored = keep_paths ? lha::StoredName(given) : BaseName(lha::StoredName(given));
    lha::AddPath(writer, disk, stored, opts, report);
  }
  if (!report.failed.empty()) {
    for (const auto& [path, err] : report.failed) ErrorLine(out, ResultCode(err), textconv::Utf8ToCp932(path), err);
    if (exists) Line(out, "Archive left unchanged");
    return ResultCode(report.failed.front().second);
  }
  lha::ArchiveReader fresh;
  if (const lha::Error e = writer.OpenEntries(fresh); e != lha::Error::kOk && !writer.entries().empty()) {
    Line(out, "Archive: " + std::string(lha::ErrorText(e)) + (exists ? ", left unchanged" : ""));
    return ResultCode(e);
  }
  if (fresh.entries().empty()) {
    if (!exists) return kErrorNoFileName;
    Line(out, "Nothing to add");
    return 0;
  }

  // The last file of a name wins; it takes the place of the old entry of that name.
  std::unordered_map<std::string, std::size_t> fresh_at;
  for (std::size_t i = 0; i < fresh.entries().size(); ++i) fresh_at[fresh.entries()[i].name] = i;
  std::vector<bool> placed(fresh.entries().size(), false);
  std::vector<Piece> plan;
  for (const auto& e : old.entries()) {
    const auto it = fresh_at.find(e.name);
    if (it == fresh_at.end()) {
      plan.push_back({&old, &e});
    } else if (!placed[it->second]) {
      placed[it->second] = true;
      plan.push_back({&fresh, &fresh.entries()[it->second]});
      Line(out, "Replaced  : " + lha::EscapeForDisplay(e.name) + "  " + fresh.entries()[it->second].method);
    }
  }
  for (std::size_t i = 0; i < fresh.entries().size(); ++i) {
    const lha::Entry& e = fresh.entries()[i];
    if (placed[i] || fresh_at[e.name] != i) continue;
    plan.push_back({&fresh, &e});
    Line(out, "Added     : " + lha::EscapeForDisplay(e.name) + "  " + e.method);
  }
  return WriteArchive(archive, exists ? &old : nullptr, plan, out);
}

int RemoveEntries(const Command& given, std::string& out) {
  // "d" has no folder: a first name ending in a separator names a folder to remove.
  Command c = given;
  if (!c.folder.empty()) c.names.insert(c.names.begin(), c.folder);
  if (c.names.empty()) return kErrorNoFileName;
  lha::ArchiveReader old;
  if (const int code = OpenArchive(c, old, out); code != 0) return code;
  std::vector<Piece> plan;
  std::string removed;
  for (const auto& e : old.entries()) {
    if (Removed(c, e)) {
      Line(removed, "Removed   : " + lha::EscapeForDisplay(e.name));
    } else {
      plan.push_back({&old, &e});
    }
  }
  if (plan.size() == old.entries().size()) {
    Line(out, "Nothing to remove");
    return 0;
  }
  const std::string archive = NativePath(c.archive);
  if (plan.empty() && (old.first_header_offset() > 0 || EndOfEntries(old) + 1 < old.size())) {
    // Removing the file would take the bytes outside the entries with it.
    Line(out, "Archive: holds data besides its entries (a program, or more after the end mark), "
              "left unchanged; no entry removed");
    return kErrorCommand;
  }
  out += removed;
  if (plan.empty()) {
    if (::unlink(archive.c_str()) != 0) return kErrorWrite;
    Line(out, "Archive removed: no entries left");
    return 0;
  }
  return WriteArchive(archive, &old, plan, out);
}

}  // namespace sorabu::unlha32
