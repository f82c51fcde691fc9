#include "archive/lha/huffman.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace sorabu::lha {
namespace {

long KraftSum(const std::vector<std::uint8_t>& len) {
  long sum = 0;
  for (auto l : len) {
    if (l != 0) sum += 1L << (kMaxCodeLength - l);
  }
  return sum;
}

TEST(HuffmanLengths, CompleteAndWithinLimit) {
  std::vector<std::uint32_t> fib(40);
  fib[0] = fib[1] = 1;
  for (std::size_t i = 2; i < fib.size(); ++i) fib[i] = fib[i - 1] + fib[i - 2];
  const struct {
    const char* what;
    std::vector<std::uint32_t> freq;
    int limit;
  } rows[] = {
      {"two symbols", {5, 0, 9}, 16},
      {"uniform", std::vector<std::uint32_t>(510, 3), 16},
      {"fibonacci needs flattening", fib, 16},
      {"fibonacci, tight limit", fib, 7},
      {"one dominant", {1000000, 1, 1, 1, 1, 1, 1}, 16},
  };
  for (const auto& r : rows) {
    std::vector<std::uint8_t> len(r.freq.size());
    BuildCodeLengths(r.freq.data(), static_cast<int>(r.freq.size()), r.limit, len.data());
    EXPECT_EQ(KraftSum(len), 1L << kMaxCodeLength) << r.what;
    for (std::size_t i = 0; i < len.size(); ++i) {
      EXPECT_LE(len[i], r.limit) << r.what;
      EXPECT_EQ(len[i] == 0, r.freq[i] == 0) << r.what << " symbol " << i;
    }
  }
}

TEST(HuffmanDecoder, RefusesOverSubscribedAndLongLengths) {
  const std::vector<std::uint8_t> three_of_one = {1, 1, 1};
  const std::vector<std::uint8_t> too_long = {1, 17};
  HuffmanDecoder d;
  EXPECT_FALSE(d.Build(three_of_one.data(), 3, 8));
  EXPECT_FALSE(d.Build(too_long.data(), 2, 8));
}

TEST(HuffmanDecoder, IncompleteCodeReportsUnusedCode) {
  const std::vector<std::uint8_t> len = {1, 0, 2};  // codes 0 and 10; 11 unused
  HuffmanDecoder d;
  ASSERT_TRUE(d.Build(len.data(), 3, 8));
  const std::string bits("\xC0", 1);  // 11......
  BitReader in(bits);
  EXPECT_EQ(d.Decode(in), -1);
}

TEST(HuffmanDecoder, RoundTripThroughCanonicalCodesIncludingLongCodes) {
  // Skewed frequencies produce codes longer than the primary table.
  std::vector<std::uint32_t> freq(300);
  std::mt19937 rng(3);
  for (std::size_t i = 0; i < freq.size(); ++i) freq[i] = i < 5 ? 100000 : 1 + rng() % 3;
  std::vector<std::uint8_t> len(freq.size());
  std::vector<std::uint16_t> code(freq.size());
  BuildCodeLengths(freq.data(), 300, 16, len.data());
  BuildCodes(len.data(), 300, code.data());
  std::vector<int> symbols;
  for (int i = 0; i < 5000; ++i) symbols.push_back(static_cast<int>(rng() % 300));
  std::string bytes;
  BitWriter w(bytes);
  for (int s : symbols) w.Put(len[static_cast<std::size_t>(s)], code[static_cast<std::size_t>(s)]);
  w.Flush();
  HuffmanDecoder d;
  ASSERT_TRUE(d.Build(len.data(), 300, 6));
  BitReader in(bytes);
  for (int s : symbols) ASSERT_EQ(d.Decode(in), s);
  EXPECT_FALSE(in.Overrun());
}

}  // namespace
}  // namespace sorabu::lha
