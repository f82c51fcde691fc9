// The per-line transformations of the line commands: numbers, serial numbers, reversal, and
// cutting, inserting, extracting and deleting at byte columns.
//
// Columns count bytes from 1. Whether the byte at a column starts a double-byte character is
// found by walking the line from its start with the code page 932 lead-byte table, so a trail
// byte that happens to lie in the lead range is never taken for a lead. Every function works on
// lines of any length and any bytes, in one pass.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sorabu::textcmd {

// True when the byte at 1-based column col starts a double-byte character.
bool IsLeadAt(std::string_view line, long long col);

// The decimal integer of text (blanks around it allowed); nullopt when it is not one.
std::optional<long long> ParseInteger(std::string_view text);
// The conversion failure message for a text that is not an integer.
std::string NotAnInteger(std::string_view text);

// "X000" splits into prefix "X" and 3 digits; Format gives prefix + number padded to digits.
struct SerialFormat {
  std::string prefix;
  std::size_t digits = 0;
  static SerialFormat Parse(std::string_view format);
  std::string Format(long long number) const;
};

// Characters in reverse order; a double-byte character keeps its two bytes in order; a CR LF
// pair is one character. Bytes after a 0x00 are reversed like any others.
std::string ReverseLine(std::string_view line);

// Breaks the line into pieces of at most b bytes, never inside a double-byte character; with
// b = 1 a double-byte character at the start of a piece forms a piece of its own. Calls
// piece(bytes, last) for every piece; the last piece is the remainder (possibly empty).
void BreakAtColumn(std::string_view line, long long b,
                   const std::function<void(std::string_view, bool last)>& piece);

// The text inserted to begin at column b (at b − 1 when that byte starts a double-byte
// character) in lines longer than b bytes; other lines unchanged.
std::string InsertAtColumn(std::string_view line, long long b, std::string_view text);

// The column range of the extraction command (its adjustments around double-byte characters).
std::string ExtractColumns(std::string_view line, long long b, long long n);
// The column range deleted by the deletion command.
std::string DeleteColumns(std::string_view line, long long b, long long n);

}  // namespace sorabu::textcmd
