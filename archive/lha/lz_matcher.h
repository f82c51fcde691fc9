// Hash-chain match finder over the 8 KiB history of -lh5-.
//
// A 15-bit hash of the next three bytes heads a chain through earlier positions with the same
// hash (one link per position, indexed by position modulo the history size, so links older than
// the history are overwritten and the walk stops where they would be). Positions are absolute
// offsets into the whole input, which is in memory.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "archive/lha/lzh_block_writer.h"
#include "archive/lha/lzh_format.h"

namespace sorabu::lha::lzh {

struct Match {
  int len;
  std::uint32_t dist;  // distance - 1, as coded
};

class Matcher {
 public:
  static constexpr std::uint32_t kWindow = 1u << kEncDictBits;
  // Length-3 matches this far away cost more bits than three literals.
  static constexpr std::uint32_t kTooFarForThree = 4096;

  Matcher(std::string_view in, int nice_length)
      : p_(reinterpret_cast<const unsigned char*>(in.data())), size_(static_cast<std::uint32_t>(in.size())),
        nice_(nice_length), bits_(HashBits(in.size())), head_(std::size_t{1} << bits_, 0),
        prev_(std::min<std::size_t>(kWindow, std::bit_ceil(std::max<std::size_t>(in.size(), 1))), 0),
        head3_(std::size_t{1} << bits_, 0) {}

  void Insert(std::uint32_t pos) {
    if (pos + kMinMatch > size_) return;
    head3_[Hash(pos)] = pos + 1;
    if (pos + 4 > size_) return;
    const std::uint32_t h = Hash4(pos);
    prev_[pos & (kWindow - 1)] = head_[h];
    head_[h] = pos + 1;
  }

  // Walks the chain at pos (before pos is inserted) and calls found(len, dist) for every match
  // longer than all before it, shortest first; stops at nice_length, the end of the input or
  // after `chain` candidates. Matches must be longer than better_than.
  template <typename F>
  void Walk(std::uint32_t pos, int better_than, int chain, F found) const {
    if (pos + kMinMatch > size_) return;
    WalkHashed(pos, better_than, chain, Hash(pos), pos + 4 <= size_ ? Hash4(pos) : 0, found);
  }

 private:
  template <typename F>
  void WalkHashed(std::uint32_t pos, int better_than, int chain, std::uint32_t h3, std::uint32_t h4, F found) const {
    if (pos + kMinMatch > size_) return;
    const int max_len = static_cast<int>(std::min<std::uint32_t>(kMaxMatch, size_ - pos));
    if (better_than >= max_len) return;
    int best = better_than;
    const unsigned char* cur = p_ + pos;
    // The nearest position with the same three bytes: the only length-3 candidate tried; the
    // chain itself links positions with the same four bytes, which keeps it short.
    if (const std::uint32_t l3 = head3_[h3]; l3 != 0 && best < kMinMatch) {
      const std::uint32_t cand = l3 - 1;
      if (cand < pos && pos - cand <= kTooFarForThree && p_[cand] == cur[0] && p_[cand + 1] == cur[1] &&
          p_[cand + 2] == cur[2]) {
        const int len = 3 + MatchLength(p_ + cand + 3, cur + 3, max_len - 3);
        best = len;
        found(len, pos - cand - 1);
        if (len >= nice_ || len >= max_len) return;
      }
    }
    if (pos + 4 > size_) return;
    std::uint32_t link = head_[h4];
    while (link != 0 && chain-- > 0) {
      const std::uint32_t cand = link - 1;
      if (cand >= pos || pos - cand > kWindow) break;
      const unsigned char* m = p_ + cand;
      if (m[best] == cur[best] && m[0] == cur[0] && m[1] == cur[1]) {
        const int len = 2 + MatchLength(m + 2, cur + 2, max_len - 2);
        if (len > best && !(len == kMinMatch && pos - cand > kTooFarForThree)) {
          best = len;
          found(len, pos - cand - 1);
          if (len >= nice_ || len >= max_len) break;
        }
      }
      const std::uint32_t next = prev_[cand & (kWindow - 1)];
      if (next >= link) break;
      link = next;
    }
  }

 public:
  // Walk, then Insert, hashing the position once.
  template <typename F>
  void WalkAndInsert(std::uint32_t pos, int better_than, int chain, F found) {
    if (pos + 4 > size_) {
      Walk(pos, better_than, chain, found);
      Insert(pos);
      return;
    }
    const std::uint32_t h3 = Hash(pos), h4 = Hash4(pos);
    WalkHashed(pos, better_than, chain, h3, h4, found);
    head3_[h3] = pos + 1;
    prev_[pos & (kWindow - 1)] = head_[h4];
    head_[h4] = pos + 1;
  }

  // The longest match, or len 0.
  Match Longest(std::uint32_t pos, int better_than, int chain) const {
    Match best{0, 0};
    Walk(pos, better_than, chain, [&](int len, std::uint32_t dist) { best = {len, dist}; });
    return best;
  }

 private:
  static constexpr int kMaxHashBits = 15;

  // A small input gets small tables (twice its size), which are cheaper to set up; from 16 KiB on
  // every input gets the full ones.
  static int HashBits(std::size_t size) {
    int bits = 10;
    while (bits < kMaxHashBits && (std::size_t{1} << bits) < 2 * size) ++bits;
    return bits;
  }

  // Common prefix length of a and b, at most limit; eight bytes per step. The last steps fall back
  // to single bytes so nothing past a + limit or b + limit is read.
  static int MatchLength(const unsigned char* a, const unsigned char* b, int limit) {
    int n = 0;
    while (n + 8 <= limit) {
      std::uint64_t x, y;
      std::memcpy(&x, a + n, 8);
      std::memcpy(&y, b + n, 8);
      if (x != y) return n + (__builtin_ctzll(x ^ y) >> 3);
      n += 8;
    }
    while (n < limit && a[n] == b[n]) ++n;
    return n;
  }

  std::uint32_t Hash4(std::uint32_t pos) const {
    std::uint32_t v;
    std::memcpy(&v, p_ + pos, 4);
    return (v * 2654435761u) >> (32 - bits_);
  }
  // A 15-bit value, folded onto the table's size (unchanged at full size).
  std::uint32_t Hash(std::uint32_t pos) const {
    const std::uint32_t h = (static_cast<std::uint32_t>(p_[pos]) << 10) ^ (static_cast<std::uint32_t>(p_[pos + 1]) << 5) ^
                            p_[pos + 2];
    return (h ^ (h >> bits_)) & ((1u << bits_) - 1);
  }

  const unsigned char* p_;
  std::uint32_t size_;
  int nice_;
  int bits_;
  std::vector<std::uint32_t> head_;  // position + 1, 0 for none
  std::vector<std::uint32_t> prev_;
  std::vector<std::uint32_t> head3_;
};

}  // namespace sorabu::lha::lzh
