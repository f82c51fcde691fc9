// The sort order: keys made on several cores into shared buffers must order lines exactly as one
// key per line through the locale's keyer does, ties kept in their order.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "textcmd/collation.h"
#include "textconv/cp932.h"

namespace sorabu::textcmd {
namespace {

std::vector<std::size_t> ByKeyer(const std::vector<std::string>& lines, const SortKeyer& keyer) {
  std::vector<std::string> keys;
  for (const auto& l : lines) keys.push_back(keyer(l));
  std::vector<std::size_t> order(lines.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  return order;
}

TEST(Collation, ParallelKeysOrderLikeOneKeyPerLine) {
  // Enough lines for the parallel path; many duplicates and case variants make ties.
  const std::vector<std::string> words = {"abc", "ABC", "Abd", "", "  ", textconv::Utf8ToCp932("日本語"),
                                          textconv::Utf8ToCp932("にほんご"), textconv::Utf8ToCp932("ﾆﾎﾝｺﾞ"),
                                          "z\x81", "\x81\x40x", "a\tb", "0010", "9"};
  std::mt19937 rng(7);
  std::vector<std::string> lines;
  for (int i = 0; i < 120000; ++i) {
    std::string line = words[rng() % words.size()];
    if (rng() % 3 == 0) line += words[rng() % words.size()];
    lines.push_back(line);
  }
  const std::vector<std::size_t> parallel = AscendingOrder(lines);
  const std::vector<std::size_t> single = ByKeyer(lines, LocaleSortKeyer());
  ASSERT_EQ(parallel.size(), single.size());
  EXPECT_TRUE(parallel == single);
}

// Mostly distinct lines, some repeated far apart (one key shared within a slice, separate keys
// across slices) and some differing only in case, which the order ties.
TEST(Collation, RepeatedLinesShareKeysWithoutChangingTheOrder) {
  std::mt19937 rng(11);
  std::vector<std::string> lines;
  for (int i = 0; i < 90000; ++i) {
    if (i > 0 && rng() % 4 == 0) {
      std::string again = lines[rng() % lines.size()];
      if (rng() % 2 == 0 && !again.empty() && again[0] >= 'a' && again[0] <= 'z') again[0] = static_cast<char>(again[0] - 32);
      lines.push_back(again);
      continue;
    }
    std::string line;
    for (int k = static_cast<int>(rng() % 12); k > 0; --k) line += static_cast<char>('a' + rng() % 6);
    lines.push_back(line);
  }
  EXPECT_TRUE(AscendingOrder(lines) == ByKeyer(lines, LocaleSortKeyer()));
}

TEST(Collation, TiesKeepTheirOrderAndCaseIsIgnored) {
  const std::vector<std::string> lines = {"b", "B", "a", "A", "b"};
  EXPECT_EQ(AscendingOrder(lines, FoldedKey), (std::vector<std::size_t>{2, 3, 0, 1, 4}));
  const std::vector<std::size_t> icu = AscendingOrder(lines);
  EXPECT_EQ(lines[icu[0]].front() | 0x20, 'a');
  EXPECT_EQ(lines[icu[4]].front() | 0x20, 'b');
}

}  // namespace
}  // namespace sorabu::textcmd
