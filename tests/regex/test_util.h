// Helpers shared by the regex tests: CP932 text from UTF-8 literals.
#pragma once

#include <string>
#include <string_view>

#include "textconv/cp932.h"
#include "tests/support/sjis_text.h"

namespace sorabu::regex::test {

using test_support::S;

}  // namespace sorabu::regex::test
