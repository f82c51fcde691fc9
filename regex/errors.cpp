#include "regex/errors.h"

#include <algorithm>

#include "textconv/cp932.h"

namespace sorabu::regex {

std::string MessageBytes(std::string_view utf8) { return textconv::Utf8ToCp932(utf8); }

ERegExpParser::ERegExpParser(const char* message, std::size_t position)
    : std::runtime_error(message),
      position_(static_cast<std::uint16_t>(std::min<std::size_t>(position, 0xFFFF))) {}

}  // namespace sorabu::regex
