// Decoders for the stored and the static-Huffman LZSS methods (-lh4- .. -lh7-).
//
// Each decodes `in` until exactly `out_size` bytes came out, handing them to `out` in chunks.
// They never read outside `in`, never produce more than `out_size` bytes and hold no more than the
// history plus one chunk in memory, whatever the sizes claim.
#pragma once

#include <cstdint>
#include <string_view>

#include "archive/lha/error.h"
#include "archive/lha/packed_source.h"
#include "archive/lha/sink.h"

namespace sorabu::lha {

Error DecodeStored(PackedSource& in, std::uint64_t out_size, ByteSink& out);

// dict_bits: 12 (-lh4-), 13 (-lh5-), 15 (-lh6-), 16 (-lh7-).
template <int DictBits>
Error DecodeLzh(PackedSource& in, std::uint64_t out_size, ByteSink& out);

extern template Error DecodeLzh<12>(PackedSource&, std::uint64_t, ByteSink&);
extern template Error DecodeLzh<13>(PackedSource&, std::uint64_t, ByteSink&);
extern template Error DecodeLzh<15>(PackedSource&, std::uint64_t, ByteSink&);
extern template Error DecodeLzh<16>(PackedSource&, std::uint64_t, ByteSink&);

inline Error DecodeStored(std::string_view in, std::uint64_t out_size, ByteSink& out) {
  ViewSource source(in);
  return DecodeStored(source, out_size, out);
}
template <int DictBits>
Error DecodeLzh(std::string_view in, std::uint64_t out_size, ByteSink& out) {
  ViewSource source(in);
  return DecodeLzh<DictBits>(source, out_size, out);
}

}  // namespace sorabu::lha
