// Code lengths are limited to 16 bits (the decoder's table limit); a table with a single used
// symbol is sent in the format's constant form, which costs no bits per symbol.
#include "archive/lha/lzh_block_writer.h"

#include <algorithm>

#include "archive/lha/huffman.h"
#include "archive/lha/lzh_format.h"

namespace sorabu::lha::lzh {
namespace {

constexpr int kNp = OffsetSymbols(kEncDictBits);
constexpr int kPbit = OffsetCountBits(kEncDictBits);

int CountUsed(const std::uint32_t* f, int n) {
  return static_cast<int>(std::count_if(f, f + n, [](std::uint32_t v) { return v != 0; }));
}

int FirstUsed(const std::uint32_t* f, int n) {
  for (int i = 0; i < n; ++i) {
    if (f[i] != 0) return i;
  }
  return 0;
}

// Calls f(pt symbol, extra bit count, extra value) for each item of the literal/length code
// lengths: a length k as symbol k+2, runs of zeros folded into symbols 0, 1 and 2.
template <typename F>
void ForEachRun(const std::uint8_t* clen, int n, F f) {
  int i = 0;
  while (i < n) {
    const int k = clen[i++];
    if (k != 0) {
      f(k + 2, 0, 0);
      continue;
    }
    int count = 1;
    while (i < n && clen[i] == 0) {
      ++i;
      ++count;
    }
    if (count <= 2) {
      for (int j = 0; j < count; ++j) f(0, 0, 0);
    } else if (count <= 18) {
      f(1, 4, count - 3);
    } else if (count == 19) {
      f(0, 0, 0);
      f(1, 4, 15);
    } else {
      f(2, kCharBits, count - 20);
    }
  }
}

}  // namespace

void BlockWriter::Write(const Symbol* syms, std::size_t n) {
  std::uint32_t cfreq[kNumChar] = {};
  std::uint32_t pfreq[kNp] = {};
  for (std::size_t i = 0; i < n; ++i) {
    ++cfreq[syms[i].code];
    if (syms[i].code >= 256) ++pfreq[OffsetSymbol(syms[i].dist)];
  }
  std::uint8_t clen[kNumChar];
  std::uint8_t plen[kNp];
  std::uint16_t ccode[kNumChar];
  std::uint16_t pcode[kNp];
  BuildCodeLengths(cfreq, kNumChar, kMaxCodeLength, clen);
  BuildCodeLengths(pfreq, kNp, kMaxCodeLength, plen);
  bits_.Put(16, static_cast<std::uint32_t>(n));
  if (CountUsed(cfreq, kNumChar) <= 1) {
    bits_.Put(kPtBits, 0);
    bits_.Put(kPtBits, 0);
    bits_.Put(kCharBits, 0);
    bits_.Put(kCharBits, static_cast<std::uint32_t>(FirstUsed(cfreq, kNumChar)));
    std::fill(std::begin(clen), std::end(clen), 0);
  } else {
    WriteCharLengths(clen);
  }
  if (CountUsed(pfreq, kNp) <= 1) {
    bits_.Put(kPbit, 0);
    bits_.Put(kPbit, static_cast<std::uint32_t>(FirstUsed(pfreq, kNp)));
    std::fill(std::begin(plen), std::end(plen), 0);
  } else {
    WritePtLengths(plen, kNp, kPbit, -1);
  }
  BuildCodes(clen, kNumChar, ccode);
  BuildCodes(plen, kNp, pcode);
  for (std::size_t i = 0; i < n; ++i) {
    const Symbol s = syms[i];
    bits_.Put(clen[s.code], ccode[s.code]);
    if (s.code >= 256) {
      const int p = OffsetSymbol(s.dist);
      bits_.Put(plen[p], pcode[p]);
      if (p > 1) bits_.Put(p - 1, s.dist - (1u << (p - 1)));
    }
  }
}

// Lengths of the pt code or of the offset code: 3 bits, or 7 followed by a run of ones.
void BlockWriter::WritePtLengths(const std::uint8_t* len, int n, int count_bits, int special) {
  while (n > 0 && len[n - 1] == 0) --n;
  bits_.Put(count_bits, static_cast<std::uint32_t>(n));
  int i = 0;
  while (i < n) {
    const int k = len[i++];
    if (k <= 6) {
      bits_.Put(3, static_cast<std::uint32_t>(k));
    } else {
      bits_.Put(k - 3, (1u << (k - 3)) - 2);
    }
    if (i == special) {
      while (i < 6 && len[i] == 0) ++i;
      bits_.Put(2, static_cast<std::uint32_t>(i - 3));
    }
  }
}

void BlockWriter::WriteCharLengths(const std::uint8_t* clen) {
  int n = kNumChar;
  while (n > 0 && clen[n - 1] == 0) --n;
  std::uint32_t tfreq[kNumPt] = {};
  ForEachRun(clen, n, [&](int sym, int, int) { ++tfreq[sym]; });
  std::uint8_t tlen[kNumPt];
  std::uint16_t tcode[kNumPt];
  BuildCodeLengths(tfreq, kNumPt, kMaxCodeLength, tlen);
  if (CountUsed(tfreq, kNumPt) <= 1) {
    bits_.Put(kPtBits, 0);
    bits_.Put(kPtBits, static_cast<std::uint32_t>(FirstUsed(tfreq, kNumPt)));
    std::fill(std::begin(tlen), std::end(tlen), 0);
  } else {
    WritePtLengths(tlen, kNumPt, kPtBits, kPtSpecial);
  }
  BuildCodes(tlen, kNumPt, tcode);
  bits_.Put(kCharBits, static_cast<std::uint32_t>(n));
  ForEachRun(clen, n, [&](int sym, int extra_bits, int extra) {
    bits_.Put(tlen[sym], tcode[sym]);
    if (extra_bits > 0) bits_.Put(extra_bits, static_cast<std::uint32_t>(extra));
  });
}

}  // namespace sorabu::lha::lzh
