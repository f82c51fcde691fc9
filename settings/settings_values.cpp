#include "settings/settings_values.h"

#include <cstdio>

#include "settings/ini_file.h"

namespace sorabu::settings {

namespace {

struct NamedColor {
  const char* name;
  std::uint32_t bgr;
};

// Fixed colours first, so that writing a value picks the plain name; the system colours map to
// their usual values on a light desktop.
constexpr NamedColor kColors[] = {
    {"clBlack", 0x000000},  {"clMaroon", 0x000080}, {"clGreen", 0x008000},   {"clOlive", 0x008080},
    {"clNavy", 0x800000},   {"clPurple", 0x800080}, {"clTeal", 0x808000},    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},    {"clLime", 0x00FF00},    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},   {"clWhite", 0xFFFFFF},
    {"clWindowText", 0x000000}, {"clWindow", 0xFFFFFF}, {"clBtnFace", 0xC0C0C0},
    {"clHighlight", 0x800000}, {"clHighlightText", 0xFFFFFF}, {"clGrayText", 0x808080},
};

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::string ColorToString(std::uint32_t bgr) {
  for (const auto& c : kColors)
    if (c.bgr == bgr) return c.name;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%08X", bgr);
  return buffer;
}

std::optional<std::uint32_t> StringToColor(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  for (const auto& c : kColors)
    if (SameName(text, c.name)) return c.bgr;
  if (text.size() >= 2 && text.size() <= 9 && text.front() == '$') {
    std::uint32_t v = 0;
    for (char ch : text.substr(1)) {
      int d;
      if (ch >= '0' && ch <= '9') d = ch - '0';
      else if (ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
      else if (ch >= 'A' && ch <= 'F') d = ch - 'A' + 10;
      else return std::nullopt;
      v = v << 4 | static_cast<std::uint32_t>(d);
    }
    return v & 0xFFFFFF;
  }
  if (auto n = ParseInteger(text); n && *n >= 0 && *n <= 0xFFFFFF) return static_cast<std::uint32_t>(*n);
  return std::nullopt;
}

}  // namespace sorabu::settings
