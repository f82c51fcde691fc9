// Output goes through the same linear buffer as in lzh_decoder.cpp: a blank-filled history, then
// one chunk. The adaptive code is driven only by decoded symbols, never by counts from the
// input, so a hostile stream can only pick paths through a valid tree; every symbol costs at
// least one bit, and running past the input is checked every 4 KiB of output.
#include "archive/lha/lh1_decoder.h"

#include <algorithm>
#include <memory>
#include <span>
#include <cstring>
#include <vector>

#include "archive/lha/adaptive_huffman.h"
#include "archive/lha/bit_io.h"

namespace sorabu::lha {
namespace {

constexpr std::size_t kHistory = 4096;
constexpr int kMinMatch = 3;

}  // namespace

Lh1UpperCode Lh1UpperFromByte(unsigned b) {
  // Groups of byte values: 32 per code of 3 bits, 16 per code of 4 bits, and so on.
  struct Group {
    unsigned first_byte, codes, length;
  };
  static constexpr Group kGroups[] = {{0x00, 1, 3}, {0x20, 3, 4}, {0x50, 8, 5}, {0x90, 12, 6}, {0xC0, 24, 7}, {0xF0, 16, 8}};
  unsigned upper = 0;
  for (const Group& g : kGroups) {
    const unsigned per_code = 1u << (8 - g.length);
    if (b < g.first_byte + g.codes * per_code) {
      return {static_cast<std::uint8_t>(upper + (b - g.first_byte) / per_code), static_cast<std::uint8_t>(g.length)};
    }
    upper += g.codes;
  }
  return {63, 8};
}

Error DecodeLh1(PackedSource& in, std::uint64_t out_size, ByteSink& out) {
  constexpr std::size_t kChunk = std::size_t{1} << 18;
  constexpr std::size_t kOverrunCheck = 4096;
  // A small entry needs no more room than itself. Only the history is filled in advance: the
  // rest is written before it is read.
  const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, out_size));
  const std::unique_ptr<unsigned char[]> storage(new unsigned char[kHistory + chunk + 64]);
  const std::span<unsigned char> buf(storage.get(), kHistory + chunk + 64);
  std::memset(buf.data(), ' ', kHistory);
  std::size_t pos = kHistory;
  std::uint64_t remaining = out_size;
  BitReader bits(in);
  AdaptiveHuffman tree;

  auto flush = [&]() -> bool {
    if (pos == kHistory) return true;
    if (!out.Write(std::string_view(reinterpret_cast<const char*>(buf.data() + kHistory), pos - kHistory))) return false;
    std::memmove(buf.data(), buf.data() + pos - kHistory, kHistory);
    pos = kHistory;
    return true;
  };

  std::size_t next_check = std::min(pos + kOverrunCheck, kHistory + chunk);
  while (remaining > 0) {
    int node = tree.Root();
    while (!AdaptiveHuffman::IsLeaf(node)) node = tree.Child(node, bits.Get(1));
    const int c = AdaptiveHuffman::Symbol(node);
    tree.Update(c);
    if (c < 256) {
      buf[pos++] = static_cast<unsigned char>(c);
      --remaining;
    } else {
      const auto len = static_cast<std::size_t>(
          std::min<std::uint64_t>(static_cast<std::uint64_t>(c - 256 + kMinMatch), remaining));
      const unsigned b = bits.Get(8);
      const Lh1UpperCode up = Lh1UpperFromByte(b);
      const unsigned more = up.length - 2u;
      const unsigned low = ((b << more) | bits.Get(static_cast<int>(more))) & 0x3Fu;
      const std::size_t dist = ((static_cast<std::size_t>(up.upper) << 6) | low) + 1;
      unsigned char* dst = buf.data() + pos;
      const unsigned char* src = dst - dist;
      for (std::size_t k = 0; k < len; ++k) dst[k] = src[k];
      pos += len;
      remaining -= len;
    }
    // A stream cut short reads as zero bits; it is noticed within a few KiB of output.
    if (pos >= next_check) {
      if (bits.Overrun()) return Error::kTruncated;
      if (pos >= kHistory + chunk && !flush()) return Error::kAborted;
      next_check = std::min(pos + kOverrunCheck, kHistory + chunk);
    }
  }
  if (bits.Overrun()) return Error::kTruncated;
  return flush() ? Error::kOk : Error::kAborted;
}

}  // namespace sorabu::lha
