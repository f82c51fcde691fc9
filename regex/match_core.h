// TMatchCORE: leftmost, longest matching of a compiled pattern in a byte string.
//
// The automaton is walked one character at a time (a double-byte character is one code), only from
// character boundaries, so a pattern can never match from the second byte of a character (the
// pattern 求, 8B 81, does not match inside ル、, 83 8B 81 41). "^" and "$" are pseudo-characters
// (0xFFFD, 0xFFFE) that no text holds:
//  - longest match from a position keeps the last accepting position; when the walk stops on the
//    end of the text or on the line-end character (CR under mcls_CRLF, LF under mcls_LF) in a
//    state that has a "$" transition, the match ends just before that character instead;
//  - at a line start, a pattern with "^" is first run from the state after "^"; the plain run from
//    the initial state wins only when it ends at or after that one;
//  - searching onward tries each position, and after each LF also the line start that follows;
//    at the end of the text a pattern whose initial state has a "$" transition matches empty.
// The plain search, for patterns without anchors, is the same walk without the anchor logic.
//
// A NUL byte inside a text is an ordinary character that no pattern character matches; it does
// not end the text. All positions are 0-based byte offsets here; TAWKStr turns them 1-based.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "regex/regular_expression.h"

namespace sorabu::regex {

enum TMatchCORE_LineSeparator { mcls_CRLF = 0, mcls_LF = 1 };

struct MatchSpan {
  std::size_t start;
  std::size_t end;
};

class TMatchCORE : public TRegularExpression {
 public:
  TMatchCORE();

  TMatchCORE_LineSeparator LineSeparator = mcls_CRLF;

  // End of the longest match of the current pattern from state at position p, if any.
  std::optional<std::size_t> LongestFrom(std::string_view s, std::int32_t state, std::size_t p) const;
  std::optional<std::size_t> MatchAtLineStart(std::string_view s, std::size_t p) const;
  std::optional<MatchSpan> SearchOnward(std::string_view s, std::size_t p) const;
  std::optional<MatchSpan> SearchFromLineStart(std::string_view s, std::size_t p) const;
  std::optional<MatchSpan> PlainSearch(std::string_view s, std::size_t p) const;

 protected:
  unsigned char LineEndChar() const noexcept { return LineSeparator == mcls_LF ? '\n' : '\r'; }
};

}  // namespace sorabu::regex
