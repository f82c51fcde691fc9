// The line converters by the conversion number the working-copy frame passes around.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::textconv {

// Appends the conversion of one line to out. The line must not be a view into out.
using LineConverter = void (*)(std::string_view line, std::string& out);

// 1 JisToShiftJis, 2 EucToShiftJis, 3 ShiftJisToJis, 4 EucToJis, 5 ShiftJisToEuc,
// 6 JisToEuc, 7 Base64Encode, 8 MailHeaderEncode, 9 Base64Decode, 10 UuEncode, 11 UuDecode,
// 12 BinHexEncode, 13 BinHexDecode, 14 MailHeaderDecode; nullptr for any other number.
LineConverter LineConverterFor(int code) noexcept;

// The conversion commands write a line back as read, without converting it, when it holds
// nothing once its CR and LF bytes are removed; this is that test.
bool IsEmptyWithoutNewlines(std::string_view line) noexcept;

}  // namespace sorabu::textconv
