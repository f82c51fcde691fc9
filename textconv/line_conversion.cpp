// Conversion numbers 1..14 and their converters, in one table so that the frame, the command
// table and the fuzz target agree on them.
#include "textconv/line_conversion.h"

#include <array>

#include "textconv/base64.h"
#include "textconv/binhex.h"
#include "textconv/jis_euc_sjis.h"
#include "textconv/mail_header.h"
#include "textconv/uuencode.h"

namespace sorabu::textconv {

LineConverter LineConverterFor(int code) noexcept {
  static constexpr std::array<LineConverter, 14> kConverters = {
      JisToShiftJis, EucToShiftJis, ShiftJisToJis, EucToJis,     ShiftJisToEuc,
      JisToEuc,      Base64Encode,  MailHeaderEncode, Base64Decode, UuEncode,
      UuDecode,      BinHexEncode,  BinHexDecode,  MailHeaderDecode,
  };
  if (code < 1 || code > static_cast<int>(kConverters.size())) return nullptr;
  return kConverters[static_cast<std::size_t>(code - 1)];
}

bool IsEmptyWithoutNewlines(std::string_view line) noexcept {
  return line.find_first_not_of("\r\n") == std::string_view::npos;
}

}  // namespace sorabu::textconv
