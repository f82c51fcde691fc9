// Line starts and character boundaries of byte text.
#include "viewer/line_index.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "textconv/cp932.h"

namespace sorabu::viewer {
namespace {

std::vector<std::string> LinesOf(const TLineIndex& index, std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < index.Lines(); ++i)
    lines.emplace_back(text.substr(index.Start(i), index.End(i) - index.Start(i)));
  return lines;
}

TEST(LineIndex, EveryKindOfBreakAndTheEmptyLineAfterAFinalOne) {
  TLineIndex index;
  const std::string text = "a\r\nb\rc\nd\n\re\r\n";
  index.Build(text);
  EXPECT_EQ(LinesOf(index, text), (std::vector<std::string>{"a", "b", "c", "d", "", "e", ""}));
  EXPECT_EQ(index.TextLines(), 6u) << "the line after the final break holds only the caret";
  EXPECT_EQ(index.LineOf(0), 0u);
  EXPECT_EQ(index.LineOf(1), 0u) << "the CR ends line 0";
  EXPECT_EQ(index.LineOf(2), 0u) << "so does its LF";
  EXPECT_EQ(index.LineOf(3), 1u);
  EXPECT_EQ(index.LineOf(text.size()), 6u);

  index.Build("");
  EXPECT_EQ(index.Lines(), 1u);
  EXPECT_EQ(index.TextLines(), 0u);
  index.Build("no break");
  EXPECT_EQ(index.TextLines(), 1u);
  index.Build(std::string(100, '\n'));
  EXPECT_EQ(index.Lines(), 101u);
}

TEST(LineIndex, LongTextsAgreeWithAByteByByteScan) {
  // Breaks at every position of the 16-byte blocks the fast scan reads.
  std::mt19937 random(7);
  std::string text;
  for (int i = 0; i < 5000; ++i) {
    const int r = static_cast<int>(random() % 40);
    text += r == 0 ? '\r' : r == 1 ? '\n' : r == 2 ? '\0' : static_cast<char>(0x81 + r);
  }
  std::vector<std::size_t> expected{0};
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (text[i] == '\r' || text[i] == '\n') expected.push_back(i + 1);
  }
  TLineIndex index;
  index.Build(text);
  ASSERT_EQ(index.Lines(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(index.Start(i), expected[i]) << i;
}

TEST(LineIndex, ExtendingSeesACrLfSplitAcrossTwoAppends) {
  std::string text = "one\r";
  TLineIndex index;
  index.Build(text);
  ASSERT_EQ(index.Lines(), 2u);
  text += "\ntwo";
  index.Extend(text);
  EXPECT_EQ(LinesOf(index, text), (std::vector<std::string>{"one", "two"}));
  text += "\r\nthree";
  index.Extend(text);
  EXPECT_EQ(LinesOf(index, text), (std::vector<std::string>{"one", "two", "three"}));
  index.Extend("x");  // a shorter text starts over
  EXPECT_EQ(LinesOf(index, "x"), (std::vector<std::string>{"x"}));
}

// The reference: walk the characters from the start.
std::vector<std::size_t> Boundaries(std::string_view text) {
  std::vector<std::size_t> b;
  for (std::size_t i = 0; i < text.size(); i += textconv::CharLength(text, i)) b.push_back(i);
  b.push_back(text.size());
  return b;
}

TEST(CharBoundaries, BackwardsAgreesWithAForwardWalk) {
  // Trail bytes that could lead (0x81..0x9F, 0xE0..0xFC) and that look like ASCII ("表" is 0x95 0x5C).
  const std::vector<std::string> texts = {textconv::Utf8ToCp932("表示ソフト能力"), "\x81\x81\x81\x81\x81" "A",
                                          "A\x81\x81\x81", "\xE0\x40\x9F\x9F\x9F\x41", "\x81"};
  std::mt19937 random(11);
  std::vector<std::string> all = texts;
  for (int n = 0; n < 200; ++n) {
    std::string s;
    for (int i = 0; i < 30; ++i) s += static_cast<char>(random() % 3 == 0 ? 0x41 : 0x81 + random() % 0x7C);
    all.push_back(s);
  }
  for (const std::string& text : all) {
    const auto b = Boundaries(text);
    for (std::size_t k = 1; k < b.size(); ++k) {
      EXPECT_EQ(PreviousCharStart(text, 0, b[k]), b[k - 1]) << "at " << b[k];
      EXPECT_EQ(NextCharStart(text, b[k - 1]), b[k]);
    }
    // From inside a character, back to its start.
    for (std::size_t pos = 1; pos <= text.size(); ++pos) {
      const auto it = std::upper_bound(b.begin(), b.end(), pos - 1);
      EXPECT_EQ(PreviousCharStart(text, 0, pos), *(it - 1));
    }
  }
}

}  // namespace
}  // namespace sorabu::viewer
