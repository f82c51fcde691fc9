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
//
// Trying every start costs text length times walk length, which on one long line ("a*b" over a
// megabyte of "a") is a hang. So a long walk that ends without a match leaves its (position,
// state) pairs in TMatchDeadEnds: a later walk that arrives at the same position in the same
// state would end the same way and stops at once. That does not help when the walks of
// successive starts stay in different states ("[ab]" a thousand times, then "aaa"): once the
// walks of a search have cost more than LockstepAfter steps plus eight per character passed,
// TLockstepScan finds the first start that succeeds in one pass, and the search goes on from
// there as before. Results are unchanged either way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "regex/lockstep_scan.h"
#include "regex/regular_expression.h"

namespace sorabu::regex {

enum TMatchCORE_LineSeparator { mcls_CRLF = 0, mcls_LF = 1 };

// (position, state) pairs known to lead to no match, for one text and one automaton. One entry
// per position (a later dead end overwrites an earlier one), made when first needed.
class TMatchDeadEnds {
 public:
  static constexpr std::size_t kRecordAfter = 32;  // shorter walks are cheaper than recording

  bool Dead(std::size_t q, std::int32_t state) const {
    return !dead_.empty() && dead_[q] == state + 1;
  }
  void Mark(std::size_t q, std::int32_t state, std::size_t text_size) {
    if (dead_.empty()) dead_.assign(text_size + 1, 0);
    dead_[q] = state + 1;
  }
  std::vector<std::pair<std::size_t, std::int32_t>> path;  // scratch of the walk in progress
  std::size_t walked = 0;  // steps of every walk so far
  // The lockstep scanner of this text's searches, made when first needed, and what it was
  // made for (automaton, anchored search, line-end character).
  std::unique_ptr<TLockstepScan> lockstep;
  const TRE_DFA* lockstep_dfa = nullptr;
  int lockstep_kind = -1;

 private:
  std::vector<std::int32_t> dead_;
};

struct MatchSpan {
  std::size_t start;
  std::size_t end;
};

class TMatchCORE : public TRegularExpression {
 public:
  TMatchCORE();

  TMatchCORE_LineSeparator LineSeparator = mcls_CRLF;
  // Walk steps a search may spend before it turns to the lockstep scan (0: at once).
  std::size_t LockstepAfter = 4096;

  // End of the longest match of the current pattern from state at position p, if any.
  // memo, when given, must belong to this text and pattern; each call without one makes its own.
  std::optional<std::size_t> LongestFrom(std::string_view s, std::int32_t state, std::size_t p,
                                         TMatchDeadEnds* memo = nullptr) const;
  std::optional<std::size_t> MatchAtLineStart(std::string_view s, std::size_t p,
                                              TMatchDeadEnds* memo = nullptr) const;
  std::optional<MatchSpan> SearchOnward(std::string_view s, std::size_t p,
                                        TMatchDeadEnds* memo = nullptr) const;
  std::optional<MatchSpan> SearchFromLineStart(std::string_view s, std::size_t p,
                                               TMatchDeadEnds* memo = nullptr) const;
  std::optional<MatchSpan> PlainSearch(std::string_view s, std::size_t p,
                                       TMatchDeadEnds* memo = nullptr) const;

 protected:
  unsigned char LineEndChar() const noexcept { return LineSeparator == mcls_LF ? '\n' : '\r'; }

 private:
  // The search from p: starts in order, each after LF also from the state after "^" when
  // anchored, p itself too when line_start.
  std::optional<MatchSpan> Search(std::string_view s, std::size_t p, bool line_start, bool anchored,
                                  TMatchDeadEnds& memo) const;
  TLockstepScan& Lockstep(TMatchDeadEnds& memo, bool anchored) const;
};

}  // namespace sorabu::regex
