// The uuencode-style encoding of one line (the menus call it "Unicode").
//
// Alphabet: value 0 is the back quote, values 1..63 are "!".."_". Sub-lines are separated by CR.
//
// Each function has a form that appends to a caller's string, which must not hold the input,
// and a form that returns a new string. None fails or reads outside its input.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::textconv {

// Chunks of 45 bytes, each written as its length character (0x20 + count, M for 45), the
// chunk coded 3 bytes to 4 characters (a last single byte gives 2 characters and two back
// quotes, a last pair 3 characters and one) and CR; then a back quote and CR close the line.
void UuEncode(std::string_view line, std::string& out);
std::string UuEncode(std::string_view line);

// CR or LF starts a sub-line; its first character gives the byte count ((c - 0x20) mod 64, so
// the back quote and the blank are 0); then groups of four characters give 3 bytes, or what
// remains of the count. Characters after the counted groups are ignored up to the next CR or
// LF. A group cut off by a CR or LF is dropped and decoding goes on with the next sub-line; a
// group cut off by the end of the line ends the decoding.
void UuDecode(std::string_view line, std::string& out);
std::string UuDecode(std::string_view line);

}  // namespace sorabu::textconv
