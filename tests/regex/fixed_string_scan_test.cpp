#include "regex/fixed_string_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

namespace sorabu::regex {
namespace {

std::size_t Find(std::string_view hay, std::string_view needle) {
  const char* p = FindNeedle(hay.data(), hay.size(), needle);
  return p == nullptr ? std::string_view::npos : static_cast<std::size_t>(p - hay.data());
}

TEST(FixedStringScan, FindsTheFirstPlaceWhateverByteIsRarest) {
  // The rarest byte of "\x88\xA0z" is 0xA0 in the middle, of "a\xE0" the last one.
  EXPECT_EQ(Find("xx\x88\xA0y\x88\xA0z", "\x88\xA0z"), 5u);
  EXPECT_EQ(Find("a\xE0 a\xE0", "a\xE0"), 0u);
  EXPECT_EQ(Find("abcab", "cab"), 2u);
  // Right at the end, one byte short, longer than the text, empty.
  EXPECT_EQ(Find("....needle", "needle"), 4u);
  EXPECT_EQ(Find("....needl", "needle"), std::string_view::npos);
  EXPECT_EQ(Find("ab", "abc"), std::string_view::npos);
  EXPECT_EQ(Find("abc", ""), 0u);
  // A second byte equal to the needle's first byte is still a byte place: the caller decides.
  EXPECT_EQ(Find("\x83\x41\x41", "\x41\x41"), 1u);
}

TEST(FixedStringScan, AgreesWithAPlainSearchOnRandomTexts) {
  std::mt19937 random(20261209);
  const std::string alphabet = std::string("ab \n\x81\x82\x88\xA0\xE0", 9);
  for (int round = 0; round < 2000; ++round) {
    std::string hay(random() % 64, ' '), needle(1 + random() % 4, ' ');
    for (char& c : hay) c = alphabet[random() % alphabet.size()];
    for (char& c : needle) c = alphabet[random() % alphabet.size()];
    ASSERT_EQ(Find(hay, needle), hay.find(needle)) << "round " << round;
  }
}

}  // namespace
}  // namespace sorabu::regex
