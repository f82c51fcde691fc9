// TRE_NFA: Thompson construction from the parse tree.
//
// State 0 is the start and state 1 the final state; every other state is numbered in creation
// order. An edge carries a character range; empty moves are kept in their own list rather than as
// edges on a reserved code, so no pattern character can be mistaken for one. "^" is an anchor only
// on an edge that leaves state 0 and "$" only on one that enters state 1: there they become edges
// on the class's line-start and line-end codes (0xFFFD/0xFFFE for TAWKStr, LF for TGrep) and set
// the anchor flags; elsewhere they are the literal characters "^" and "$".
//
// Range leaves are clipped to the codes a text can hold (1..0xFCFF): code 0 ends every text, and
// pattern escapes such as "\xFFFD" must never reach the pseudo-characters of the anchors.
//
// The tree is walked with an explicit stack: a long concatenation is a deep left spine, and a
// positive closure walks its shared operand twice, so nested "+" double the work at each level.
// The walk stops with ERegExpParser when the automaton would outgrow kMaxStates (the bound of the
// state set) or kMaxEdges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "regex/codes.h"
#include "regex/parse_tree.h"

namespace sorabu::regex {

struct TRE_NFAEdge {
  Code low;
  Code high;
  std::uint32_t target;
};

// A set of NFA states, ascending and without duplicates.
class TRE_NFAStateSet {
 public:
  static constexpr std::size_t kMaxStates = 262'143;

  TRE_NFAStateSet() = default;
  explicit TRE_NFAStateSet(std::vector<std::uint32_t> sorted) : states_(std::move(sorted)) {}
  bool Contains(std::uint32_t s) const;
  const std::vector<std::uint32_t>& states() const noexcept { return states_; }
  bool operator==(const TRE_NFAStateSet& other) const = default;
  std::size_t Hash() const noexcept;

 private:
  std::vector<std::uint32_t> states_;
};

class TRE_NFA {
 public:
  static constexpr std::size_t kMaxStates = TRE_NFAStateSet::kMaxStates;
  static constexpr std::size_t kMaxEdges = 4'000'000;

  // Builds the automaton for tree's root; throws ERegExpParser past the limits.
  TRE_NFA(const TREParseTree& tree, Code line_head_code, Code line_tail_code);

  std::size_t size() const noexcept { return edges_.size(); }
  const std::vector<TRE_NFAEdge>& edges(std::uint32_t s) const { return edges_[s]; }
  const std::vector<std::uint32_t>& empty_moves(std::uint32_t s) const { return empty_[s]; }
  bool has_line_head() const noexcept { return has_line_head_; }
  bool has_line_tail() const noexcept { return has_line_tail_; }

  // The empty-move closure of a set of states.
  TRE_NFAStateSet Closure(const std::vector<std::uint32_t>& states) const;

  // One line per state: "3: 61-61>4 e>5"; then the anchor flags.
  std::string dump() const;

 private:
  std::uint32_t NewState();
  void AddEdge(std::uint32_t from, Code low, Code high, std::uint32_t to);
  void AddEmpty(std::uint32_t from, std::uint32_t to);
  void Generate(const TREParseNode* root);

  std::vector<std::vector<TRE_NFAEdge>> edges_;
  std::vector<std::vector<std::uint32_t>> empty_;
  std::size_t edge_count_ = 0;
  Code head_code_;
  Code tail_code_;
  bool has_line_head_ = false;
  bool has_line_tail_ = false;
  mutable std::vector<std::uint32_t> mark_;  // Closure's visited stamps
  mutable std::uint32_t stamp_ = 0;
};

}  // namespace sorabu::regex
