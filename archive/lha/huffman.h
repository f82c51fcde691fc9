// Canonical Huffman codes as LHA writes them: codes are assigned in order of length, and within
// one length in order of symbol, at most 16 bits long.
//
// Decoding uses a two-level table: a primary table indexed by the next `primary_bits` bits, and
// for longer codes a secondary table per primary slot. Lengths that over-subscribe the code space
// are refused; an incomplete code is accepted (some encoders emit one) and hitting an unused code
// is reported by `Decode` as -1.
#pragma once

#include <cstdint>
#include <vector>

#include "archive/lha/bit_io.h"

namespace sorabu::lha {

constexpr int kMaxCodeLength = 16;

class HuffmanDecoder {
 public:
  // lengths[i] is the code length of symbol i, 0 for unused; false when they cannot form a code.
  bool Build(const std::uint8_t* lengths, int count, int primary_bits);
  // Every input decodes to `symbol` with no bits read: the "single symbol" form of a block.
  void BuildConstant(int symbol);

  // The next symbol, or -1 for a code no symbol has.
  int Decode(BitReader& in) const noexcept {
    if (constant_ >= 0) return constant_;
    const std::uint64_t w = in.Window();
    std::uint32_t e = table_[static_cast<std::size_t>(w >> (64 - primary_bits_))];
    if (e & kSubFlag) {
      const int sub_bits = static_cast<int>(e & kLengthMask);
      const std::uint64_t rest = (w << primary_bits_) >> (64 - sub_bits);
      e = table_[(e >> 8) + static_cast<std::size_t>(rest)];
    }
    const int len = static_cast<int>(e & kLengthMask);
    if (len == 0) return -1;
    in.Skip(len);
    return static_cast<int>(e >> 8);
  }

 private:
  static constexpr std::uint32_t kSubFlag = 0x40;
  static constexpr std::uint32_t kLengthMask = 0x1F;
  std::vector<std::uint32_t> table_;
  int primary_bits_ = 1;
  int constant_ = -1;
};

// Code lengths for the given frequencies, none longer than max_length. Symbols with frequency 0
// get length 0. With fewer than two used symbols every used symbol gets length 1.
void BuildCodeLengths(const std::uint32_t* freq, int count, int max_length, std::uint8_t* lengths);

// Canonical codes (right-aligned in the low `length` bits) for the lengths.
void BuildCodes(const std::uint8_t* lengths, int count, std::uint16_t* codes);

}  // namespace sorabu::lha
