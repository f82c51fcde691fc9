#include "browser/mask.h"

#include <cstdio>

namespace sorabu::browser {

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string_view Extension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  return name.substr(dot);
}

bool MatchesMask(std::string_view name, const std::vector<std::string>& mask) {
  if (mask.empty()) return true;
  const std::string_view ext = Extension(name);
  // A name ending in "." has the extension "." only: that matches nothing a user types.
  if (ext.size() <= 1) return false;
  const std::string upper = UpperAscii(ext);
  for (const std::string& entry : mask)
    if (UpperAscii(entry) == upper) return true;
  return false;
}

std::vector<std::string> ParseMaskAnswer(std::string_view answer) {
  std::vector<std::string> mask;
  if (answer.empty() || answer == "*") return mask;
  std::size_t start = 0;
  while (start <= answer.size()) {
    std::size_t end = answer.find(';', start);
    if (end == std::string_view::npos) end = answer.size();
    const std::string_view piece = answer.substr(start, end - start);
    if (!piece.empty()) mask.push_back(piece.find('.') == std::string_view::npos ? "." + std::string(piece) : std::string(piece));
    start = end + 1;
  }
  return mask;
}

std::string FormatListDate(int year, int month, int day, int hour, int minute) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d/%02d/%02d %02d:%02d", ((year % 100) + 100) % 100, month, day, hour, minute);
  return buffer;
}

std::string FormatListSize(std::uint64_t value) {
  std::string digits = std::to_string(value);
  std::string grouped;
  const std::size_t n = digits.size();
  for (std::size_t i = 0; i < n; ++i) {
    grouped += digits[i];
    const std::size_t left = n - 1 - i;
    if (left > 0 && left % 3 == 0) grouped += ',';
  }
  if (grouped.size() < 16) grouped.insert(0, 16 - grouped.size(), ' ');
  return grouped;
}

}  // namespace sorabu::browser
