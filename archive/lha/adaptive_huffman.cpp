#include "archive/lha/adaptive_huffman.h"

namespace sorabu::lha {
namespace {

constexpr std::uint32_t kMaxFreq = 0x8000;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

}  // namespace

AdaptiveHuffman::AdaptiveHuffman() {
  for (int i = 0; i < kSymbols; ++i) {
    freq_[U(i)] = 1;
    son_[U(i)] = i + kNodes;
    parent_[U(i + kNodes)] = i;
  }
  for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
    freq_[U(j)] = freq_[U(i)] + freq_[U(i + 1)];
    son_[U(j)] = i;
    parent_[U(i)] = parent_[U(i + 1)] = j;
  }
  freq_[kNodes] = 0xFFFF;  // sentinel for the search in Update
  parent_[kRoot] = 0;
}

void AdaptiveHuffman::Rebuild() {
  // Leaves to the front with halved counts, in their current order.
  int j = 0;
  for (int i = 0; i < kNodes; ++i) {
    if (son_[U(i)] >= kNodes) {
      freq_[U(j)] = (freq_[U(i)] + 1) / 2;
      son_[U(j)] = son_[U(i)];
      ++j;
    }
  }
  // Join pairs, inserting each new node where its count keeps the order.
  for (int i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
    const std::uint32_t f = freq_[U(i)] + freq_[U(i + 1)];
    int k = n - 1;
    while (f < freq_[U(k)]) --k;
    ++k;
    for (int m = n; m > k; --m) {
      freq_[U(m)] = freq_[U(m - 1)];
      son_[U(m)] = son_[U(m - 1)];
    }
    freq_[U(k)] = f;
    son_[U(k)] = i;
  }
  for (int i = 0; i < kNodes; ++i) {
    const int k = son_[U(i)];
    parent_[U(k)] = i;
    if (k < kNodes) parent_[U(k + 1)] = i;
  }
}

void AdaptiveHuffman::Update(int symbol) {
  if (freq_[kRoot] == kMaxFreq) Rebuild();
  int c = parent_[U(symbol + kNodes)];
  do {
    const std::uint32_t k = ++freq_[U(c)];
    // The count now exceeds the next node's: swap with the last node of the old count.
    if (k > freq_[U(c + 1)]) {
      int l = c + 1;
      while (k > freq_[U(l + 1)]) ++l;
      freq_[U(c)] = freq_[U(l)];
      freq_[U(l)] = k;
      const int i = son_[U(c)];
      parent_[U(i)] = l;
      if (i < kNodes) parent_[U(i + 1)] = l;
      const int j = son_[U(l)];
      son_[U(l)] = i;
      parent_[U(j)] = c;
      if (j < kNodes) parent_[U(j + 1)] = c;
      son_[U(c)] = j;
      c = l;
    }
    c = parent_[U(c)];
  } while (c != 0);
}

void AdaptiveHuffman::Code(int symbol, std::uint64_t& bits, int& length) const {
  bits = 0;
  length = 0;
  // Up from the leaf: a node that is the second child of its parent contributes a 1.
  int k = parent_[U(symbol + kNodes)];
  do {
    if (k & 1) bits |= std::uint64_t{1} << length;
    ++length;
    k = parent_[U(k)];
  } while (k != kRoot);
}

}  // namespace sorabu::lha
