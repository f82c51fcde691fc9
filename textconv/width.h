// Width conversions of one Shift-JIS line: half-width to full-width, full-width to half-width,
// half-width katakana to full-width katakana. A lead byte always takes the byte after it, so
// trail bytes are never converted on their own.
//
// Each function has a form that appends to a caller's string, which must not hold the input,
// and a form that returns a new string. None fails or reads outside its input.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::textconv {

// Digits and letters become their full-width forms (JIS row 3), the 39 symbols of the symbol
// table their full-width partners, half-width katakana ｦ..ﾝ their full-width katakana. A
// following ﾞ joins ｶ..ﾄ and ﾊ..ﾎ (ｶﾞ -> ガ), a following ﾟ joins ﾊ..ﾎ (ﾊﾟ -> パ); after any
// other katakana the mark becomes ゛ or ゜ (ｳﾞ -> ウ゛, ｶﾟ -> カ゜). A mark standing alone stays.
void HalfToFull(std::string_view line, std::string& out);
std::string HalfToFull(std::string_view line);

// The reverse: full-width symbols of the table, row 3 (digits, letters) and the hiragana and
// katakana of rows 4 and 5 become half-width, voiced ones as the kana and a mark (ガ, が ->
// ｶﾞ), forms without a half-width counterpart as the nearest (ヮ -> ﾜ, ヰ -> ｲ, ヱ -> ｴ, ヵ -> ｶ,
// ヶ -> ｹ, ヴ -> ｳﾞ). Other double-byte characters, and a lead byte at the very end, are copied.
void FullToHalf(std::string_view line, std::string& out);
std::string FullToHalf(std::string_view line);

// Each byte 0xA1..0xDF becomes its full-width character on its own, with no joining
// (ｶﾞ -> カ゛, ﾞ -> ゛).
void HalfKanaToFullKana(std::string_view line, std::string& out);
std::string HalfKanaToFullKana(std::string_view line);

}  // namespace sorabu::textconv
