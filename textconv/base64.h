// Base64 (RFC 2045 alphabet) of one line, with no line breaks.
//
// Each function has a form that appends to a caller's string, which must not hold the input,
// and a form that returns a new string. None fails or reads outside its input.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::textconv {

// Every 3 bytes give 4 characters; a final single byte gives 2 characters and "==", a final
// pair 3 characters and "=". No line breaks are inserted, whatever the length.
void Base64Encode(std::string_view line, std::string& out);
std::string Base64Encode(std::string_view line);

// Groups of four characters give 3 bytes, or 1 when the third is "=", 2 when the fourth is.
// Lenient where input is not what Base64Encode writes: CR, LF and characters outside the
// alphabet are skipped wherever they stand; a final group of 2 or 3 characters without padding
// gives 1 or 2 bytes; a group whose first or second character is "=" gives nothing. Decoding
// continues after a padded group, so concatenated encodings decode one after the other.
void Base64Decode(std::string_view line, std::string& out);
std::string Base64Decode(std::string_view line);

}  // namespace sorabu::textconv
