// Code page 932 (Shift-JIS with the NEC and IBM extensions) services.
//
// Every text the program handles is a byte string in code page 932. These are the byte-level
// questions asked of such text everywhere (is this a lead byte, upper-case it without touching
// trail bytes) and the one boundary where it meets Unicode: the user interface.
//
// Decoding is lenient and never fails: a byte that starts no valid character is mapped into the
// private-use range U+F780..U+F7FF (byte 0x80..0xFF) or, for 0x00..0x7F, to itself, so that
// EncodeCp932(DecodeCp932(x)) == x for every byte string x. Encoding is strict about what it
// reports: characters CP932 cannot hold become '?' and are counted.
//
// Characters with more than one code (398 codes of the NEC row 13 and the two IBM extension
// areas repeat a character found elsewhere): the code the encoder chooses decodes to the bare
// character; any other code decodes to the character followed by the variation selector
// U+FE0C (its first other code) or U+FE0D (its second), which the encoder reads back. Renderers
// ignore these selectors. Code comparing decoded text by character should drop them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::textconv {

// Lead byte of a double-byte character: 0x81..0x9F or 0xE0..0xFC.
constexpr bool IsLeadByte(unsigned char c) noexcept {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
// Valid second byte of a double-byte character: 0x40..0x7E or 0x80..0xFC.
constexpr bool IsTrailByte(unsigned char c) noexcept {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}
// Half-width katakana and punctuation, one byte: 0xA1..0xDF.
constexpr bool IsHalfKana(unsigned char c) noexcept { return c >= 0xA1 && c <= 0xDF; }

// The variation selectors that mark a character's second or third code (see above).
constexpr bool IsCodeSelector(char16_t u) noexcept { return u == 0xFE0C || u == 0xFE0D; }

// Length in bytes of the character starting at s[i]: 2 for a lead byte followed by any byte,
// 1 otherwise (also for a lead byte at the very end).
std::size_t CharLength(std::string_view s, std::size_t i) noexcept;

// ASCII letters a..z become A..Z; the second byte of a double-byte character is never changed,
// even when it lies in a..z.
std::string UpperCaseCp932(std::string_view s);

// Lenient decoding, see above.
std::u16string DecodeCp932(std::string_view bytes);
// Appends the decoding of one character at s[i] to out and returns the bytes consumed (1 or 2).
std::size_t DecodeCp932Char(std::string_view s, std::size_t i, std::u16string& out);

// Encoding; *unmappable (when given) receives the number of characters replaced by '?'.
// The private-use characters U+F780..U+F7FF produced by the lenient decoder go back to their byte.
std::string EncodeCp932(std::u16string_view text, std::size_t* unmappable = nullptr);

// UTF-8 <-> CP932 through the same table; used for literals in the source, the terminal and
// command-line arguments. Invalid UTF-8 sequences become '?'.
std::string Utf8ToCp932(std::string_view utf8, std::size_t* unmappable = nullptr);
// The program's own words, written as UTF-8 in the source, as CP932 bytes.
inline std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }
// UTF-8 text to CP932 for the conversion command: a character CP932 lacks, or a byte that starts
// no well-formed character, becomes replacement, and its offset in utf8 is noted.
std::string Utf8ToCp932Marked(std::string_view utf8, std::string_view replacement, std::vector<std::size_t>& marked);
std::string Cp932ToUtf8(std::string_view bytes);

}  // namespace sorabu::textconv
