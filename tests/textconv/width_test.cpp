// Width conversions: the documented cases, the symbol table in both directions, kana with
// marks, second bytes that look like ASCII, and nkf as a peer for the katakana table.
#include "textconv/width.h"

#include <gtest/gtest.h>

#include "conv_test_util.h"

namespace sorabu::textconv {
namespace {

using testutil::Bin;
using testutil::Hex;
using testutil::Sj;

struct Row {
  const char* name;
  std::string in;
  std::string want;
};

void ExpectRows(const std::vector<Row>& rows, std::string (*convert)(std::string_view)) {
  for (const Row& row : rows) EXPECT_EQ(Hex(convert(row.in)), Hex(row.want)) << row.name;
}

// The 39 symbol pairs, half-width first.
const char* const kSymbolPairs[][2] = {
    {" ", "　"}, {"!", "！"}, {"\"", "”"}, {"#", "＃"}, {"$", "＄"}, {"%", "％"}, {"&", "＆"},
    {"'", "’"}, {"(", "（"}, {")", "）"}, {"=", "＝"}, {"`", "‘"}, {"|", "｜"}, {"-", "－"},
    {"^", "＾"}, {"\\", "￥"}, {"~", "￣"}, {"{", "｛"}, {"@", "＠"}, {"[", "［"}, {"+", "＋"},
    {"*", "＊"}, {"}", "｝"}, {";", "；"}, {":", "："}, {"]", "］"}, {"<", "＜"}, {">", "＞"},
    {"?", "？"}, {"_", "＿"}, {"､", "、"}, {"｡", "。"}, {"･", "・"}, {",", "，"}, {".", "．"},
    {"/", "／"}, {"ｰ", "ー"}, {"｢", "「"}, {"｣", "」"},
};

TEST(HalfToFull, DocumentedCases) {
  ExpectRows(
      {
          {"letters and digits", "ab1", Sj("ａｂ１")},
          {"voiced kana join", Sj("ｶﾞｷﾞ"), Sj("ガギ")},
          {"u takes no voiced mark", Sj("ｳﾞ"), Sj("ウ゛")},
          {"lone voiced mark stays", Sj("ﾞ"), Sj("ﾞ")},
          {"semi-voiced ha joins", Sj("ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"), Sj("パピプペポ")},
          {"voiced ha joins", Sj("ﾊﾞﾎﾞ"), Sj("バボ")},
          // Joining the semi-voiced mark to ka would give the next cell, キ: a different letter.
          {"semi-voiced ka stays apart", Sj("ｶﾟ"), Sj("カ゜")},
          {"voiced mark after a plain kana", Sj("ｱﾞ"), Sj("ア゛")},
          {"mark after a joined pair stays", Sj("ｶﾞﾞ"), Sj("ガﾞ")},
          {"mark at the end of a kana line", Sj("ﾝ"), Sj("ン")},
          {"small kana", Sj("ｧｯｮｦ"), Sj("ァッョヲ")},
          {"kanji untouched", Sj("漢字"), Sj("漢字")},
          // 表 and ソ end in 0x5C, the backslash: it must not become ￥.
          {"0x5C second bytes", Sj("表ソ\\"), Sj("表ソ￥")},
          {"0x7C second byte", Sj("ポ|"), Sj("ポ｜")},
          {"lead byte at the end", "a" + Bin({0x82}), Sj("ａ") + Bin({0x82})},
          {"controls and 0x7F stay", Bin({0x09, 0x0A, 0x7F, 0x1A}), Bin({0x09, 0x0A, 0x7F, 0x1A})},
          {"bytes without a lead meaning stay", Bin({0x80, 0xA0, 0xFD, 0xFF}), Bin({0x80, 0xA0, 0xFD, 0xFF})},
      },
      HalfToFull);
}

TEST(FullToHalf, DocumentedCases) {
  ExpectRows(
      {
          {"katakana", Sj("ガッコウ"), Sj("ｶﾞｯｺｳ")},
          {"hiragana", Sj("がっこう"), Sj("ｶﾞｯｺｳ")},
          {"letters and digits", Sj("ＡＢＣ１ｘｙｚ"), "ABC1xyz"},
          {"kanji", Sj("漢"), Sj("漢")},
          {"full-width blank", Sj("　"), " "},
          {"semi-voiced", Sj("パぽ"), Sj("ﾊﾟﾎﾟ")},
          {"forms without a half-width counterpart", Sj("ヮヰヱヵヶヴ"), Sj("ﾜｲｴｶｹｳﾞ")},
          {"small forms", Sj("ァャュョぁ"), Sj("ｧｬｭｮｧ")},
          {"long vowel and punctuation", Sj("ー。、「」・"), Sj("ｰ｡､｢｣･")},
          {"ソ ends in 0x5C", Sj("ソ"), Sj("ｿ")},
          {"symbols outside the table stay", Sj("※〒＼"), Sj("※〒＼")},
          {"lead byte at the very end is copied alone", "a" + Bin({0x82}), "a" + Bin({0x82})},
          // Unassigned cells above ヶ: both bytes stay together, the next character is intact.
          {"unassigned cell in the kana rows", Bin({0x83, 0x97}) + Sj("ア"), Bin({0x83, 0x97}) + Sj("ｱ")},
          {"half-width kana stay", Sj("ｱｲ"), Sj("ｱｲ")},
      },
      FullToHalf);
}

TEST(HalfKanaToFullKana, OneByOneWithoutJoining) {
  ExpectRows(
      {
          {"documented", Sj("ﾊﾟｿｺﾝ"), Sj("ハ゜ソコン")},
          {"voiced", Sj("ｶﾞ"), Sj("カ゛")},
          {"punctuation", Sj("｡｢｣､･ｰ"), Sj("。「」、・ー")},
          {"marks alone", Sj("ﾞﾟ"), Sj("゛゜")},
          {"ascii and kanji stay", Sj("a漢1"), Sj("a漢1")},
          {"0x5C second byte", Sj("表ｱ"), Sj("表ア")},
      },
      HalfKanaToFullKana);
}

TEST(Width, SymbolTableBothWays) {
  for (const auto& pair : kSymbolPairs) {
    const std::string half = Sj(pair[0]);
    const std::string full = Sj(pair[1]);
    ASSERT_EQ(full.size(), 2u) << pair[1];
    EXPECT_EQ(Hex(HalfToFull(half)), Hex(full)) << pair[0];
    EXPECT_EQ(Hex(FullToHalf(full)), Hex(half)) << pair[1];
  }
}

// Everything HalfToFull produces, FullToHalf takes back (the voiced pairs included).
TEST(Width, FullToHalfUndoesHalfToFull) {
  std::string all;
  for (int c = 0x20; c < 0x7F; ++c) all.push_back(static_cast<char>(c));
  for (int b = 0xA1; b <= 0xDD; ++b) all.push_back(static_cast<char>(b));
  all += Sj("ｶﾞｻﾞﾀﾞﾊﾞﾊﾟﾎﾟ");
  EXPECT_EQ(Hex(FullToHalf(HalfToFull(all))), Hex(all));
  for (char c : all) {
    if (c == '\xDE' || c == '\xDF') continue;
    EXPECT_EQ(Hex(FullToHalf(HalfToFull(std::string(1, c)))), Hex(std::string(1, c)));
  }
}

// nkf maps each half-width katakana to the full-width character of the same reading; one
// character per line so that nothing joins.
TEST(Width, HalfKanaTableMatchesNkf) {
  if (!testutil::HaveTool("nkf")) GTEST_SKIP() << "nkf missing";
  std::string lines, ours;
  for (int b = 0xA1; b <= 0xDF; ++b) {
    lines += Bin({b, '\n'});
    ours += HalfKanaToFullKana(Bin({b})) + "\n";
  }
  testutil::TempDir dir;
  testutil::WriteFile(dir.path() / "in", lines);
  ASSERT_EQ(testutil::Shell("nkf -S -s " + testutil::Quote(dir.path() / "in") + " > " +
                            testutil::Quote(dir.path() / "out")),
            0);
  EXPECT_EQ(Hex(ours), Hex(testutil::ReadFile(dir.path() / "out")));
}

}  // namespace
}  // namespace sorabu::textconv
