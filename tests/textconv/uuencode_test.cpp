// uuencode-style encoding: chunk layout, the back quote for zero, decoding of whole encoded
// lines and of sub-lines one by one, and malformed input.
#include "textconv/uuencode.h"

#include <gtest/gtest.h>

#include <random>

#include "conv_test_util.h"

namespace sorabu::textconv {
namespace {

using testutil::Bin;
using testutil::Hex;

TEST(UuEncode, SubLineLayout) {
  const struct {
    const char* name;
    std::string in;
    std::string want;
  } rows[] = {
      {"three bytes", "abc", "#86)C\r`\r"},
      {"single byte pads with two back quotes", "a", "!80``\r`\r"},
      {"pair pads with one back quote", "ab", "\"86(`\r`\r"},
      {"zero bits are back quotes", Bin({0, 0, 0}), "#````\r`\r"},
      {"empty line is only the closing sub-line", "", "`\r"},
  };
  for (const auto& row : rows) EXPECT_EQ(Hex(UuEncode(row.in)), Hex(row.want)) << row.name;
}

TEST(UuEncode, FortyFiveBytesPerSubLine) {
  const std::string line45(45, 'q');
  const std::string enc45 = UuEncode(line45);
  ASSERT_EQ(enc45.size(), 1u + 60 + 1 + 2);
  EXPECT_EQ(enc45[0], 'M');
  EXPECT_EQ(enc45.substr(61), "\r`\r");

  const std::string enc100 = UuEncode(std::string(100, 'q'));
  // 45 + 45 + 10: M..., M..., then "*" (0x20 + 10) with 4 groups.
  EXPECT_EQ(enc100.size(), 62u + 62u + (1 + 16 + 1) + 2);
  EXPECT_EQ(enc100[62], 'M');
  EXPECT_EQ(enc100[124], '*');
}

TEST(UuDecode, WholeLinesAndSubLinesAlone) {
  std::mt19937 rng(3);
  for (std::size_t n = 0; n < 200; ++n) {
    std::string data(n, '\0');
    for (char& c : data) c = static_cast<char>(rng());
    const std::string encoded = UuEncode(data);
    EXPECT_EQ(UuDecode(encoded), data) << n;
    // The file commands see each sub-line as a line of its own.
    std::string pieces;
    std::size_t start = 0;
    for (std::size_t cr = encoded.find('\r'); cr != std::string::npos; cr = encoded.find('\r', start)) {
      UuDecode(std::string_view(encoded).substr(start, cr - start), pieces);
      start = cr + 1;
    }
    EXPECT_EQ(pieces, data) << n;
  }
}

TEST(UuDecode, MalformedInput) {
  const struct {
    const char* name;
    std::string in;
    std::string want;
  } rows[] = {
      {"blank as count is zero", " 86)C", ""},
      {"CR LF between sub-lines", "#86)C\r\n#86)C\n", "abcabc"},
      {"count shorter than the data", "!86)C", "a"},
      {"group cut off by the end", "#86)", ""},
      {"group cut off by a line break", "#86\r#86)C", "abc"},
      {"characters after the data ignored", "!80``junk\r!80``", "aa"},
      {"count only", "M", ""},
      {"begin line decodes as data, harmlessly", "begin 644 x", Bin({0x14, 0x72})},
  };
  for (const auto& row : rows) EXPECT_EQ(Hex(UuDecode(row.in)), Hex(row.want)) << row.name;
}

}  // namespace
}  // namespace sorabu::textconv
