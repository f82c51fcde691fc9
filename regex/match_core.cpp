#include "regex/match_core.h"

namespace sorabu::regex {

TMatchCORE::TMatchCORE() : TRegularExpression(kLineHeadCode, kLineTailCode) {}

std::optional<std::size_t> TMatchCORE::LongestFrom(std::string_view s, std::int32_t state,
                                                   std::size_t p) const {
  if (state == TRE_DFA::kNone) return std::nullopt;
  const TRE_DFA& dfa = this->dfa();
  std::optional<std::size_t> result;
  TextChar ch{};
  for (;;) {
    if (dfa.accepting(state)) result = p;
    ch = ReadTextChar(s, p);
    const std::int32_t next = ch.length == 0 || ch.code == 0 ? TRE_DFA::kNone : dfa.Next(state, ch.code);
    if (next == TRE_DFA::kNone) break;
    state = next;
    p += ch.length;
  }
  if (dfa.has_line_tail() && dfa.Next(state, GetLineTailCode()) != TRE_DFA::kNone) {
    if (ch.length == 0 || (ch.length == 1 && ch.code == LineEndChar())) return p;
  }
  return result;
}

std::optional<std::size_t> TMatchCORE::MatchAtLineStart(std::string_view s, std::size_t p) const {
  const TRE_DFA& dfa = this->dfa();
  if (!dfa.has_line_head()) return LongestFrom(s, dfa.initial(), p);
  const auto m1 = LongestFrom(s, dfa.Next(dfa.initial(), GetLineHeadCode()), p);
  if (!m1) return std::nullopt;
  const auto m2 = LongestFrom(s, dfa.initial(), p);
  if (m2 && *m2 >= *m1) return m2;
  return m1;
}

std::optional<MatchSpan> TMatchCORE::SearchOnward(std::string_view s, std::size_t p) const {
  const TRE_DFA& dfa = this->dfa();
  while (p < s.size()) {
    if (auto end = LongestFrom(s, dfa.initial(), p)) return MatchSpan{p, *end};
    if (s[p] == '\n' && dfa.has_line_head()) {
      if (auto end = MatchAtLineStart(s, p + 1)) return MatchSpan{p + 1, *end};
    }
    p += ReadTextChar(s, p).length;
  }
  if (dfa.has_line_tail() && dfa.Next(dfa.initial(), GetLineTailCode()) != TRE_DFA::kNone) {
    return MatchSpan{s.size(), s.size()};
  }
  return std::nullopt;
}

std::optional<MatchSpan> TMatchCORE::SearchFromLineStart(std::string_view s, std::size_t p) const {
  if (auto end = MatchAtLineStart(s, p)) return MatchSpan{p, *end};
  return SearchOnward(s, p);
}

std::optional<MatchSpan> TMatchCORE::PlainSearch(std::string_view s, std::size_t p) const {
  const TRE_DFA& dfa = this->dfa();
  const std::int32_t initial = dfa.initial();
  if (p >= s.size()) {
    if (dfa.accepting(initial)) return MatchSpan{p, p};
    return std::nullopt;
  }
  for (; p < s.size(); p += ReadTextChar(s, p).length) {
    std::int32_t state = initial;
    std::optional<std::size_t> last;
    std::size_t q = p;
    for (;;) {
      if (dfa.accepting(state)) last = q;
      const TextChar ch = ReadTextChar(s, q);
      if (ch.length == 0 || ch.code == 0) break;
      state = dfa.Next(state, ch.code);
      if (state == TRE_DFA::kNone) break;
      q += ch.length;
    }
    if (last) return MatchSpan{p, *last};
  }
  return std::nullopt;
}

}  // namespace sorabu::regex
