// The locale-aware case-insensitive order of lines for sorting.
//
// Comparing lines through a collator costs a conversion per comparison; a sort key per line
// costs one, and the keys then compare as plain bytes. The collator is ICU's for the user's
// locale (the C locale falls back to Japanese) at secondary strength, which ignores letter case.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace sorabu::textcmd {

using SortKeyer = std::function<std::string(std::string_view line)>;

// A keyer over code page 932 lines; falls back to ASCII case folding when ICU offers no
// collator.
SortKeyer LocaleSortKeyer();
// Byte order after folding ASCII letters to upper case (for tests and as the fallback).
std::string FoldedKey(std::string_view line);

}  // namespace sorabu::textcmd
