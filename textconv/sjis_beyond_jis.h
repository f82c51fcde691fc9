// Shift-JIS pairs beyond JIS X 0208 row 94 (lead bytes 0xF0..0xFC), on their way to EUC-JP or
// JIS, which have no rows for them.
#pragma once

#include "textconv/jis_code.h"

namespace sorabu::textconv::detail {

constexpr bool IsBeyondJisLead(unsigned char s1) { return s1 >= 0xF0 && s1 <= 0xFC; }

// The IBM extensions (0xFA40..0xFC4B) become the pair that code page 932 holds for the same
// character within rows 1..94 (NEC row 13, the NEC-selected rows 89..92, or row 2); the
// user-defined area (0xF040..0xF9FC) and unassigned codes become the geta mark 〓 (0x81AC).
// Without this the arithmetic writes EUC bytes 0x80 and 0xFF, which EUC readers take apart,
// garbling the characters after them too.
BytePair BeyondJisToShiftJisInJis(unsigned char s1, unsigned char s2);

}  // namespace sorabu::textconv::detail
