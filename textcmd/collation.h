// The locale-aware case-insensitive order of lines for sorting.
//
// Comparing lines through a collator costs a conversion per comparison; a sort key per line
// costs one, and the keys then compare as plain bytes. The collator is ICU's for the user's
// locale (the C locale falls back to Japanese) at secondary strength, which ignores letter case.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::textcmd {

using SortKeyer = std::function<std::string(std::string_view line)>;

// A keyer over code page 932 lines; falls back to ASCII case folding when ICU offers no
// collator.
SortKeyer LocaleSortKeyer();
// Byte order after folding ASCII letters to upper case (for tests and as the fallback).
std::string FoldedKey(std::string_view line);

// The indices of lines in ascending key order; lines with equal keys keep their order. With no
// keyer, the locale's collator is used, its keys made once per line on every core into one
// buffer per core and compared as bytes.
std::vector<std::size_t> AscendingOrder(std::span<const std::string_view> lines, const SortKeyer& keyer = {});
std::vector<std::size_t> AscendingOrder(const std::vector<std::string>& lines, const SortKeyer& keyer = {});

}  // namespace sorabu::textcmd
