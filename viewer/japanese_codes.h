// EUC-JP and JIS (ISO-2022-JP) files shown and edited as the Unicode text they hold: the pane
// reads them as UTF-8, as it reads UTF-16 files, and an edit is written back in the file's code.
// Qt's converters (ICU) know JIS X 0212 and half-width kana in both codes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "textconv/unicode_text.h"

namespace sorabu::viewer {

// The form a text of this kanji code (textconv::KanjiCode) is read through: EucJp for EUC, Jis
// for JIS78 and JIS83, Cp932 for every other code.
textconv::TextForm ReadFormOf(int kanjiCode);

// The text as UTF-8 (a byte no character starts with as U+FFFD); form is EucJp or Jis.
std::string JapaneseToUtf8(std::string_view bytes, textconv::TextForm form);

// Lines, each as UTF-8.
std::vector<std::string> LinesToUtf8(const std::vector<std::string>& lines, textconv::TextForm form);

// UTF-8 written in form's code; *unmappable (when given) counts the characters the code has no
// place for, each written as "?".
std::string Utf8ToJapanese(std::string_view utf8, textconv::TextForm form, std::size_t* unmappable = nullptr);

}  // namespace sorabu::viewer
