// Text that is not code page 932: UTF-8 (what most text on this platform is now) and UTF-16
// with a byte-order mark. Recognised before the Japanese codes are told apart, shown and searched
// as what it is, and its bytes kept as they are.
//
// Only well-formed UTF-8 counts: no overlong forms, no surrogates, nothing above U+10FFFF. Such
// bytes, where they appear in a text taken for UTF-8, are shown one by one as U+FFFD, never as the
// character they would spell.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sorabu::textconv {

// EucJp and Jis are never detected here: they name the code a text was read from (the kanji
// code detection tells them), as Utf16LE and Utf16BE do when the text is shown as UTF-8.
enum class TextForm { Cp932, Utf8, Utf16LE, Utf16BE, EucJp, Jis };

// A UTF-8 or UTF-16 byte-order mark decides; a JIS escape into kanji or kana makes the text a
// Japanese code's; otherwise the text is UTF-8 when it is well formed and holds at least one
// multi-byte character. complete = false allows the text to stop inside its
// last character (the first lines of a file).
TextForm DetectTextForm(std::string_view text, bool complete = true) noexcept;

// Length of the well-formed UTF-8 character at text[i], or 0 when the bytes there are not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) noexcept;
// The character's bytes at text[i] (1 for a byte that starts no well-formed character).
inline std::size_t Utf8CharLength(std::string_view text, std::size_t i) noexcept {
  const std::size_t n = Utf8SequenceLength(text, i);
  return n == 0 ? 1 : n;
}
// Appends the UTF-16 of the character at text[i] (U+FFFD for a byte that starts none); returns
// the bytes consumed.
std::size_t DecodeUtf8Char(std::string_view text, std::size_t i, std::u16string& out);
// The start of the character holding the byte before pos, never before lineStart.
std::size_t PreviousUtf8Start(std::string_view text, std::size_t lineStart, std::size_t pos) noexcept;

// The text with every byte that starts no well-formed UTF-8 character written as "\xHH" (upper-case
// hex), so a name the file system holds in another encoding shows what it is; well-formed text comes
// back unchanged.
std::string EscapeInvalidUtf8(std::string_view text);

// Appends the UTF-8 of one code point.
void AppendUtf8(std::string& out, char32_t c);

// UTF-16 (its mark dropped) as UTF-8; an odd last byte and unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool littleEndian);
// And back, with the mark in front.
std::string Utf8ToUtf16WithMark(std::string_view utf8, bool littleEndian);

}  // namespace sorabu::textconv
