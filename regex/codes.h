// Character codes of the regular-expression engine.
//
// Every character, in patterns and in searched text, is an unsigned 16-bit code: a single byte is
// its own value, a double-byte Shift-JIS character is lead * 256 + trail. Code 0 ends a text. The
// three codes above every real character are pseudo-characters of the automaton. Reading a text
// never fails: a lead byte that is the last byte of the text stands alone, so no read goes past the
// end and every start position the matchers try is a character boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "textconv/cp932.h"

namespace sorabu::regex {

using Code = std::uint16_t;

inline constexpr Code kEndCode = 0;
inline constexpr Code kLineHeadCode = 0xFFFD;  // "^" of TAWKStr
inline constexpr Code kLineTailCode = 0xFFFE;  // "$" of TAWKStr
inline constexpr Code kMaxCharCode = 0xFCFC;   // highest character "." and negated classes reach
// Highest code a text can produce (lead 0xFC with any second byte); pattern ranges are clipped
// to it so that they can never reach the pseudo-characters.
inline constexpr Code kMaxTextCode = 0xFCFF;

inline bool IsLead(unsigned char c) noexcept { return textconv::IsLeadByte(c); }

// The character at byte index i of s: its code and length in bytes. At or past the end: code 0,
// length 0.
struct TextChar {
  Code code;
  std::size_t length;
};
inline TextChar ReadTextChar(std::string_view s, std::size_t i) noexcept {
  if (i >= s.size()) return {kEndCode, 0};
  const auto c = static_cast<unsigned char>(s[i]);
  if (IsLead(c) && i + 1 < s.size()) {
    return {static_cast<Code>(c * 256 + static_cast<unsigned char>(s[i + 1])), 2};
  }
  return {c, 1};
}

// Appends the bytes of one code: one byte up to 0xFF, else high byte then low byte.
inline void AppendCode(std::string& out, Code code) {
  if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
}

}  // namespace sorabu::regex
