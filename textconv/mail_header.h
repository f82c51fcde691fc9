// The ISO-2022-JP "B" encoded word of mail headers, one line at a time.
//
// Each function has a form that appends to a caller's string, which must not hold the input,
// and a form that returns a new string. None fails or reads outside its input.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::textconv {

// Each run of adjacent Shift-JIS double-byte characters becomes one encoded word
// "=?ISO-2022-JP?B?" + Base64(ShiftJisToJis(run)) + "?=", however long; the JIS text inside
// starts with ESC $ B and ends with ESC ( J, so the word stands on its own. Every other byte,
// half-width katakana included, passes unchanged. No folding, no length limit.
void MailHeaderEncode(std::string_view line, std::string& out);
std::string MailHeaderEncode(std::string_view line);

// Every "=?ISO-2022-JP?B?" (in any letter case) followed later by "?=" is replaced by the
// Base64 decoding of what lies between them, followed by ESC ( J; the words stay in JIS. A
// prefix with no "?=" after it is removed alone. Decoded text is not searched again.
void MailHeaderDecode(std::string_view line, std::string& out);
std::string MailHeaderDecode(std::string_view line);

}  // namespace sorabu::textconv
