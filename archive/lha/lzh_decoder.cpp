// One template serves -lh4- .. -lh7-; they differ only in history size and hence in the number of
// offset symbols.
//
// Output goes into a linear buffer: the history, then room for one chunk. When the chunk is full
// it is handed to the sink and the last history-size bytes move to the front, so match copies
// never wrap. The history starts filled with blanks, as LHA's own decoders do, so a distance
// that points before the first byte yields blanks instead of an error or a stray read.
//
// Bad input: every count read from the stream is checked against its table before use; the bit
// reader feeds zeros past the end, and running past it is detected at each block and every 4 KiB of
// output, so a truncated or lying stream stops soon after its end.
#include "archive/lha/lzh_decoder.h"

#include <algorithm>
#include <memory>
#include <span>
#include <cstring>
#include <vector>

#include "archive/lha/bit_io.h"
#include "archive/lha/huffman.h"
#include "archive/lha/lzh_format.h"

namespace sorabu::lha {

Error DecodeStored(PackedSource& in, std::uint64_t out_size, ByteSink& out) {
  if (in.Size() < out_size) return Error::kTruncated;
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  std::uint64_t left = out_size;
  while (left > 0) {
    std::string_view piece = in.Next();
    if (piece.empty()) return Error::kTruncated;
    if (piece.size() > left) piece = piece.substr(0, static_cast<std::size_t>(left));
    left -= piece.size();
    while (!piece.empty()) {
      const std::size_t n = std::min(kChunk, piece.size());
      if (!out.Write(piece.substr(0, n))) return Error::kAborted;
      piece.remove_prefix(n);
    }
  }
  return Error::kOk;
}

namespace {

// Lengths of the pt code or the offset code: 3 bits each, 7 extended by a run of one bits.
Error ReadPtLengths(BitReader& in, int count, int count_bits, int special, HuffmanDecoder& dec) {
  const int n = static_cast<int>(in.Get(count_bits));
  if (n == 0) {
    const int c = static_cast<int>(in.Get(count_bits));
    if (c >= count) return Error::kBadHuffmanTable;
    dec.BuildConstant(c);
    return Error::kOk;
  }
  if (n > count) return Error::kBadHuffmanTable;
  std::uint8_t lengths[32] = {};
  int i = 0;
  while (i < n) {
    int c = static_cast<int>(in.Peek(3));
    if (c != 7) {
      in.Skip(3);
    } else {
      in.Skip(3);
      while (in.Get(1) == 1) {
        if (++c > kMaxCodeLength) return Error::kBadHuffmanTable;
      }
    }
    lengths[i++] = static_cast<std::uint8_t>(c);
    if (i == special) {
      int zeros = static_cast<int>(in.Get(2));
      if (i + zeros > count) return Error::kBadHuffmanTable;
      while (zeros-- > 0) lengths[i++] = 0;
    }
  }
  if (in.Overrun()) return Error::kTruncated;
  return dec.Build(lengths, count, 8) ? Error::kOk : Error::kBadHuffmanTable;
}

Error ReadCharLengths(BitReader& in, const HuffmanDecoder& pt, HuffmanDecoder& dec) {
  const int n = static_cast<int>(in.Get(lzh::kCharBits));
  if (n == 0) {
    const int c = static_cast<int>(in.Get(lzh::kCharBits));
    if (c >= lzh::kNumChar) return Error::kBadHuffmanTable;
    dec.BuildConstant(c);
    return Error::kOk;
  }
  if (n > lzh::kNumChar) return Error::kBadHuffmanTable;
  std::uint8_t lengths[lzh::kNumChar] = {};
  int i = 0;
  while (i < n) {
    const int c = pt.Decode(in);
    if (c < 0) return Error::kBadHuffmanTable;
    if (c <= 2) {
      int zeros = c == 0 ? 1 : c == 1 ? static_cast<int>(in.Get(4)) + 3
                                      : static_cast<int>(in.Get(lzh::kCharBits)) + 20;
      if (i + zeros > n) return Error::kBadHuffmanTable;
      while (zeros-- > 0) lengths[i++] = 0;
    } else {
      if (c - 2 > kMaxCodeLength) return Error::kBadHuffmanTable;
      lengths[i++] = static_cast<std::uint8_t>(c - 2);
    }
    if (in.Overrun()) return Error::kTruncated;
  }
  return dec.Build(lengths, lzh::kNumChar, 12) ? Error::kOk : Error::kBadHuffmanTable;
}

}  // namespace

template <int DictBits>
Error DecodeLzh(PackedSource& in, std::uint64_t out_size, ByteSink& out) {
  constexpr int kNp = lzh::OffsetSymbols(DictBits);
  constexpr int kPbit = lzh::OffsetCountBits(DictBits);
  // Large enough for the farthest distance the offset code can express, even where that is
  // beyond the nominal history (-lh4-).
  constexpr std::size_t kHistory = std::max<std::size_t>(std::size_t{1} << DictBits, std::size_t{1} << (kNp - 1));
  constexpr std::size_t kChunk = std::size_t{1} << 18;
  constexpr std::size_t kOverrunCheck = 4096;
  // A small entry needs no more room than itself. Only the history is filled in advance: the
  // rest is written before it is read.
  const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, out_size));
  const std::unique_ptr<unsigned char[]> storage(new unsigned char[kHistory + chunk + lzh::kMaxMatch]);
  const std::span<unsigned char> buf(storage.get(), kHistory + chunk + lzh::kMaxMatch);
  std::memset(buf.data(), ' ', kHistory);
  std::size_t pos = kHistory;
  std::uint64_t remaining = out_size;

  BitReader bits(in);
  HuffmanDecoder pt, chars, offsets;
  unsigned block_left = 0;

  auto flush = [&]() -> bool {
    if (pos == kHistory) return true;
    if (!out.Write(std::string_view(reinterpret_cast<const char*>(buf.data() + kHistory), pos - kHistory))) return false;
    std::memmove(buf.data(), buf.data() + pos - kHistory, kHistory);
    pos = kHistory;
    return true;
  };

  std::size_t next_check = std::min(pos + kOverrunCheck, kHistory + chunk);
  while (remaining > 0) {
    if (block_left == 0) {
      block_left = bits.Get(16);
      Error e = ReadPtLengths(bits, lzh::kNumPt, lzh::kPtBits, lzh::kPtSpecial, pt);
      if (e == Error::kOk) e = ReadCharLengths(bits, pt, chars);
      if (e == Error::kOk) e = ReadPtLengths(bits, kNp, kPbit, -1, offsets);
      if (e != Error::kOk) return e;
      if (bits.Overrun()) return Error::kTruncated;
      if (block_left == 0) continue;
    }
    --block_left;
    const int c = chars.Decode(bits);
    if (c < 0) return Error::kCorruptData;
    if (c < 256) {
      buf[pos++] = static_cast<unsigned char>(c);
      --remaining;
    } else {
      const auto len = static_cast<std::size_t>(std::min<std::uint64_t>(
          static_cast<std::uint64_t>(c - 256 + lzh::kMinMatch), remaining));
      const int p = offsets.Decode(bits);
      if (p < 0) return Error::kCorruptData;
      const std::size_t dist = (p <= 1 ? static_cast<std::size_t>(p)
                                       : (std::size_t{1} << (p - 1)) + bits.Get(p - 1)) + 1;
      // dist <= 2^(kNp-1) <= kHistory <= pos always holds; kept as a guard for the copy below.
      if (dist > pos) return Error::kCorruptData;
      unsigned char* dst = buf.data() + pos;
      const unsigned char* src = dst - dist;
      if (dist >= len) {
        std::memcpy(dst, src, len);
      } else {
        for (std::size_t k = 0; k < len; ++k) dst[k] = src[k];
      }
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

template Error DecodeLzh<12>(PackedSource&, std::uint64_t, ByteSink&);
template Error DecodeLzh<13>(PackedSource&, std::uint64_t, ByteSink&);
template Error DecodeLzh<15>(PackedSource&, std::uint64_t, ByteSink&);
template Error DecodeLzh<16>(PackedSource&, std::uint64_t, ByteSink&);

}  // namespace sorabu::lha
