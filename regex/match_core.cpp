#include "regex/match_core.h"

namespace sorabu::regex {

TMatchCORE::TMatchCORE() : TRegularExpression(kLineHeadCode, kLineTailCode) {}

namespace {

// The walk shared by every search: the last accepting position, and with tail_rule the "$"
// that ends a match before the end of the text or the line-end character.
std::optional<std::size_t> Walk(const TRE_DFA& dfa, std::string_view s, std::int32_t state,
                                std::size_t p, bool tail_rule, Code tail_code, Code line_end,
                                TMatchDeadEnds& memo) {
  if (state == TRE_DFA::kNone) return std::nullopt;
  std::optional<std::size_t> result;
  TextChar ch{};
  bool known_dead = false;
  std::size_t steps = 0;
  memo.path.clear();
  for (;;) {
    if (memo.Dead(p, state)) {
      known_dead = true;
      break;
    }
    if (dfa.accepting(state)) result = p;
    if (steps >= TMatchDeadEnds::kRecordAfter) memo.path.emplace_back(p, state);
    ch = ReadTextChar(s, p);
    const std::int32_t next = ch.length == 0 || ch.code == 0 ? TRE_DFA::kNone : dfa.Next(state, ch.code);
    if (next == TRE_DFA::kNone) break;
    state = next;
    p += ch.length;
    ++steps;
  }
  if (!known_dead && tail_rule && dfa.Next(state, tail_code) != TRE_DFA::kNone &&
      (ch.length == 0 || (ch.length == 1 && ch.code == line_end))) {
    result = p;
  }
  // Every recorded pair after the last accepting position leads nowhere.
  for (const auto& [q, st] : memo.path) {
    if (!result || q > *result) memo.Mark(q, st, s.size());
  }
  return result;
}

}  // namespace

std::optional<std::size_t> TMatchCORE::LongestFrom(std::string_view s, std::int32_t state,
                                                   std::size_t p, TMatchDeadEnds* memo) const {
  TMatchDeadEnds local;
  const TRE_DFA& dfa = this->dfa();
  return Walk(dfa, s, state, p, dfa.has_line_tail(), GetLineTailCode(), LineEndChar(),
              memo != nullptr ? *memo : local);
}

std::optional<std::size_t> TMatchCORE::MatchAtLineStart(std::string_view s, std::size_t p,
                                                        TMatchDeadEnds* memo) const {
  TMatchDeadEnds local;
  if (memo == nullptr) memo = &local;
  const TRE_DFA& dfa = this->dfa();
  if (!dfa.has_line_head()) return LongestFrom(s, dfa.initial(), p, memo);
  const auto m1 = LongestFrom(s, dfa.Next(dfa.initial(), GetLineHeadCode()), p, memo);
  if (!m1) return std::nullopt;
  const auto m2 = LongestFrom(s, dfa.initial(), p, memo);
  if (m2 && *m2 >= *m1) return m2;
  return m1;
}

std::optional<MatchSpan> TMatchCORE::SearchOnward(std::string_view s, std::size_t p,
                                                  TMatchDeadEnds* memo) const {
  TMatchDeadEnds local;
  if (memo == nullptr) memo = &local;
  const TRE_DFA& dfa = this->dfa();
  while (p < s.size()) {
    if (auto end = LongestFrom(s, dfa.initial(), p, memo)) return MatchSpan{p, *end};
    if (s[p] == '\n' && dfa.has_line_head()) {
      if (auto end = MatchAtLineStart(s, p + 1, memo)) return MatchSpan{p + 1, *end};
    }
    p += ReadTextChar(s, p).length;
  }
  if (dfa.has_line_tail() && dfa.Next(dfa.initial(), GetLineTailCode()) != TRE_DFA::kNone) {
    return MatchSpan{s.size(), s.size()};
  }
  return std::nullopt;
}

std::optional<MatchSpan> TMatchCORE::SearchFromLineStart(std::string_view s, std::size_t p,
                                                         TMatchDeadEnds* memo) const {
  TMatchDeadEnds local;
  if (memo == nullptr) memo = &local;
  if (auto end = MatchAtLineStart(s, p, memo)) return MatchSpan{p, *end};
  return SearchOnward(s, p, memo);
}

std::optional<MatchSpan> TMatchCORE::PlainSearch(std::string_view s, std::size_t p,
                                                 TMatchDeadEnds* memo) const {
  TMatchDeadEnds local;
  if (memo == nullptr) memo = &local;
  const TRE_DFA& dfa = this->dfa();
  if (p >= s.size()) {
    if (dfa.accepting(dfa.initial())) return MatchSpan{p, p};
    return std::nullopt;
  }
  for (; p < s.size(); p += ReadTextChar(s, p).length) {
    if (auto end = Walk(dfa, s, dfa.initial(), p, false, 0, 0, *memo)) return MatchSpan{p, *end};
  }
  return std::nullopt;
}

}  // namespace sorabu::regex
