// The -lh5- encoder.
//
// Matching: a 15-bit hash of the next three bytes heads a chain through the 8 KiB history (one
// link per position, indexed by position modulo the history size). Lazy matching as in deflate:
// a match found at position i is only taken when position i+1 does not offer a longer one.
// Length-3 matches far away cost more bits than three literals and are dropped.
//
// Blocks: symbols are gathered into blocks of at most 65535 (the format's 16-bit count). A block
// also ends early when the statistics of its recent part drift from those of the whole block far
// enough that new code tables pay for their own cost (checked every 4096 symbols with the
// entropy estimate of both parts); this keeps mixed input (text, then binary) from sharing one
// poorly fitting code.
//
// Incompressible input is detected on the fly: once the output reaches the input's size the
// encoder gives up and the caller stores the data.
#include "archive/lha/lzh_encoder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "archive/lha/bit_io.h"
#include "archive/lha/huffman.h"
#include "archive/lha/lzh_format.h"

namespace sorabu::lha {
namespace {

constexpr int kDictBits = 13;
constexpr std::uint32_t kWindow = 1u << kDictBits;
constexpr std::uint32_t kWindowMask = kWindow - 1;
constexpr std::uint32_t kMaxDistance = kWindow;  // position - candidate; coded as distance - 1
constexpr int kHashBits = 15;
constexpr std::uint32_t kHashSize = 1u << kHashBits;
constexpr int kNp = lzh::OffsetSymbols(kDictBits);
constexpr int kPbit = lzh::OffsetCountBits(kDictBits);
constexpr std::size_t kMaxBlockSymbols = 65535;
constexpr std::size_t kSplitCheck = 4096;
constexpr std::uint32_t kTooFarForThree = 2048;

struct Symbol {
  std::uint16_t code;  // 0..255 literal, 256.. match length - 3 + 256
  std::uint16_t dist;  // distance - 1, for matches
};

int OffsetSymbol(unsigned d) {
  int p = 0;
  while (d != 0) {
    ++p;
    d >>= 1;
  }
  return p;
}

class BlockWriter {
 public:
  explicit BlockWriter(std::string& out) : bits_(out) {}

  void Write(const Symbol* syms, std::size_t n) {
    std::uint32_t cfreq[lzh::kNumChar] = {};
    std::uint32_t pfreq[kNp] = {};
    for (std::size_t i = 0; i < n; ++i) {
      ++cfreq[syms[i].code];
      if (syms[i].code >= 256) ++pfreq[OffsetSymbol(syms[i].dist)];
    }
    std::uint8_t clen[lzh::kNumChar];
    std::uint8_t plen[kNp];
    std::uint16_t ccode[lzh::kNumChar];
    std::uint16_t pcode[kNp];
    BuildCodeLengths(cfreq, lzh::kNumChar, kMaxCodeLength, clen);
    BuildCodeLengths(pfreq, kNp, kMaxCodeLength, plen);
    const int cused = CountUsed(cfreq, lzh::kNumChar);
    const int pused = CountUsed(pfreq, kNp);
    bits_.Put(16, static_cast<std::uint32_t>(n));
    if (cused <= 1) {
      bits_.Put(lzh::kPtBits, 0);
      bits_.Put(lzh::kPtBits, 0);
      bits_.Put(lzh::kCharBits, 0);
      bits_.Put(lzh::kCharBits, static_cast<std::uint32_t>(FirstUsed(cfreq, lzh::kNumChar)));
      std::fill(std::begin(clen), std::end(clen), 0);
    } else {
      WriteCharLengths(clen);
    }
    if (pused <= 1) {
      bits_.Put(kPbit, 0);
      bits_.Put(kPbit, static_cast<std::uint32_t>(FirstUsed(pfreq, kNp)));
      std::fill(std::begin(plen), std::end(plen), 0);
    } else {
      WritePtLengths(plen, kNp, kPbit, -1);
    }
    BuildCodes(clen, lzh::kNumChar, ccode);
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

  void Finish() { bits_.Flush(); }
  std::size_t Bytes() const { return bits_.BytesSoFar(); }

 private:
  static int CountUsed(const std::uint32_t* f, int n) {
    return static_cast<int>(std::count_if(f, f + n, [](std::uint32_t v) { return v != 0; }));
  }
  static int FirstUsed(const std::uint32_t* f, int n) {
    for (int i = 0; i < n; ++i) {
      if (f[i] != 0) return i;
    }
    return 0;
  }

  // Lengths of the pt code or of the offset code: 3 bits, or 7 followed by a run of ones.
  void WritePtLengths(const std::uint8_t* len, int n, int count_bits, int special) {
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

  // The literal/length code lengths, sent through the pt code with runs of zeros folded.
  void WriteCharLengths(const std::uint8_t* clen) {
    int n = lzh::kNumChar;
    while (n > 0 && clen[n - 1] == 0) --n;
    std::uint32_t tfreq[lzh::kNumPt] = {};
    ForEachRun(clen, n, [&](int sym, int, int) { ++tfreq[sym]; });
    std::uint8_t tlen[lzh::kNumPt];
    std::uint16_t tcode[lzh::kNumPt];
    BuildCodeLengths(tfreq, lzh::kNumPt, kMaxCodeLength, tlen);
    if (CountUsed(tfreq, lzh::kNumPt) <= 1) {
      bits_.Put(lzh::kPtBits, 0);
      bits_.Put(lzh::kPtBits, static_cast<std::uint32_t>(FirstUsed(tfreq, lzh::kNumPt)));
      std::fill(std::begin(tlen), std::end(tlen), 0);
    } else {
      WritePtLengths(tlen, lzh::kNumPt, lzh::kPtBits, lzh::kPtSpecial);
    }
    BuildCodes(tlen, lzh::kNumPt, tcode);
    bits_.Put(lzh::kCharBits, static_cast<std::uint32_t>(n));
    ForEachRun(clen, n, [&](int sym, int extra_bits, int extra) {
      bits_.Put(tlen[sym], tcode[sym]);
      if (extra_bits > 0) bits_.Put(extra_bits, static_cast<std::uint32_t>(extra));
    });
  }

  // Calls f(pt symbol, extra bit count, extra value) for each item of the length sequence.
  template <typename F>
  static void ForEachRun(const std::uint8_t* clen, int n, F f) {
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
        f(2, lzh::kCharBits, count - 20);
      }
    }
  }

  BitWriter bits_;
};

// Estimated bits of coding a histogram with its own ideal code.
double EntropyBits(const std::uint32_t* f, int n) {
  double total = 0;
  for (int i = 0; i < n; ++i) total += f[i];
  if (total == 0) return 0;
  double bits = 0;
  for (int i = 0; i < n; ++i) {
    if (f[i] != 0) bits -= f[i] * std::log2(f[i] / total);
  }
  return bits;
}

class Matcher {
 public:
  Matcher(std::string_view in, const EncodeOptions& o)
      : p_(reinterpret_cast<const unsigned char*>(in.data())), size_(static_cast<std::uint32_t>(in.size())), o_(o),
        head_(kHashSize, 0), prev_(kWindow, 0) {}

  void Insert(std::uint32_t pos) {
    if (pos + lzh::kMinMatch > size_) return;
    const std::uint32_t h = Hash(pos);
    prev_[pos & kWindowMask] = head_[h];
    head_[h] = pos + 1;
  }

  // Longest match at pos better than `better_than`; returns its length (0 when none).
  int Find(std::uint32_t pos, int better_than, int chain, std::uint32_t& dist) const {
    if (pos + lzh::kMinMatch > size_) return 0;
    const int max_len = static_cast<int>(std::min<std::uint32_t>(lzh::kMaxMatch, size_ - pos));
    if (better_than >= max_len) return 0;
    int best = better_than;
    std::uint32_t link = head_[Hash(pos)];
    const unsigned char* cur = p_ + pos;
    while (link != 0 && chain-- > 0) {
      const std::uint32_t cand = link - 1;
      if (cand >= pos || pos - cand > kMaxDistance) break;
      const unsigned char* m = p_ + cand;
      if (m[best] == cur[best] && m[0] == cur[0] && m[1] == cur[1]) {
        int len = 2;
        while (len < max_len && m[len] == cur[len]) ++len;
        if (len > best && !(len == lzh::kMinMatch && pos - cand > kTooFarForThree)) {
          best = len;
          dist = pos - cand - 1;
          if (len >= o_.nice_length || len >= max_len) break;
        }
      }
      const std::uint32_t next = prev_[cand & kWindowMask];
      if (next >= link) break;
      link = next;
    }
    return best > better_than ? best : 0;
  }

 private:
  std::uint32_t Hash(std::uint32_t pos) const {
    return ((static_cast<std::uint32_t>(p_[pos]) << 10) ^ (static_cast<std::uint32_t>(p_[pos + 1]) << 5) ^
            p_[pos + 2]) & (kHashSize - 1);
  }

  const unsigned char* p_;
  std::uint32_t size_;
  const EncodeOptions& o_;
  std::vector<std::uint32_t> head_;  // position + 1, 0 for none
  std::vector<std::uint32_t> prev_;
};

// Gathers symbols and decides where blocks end.
class BlockSplitter {
 public:
  explicit BlockSplitter(BlockWriter& w) : w_(w) { syms_.reserve(kMaxBlockSymbols); }

  void Add(Symbol s) {
    syms_.push_back(s);
    if (syms_.size() % kSplitCheck == 0) {
      if (syms_.size() >= kMaxBlockSymbols - kSplitCheck) {
        Emit(syms_.size());
      } else if (syms_.size() >= 2 * kSplitCheck && ShouldSplit()) {
        Emit(syms_.size() - kSplitCheck);
      }
    }
  }
  void Finish() {
    if (!syms_.empty()) Emit(syms_.size());
  }

 private:
  // The last kSplitCheck symbols against everything before them in the block.
  bool ShouldSplit() const {
    std::uint32_t head[lzh::kNumChar] = {}, tail[lzh::kNumChar] = {}, all[lzh::kNumChar] = {};
    const std::size_t cut = syms_.size() - kSplitCheck;
    for (std::size_t i = 0; i < syms_.size(); ++i) {
      ++(i < cut ? head : tail)[syms_[i].code];
      ++all[syms_[i].code];
    }
    const double joint = EntropyBits(all, lzh::kNumChar);
    const double apart = EntropyBits(head, lzh::kNumChar) + EntropyBits(tail, lzh::kNumChar);
    constexpr double kTableCostBits = 600;
    return joint - apart > kTableCostBits;
  }

  void Emit(std::size_t n) {
    w_.Write(syms_.data(), n);
    syms_.erase(syms_.begin(), syms_.begin() + static_cast<std::ptrdiff_t>(n));
  }

  BlockWriter& w_;
  std::vector<Symbol> syms_;
};

}  // namespace

bool EncodeLh5(std::string_view in, std::string& out, const EncodeOptions& o) {
  if (in.size() >= 0xFFFFFFFFu) return false;
  const std::size_t start = out.size();
  const auto size = static_cast<std::uint32_t>(in.size());
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  std::string stream;
  BlockWriter writer(stream);
  BlockSplitter blocks(writer);
  Matcher matcher(in, o);

  auto literal = [&](std::uint32_t pos) { blocks.Add(Symbol{p[pos], 0}); };
  auto match = [&](int len, std::uint32_t dist) {
    blocks.Add(Symbol{static_cast<std::uint16_t>(256 + len - lzh::kMinMatch), static_cast<std::uint16_t>(dist)});
  };

  std::uint32_t pos = 0;
  int prev_len = 0;
  std::uint32_t prev_dist = 0;
  std::uint32_t next_check = 65536;
  bool have_prev = false;  // position pos-1 is waiting: literal or the start of prev_len
  while (pos < size) {
    std::uint32_t dist = 0;
    int len = 0;
    if (!have_prev || prev_len < o.max_lazy) {
      const int chain = have_prev && prev_len >= o.good_length ? o.max_chain / 4 : o.max_chain;
      len = matcher.Find(pos, have_prev ? std::max(prev_len, lzh::kMinMatch - 1) : lzh::kMinMatch - 1, chain, dist);
    }
    matcher.Insert(pos);
    if (have_prev && prev_len >= lzh::kMinMatch && len <= prev_len) {
      match(prev_len, prev_dist);
      const std::uint32_t end = pos - 1 + static_cast<std::uint32_t>(prev_len);
      for (std::uint32_t q = pos + 1; q < end; ++q) matcher.Insert(q);
      pos = end;
      have_prev = false;
      prev_len = 0;
    } else {
      if (have_prev) literal(pos - 1);
      have_prev = true;
      prev_len = len;
      prev_dist = dist;
      ++pos;
    }
    if (pos >= next_check) {
      next_check = pos + 65536;
      if (o.give_up_when_larger && writer.Bytes() >= in.size()) return false;
    }
  }
  if (have_prev) {
    if (prev_len >= lzh::kMinMatch) {
      match(prev_len, prev_dist);
    } else {
      literal(pos - 1);
    }
  }
  blocks.Finish();
  writer.Finish();
  if (o.give_up_when_larger && stream.size() >= in.size()) return false;
  out.resize(start);
  out += stream;
  return true;
}

}  // namespace sorabu::lha
