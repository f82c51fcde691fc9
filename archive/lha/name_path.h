// Entry names: CP932 bytes split into folders by characters, checked for safety, escaped for
// printing.
//
// A Shift-JIS character's second byte may be 0x5C ("\") or 0x7C ("|"), so every scan here walks
// the name character by character and only a single-byte "\" or "/" separates folders.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archive/lha/error.h"

namespace sorabu::lha {

// "\" (as a character) and 0xFF become "/". Other bytes are kept.
std::string NormalizeSeparators(std::string_view name);

// The components between separators ("/" or a single-byte "\"), empty ones and "." dropped.
std::vector<std::string> SplitComponents(std::string_view name);

// The relative path under a destination folder, as components. Leading separators and a drive
// prefix are dropped ("/x", "\\x", "C:\\x" and "C:x" are all "x"). kUnsafeName for an empty
// result, any ".." component, and bytes a file name cannot hold (0x00).
Error SafeComponents(std::string_view name, std::vector<std::string>& out);

// Printable form: control bytes (0x00..0x1F, 0x7F) as "\xNN", a backslash that is a character
// of its own as "\\"; double-byte characters unchanged.
std::string EscapeForDisplay(std::string_view name);

}  // namespace sorabu::lha
