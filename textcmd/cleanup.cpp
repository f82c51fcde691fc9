#include "textcmd/cleanup.h"

#include <vector>

#include "textconv/cp932.h"

namespace sorabu::textcmd {
namespace {

bool IsFullWidthBlankAt(std::string_view s, std::size_t i) {
  return i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0x81 && s[i + 1] == 0x40;
}

std::size_t CharLen(std::string_view s, std::size_t i) {
  return textconv::IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// Appends the line with each full-width blank replaced by replacement.
std::string MapFullWidthBlanks(std::string_view line, std::string_view replacement) {
  std::string out;
  out.reserve(line.size());
  std::size_t i = 0;
  while (i < line.size()) {
    if (IsFullWidthBlankAt(line, i)) {
      out.append(replacement);
      i += 2;
      continue;
    }
    const std::size_t len = CharLen(line, i);
    out.append(line.substr(i, len));
    i += len;
  }
  return out;
}

}  // namespace

std::string TrimLeft(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  while (IsFullWidthBlankAt(line, i)) i += 2;
  return std::string(line.substr(i));
}

std::string TrimRight(std::string_view line) {
  // The tail made only of full-width blanks and bytes up to 0x20, as characters; the loop
  // below works on it from its end, so a long line costs one walk.
  std::vector<std::size_t> starts;
  std::size_t i = 0;
  while (i < line.size()) {
    const std::size_t len = CharLen(line, i);
    const bool blankish = IsFullWidthBlankAt(line, i) || static_cast<unsigned char>(line[i]) <= 0x20;
    if (blankish) {
      starts.push_back(i);
    } else {
      starts.clear();
    }
    i += len;
  }
  std::size_t end = line.size();
  while (!starts.empty()) {
    const std::size_t last = starts.back();
    const bool fullWidth = IsFullWidthBlankAt(line, last);
    if (!fullWidth && line[last] != ' ') break;
    if (fullWidth) {
      starts.pop_back();
      end = last;
    }
    while (!starts.empty() && !IsFullWidthBlankAt(line, starts.back())) {
      end = starts.back();
      starts.pop_back();
    }
  }
  return std::string(line.substr(0, end));
}

std::string RemoveByte(std::string_view line, char byte) {
  std::string out;
  out.reserve(line.size());
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t len = CharLen(line, i);
    if (len == 2 || line[i] != byte) out.append(line.substr(i, len));
    i += len;
  }
  return out;
}

std::string RemoveFullWidthBlanks(std::string_view line) { return MapFullWidthBlanks(line, ""); }

std::string RemoveLeadingTabs(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && line[i] == '\t') ++i;
  return std::string(line.substr(i));
}

std::string ReplaceByte(std::string_view line, char from, char to) {
  std::string out(line);
  for (std::size_t i = 0; i < out.size();) {
    const std::size_t len = CharLen(out, i);
    if (len == 1 && out[i] == from) out[i] = to;
    i += len;
  }
  return out;
}

std::string FullWidthBlanksToBlanks(std::string_view line) { return MapFullWidthBlanks(line, "  "); }

std::string RemoveNewlines(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (char c : line)
    if (c != '\r' && c != '\n') out.push_back(c);
  return out;
}

}  // namespace sorabu::textcmd
