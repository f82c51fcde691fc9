// The commands: "l"/"v" list, "t" tests, "x" extracts with folders ("-x0": without), "e"
// without folders; "a", "u", "f" and "d" change the archive (edit_commands.h), "s" makes a
// self-extracting one (self_extractor.h). Names are stored without folders unless "-x1" is given
// (the file names' folders relative to the base folder are kept then); "-r" adds folders with
// their contents. Other switches are accepted and ignored. Output lines end in CR LF; names are
// printed with control bytes escaped.
#include "archive/libs/unlha32/commands.h"

#include <cstdio>

#include "archive/lha/dos_time.h"
#include "archive/lha/name_path.h"
#include "archive/libs/unlha32/command_line.h"
#include "archive/libs/unlha32/command_support.h"
#include "archive/libs/unlha32/edit_commands.h"
#include "archive/libs/unlha32/owner_progress.h"
#include "archive/libs/unlha32/self_extractor.h"
#include "archive/libs/unlha32/unlha32.h"

namespace sorabu::unlha32 {
namespace {

int List(const Command& c, std::string& out) {
  lha::ArchiveReader reader;
  if (const int code = OpenArchive(c, reader, out); code != 0 && reader.entries().empty()) return code;
  out += ListingText(reader, c.word == 'v');
  return 0;
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
  OwnerProgress progress;
  opts.progress = [&progress](std::uint64_t done, std::uint64_t) { return progress.Step(done); };
  for (const auto& e : reader.entries()) {
    if (!Selected(c, e)) continue;
    if (!progress.Begin(e.name, e.name, e.original_size)) return kErrorUserCancel;
    lha::Error err = c.word == 't' ? reader.Test(e) : reader.ExtractToFolder(e, dest, opts);
    if (err == lha::Error::kOk && !progress.End()) err = lha::Error::kAborted;
    if (err == lha::Error::kOk) {
      Line(out, (c.word == 't' ? "Tested    : " : "Extracted : ") + lha::EscapeForDisplay(e.name));
      continue;
    }
    const int code = ResultCode(err);
    ErrorLine(out, code, e.name, err);
    if (result == 0) result = code;
    if (err == lha::Error::kAborted) break;
  }
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
    case lha::Error::kNameNotShiftJis:
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
    if (verbose && !e.comment.empty()) Line(out, ": " + lha::EscapeForDisplay(e.comment));
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
    case 'u':
    case 'f': return AddFiles(c, output);
    case 'd': return RemoveEntries(c, output);
    case 's': return MakeSelfExtractor(c, output);
    default: return kErrorCommand;
  }
}

}  // namespace sorabu::unlha32
