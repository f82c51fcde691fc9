// TAWKStr: the AWK-style Match and GSub the editing commands use, and the replacement expansion.
//
// A pattern with "^" or "$" is searched from a line start (the anchors then matter); any other
// with the plain search. GSub walks the text match by match; after an empty match it copies one
// character (a double-byte character, or CR LF under mcls_CRLF, as a unit) so it always moves
// on, and each later search starts at a line start only when the byte before it is LF. An empty
// match at the very end is replaced when it is the first match of what is left ("$" with "-" on
// "abc" gives "abc-"), but not after a match that reached the end.
//
// Replacement: "&" is the matched text, "\&" a literal "&", and the pattern escapes (\t, \n,
// \x41, octal ...) give their characters; a lone trailing backslash is an error. Escapes and "&"
// are recognised character by character, so the second byte of a double-byte character (which may
// be 0x5C or 0x26) is never taken for one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "regex/match_core.h"

namespace sorabu::regex {

class TAWKStr : public TMatchCORE {
 public:
  // Registers the built-in fuzzy-character dictionary (used when UseFuzzyCharDic is on).
  TAWKStr();

  void SetRegExp(std::string_view pattern) override;

  // 1-based start of the first match (0 when none); length in bytes. An empty match is a match.
  std::size_t Match(std::string_view s, std::size_t& start, std::size_t& length) const;
  // Replaces every match in s by the expansion of replacement; returns the count and leaves s
  // unchanged when there is none. Throws ERegExpParser on a replacement with a trailing backslash.
  int GSub(std::string_view replacement, std::string& s) const;

  // The search SetRegExp selected (from a line start when anchored, else plain).
  std::optional<MatchSpan> Search(std::string_view s, std::size_t p, TMatchDeadEnds* memo = nullptr) const;

 private:
  bool anchored_ = false;
};

// Every backslash escape of s becomes its character (codes above 0xFF as two bytes).
// Throws ERegExpParser ("\"\\\"の次には文字が必要です。") for a trailing single backslash.
std::string ExpandEscapes(std::string_view s);
// The replacement text for one match m.
std::string ExpandReplacement(std::string_view replacement, std::string_view m);

}  // namespace sorabu::regex
