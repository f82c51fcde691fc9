// Resumable forms of the JIS / EUC / Shift-JIS, width and some transfer-encoding converters, for converting one line that
// arrives in pieces (see line_stream.h). The one-call converters are these with last = true.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "textconv/kanji_code.h"

namespace sorabu::textconv::detail {

// Converts input from its start and returns the bytes consumed. two_byte is the JIS mode,
// carried from the previous piece of the same line (false at the start of a line). Unless
// last, an incomplete character or escape sequence at the end is left unconsumed, and a JIS
// run still open is not closed; with last, the whole input is consumed, as the one-call
// converter does it.
using CodeCore = std::size_t (*)(std::string_view input, bool last, bool& two_byte, std::string& out);

std::size_t JisToShiftJisCore(std::string_view input, bool last, bool& two_byte, std::string& out);
std::size_t JisToEucCore(std::string_view input, bool last, bool& two_byte, std::string& out);
std::size_t EucToShiftJisCore(std::string_view input, bool last, bool& two_byte, std::string& out);
std::size_t ShiftJisToEucCore(std::string_view input, bool last, bool& two_byte, std::string& out);
std::size_t ShiftJisToJisCore(std::string_view input, bool last, bool& two_byte, std::string& out);
std::size_t EucToJisCore(std::string_view input, bool last, bool& two_byte, std::string& out);

// The same for the width conversions, Base64 decoding and the uuencode-style encoding (they
// carry no state), and the BinHex-style encoding (its flag says the opening colon is written).
std::size_t HalfToFullCore(std::string_view input, bool last, bool& unused, std::string& out);
std::size_t FullToHalfCore(std::string_view input, bool last, bool& unused, std::string& out);
std::size_t HalfKanaToFullKanaCore(std::string_view input, bool last, bool& unused, std::string& out);
std::size_t Base64DecodeCore(std::string_view input, bool last, bool& unused, std::string& out);
std::size_t UuEncodeCore(std::string_view input, bool last, bool& unused, std::string& out);
std::size_t BinHexEncodeCore(std::string_view input, bool last, bool& started, std::string& out);

// The converter ConvertKanjiCode applies to a line classified as code, for target; nullptr
// when the line stays as it is.
CodeCore CoreFor(KanjiCode code, int target) noexcept;

}  // namespace sorabu::textconv::detail
