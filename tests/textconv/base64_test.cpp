// Base64: the documented values, padding, what the lenient decoder accepts, round trips over
// every length and byte, and coreutils base64 as a peer.
#include "textconv/base64.h"

#include <gtest/gtest.h>

#include <random>

#include "conv_test_util.h"

namespace sorabu::textconv {
namespace {

using testutil::Bin;
using testutil::Hex;

TEST(Base64Encode, DocumentedValues) {
  const struct {
    std::string in;
    std::string want;
  } rows[] = {
      {"", ""},
      {"a", "YQ=="},
      {"ab", "YWI="},
      {"abc", "YWJj"},
      {"abcd", "YWJjZA=="},
      {Bin({0x00, 0xFF, 0xFE}), "AP/+"},
      {Bin({0xFB, 0xEF, 0xBE}), "++++"},
      {Bin({0xFF, 0xFF, 0xFF}), "////"},
  };
  for (const auto& row : rows) EXPECT_EQ(Base64Encode(row.in), row.want) << Hex(row.in);
}

TEST(Base64Encode, NoLineBreaksWhateverTheLength) {
  const std::string sixty(60, 'x');
  EXPECT_EQ(Base64Encode(sixty).size(), 80u);
  const std::string big(100'000, '\xA5');
  const std::string encoded = Base64Encode(big);
  EXPECT_EQ(encoded.size(), (big.size() + 2) / 3 * 4);
  EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
}

TEST(Base64Decode, WellFormedAndLenientInput) {
  const struct {
    const char* name;
    std::string in;
    std::string want;
  } rows[] = {
      {"three bytes", "YWJj", "abc"},
      {"one pad", "YWI=", "ab"},
      {"two pads", "YQ==", "a"},
      {"empty", "", ""},
      {"line breaks between groups", "YWJj\r\nYWJj\nYQ==", "abcabca"},
      {"line break inside a group", "YW\r\nJj", "abc"},
      {"unpadded pair", "YWI", "ab"},
      {"unpadded single", "YQ", "a"},
      {"lone character", "Y", ""},
      {"concatenated padded groups", "YQ==YQ==", "aa"},
      {"pads only", "====", ""},
      {"pad in first place", "=QWE", ""},
      {"characters outside the alphabet skipped", "YW Jj\t!", "abc"},
      {"every byte", "AP/+", Bin({0x00, 0xFF, 0xFE})},
  };
  for (const auto& row : rows) EXPECT_EQ(Hex(Base64Decode(row.in)), Hex(row.want)) << row.name;
}

TEST(Base64, RoundTripEveryLength) {
  std::mt19937 rng(7);
  for (std::size_t n = 0; n < 300; ++n) {
    std::string data(n, '\0');
    for (char& c : data) c = static_cast<char>(rng());
    EXPECT_EQ(Base64Decode(Base64Encode(data)), data) << n;
  }
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Base64Decode(Base64Encode(all)), all);
}

TEST(Base64, CoreutilsAgrees) {
  if (!testutil::HaveTool("base64")) GTEST_SKIP() << "base64 missing";
  testutil::TempDir dir;
  std::mt19937 rng(11);
  std::string data(10'001, '\0');
  for (char& c : data) c = static_cast<char>(rng());
  testutil::WriteFile(dir.path() / "in", data);
  ASSERT_EQ(testutil::Shell("base64 -w0 " + testutil::Quote(dir.path() / "in") + " > " +
                            testutil::Quote(dir.path() / "out")),
            0);
  const std::string peer = testutil::ReadFile(dir.path() / "out");
  EXPECT_EQ(Base64Encode(data), peer);
  EXPECT_EQ(Base64Decode(peer), data);
}

}  // namespace
}  // namespace sorabu::textconv
