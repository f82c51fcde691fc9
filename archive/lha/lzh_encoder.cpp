// The -lh5- encoder's front: picks the parser and owns the give-up rule.
//
// The lazy parser (deflate's): a match found at position i is only taken when position i+1 does
// not offer a longer one. Its blocks end at 65535 symbols (the format's 16-bit count) or earlier
// when the statistics of the last 4096 symbols drift from the rest of the block far enough that
// new code tables pay for their own cost (entropy estimate of both parts), so mixed input (text,
// then binary) does not share one poorly fitting code. The optimal parser (lzh_optimal.cpp)
// compresses better and is the default.
//
// Incompressible input is detected on the fly: once the output reaches the input's size the
// encoder gives up and the caller stores the data.
#include "archive/lha/lzh_encoder.h"

#include <cmath>
#include <vector>

#include "archive/lha/lz_matcher.h"
#include "archive/lha/lzh_block_writer.h"
#include "archive/lha/lzh_optimal.h"

namespace sorabu::lha {
namespace {

using lzh::BlockWriter;
using lzh::Symbol;

constexpr std::size_t kMaxBlockSymbols = 65535;
constexpr std::size_t kSplitCheck = 4096;

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

bool ParseLazy(std::string_view in, std::uint32_t history, const EncodeOptions& o, BlockWriter& writer) {
  const auto size = static_cast<std::uint32_t>(in.size());
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  BlockSplitter blocks(writer);
  lzh::Matcher matcher(in, o.nice_length);
  for (std::uint32_t q = 0; q < history; ++q) matcher.Insert(q);
  auto literal = [&](std::uint32_t pos) { blocks.Add(Symbol{p[pos], 0}); };
  auto match = [&](lzh::Match m) {
    blocks.Add(Symbol{static_cast<std::uint16_t>(256 + m.len - lzh::kMinMatch), static_cast<std::uint16_t>(m.dist)});
  };

  std::uint32_t pos = history;
  std::uint32_t next_check = history + 65536;
  bool have_prev = false;  // position pos-1 is waiting: a literal, or the start of `prev`
  lzh::Match prev{0, 0};
  while (pos < size) {
    lzh::Match cur{0, 0};
    if (!have_prev || prev.len < o.max_lazy) {
      const int chain = have_prev && prev.len >= o.good_length ? o.max_chain / 4 : o.max_chain;
      cur = matcher.Longest(pos, have_prev ? std::max(prev.len, lzh::kMinMatch - 1) : lzh::kMinMatch - 1, chain);
    }
    matcher.Insert(pos);
    if (have_prev && prev.len >= lzh::kMinMatch && cur.len <= prev.len) {
      match(prev);
      const std::uint32_t end = pos - 1 + static_cast<std::uint32_t>(prev.len);
      for (std::uint32_t q = pos + 1; q < end; ++q) matcher.Insert(q);
      pos = end;
      have_prev = false;
      prev = {0, 0};
    } else {
      if (have_prev) literal(pos - 1);
      have_prev = true;
      prev = cur;
      ++pos;
    }
    if (pos >= next_check) {
      next_check = pos + 65536;
      if (o.give_up_when_larger && writer.Bytes() >= in.size() - history) return false;
    }
  }
  if (have_prev) {
    if (prev.len >= lzh::kMinMatch) {
      match(prev);
    } else {
      literal(pos - 1);
    }
  }
  blocks.Finish();
  return true;
}

bool Parse(std::string_view in, std::uint32_t history, const EncodeOptions& o, BlockWriter& writer) {
  return o.optimal ? lzh::ParseOptimal(in, history, o, writer) : ParseLazy(in, history, o, writer);
}

}  // namespace

bool EncodeLh5(std::string_view in, std::string& out, const EncodeOptions& o) {
  if (in.size() >= 0xFFFFFFFFu) return false;
  std::string stream;
  BlockWriter writer(stream);
  const bool ok = Parse(in, 0, o, writer);
  if (!ok) return false;
  writer.Finish();
  if (o.give_up_when_larger && stream.size() >= in.size()) return false;
  out += stream;
  return true;
}

}  // namespace sorabu::lha

namespace sorabu::lha {

// The input is coded a piece at a time; each piece sees the end of the one before it as its
// dictionary, so matches reach across pieces as they would in one pass.
StreamResult EncodeLh5Stream(const Input& in, ByteSink& out, const EncodeOptions& o, std::uint64_t* packed_size) {
  constexpr std::size_t kPiece = std::size_t{4} << 20;
  constexpr std::size_t kHistory = std::size_t{1} << lzh::kEncDictBits;
  const std::uint64_t size = in.Size();
  if (size == 0 || size >= 0xFFFFFFFFu) return StreamResult::kNotSmaller;
  EncodeOptions inner = o;
  inner.give_up_when_larger = o.give_up_when_larger && size <= kPiece;  // one piece: as EncodeLh5
  std::string window, piece, stream;
  BlockWriter writer(stream);
  std::uint64_t done = 0, written = 0;
  auto flush = [&] {
    written += stream.size();
    const bool ok = stream.empty() || out.Write(stream);
    stream.clear();
    return ok;
  };
  while (done < size) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, size - done));
    if (window.size() > kHistory) window.erase(0, window.size() - kHistory);
    const auto history = static_cast<std::uint32_t>(window.size());
    if (!in.Read(done, n, piece)) return StreamResult::kReadFailed;
    window += piece;
    if (!Parse(window, history, inner, writer)) return StreamResult::kNotSmaller;
    done += n;
    if (!flush()) return StreamResult::kWriteFailed;
    if (o.give_up_when_larger && written >= done) return StreamResult::kNotSmaller;
  }
  writer.Finish();
  if (!flush()) return StreamResult::kWriteFailed;
  if (o.give_up_when_larger && written >= size) return StreamResult::kNotSmaller;
  if (packed_size != nullptr) *packed_size = written;
  return StreamResult::kPacked;
}

}  // namespace sorabu::lha
