// TREParseTree: the parse tree of a pattern and the splitting of its character ranges.
//
// Nodes are range leaves [low, high], the two anchors (which remember the code of "^" or "$",
// because they turn into literal characters where they cannot anchor), concatenation, union,
// closure and empty. The tree owns every node in two lists, inner nodes and range leaves; leaves
// are unique by (low, high), so one leaf is shared by every parent that names the same range, and
// operands are shared rather than copied (a positive closure uses its operand twice).
//
// MakeDisjoint turns the leaves into pairwise disjoint ranges without changing the language: all
// range ends are collected, each leaf that spans more than one of the resulting elementary
// intervals is turned, in place, into the union of its pieces (so every parent now sees the same
// characters through shared piece leaves). This is one sort and one pass instead of the pairwise
// scan that restarts after every split, and it gives the same leaves; a cap on the number of
// pieces turns a pathological class into a clear error instead of quadratic memory.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "regex/codes.h"

namespace sorabu::regex {

enum class NodeKind { kRange, kLineStart, kLineEnd, kConcat, kUnion, kClosure, kEmpty };

struct TREParseNode {
  NodeKind kind = NodeKind::kEmpty;
  Code low = 0;   // range leaves: low end; anchors: their own code
  Code high = 0;  // range leaves: high end
  TREParseNode* left = nullptr;
  TREParseNode* right = nullptr;
};

class TREParseTree {
 public:
  // Most pieces MakeDisjoint may create before it gives up with ERegExpParser.
  static constexpr std::size_t kMaxPieces = 1'000'000;

  TREParseNode* MakeNode(NodeKind kind, TREParseNode* left = nullptr, TREParseNode* right = nullptr);
  // Finds or creates the leaf [low, high].
  TREParseNode* Leaf(Code low, Code high);
  TREParseNode* MakeLineStart(Code code);
  TREParseNode* MakeLineEnd(Code code);
  // Every character but NUL, LF and CR: [1,9] | [11,12] | [14,0xFCFC].
  TREParseNode* MakeAnyChar();
  // Throws ERegExpParser (position `position`) past kMaxPieces.
  void MakeDisjoint(std::size_t position = 0);
  void Clear();

  TREParseNode* root() const noexcept { return root_; }
  void set_root(TREParseNode* root) noexcept { root_ = root; }
  // Current range leaves in creation order.
  const std::vector<TREParseNode*>& leaves() const noexcept { return leaf_list_; }

  // The tree as an S-expression: [a-z] (cat x y) (or x y) (star x) () ^ $; codes outside
  // ASCII letters and digits as #HEX.
  std::string dump() const;
  static std::string DumpNode(const TREParseNode* node);

 private:
  std::vector<std::unique_ptr<TREParseNode>> inner_;
  std::vector<std::unique_ptr<TREParseNode>> leaf_store_;
  std::vector<TREParseNode*> leaf_list_;
  std::map<std::pair<Code, Code>, TREParseNode*> leaf_index_;
  TREParseNode* root_ = nullptr;
};

}  // namespace sorabu::regex
