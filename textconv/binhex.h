// The BinHex-style 6-bit encoding of one line: only the coding of the bytes between two
// colons; no run-length compression, header or checksum.
//
// Alphabet: the BinHex 4.0 characters, 0x21..0x72 without . / 7 : ; < = > ? O W \ ] ^ _ g n o
// (value 0 is "!", 12 is "-", 13 is "0", 63 is "r").
//
// Each function has a form that appends to a caller's string, which must not hold the input,
// and a form that returns a new string. None fails or reads outside its input.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::textconv {

// ":" + the line coded 3 bytes to 4 characters (a last single byte gives 2 characters, a last
// pair 3, no padding) + ":". A CR follows the 64th, 128th, ... character counting the opening
// colon, which is always the third character of a full group; never within a final partial
// group or after the closing colon.
void BinHexEncode(std::string_view line, std::string& out);
std::string BinHexEncode(std::string_view line);

// Skips the first character (the opening colon), then decodes groups of four characters until
// one maps to no value (the closing colon, or anything outside the alphabet) or the line ends;
// a group of two or three characters before that end gives 1 or 2 bytes. CR and LF are
// skipped wherever they stand.
void BinHexDecode(std::string_view line, std::string& out);
std::string BinHexDecode(std::string_view line);

}  // namespace sorabu::textconv
