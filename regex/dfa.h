// TRE_DFA: subset construction over character ranges.
//
// Each DFA state stands for the empty-move closure of a set of NFA states. To find its
// transitions, the ranges of all edges leaving the set are cut at every range end into elementary
// intervals; each interval leads to the closure of the targets of the edges that cover it, and
// neighbouring intervals with the same target merge. Because the cut happens here, overlapping
// edges of one state never hide each other: a literal "^" beside ".", or an anchor code inside a
// class, keeps both paths (the parse tree's disjoint leaves make this the common, cheap case).
//
// States are found through a hash of their NFA set rather than by comparing with every state.
// Single-byte codes go through a flat table indexed by state and byte class (bytes that no
// transition tells apart share a class, as in RE2), so a long literal costs a few entries per
// state, not 256; double-byte codes are found by binary search in the sorted transitions. Construction is eager (the whole automaton), under a
// memory budget and a work budget: past either, ERegExpParser says the pattern is too complex
// instead of exhausting memory or time ("(a|b)*a(a|b)(a|b)...(a|b)" grows exponentially).
//
// Literal description: when the automaton is a single chain of one-code transitions ending in an
// accepting state without transitions, the pattern is that fixed string, which Grep scans for
// without the automaton.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "regex/codes.h"
#include "regex/nfa.h"

namespace sorabu::regex {

struct TRE_DFATransition {
  Code low;
  Code high;
  std::int32_t target;
};

struct TRE_DFAState {
  TRE_NFAStateSet set;
  bool accepting = false;
  std::vector<TRE_DFATransition> transitions;  // ascending, disjoint
};

class TRE_DFA {
 public:
  static constexpr std::size_t kDefaultBudget = 32u << 20;  // bytes
  static constexpr std::size_t kMaxLiteral = 16383;
  // Most NFA states and edges the construction may examine, summed over all DFA states.
  static constexpr std::size_t kMaxWork = 3'000'000;

  // Throws ERegExpParser when the automaton would outgrow budget_bytes.
  explicit TRE_DFA(const TRE_NFA& nfa, std::size_t budget_bytes = kDefaultBudget);

  static constexpr std::int32_t kNone = -1;
  std::int32_t initial() const noexcept { return 0; }
  std::size_t size() const noexcept { return states_.size(); }
  bool accepting(std::int32_t s) const { return states_[static_cast<std::size_t>(s)].accepting; }
  // Target of s on code c, or kNone.
  std::int32_t Next(std::int32_t s, Code c) const {
    if (c < 256) return table_[static_cast<std::size_t>(s) * class_count_ + byte_class_[c]];
    return NextSlow(states_[static_cast<std::size_t>(s)], c);
  }
  std::size_t byte_class_count() const noexcept { return class_count_; }
  // The targets of every state on the single-byte code c, state s at [s * byte_class_count()].
  const std::int32_t* ByteColumn(Code c) const { return table_.data() + byte_class_[c]; }
  const TRE_DFAState& state(std::int32_t s) const { return states_[static_cast<std::size_t>(s)]; }

  bool has_line_head() const noexcept { return has_line_head_; }
  bool has_line_tail() const noexcept { return has_line_tail_; }
  bool is_literal() const noexcept { return is_literal_; }
  const std::vector<Code>& literal() const noexcept { return literal_; }

  // One line per state: "0 A: 61-61>1 ..." (A marks accepting), then "literal: ..." or "-".
  std::string dump() const;

 private:
  static std::int32_t NextSlow(const TRE_DFAState& st, Code c);
  void Build(const TRE_NFA& nfa, std::size_t budget_bytes);
  void BuildByteTable(std::size_t used, std::size_t budget_bytes);
  void DescribeLiteral();

  std::vector<TRE_DFAState> states_;
  std::array<std::uint8_t, 256> byte_class_{};
  std::size_t class_count_ = 1;
  std::vector<std::int32_t> table_;  // states x classes
  bool has_line_head_ = false;
  bool has_line_tail_ = false;
  bool is_literal_ = false;
  std::vector<Code> literal_;
};

}  // namespace sorabu::regex
