// The fast road of Grep for a pattern that is a plain string: the reader skips straight to the
// next place the string's bytes occur, and the matcher only sees the lines around it.
#pragma once

#include <cstddef>
#include <string_view>

namespace sorabu::regex {

// The first place of needle in [h, h + n), or nullptr: memchr looks for the needle's rarest byte
// in Japanese text, memcmp checks. Any byte place counts; whether it starts a character is the
// caller's question. An empty needle is found at h.
const char* FindNeedle(const char* h, std::size_t n, std::string_view needle);

}  // namespace sorabu::regex
