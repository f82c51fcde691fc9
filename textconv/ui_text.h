// Texts on their way between the program and its windows: dialogs, messages, answers and the
// settings file carry code page 932 bytes, but a file name may hold characters CP932 lacks (한국어,
// 😀) or would change (〜 comes back as ～). Such a character travels as the byte 0xFF (never a
// CP932 character) followed by its UTF-8, so every name makes the round trip unchanged.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::textconv {

inline constexpr char kExactMark = '\xFF';

std::string EncodeCp932Exact(std::u16string_view text);
// Text the user typed (a pattern, a new name): every character CP932 has a code for takes that
// code, so 〜 typed on this desktop finds the 〜 of Shift-JIS text; only characters without one
// are marked.
std::string EncodeCp932Typed(std::u16string_view text);
// Reads what EncodeCp932Exact writes, and any CP932 text as the lenient decoder does.
std::u16string DecodeCp932Exact(std::string_view bytes);

// UTF-8 text (a name as the file system holds it, a selection of UTF-8 text) in that form; bytes that
// are not UTF-8 show as "\xHH".
std::string Utf8ToCp932Exact(std::string_view native);

// A path written by EncodeCp932Exact back to the file system's UTF-8.
std::string Cp932ExactToUtf8(std::string_view bytes);

// Length of the marked character at bytes[i] (the mark and its UTF-8), or 0.
std::size_t ExactMarkLength(std::string_view bytes, std::size_t i) noexcept;

// True when the bytes hold a character that CP932 text cannot carry (one written with the mark).
bool HoldsExactMarks(std::string_view bytes) noexcept;

}  // namespace sorabu::textconv
