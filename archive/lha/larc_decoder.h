// Decoders for LArc's two LZSS methods, met in old archives:
//   -lzs-  2 KiB history; each item starts with one flag bit: 1 and 8 bits of a literal, or 0,
//          11 bits of the match's position in the history and 4 bits of its length - 2.
//   -lz5-  4 KiB history; a flag byte governs the next 8 items, lowest bit first: 1 is a literal
//          byte, 0 a match in two bytes, 12 bits of position (the low 8 bits, then the high 4 in
//          the upper half of the second byte) and 4 bits of length - 3.
// Positions are absolute places in a ring that writing enters at its size minus the longest
// match (2031, 4078). The -lzs- ring starts blank; the -lz5- ring holds the traditional fill
// (see LarcRing), so that matches can reach into it from the first byte on.
#pragma once

#include <cstdint>
#include <vector>

#include "archive/lha/error.h"
#include "archive/lha/packed_source.h"
#include "archive/lha/sink.h"

namespace sorabu::lha {

Error DecodeLzs(PackedSource& in, std::uint64_t out_size, ByteSink& out);
Error DecodeLz5(PackedSource& in, std::uint64_t out_size, ByteSink& out);

// The ring as it stands before the first byte: 2048 blanks for -lzs-; for -lz5- every byte value
// 13 times in a row from position 0 on, the values 0..255 ascending, then descending, 128 zeros
// and 128 blanks.
enum class LarcMethod { kLzs, kLz5 };
std::vector<unsigned char> LarcRing(LarcMethod method);

}  // namespace sorabu::lha
