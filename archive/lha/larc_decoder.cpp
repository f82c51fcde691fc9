// Both methods share the ring and the output loop; they differ only in how an item is read.
// Every bit pattern is a valid stream (a position always lies inside the ring), so damage shows
// as a CRC mismatch, and a stream that ends early as bits read past the end, checked per chunk.
#include "archive/lha/larc_decoder.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "archive/lha/bit_io.h"

namespace sorabu::lha {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 18;

struct Item {
  bool literal;
  unsigned value;   // the byte, or the match's position in the ring
  unsigned length;  // of a match
};

template <typename NextItem>
Error Expand(LarcMethod method, BitReader& bits, std::uint64_t out_size, ByteSink& out, NextItem next) {
  std::vector<unsigned char> ring = LarcRing(method);
  const std::size_t mask = ring.size() - 1;
  std::size_t r = ring.size() - (method == LarcMethod::kLzs ? 17 : 18);
  std::string chunk;
  chunk.reserve(kChunk + 32);
  auto put = [&](unsigned char c) {
    ring[r] = c;
    r = (r + 1) & mask;
    chunk.push_back(static_cast<char>(c));
  };
  std::uint64_t remaining = out_size;
  while (remaining > 0) {
    const Item item = next();
    if (item.literal) {
      put(static_cast<unsigned char>(item.value));
      --remaining;
    } else {
      // Byte by byte: a match may overlap the bytes it writes.
      const auto len = static_cast<unsigned>(std::min<std::uint64_t>(item.length, remaining));
      for (unsigned k = 0; k < len; ++k) put(ring[(item.value + k) & mask]);
      remaining -= len;
    }
    if (chunk.size() >= kChunk) {
      if (bits.Overrun()) return Error::kTruncated;
      if (!out.Write(chunk)) return Error::kAborted;
      chunk.clear();
    }
  }
  if (bits.Overrun()) return Error::kTruncated;
  return chunk.empty() || out.Write(chunk) ? Error::kOk : Error::kAborted;
}

}  // namespace

std::vector<unsigned char> LarcRing(LarcMethod method) {
  if (method == LarcMethod::kLzs) return std::vector<unsigned char>(2048, ' ');
  std::vector<unsigned char> ring(4096, ' ');
  std::size_t p = 0;
  for (unsigned v = 0; v < 256; ++v, p += 13) std::memset(ring.data() + p, static_cast<int>(v), 13);
  for (unsigned v = 0; v < 256; ++v) ring[p++] = static_cast<unsigned char>(v);
  for (unsigned v = 0; v < 256; ++v) ring[p++] = static_cast<unsigned char>(255 - v);
  std::memset(ring.data() + p, 0, 128);
  return ring;
}

Error DecodeLzs(PackedSource& in, std::uint64_t out_size, ByteSink& out) {
  BitReader bits(in);
  return Expand(LarcMethod::kLzs, bits, out_size, out, [&bits]() -> Item {
    if (bits.Get(1) != 0) return {true, bits.Get(8), 0};
    const unsigned position = bits.Get(11);
    return {false, position, bits.Get(4) + 2};
  });
}

Error DecodeLz5(PackedSource& in, std::uint64_t out_size, ByteSink& out) {
  BitReader bits(in);
  unsigned flags = 0;  // the flag byte shifted down, with a marker bit above its remaining bits
  return Expand(LarcMethod::kLz5, bits, out_size, out, [&bits, &flags]() -> Item {
    flags >>= 1;
    if (flags < 2) flags = bits.Get(8) | 0x100u;
    const bool literal = (flags & 1u) != 0;
    const unsigned b1 = bits.Get(8);
    if (literal) return {true, b1, 0};
    const unsigned b2 = bits.Get(8);
    return {false, b1 | ((b2 & 0xF0u) << 4), (b2 & 0x0Fu) + 3};
  });
}

}  // namespace sorabu::lha
