// The adaptive Huffman code of -lh1- (LHarc's LZHUF): 314 symbols (256 bytes and match lengths
// 3..60), a tree that starts balanced with every count 1 and is updated after each symbol, so
// that encoder and decoder change it in the same way. When the root's count reaches 0x8000 all
// counts are halved and the tree is rebuilt.
//
// Nodes are kept sorted by count, the invariant that lets an update swap a node with the last
// node of its count and keep the tree a Huffman tree (the "sibling property").
#pragma once

#include <array>
#include <cstdint>

namespace sorabu::lha {

class AdaptiveHuffman {
 public:
  static constexpr int kSymbols = 314;
  static constexpr int kNodes = kSymbols * 2 - 1;  // 627
  static constexpr int kRoot = kNodes - 1;

  AdaptiveHuffman();

  // Decoding: start at Root(), follow Child(node, bit) until IsLeaf, then Update(symbol).
  int Root() const { return son_[kRoot]; }
  int Child(int node, unsigned bit) const { return son_[static_cast<std::size_t>(node) + bit]; }
  static bool IsLeaf(int node) { return node >= kNodes; }
  static int Symbol(int leaf) { return leaf - kNodes; }

  // Encoding: the code of a symbol, most significant bit first, in the low `length` bits.
  void Code(int symbol, std::uint64_t& bits, int& length) const;

  void Update(int symbol);

 private:
  void Rebuild();

  // Node counts (plus a sentinel), children (leaves as symbol + kNodes), parents of nodes and
  // leaves.
  std::array<std::uint32_t, kNodes + 1> freq_{};
  std::array<int, kNodes> son_{};
  std::array<int, kNodes + kSymbols> parent_{};
};

}  // namespace sorabu::lha
