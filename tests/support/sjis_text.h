// CP932 bytes written as UTF-8 literals in the tests: S("漢字") is the bytes the program works on.
#pragma once

#include <string>
#include <string_view>

#include "textconv/cp932.h"

namespace sorabu::test_support {

inline std::string S(std::string_view utf8) { return textconv::Utf8ToCp932(utf8); }

}  // namespace sorabu::test_support
