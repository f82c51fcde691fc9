// BinHex-style encoding: the alphabet, where the CR falls, decoding with and without the
// breaks, and the end mark.
#include "textconv/binhex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "conv_test_util.h"

namespace sorabu::textconv {
namespace {

using testutil::Bin;
using testutil::Hex;

TEST(BinHexEncode, AlphabetAndGroups) {
  const struct {
    const char* name;
    std::string in;
    std::string want;
  } rows[] = {
      {"empty", "", "::"},
      {"one byte gives two characters", "a", ":B3:"},
      {"two bytes give three", "ab", ":B@):"},
      {"value 0 is !", Bin({0, 0, 0}), ":!!!!:"},
      {"value 63 is r", Bin({0xFF, 0xFF, 0xFF}), ":rrrr:"},
      // 0x30 >> 2 = 12 and 0x34 >> 2 = 13.
      {"value 12 is - and 13 is 0", Bin({0x30, 0x00, 0x00, 0x34, 0x00, 0x00}), ":-!!!0!!!:"},
  };
  for (const auto& row : rows) EXPECT_EQ(BinHexEncode(row.in), row.want) << row.name;
}

TEST(BinHexEncode, BreakAfterEverySixtyFourthCharacter) {
  EXPECT_EQ(BinHexEncode(std::string(47, 'x')).find('\r'), std::string::npos);
  const std::string e48 = BinHexEncode(std::string(48, 'x'));
  ASSERT_EQ(e48.size(), 1u + 64 + 1 + 1);
  EXPECT_EQ(e48[64], '\r');
  EXPECT_EQ(e48.back(), ':');
  const std::string e96 = BinHexEncode(std::string(96, 'x'));
  EXPECT_EQ(e96[64], '\r');
  EXPECT_EQ(e96[129], '\r');
  EXPECT_EQ(std::count(e96.begin(), e96.end(), '\r'), 2);
  // 95 bytes: the 32nd group is partial, so its third character takes no break.
  const std::string e95 = BinHexEncode(std::string(95, 'x'));
  EXPECT_EQ(std::count(e95.begin(), e95.end(), '\r'), 1);
}

TEST(BinHexDecode, RoundTripsWithAndWithoutLineEnds) {
  std::mt19937 rng(5);
  for (std::size_t n = 0; n < 300; ++n) {
    std::string data(n, '\0');
    for (char& c : data) c = static_cast<char>(rng());
    const std::string encoded = BinHexEncode(data);
    EXPECT_EQ(BinHexDecode(encoded), data) << n;
    std::string crlf;
    for (const char c : encoded) crlf += c == '\r' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(BinHexDecode(crlf), data) << n;
  }
}

TEST(BinHexDecode, EndMarkAndMalformedInput) {
  const struct {
    const char* name;
    std::string in;
    std::string want;
  } rows[] = {
      {"one byte", ":B3:", "a"},
      {"first character is skipped whatever it is", "xB3:", "a"},
      {"no closing colon", ":B@)", "ab"},
      {"group of one character gives nothing", ":B:", ""},
      {"character outside the alphabet ends", ":!!!!.!!!!:", Bin({0, 0, 0})},
      {"characters above r end", ":!!!!s!!!!:", Bin({0, 0, 0})},
      {"empty", "", ""},
      {"colon only", ":", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(Hex(BinHexDecode(row.in)), Hex(row.want)) << row.name;
}

}  // namespace
}  // namespace sorabu::textconv
