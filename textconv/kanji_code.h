// Classification of a byte text by the Japanese character code that produced it.
#pragma once

#include <string_view>

namespace sorabu::textconv {

// The values are fixed: the viewer's name table and the conversion dispatcher index by them.
enum KanjiCode : int {
  Ascii = 0,
  Binary = 1,
  Jis83 = 2,
  Jis78 = 3,
  Euc = 4,
  ShiftJis = 5,
  EucOrShiftJis = 6,
};

// Pure; reads only inside text; never fails.
KanjiCode DetectKanjiCode(std::string_view text) noexcept;

// The display name as UTF-8 ("ASCII", "ﾊﾞｲﾅﾘ", "JIS83", "JIS78", "EUC", "ｼﾌﾄJIS", "EUC+ｼﾌﾄJIS");
// empty for a value outside 0..6.
std::string_view KanjiCodeNameUtf8(int code) noexcept;

}  // namespace sorabu::textconv
