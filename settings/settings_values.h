// Value encodings of the settings file that need more than a number: colours and font styles.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sorabu::settings {

// Colours are written by symbolic name ("clBlack", "clWindowText", …) or as "$" + 8 hex digits
// (00BBGGRR). The value is 00BBGGRR.
std::string ColorToString(std::uint32_t bgr);
std::optional<std::uint32_t> StringToColor(std::string_view text);

// Font styles: 1 bold, 2 italic, 4 underline, 8 strike-out; values above 255 are out of range.
constexpr bool FontStyleInRange(long long style) { return style >= 0 && style <= 255; }

}  // namespace sorabu::settings
