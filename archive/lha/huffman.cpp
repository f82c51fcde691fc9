// Lengths come from the classic two-queue Huffman construction over sorted frequencies. When a
// length exceeds the limit the frequencies are flattened (halved, kept non-zero) and the tree is
// built again: rarely needed with 16-bit limits and blocks of at most 65535 symbols, and always
// ends because equal frequencies give a balanced tree.
#include "archive/lha/huffman.h"

#include <algorithm>
#include <numeric>

namespace sorabu::lha {

namespace {

// What Build works in besides the table it keeps, held per thread: an archive builds three
// tables per block, and allocating and clearing these each time cost more than the build itself.
struct BuildScratch {
  std::vector<std::uint32_t> codes;
  std::vector<std::uint8_t> sub_bits;  // all zero between builds
  std::vector<std::uint32_t> offsets;
  std::vector<std::uint32_t> long_prefixes;
};

BuildScratch& Scratch() {
  thread_local BuildScratch scratch;
  return scratch;
}

}  // namespace

bool HuffmanDecoder::Build(const std::uint8_t* lengths, int count, int primary_bits) {
  constant_ = -1;
  primary_bits_ = primary_bits;
  int per_length[kMaxCodeLength + 1] = {};
  for (int i = 0; i < count; ++i) {
    if (lengths[i] > kMaxCodeLength) return false;
    ++per_length[lengths[i]];
  }
  long left = 1;
  for (int l = 1; l <= kMaxCodeLength; ++l) {
    left = (left << 1) - per_length[l];
    if (left < 0) return false;
  }
  std::uint32_t next[kMaxCodeLength + 2] = {};
  for (int l = 1; l <= kMaxCodeLength; ++l) {
    next[l + 1] = (next[l] + static_cast<std::uint32_t>(per_length[l])) << 1;
  }
  BuildScratch& scratch = Scratch();
  // Only the codes of used symbols are written and read.
  std::vector<std::uint32_t>& codes = scratch.codes;
  if (codes.size() < static_cast<std::size_t>(count)) codes.resize(static_cast<std::size_t>(count));
  // Codes longer than the primary table go to second-level tables, one per primary prefix that
  // has any; only those prefixes are visited below, not the whole primary range.
  std::vector<std::uint8_t>& sub_bits = scratch.sub_bits;
  if (sub_bits.size() < (std::size_t{1} << primary_bits)) sub_bits.resize(std::size_t{1} << primary_bits, 0);
  std::vector<std::uint32_t>& long_prefixes = scratch.long_prefixes;
  long_prefixes.clear();
  // Put back to zero whatever the build marks, even when the table's allocation throws.
  struct Clear {
    BuildScratch& s;
    ~Clear() {
      for (const std::uint32_t p : s.long_prefixes) s.sub_bits[p] = 0;
    }
  } clear{scratch};
  for (int i = 0; i < count; ++i) {
    const int len = lengths[i];
    if (len == 0) continue;
    codes[static_cast<std::size_t>(i)] = next[len]++;
    if (len > primary_bits) {
      const std::uint32_t prefix = codes[static_cast<std::size_t>(i)] >> (len - primary_bits);
      std::uint8_t& sb = sub_bits[prefix];
      if (sb == 0) long_prefixes.push_back(prefix);
      sb = static_cast<std::uint8_t>(std::max(static_cast<int>(sb), len - primary_bits));
    }
  }
  std::sort(long_prefixes.begin(), long_prefixes.end());
  std::size_t size = std::size_t{1} << primary_bits;
  std::vector<std::uint32_t>& offsets = scratch.offsets;  // read only at the long prefixes
  if (offsets.size() < sub_bits.size()) offsets.resize(sub_bits.size());
  for (const std::uint32_t p : long_prefixes) {
    offsets[p] = static_cast<std::uint32_t>(size);
    size += std::size_t{1} << sub_bits[p];
  }
  table_.assign(size, 0);
  for (const std::uint32_t p : long_prefixes) {
    table_[p] = (offsets[p] << 8) | kSubFlag | static_cast<std::uint32_t>(sub_bits[p]);
  }
  for (int i = 0; i < count; ++i) {
    const int len = lengths[i];
    if (len == 0) continue;
    const std::uint32_t code = codes[static_cast<std::size_t>(i)];
    const std::uint32_t entry = (static_cast<std::uint32_t>(i) << 8) | static_cast<std::uint32_t>(len);
    if (len <= primary_bits) {
      const std::size_t first = static_cast<std::size_t>(code) << (primary_bits - len);
      const std::size_t n = std::size_t{1} << (primary_bits - len);
      std::fill_n(table_.begin() + static_cast<std::ptrdiff_t>(first), n, entry);
    } else {
      const std::uint32_t prefix = code >> (len - primary_bits);
      const int sb = sub_bits[prefix];
      const std::uint32_t low = code & ((1u << (len - primary_bits)) - 1u);
      const std::size_t first = offsets[prefix] + (static_cast<std::size_t>(low) << (sb - (len - primary_bits)));
      const std::size_t n = std::size_t{1} << (sb - (len - primary_bits));
      std::fill_n(table_.begin() + static_cast<std::ptrdiff_t>(first), n, entry);
    }
  }
  return true;
}

void HuffmanDecoder::BuildConstant(int symbol) {
  constant_ = symbol;
  table_.clear();
}

namespace {

// Lengths of an optimal code for the used symbols (sorted by frequency), without limit.
void OptimalLengths(const std::vector<std::pair<std::uint32_t, int>>& sorted, std::vector<int>& depth) {
  const std::size_t n = sorted.size();
  // Nodes 0..n-1 are leaves, n.. are internal; two queues give O(n) after sorting.
  std::vector<std::uint64_t> weight(2 * n);
  std::vector<std::size_t> parent(2 * n, 0);
  for (std::size_t i = 0; i < n; ++i) weight[i] = sorted[i].first;
  std::size_t leaf = 0, inner = n, next = n;
  auto take = [&]() {
    if (leaf < n && (inner >= next || weight[leaf] <= weight[inner])) return leaf++;
    return inner++;
  };
  while (next < 2 * n - 1) {
    const std::size_t a = take();
    const std::size_t b = take();
    weight[next] = weight[a] + weight[b];
    parent[a] = next;
    parent[b] = next;
    ++next;
  }
  depth.assign(2 * n - 1, 0);
  for (std::size_t i = 2 * n - 2; i-- > 0;) depth[i] = depth[parent[i]] + 1;
}

}  // namespace

void BuildCodeLengths(const std::uint32_t* freq, int count, int max_length, std::uint8_t* lengths) {
  std::vector<std::pair<std::uint32_t, int>> used;
  for (int i = 0; i < count; ++i) {
    lengths[i] = 0;
    if (freq[i] != 0) used.emplace_back(freq[i], i);
  }
  if (used.size() < 2) {
    for (const auto& u : used) lengths[u.second] = 1;
    return;
  }
  std::vector<int> depth;
  for (;;) {
    std::sort(used.begin(), used.end());
    OptimalLengths(used, depth);
    int deepest = 0;
    for (std::size_t i = 0; i < used.size(); ++i) deepest = std::max(deepest, depth[i]);
    if (deepest <= max_length) break;
    for (auto& u : used) u.first = (u.first >> 1) | 1u;
  }
  for (std::size_t i = 0; i < used.size(); ++i) {
    lengths[used[i].second] = static_cast<std::uint8_t>(depth[i]);
  }
}

void BuildCodes(const std::uint8_t* lengths, int count, std::uint16_t* codes) {
  int per_length[kMaxCodeLength + 1] = {};
  for (int i = 0; i < count; ++i) ++per_length[lengths[i]];
  per_length[0] = 0;
  std::uint32_t next[kMaxCodeLength + 2] = {};
  for (int l = 1; l <= kMaxCodeLength; ++l) {
    next[l + 1] = (next[l] + static_cast<std::uint32_t>(per_length[l])) << 1;
  }
  for (int i = 0; i < count; ++i) {
    codes[i] = lengths[i] == 0 ? 0 : static_cast<std::uint16_t>(next[lengths[i]]++);
  }
}

}  // namespace sorabu::lha
