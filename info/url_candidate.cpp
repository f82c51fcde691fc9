#include "info/url_candidate.h"

#include "textconv/cp932.h"

namespace sorabu::info {

namespace {

bool Printable(unsigned char c) { return c > 0x20 && c < 0x7F; }

// Length of the character at i: two for a lead byte with its trail, else one.
std::size_t CharLength(std::string_view s, std::size_t i) {
  return textconv::IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

std::string PrintableRun(std::string_view s, std::size_t from) {
  std::size_t end = from;
  while (end < s.size() && Printable(static_cast<unsigned char>(s[end]))) ++end;
  return std::string(s.substr(from, end - from));
}

}  // namespace

std::string UrlFromLine(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && !Printable(static_cast<unsigned char>(line[i]))) i += CharLength(line, i);
  if (i >= line.size()) return {};
  std::string candidate = PrintableRun(line, i);
  if (candidate.find("://") == std::string::npos) return {};
  return candidate;
}

std::string UrlFromSelection(std::string_view selection) {
  std::size_t i = 0;
  while (i < selection.size() && CharLength(selection, i) == 2) i += 2;
  std::string_view rest = selection.substr(i);
  // Single bytes only from here on, up to the next double-byte character at the latest.
  while (!rest.empty() && !Printable(static_cast<unsigned char>(rest.front()))) {
    if (textconv::IsLeadByte(static_cast<unsigned char>(rest.front())) && rest.size() > 1) rest.remove_prefix(2);
    else rest.remove_prefix(1);
  }
  while (!rest.empty() && !Printable(static_cast<unsigned char>(rest.back()))) rest.remove_suffix(1);
  return PrintableRun(rest, 0);
}

}  // namespace sorabu::info
