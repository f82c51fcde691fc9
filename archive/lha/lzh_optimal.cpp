// Optimal parsing: the input is cut into segments of 128 Ki positions, each written as one block
// (or more, where it needs more than the format's 65535 symbols per block). Within a segment the
// cheapest sequence of literals and matches is a shortest path over positions, where taking a
// literal or a match of length l and distance d from position i leads to i+1 or i+l at the price
// of its codes.
//
// Prices come from symbol statistics: each segment is parsed with the prices of the previous one;
// the first segment, which has none, is parsed twice (plain estimates, then its own statistics).
// A second pass on every segment gained under 0.05% for 40% more time. At each position the hash
// chain yields the matches that are longer than all nearer ones, and every length up to a
// candidate's is tried with that candidate's (smallest) distance.
//
// Positions covered by a match of skip_length or more are not searched (only entered into the hash
// chains). This halves the time on text for about 0.2% of size, and keeps long runs linear.
// After the first segment, search and parse run in one sweep (a position's price is final when
// the sweep reaches it), so candidates need not be stored.
//
// Measured on 16 MiB of Shift-JIS manual pages (CPU time, same run): chain 8 gives 36.5% of the
// input in the time gzip -6 needs (jlha-utils: 37.0%); chain 16 36.4% at 1.05 times; the lazy
// parser 37.0% at 0.55.

#include "archive/lha/lzh_optimal.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "archive/lha/lz_matcher.h"

namespace sorabu::lha::lzh {
namespace {

// Longer segments mean fewer code tables; 128 Ki positions measured 0.07% smaller than 64 Ki.
constexpr std::size_t kSegment = std::size_t{1} << 17;
constexpr std::size_t kMaxBlockSymbols = 65535;
constexpr int kNp = OffsetSymbols(kEncDictBits);
constexpr std::uint32_t kScale = 16;  // prices in 1/16 bit

struct Prices {
  std::uint32_t code[kNumChar];
  std::uint32_t offset[kNp];  // including the extra bits

  void Estimate() {
    for (int i = 0; i < 256; ++i) code[i] = 8 * kScale;
    for (int i = 256; i < kNumChar; ++i) code[i] = (i - 256 < 8 ? 5u : 9u) * kScale;
    for (int p = 0; p < kNp; ++p) offset[p] = static_cast<std::uint32_t>(4 + (p > 1 ? p - 1 : 0)) * kScale;
  }

  void FromSymbols(const std::vector<Symbol>& syms) {
    std::uint32_t cf[kNumChar] = {};
    std::uint32_t pf[kNp] = {};
    for (const Symbol& s : syms) {
      ++cf[s.code];
      if (s.code >= 256) ++pf[OffsetSymbol(s.dist)];
    }
    Fill(cf, kNumChar, code);
    Fill(pf, kNp, offset);
    for (int p = 2; p < kNp; ++p) offset[p] += static_cast<std::uint32_t>(p - 1) * kScale;
  }

 private:
  // -log2 of the symbol's share, unseen symbols priced as a little rarer than the rarest.
  static void Fill(const std::uint32_t* f, int n, std::uint32_t* out) {
    double total = 0;
    for (int i = 0; i < n; ++i) total += f[i];
    total += 1;
    for (int i = 0; i < n; ++i) {
      const double bits = std::min(16.0, std::log2(total / (f[i] != 0 ? f[i] : 0.5)));
      out[i] = static_cast<std::uint32_t>(std::max(1.0, bits) * kScale);
    }
  }
};

class SegmentParser {
 public:
  SegmentParser(std::string_view in, const EncodeOptions& o)
      : p_(reinterpret_cast<const unsigned char*>(in.data())), o_(o), matcher_(in, o.nice_length) {}

  // Positions before `end` become dictionary only.
  void Prime(std::uint32_t end) {
    for (std::uint32_t pos = 0; pos < end; ++pos) matcher_.Insert(pos);
  }

  // Finds the candidates of positions [start, end).
  void Collect(std::uint32_t start, std::uint32_t end) {
    start_ = start;
    const std::uint32_t n = end - start;
    first_.assign(n + 1, 0);
    cands_.clear();
    std::uint32_t skip_until = start;
    for (std::uint32_t pos = start; pos < end; ++pos) {
      first_[pos - start] = static_cast<std::uint32_t>(cands_.size());
      if (pos >= skip_until) {
        int longest = 0;
        matcher_.WalkAndInsert(pos, kMinMatch - 1, o_.max_chain, [&](int len, std::uint32_t dist) {
          cands_.push_back(Match{len, dist});
          longest = len;
        });
        if (longest >= o_.skip_length) skip_until = pos + static_cast<std::uint32_t>(longest);
      } else {
        matcher_.Insert(pos);
      }
    }
    first_[n] = static_cast<std::uint32_t>(cands_.size());
  }

  // The cheapest parse of the collected segment under `prices`.
  void Parse(const Prices& prices, std::vector<Symbol>& out) {
    const std::uint32_t n = static_cast<std::uint32_t>(first_.size() - 1);
    Reset(n);
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint32_t here = nodes_[i].cost;
      RelaxLiteral(i, here, prices);
      int prev_len = kMinMatch - 1;
      for (std::uint32_t c = first_[i]; c < first_[i + 1]; ++c) prev_len = RelaxMatch(i, n, here, cands_[c], prev_len, prices);
    }
    Trace(n, out);
  }

  // Search and parse in one sweep over [start, end): every edge into a position comes from an
  // earlier one, so a position's price is final when the sweep reaches it.
  void SearchAndParse(std::uint32_t start, std::uint32_t end, const Prices& prices, std::vector<Symbol>& out) {
    start_ = start;
    const std::uint32_t n = end - start;
    Reset(n);
    std::uint32_t skip_until = start;
    for (std::uint32_t pos = start; pos < end; ++pos) {
      const std::uint32_t i = pos - start;
      const std::uint32_t here = nodes_[i].cost;
      RelaxLiteral(i, here, prices);
      if (pos >= skip_until) {
        int longest = 0;
        int prev_len = kMinMatch - 1;
        matcher_.WalkAndInsert(pos, kMinMatch - 1, o_.max_chain, [&](int len, std::uint32_t dist) {
          prev_len = RelaxMatch(i, n, here, Match{len, dist}, prev_len, prices);
          longest = len;
        });
        if (longest >= o_.skip_length) skip_until = pos + static_cast<std::uint32_t>(longest);
      } else {
        matcher_.Insert(pos);
      }
    }
    Trace(n, out);
  }

 private:
  void Reset(std::uint32_t n) {
    nodes_.assign(n + 1, Node{std::numeric_limits<std::uint32_t>::max(), 0, 0});
    nodes_[0].cost = 0;
  }

  void RelaxLiteral(std::uint32_t i, std::uint32_t here, const Prices& prices) {
    const std::uint32_t lit = here + prices.code[p_[start_ + i]];
    if (lit < nodes_[i + 1].cost) nodes_[i + 1] = Node{lit, 1, 0};
  }

  // Tries the lengths of candidate m not covered by the shorter (nearer) candidates before it;
  // returns the longest length tried so far.
  int RelaxMatch(std::uint32_t i, std::uint32_t n, std::uint32_t here, Match m, int prev_len, const Prices& prices) {
    const std::uint32_t base = here + prices.offset[OffsetSymbol(m.dist)];
    const int top = static_cast<int>(std::min<std::uint32_t>(static_cast<std::uint32_t>(m.len), n - i));
    // A long candidate is only tried at its full length: shorter cuts rarely pay.
    const int from_len = m.len >= o_.nice_length ? top : prev_len + 1;
    const std::uint32_t* length_price = prices.code + 256 - kMinMatch;
    Node* to = nodes_.data() + i;
    for (int l = from_len; l <= top; ++l) {
      const std::uint32_t v = base + length_price[l];
      if (v < to[l].cost) to[l] = Node{v, static_cast<std::uint16_t>(l), static_cast<std::uint16_t>(m.dist)};
    }
    return std::max(prev_len, top);
  }

  void Trace(std::uint32_t n, std::vector<Symbol>& out) const {
    out.clear();
    for (std::uint32_t at = n; at > 0;) {
      const Node m = nodes_[at];
      if (m.len == 1) {
        out.push_back(Symbol{p_[start_ + at - 1], 0});
        at -= 1;
      } else {
        out.push_back(Symbol{static_cast<std::uint16_t>(256 + m.len - kMinMatch), m.dist});
        at -= m.len;
      }
    }
    std::reverse(out.begin(), out.end());
  }

  const unsigned char* p_;
  const EncodeOptions& o_;
  Matcher matcher_;
  std::uint32_t start_ = 0;
  std::vector<std::uint32_t> first_;
  std::vector<Match> cands_;
  struct Node {
    std::uint32_t cost;
    std::uint16_t len;   // 1: literal
    std::uint16_t dist;  // distance - 1
  };
  std::vector<Node> nodes_;
};

}  // namespace

bool ParseOptimal(std::string_view in, std::uint32_t history, const EncodeOptions& o, BlockWriter& w) {
  const auto size = static_cast<std::uint32_t>(in.size());
  SegmentParser parser(in, o);
  parser.Prime(history);
  Prices prices;
  prices.Estimate();
  std::vector<Symbol> syms;
  for (std::uint32_t start = history; start < size;) {
    const std::uint32_t end = static_cast<std::uint32_t>(std::min<std::size_t>(size, start + kSegment));
    if (start == history) {
      // No prices yet: parse with estimates, then again with the statistics of that parse.
      parser.Collect(start, end);
      parser.Parse(prices, syms);
      prices.FromSymbols(syms);
      parser.Parse(prices, syms);
    } else {
      parser.SearchAndParse(start, end, prices, syms);
    }
    for (std::size_t k = 0; k < syms.size(); k += kMaxBlockSymbols) {
      w.Write(syms.data() + k, std::min(kMaxBlockSymbols, syms.size() - k));
    }
    prices.FromSymbols(syms);
    if (o.give_up_when_larger && w.Bytes() >= end - history) return false;
    start = end;
  }
  return true;
}

}  // namespace sorabu::lha::lzh
