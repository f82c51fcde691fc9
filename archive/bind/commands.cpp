// The listing follows the fixed-column layout of the list command: a "+" mark for entries inside
// folders, the last name component padded and cut to 12 bytes (never through a double-byte
// character; a cut character becomes a blank so the columns stay put), then the library's
// fields. Sums are 64-bit so that many large entries cannot wrap.
#include "archive/bind/commands.h"

#include <cctype>
#include <cstdio>

#include "archive/libs/unlha32/command_line.h"
#include "textconv/cp932.h"

namespace sorabu::archive {
namespace {

constexpr const char* kEol = "\r\n";
constexpr std::size_t kOutputSize = 8192;

std::string Printf(const char* fmt, auto... args) {
  char buf[256];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

// The record's name, bounded by its field even when the library left no terminator.
std::string RecordText(const char* field, std::size_t size) {
  std::size_t n = 0;
  while (n < size && field[n] != '\0') ++n;
  return std::string(field, n);
}

std::string ShortName(const std::string& name) {
  std::string padded = name + std::string(12, ' ');
  const std::size_t slash = padded.rfind('/');
  if (slash != std::string::npos) padded.erase(0, slash + 1);
  std::string out;
  for (std::size_t i = 0; i < padded.size() && out.size() < 12;) {
    const bool lead = textconv::IsLeadByte(static_cast<unsigned char>(padded[i])) && i + 1 < padded.size();
    const std::size_t len = lead ? 2 : 1;
    if (out.size() + len > 12) break;
    out.append(padded, i, len);
    i += len;
  }
  out.resize(12, ' ');
  return out;
}

}  // namespace

std::string ListingLine(const TIndividualInfo& info) {
  const std::string name = RecordText(info.name, sizeof info.name);
  std::string line = name.find('/') != std::string::npos ? "+" : " ";
  line += Printf(" %12s  %10u  %10u %5.1f", ShortName(name).c_str(), info.original_size, info.packed_size,
                 info.ratio / 10.0);
  line += "% ";
  line += Printf("%02u-%02u-%02u ", ((info.date >> 9) + 80u) % 100u, (info.date >> 5) & 15u, info.date & 31u);
  line += Printf("%02u:%02u:%02u ", info.time >> 11, (info.time >> 5) & 63u, (info.time & 31u) * 2u);
  line += RecordText(info.attribute, sizeof info.attribute) + " " + RecordText(info.mode, sizeof info.mode) + " ";
  line += Printf("%04X ", info.crc);
  line += name + " ";
  return line;
}

std::string ListingTotals(long long count, long long original, long long packed) {
  if (original <= 0) original = 1;
  return Printf("%6lld files    %10lld  %10lld %5.1f", count, original, packed,
                static_cast<double>(packed) / static_cast<double>(original) * 100.0) + "%";
}

std::string GenericListText(const std::string& path, void* owner) {
  TArchiveFile af(path);
  if (!af.Check(1, 4)) return "";
  static const std::string kRule = "--------------  ----------  ---------- ------ -------- -------- ---- ----- ----";
  std::string text;
  text += kEol;
  text += "Listing of archive : " + path + kEol;
  text += kEol;
  text += std::string("  Name            Original    Packed    Ratio   Date     Time   Attr Type  CRC") + kEol;
  text += kRule + kEol;
  long long count = 0, original = 0, packed = 0;
  af.Open(owner, 0);
  TIndividualInfo info{};
  for (int r = af.FindFirst("*.*", &info); r == 0; r = af.FindNext(&info)) {
    text += ListingLine(info) + kEol;
    original += info.original_size;
    packed += info.packed_size;
    ++count;
  }
  af.Close();
  text += kRule + kEol;
  text += ListingTotals(count, original, packed) + kEol;
  return text;
}

bool ExtractableName(const std::string& path) {
  std::string upper = path;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // ".TGZ", ".BZ2", ".TAZ" and ".Z" are accepted too: the program creates and lists them.
  for (const char* ext : {".LZH", ".EXE", ".ZIP", ".ARJ", ".CAB", ".TAR", ".RAR", ".GZ", ".TGZ", ".BZ2", ".TAZ", ".Z"}) {
    const std::string e = ext;
    if (upper.size() >= e.size() && upper.compare(upper.size() - e.size(), e.size(), e) == 0) return true;
  }
  return false;
}

std::string ExtractDestination(const std::string& folder, const std::string& current_folder) {
  auto trimmed = [](std::string s) {
    while (s.size() > 1 && (s.back() == '/' || s.back() == '\\')) s.pop_back();
    return s;
  };
  if (trimmed(folder) == trimmed(current_folder)) return "";
  std::string dest = folder;
  if (dest.empty() || (dest.back() != '\\' && dest.back() != '/')) dest += '\\';
  return dest;
}

int GenericExtract(const std::string& path, const std::string& destination, std::string& text, void* owner) {
  TArchiveFile af(path);
  af.Options.Set("x", 1);
  af.SetOutputSize(kOutputSize);
  const int code = af.Extract(owner, nullptr, {}, destination);
  text = ErrorMessage(code) + kEol + af.OutputText();
  return code;
}

int GenericCreate(const std::string& path, const std::vector<std::string>& files, std::string& text, void* owner) {
  // The existing file is moved aside rather than deleted, and comes back when the pack fails, so
  // a failed create never costs the user the old archive.
  const std::string native = unlha32::NativePath(path);
  const std::string aside = native + ".sorabu-old";
  const bool had_old = std::rename(native.c_str(), aside.c_str()) == 0;
  TArchiveFile af(path);
  af.Options.Set("x", 1);
  af.SetOutputSize(kOutputSize);
  int code;
  try {
    code = af.Pack(owner, nullptr, files, "");
  } catch (...) {
    if (had_old) std::rename(aside.c_str(), native.c_str());
    throw;
  }
  if (had_old) {
    if (code == 0) {
      std::remove(aside.c_str());
    } else {
      std::remove(native.c_str());
      std::rename(aside.c_str(), native.c_str());
    }
  }
  text = af.OutputText();
  if (!text.empty() && text.back() != '\n') text += kEol;
  text += "Result code = " + std::to_string(code) + kEol;
  return code;
}

}  // namespace sorabu::archive
