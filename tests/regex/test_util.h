// Helpers shared by the regex tests: CP932 text from UTF-8 literals.
#pragma once

#include <string>
#include <string_view>

#include "textconv/cp932.h"

namespace sorabu::regex::test {

inline std::string S(std::string_view utf8) { return textconv::Utf8ToCp932(utf8); }

}  // namespace sorabu::regex::test
