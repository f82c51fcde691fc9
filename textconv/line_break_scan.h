// Finding line ends at memory speed: the viewer's line index and the line commands both look for
// the next CR or LF, and Grep counts the LFs it passes, 16 bytes at a time where the processor
// has SSE2.
#pragma once

#include <cstddef>
#include <string_view>

namespace sorabu::textconv {

// The first CR or LF in text at or after from, or text.size().
std::size_t FindCrOrLf(std::string_view text, std::size_t from = 0) noexcept;
// The LF bytes in [p, p + n).
std::size_t CountLineFeeds(const char* p, std::size_t n) noexcept;
// The line ends in [p, p + n): an LF, a CR LF and a CR alone count one each (a CR as the last
// byte counts one).
std::size_t CountLineEnds(const char* p, std::size_t n) noexcept;

}  // namespace sorabu::textconv
