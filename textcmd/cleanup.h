// The per-line transformations of the clean-up commands: blanks, full-width blanks and TABs.
//
// Every search walks the line character by character: a full-width blank (0x81 0x40) can start
// on the second byte of a double-byte character, and a blank or a TAB right after a lead byte is
// that character's second byte (invalid as it is), never a blank or a TAB of its own.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::textcmd {

// Leading blanks, then leading full-width blanks.
std::string TrimLeft(std::string_view line);
// While the last character is a blank or a full-width blank: drop a final full-width blank,
// then every final byte 0x00–0x20. A line ending in a TAB or another control byte stays.
std::string TrimRight(std::string_view line);
std::string RemoveByte(std::string_view line, char byte);
std::string RemoveFullWidthBlanks(std::string_view line);
std::string RemoveLeadingTabs(std::string_view line);
std::string ReplaceByte(std::string_view line, char from, char to);
// Every full-width blank becomes two blanks.
std::string FullWidthBlanksToBlanks(std::string_view line);
// CR and LF bytes removed.
std::string RemoveNewlines(std::string_view line);

}  // namespace sorabu::textcmd
