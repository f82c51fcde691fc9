// The listing follows the fixed-column layout of the list command: a "+" mark for entries inside
// folders, the last name component padded and cut to 12 bytes (never through a double-byte
// character; a cut character becomes a blank so the columns stay put), then the library's
// fields. Every text field of the record is read only up to its own size, terminated or not.
// Names come from the archive and may hold any byte: control bytes are shown escaped, so an ESC
// sequence or a CR LF in a name can neither drive the terminal nor forge a line of the listing.
// Sizes are 64-bit (the record's high words), so a 1 TiB entry reads as such.
#include "archive/bind/listing.h"

#include <cstdio>

#include "archive/lha/name_path.h"
#include "textconv/cp932.h"

namespace sorabu::archive {
namespace {

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
  const std::string name = lha::EscapeForDisplay(RecordText(info.name, sizeof info.name));
  std::string line = name.find('/') != std::string::npos ? "+" : " ";
  line += Printf(" %12s  %10llu  %10llu %5.1f", ShortName(name).c_str(),
                 static_cast<unsigned long long>(RecordOriginalSize(info)),
                 static_cast<unsigned long long>(RecordPackedSize(info)), info.ratio / 10.0);
  line += "% ";
  line += Printf("%02u-%02u-%02u ", ((info.date >> 9) + 80u) % 100u, (info.date >> 5) & 15u, info.date & 31u);
  line += Printf("%02u:%02u:%02u ", info.time >> 11, (info.time >> 5) & 63u, (info.time & 31u) * 2u);
  line += lha::EscapeForDisplay(RecordText(info.attribute, sizeof info.attribute)) + " " +
          lha::EscapeForDisplay(RecordText(info.mode, sizeof info.mode)) + " ";
  line += Printf("%04X ", info.crc);
  line += name + " ";
  return line;
}

std::string ListingTotals(long long count, long long original, long long packed) {
  if (original <= 0) original = 1;
  return Printf("%6lld files    %10lld  %10lld %5.1f", count, original, packed,
                static_cast<double>(packed) / static_cast<double>(original) * 100.0) + "%";
}

}  // namespace sorabu::archive
