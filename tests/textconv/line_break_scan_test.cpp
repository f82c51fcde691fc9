// The line-end search against a byte-by-byte one: every position of a CR or an LF around the
// 16-byte steps, every start, and the bytes that only look near (0x0D and 0x0A as trail bytes
// cannot occur, but 0x8D and 0x8A can).
#include <gtest/gtest.h>

#include <string>

#include "textconv/line_break_scan.h"

namespace sorabu::textconv {
namespace {

std::size_t Slow(const std::string& s, std::size_t from) {
  for (std::size_t i = from; i < s.size(); ++i) {
    if (s[i] == '\r' || s[i] == '\n') return i;
  }
  return s.size();
}

TEST(FindCrOrLf, AgreesWithAByteByByteSearchAroundEveryStep) {
  for (const char brk : {'\r', '\n'}) {
    for (std::size_t size = 0; size <= 50; ++size) {
      for (std::size_t at = 0; at <= size; ++at) {
        std::string s(size, 'x');
        for (std::size_t k = 0; k < size; k += 3) s[k] = static_cast<char>(k % 2 ? 0x8D : 0x8A);
        if (at < size) s[at] = brk;
        for (std::size_t from = 0; from <= size; ++from) {
          ASSERT_EQ(FindCrOrLf(s, from), Slow(s, from)) << size << " " << at << " " << from;
        }
      }
    }
  }
  EXPECT_EQ(FindCrOrLf(std::string_view()), 0u);
}

// Counts across the 16-byte steps and past the 255 blocks after which the lanes are summed
// (every byte an LF overflows a lane there if the sum comes late).
TEST(CountLineFeeds, AgreesWithAByteByByteCount) {
  std::string s;
  for (std::size_t i = 0; i < 16 * 600 + 7; ++i) s += static_cast<char>(i % 5 == 0 ? 0x8A : i % 7 == 0 ? '\n' : 'x');
  for (const std::size_t from : {0u, 1u, 15u, 16u, 17u}) {
    for (const std::size_t n : {0u, 1u, 15u, 16u, 255u * 16u, 255u * 16u + 1u, 9000u}) {
      if (from + n > s.size()) continue;
      std::size_t slow = 0;
      for (std::size_t i = from; i < from + n; ++i) slow += s[i] == '\n';
      EXPECT_EQ(CountLineFeeds(s.data() + from, n), slow) << from << " " << n;
    }
  }
  const std::string all(16 * 300, '\n');
  EXPECT_EQ(CountLineFeeds(all.data(), all.size()), all.size());
}

TEST(CountLineEnds, CountsLfCrLfAndLoneCrOnceEach) {
  std::string s;
  const char* pieces[] = {"a\r\n", "\r", "\n", "bb", "\r\r\n", "\n\r", "\x8D\x8A"};
  for (int i = 0; i < 2000; ++i) s += pieces[(i * 7 + i / 3) % 7];
  s += std::string(16 * 300, '\n') + std::string(16 * 300, '\r');  // every lane past 255
  for (std::size_t from = 0; from < 20; ++from) {
    for (std::size_t n = 0; from + n <= s.size(); n += (n < 40 ? 1 : 997)) {
      std::size_t slow = 0;
      for (std::size_t i = from; i < from + n; ++i) {
        if (s[i] == '\n' || (s[i] == '\r' && (i + 1 >= from + n || s[i + 1] != '\n'))) ++slow;
      }
      ASSERT_EQ(CountLineEnds(s.data() + from, n), slow) << from << " " << n;
    }
  }
}

}  // namespace
}  // namespace sorabu::textconv
