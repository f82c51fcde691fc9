// The -lh5- block writer shared by the encoder's parsers: one call writes one block of symbols
// with its three code tables, exactly as the decoder in lzh_decoder.cpp reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/lha/bit_io.h"

namespace sorabu::lha::lzh {

constexpr int kEncDictBits = 13;

struct Symbol {
  std::uint16_t code;  // 0..255 literal, 256.. match length - 3 + 256
  std::uint16_t dist;  // distance - 1, for matches
};

// The offset symbol of a distance - 1: its bit length.
inline int OffsetSymbol(unsigned d) { return d == 0 ? 0 : 32 - __builtin_clz(d); }

class BlockWriter {
 public:
  explicit BlockWriter(std::string& out) : bits_(out) {}
  // n <= 65535 symbols.
  void Write(const Symbol* syms, std::size_t n);
  void Finish() { bits_.Flush(); }
  std::size_t Bytes() const { return bits_.BytesSoFar(); }

 private:
  void WritePtLengths(const std::uint8_t* len, int n, int count_bits, int special);
  void WriteCharLengths(const std::uint8_t* clen);

  BitWriter bits_;
};

}  // namespace sorabu::lha::lzh
