// The -lh1- decoder: LZSS over a 4 KiB history with matches of 3..60 bytes; literals and lengths
// in the adaptive Huffman code (adaptive_huffman.h), distances in a fixed code: the upper 6 bits
// of distance-1 by a table indexed with the next 8 input bits, the lower 6 bits plain.
#pragma once

#include <cstdint>
#include <string_view>

#include "archive/lha/error.h"
#include "archive/lha/packed_source.h"
#include "archive/lha/sink.h"

namespace sorabu::lha {

Error DecodeLh1(PackedSource& in, std::uint64_t out_size, ByteSink& out);

// The fixed distance code: for the next 8 bits b, the upper 6 bits of distance-1 and the length
// in bits of their code (3..8); 6 - (8 - length) further bits complete the lower 6 bits.
struct Lh1UpperCode {
  std::uint8_t upper;
  std::uint8_t length;
};
Lh1UpperCode Lh1UpperFromByte(unsigned b);

}  // namespace sorabu::lha
