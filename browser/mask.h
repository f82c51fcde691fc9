// The extension mask of the file list and the text forms of its columns.
//
// Pure byte-string code: the mask is a list of extensions such as ".TXT"; a name passes when its
// extension (from its last ".") equals one of them, letters compared without case. Names and mask
// entries are file-system bytes (UTF-8 here), whose multi-byte characters hold no ASCII bytes, so
// upper-casing ASCII letters alone is safe; the window converts the typed CP932 mask first.
// Folders are decided by the caller: they always pass.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::browser {

// Upper-cases ASCII letters only.
std::string UpperAscii(std::string_view text);

// The extension from the last "." (dot included), or empty when the name has none.
std::string_view Extension(std::string_view name);

// True when mask is empty or the name's upper-cased extension is non-empty and in mask.
// Mask entries are compared upper-cased.
bool MatchesMask(std::string_view name, const std::vector<std::string>& mask);

// The mask dialog's answer as a mask: "*" or empty give an empty mask; otherwise the answer is
// split at ";", pieces without "." get one in front, empty pieces are dropped.
std::vector<std::string> ParseMaskAnswer(std::string_view answer);

// "yy/mm/dd hh:nn".
std::string FormatListDate(int year, int month, int day, int hour, int minute);

// "%16.0n" without the locale: right-aligned in 16 characters with "," every three digits.
std::string FormatListSize(std::uint64_t value);

}  // namespace sorabu::browser
