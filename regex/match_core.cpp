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
  memo.walked += steps + 1;
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

TLockstepScan& TMatchCORE::Lockstep(TMatchDeadEnds& memo, bool anchored) const {
  const TRE_DFA& dfa = this->dfa();
  const int kind = (anchored ? 2 : 0) + (LineSeparator == mcls_LF ? 1 : 0);
  if (memo.lockstep == nullptr || memo.lockstep_dfa != &dfa || memo.lockstep_kind != kind) {
    memo.lockstep = std::make_unique<TLockstepScan>(dfa, TLockstepScan::Mode::kAwk, LineEndChar(),
                                                    anchored, anchored, GetLineHeadCode(),
                                                    GetLineTailCode());
    memo.lockstep_dfa = &dfa;
    memo.lockstep_kind = kind;
  }
  return *memo.lockstep;
}

namespace {

// Whether the character before q, a character start after p0, is a lone LF. Lead bytes pair up
// from p0, so the byte before q is a character of its own when an even number of lead bytes
// come right before it.
bool AfterLineFeed(std::string_view s, std::size_t p0, std::size_t q) {
  if (q <= p0 || s[q - 1] != '\n') return false;
  std::size_t leads = 0;
  while (q - 1 - leads > p0 && IsLead(static_cast<unsigned char>(s[q - 2 - leads]))) ++leads;
  return leads % 2 == 0;
}

}  // namespace

std::optional<MatchSpan> TMatchCORE::Search(std::string_view s, std::size_t p, bool line_start,
                                            bool anchored, TMatchDeadEnds& memo) const {
  const TRE_DFA& dfa = this->dfa();
  const bool heads = anchored && dfa.has_line_head();
  const bool tail_rule = anchored && dfa.has_line_tail();
  const std::size_t p0 = p;
  const std::size_t walked0 = memo.walked;
  bool scanned = false;
  bool at_line_start = line_start;
  while (p < s.size()) {
    if (!scanned && memo.walked - walked0 >= LockstepAfter + 8 * (p - p0)) {
      scanned = true;
      TLockstepScan& scan = Lockstep(memo, anchored);
      scan.Start(p, at_line_start);
      const auto* data = reinterpret_cast<const unsigned char*>(s.data());
      if (scan.Run(data, 0, s.size(), true) != TLockstepScan::Status::kDecided) {
        p = s.size();
        at_line_start = p == p0 ? line_start : heads && AfterLineFeed(s, p0, p);
        break;
      }
      if (scan.answer() != p) {
        p = scan.answer();
        at_line_start = heads && AfterLineFeed(s, p0, p);
      }
    }
    if (at_line_start) {
      if (auto end = MatchAtLineStart(s, p, &memo)) return MatchSpan{p, *end};
    }
    if (auto end = Walk(dfa, s, dfa.initial(), p, tail_rule, GetLineTailCode(), LineEndChar(), memo)) {
      return MatchSpan{p, *end};
    }
    const TextChar ch = ReadTextChar(s, p);
    at_line_start = heads && ch.length == 1 && ch.code == '\n';
    p += ch.length;
  }
  if (!anchored) return std::nullopt;
  if (at_line_start) {
    if (auto end = MatchAtLineStart(s, p, &memo)) return MatchSpan{p, *end};
  }
  if (dfa.has_line_tail() && dfa.Next(dfa.initial(), GetLineTailCode()) != TRE_DFA::kNone) {
    return MatchSpan{s.size(), s.size()};
  }
  return std::nullopt;
}

std::optional<MatchSpan> TMatchCORE::SearchOnward(std::string_view s, std::size_t p,
                                                  TMatchDeadEnds* memo) const {
  TMatchDeadEnds local;
  return Search(s, p, false, true, memo != nullptr ? *memo : local);
}

std::optional<MatchSpan> TMatchCORE::SearchFromLineStart(std::string_view s, std::size_t p,
                                                         TMatchDeadEnds* memo) const {
  TMatchDeadEnds local;
  return Search(s, p, true, true, memo != nullptr ? *memo : local);
}

std::optional<MatchSpan> TMatchCORE::PlainSearch(std::string_view s, std::size_t p,
                                                 TMatchDeadEnds* memo) const {
  TMatchDeadEnds local;
  const TRE_DFA& dfa = this->dfa();
  if (p >= s.size()) {
    if (dfa.accepting(dfa.initial())) return MatchSpan{p, p};
    return std::nullopt;
  }
  return Search(s, p, false, false, memo != nullptr ? *memo : local);
}

}  // namespace sorabu::regex
