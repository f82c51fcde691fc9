// JIS, EUC-JP and Shift-JIS line converters: the documented cases of each direction, the
// closing sequence at the end of a line, malformed input, the dispatcher, and exhaustive
// round trips over every JIS X 0208 code.
#include "textconv/jis_euc_sjis.h"

#include <gtest/gtest.h>

#include "conv_test_util.h"

namespace sorabu::textconv {
namespace {

using testutil::Bin;
using testutil::Hex;
using testutil::kEnterJis;
using testutil::kLeaveJisAscii;
using testutil::kLeaveJisRoman;
using testutil::Sj;

struct Row {
  const char* name;
  std::string in;
  std::string want;
};

void ExpectRows(const std::vector<Row>& rows, std::string (*convert)(std::string_view)) {
  for (const Row& row : rows) {
    EXPECT_EQ(Hex(convert(row.in)), Hex(row.want)) << row.name;
  }
}

TEST(ShiftJisToJis, WritesEscapesAndClosesEveryRun) {
  const std::string kan = Bin({0x34, 0x41});  // 漢
  const std::string ji = Bin({0x3B, 0x7A});   // 字
  ExpectRows(
      {
          {"empty", "", ""},
          {"ascii passes", "abc 123", "abc 123"},
          {"kanji between ascii", Sj("A漢B"), "A" + kEnterJis + kan + kLeaveJisRoman + "B"},
          // Left open, every decoder would keep two-byte mode past the line end.
          {"run at the end is closed", Sj("漢字"), kEnterJis + kan + ji + kLeaveJisRoman},
          {"LF inside the line closes the run", Sj("漢\n字"),
           kEnterJis + kan + kLeaveJisRoman + "\n" + kEnterJis + ji + kLeaveJisRoman},
          {"CR closes the run", Sj("漢\r"), kEnterJis + kan + kLeaveJisRoman + "\r"},
          {"half-width kana", Sj("ｱ"), kEnterJis + Bin({0x25, 0x22}) + kLeaveJisRoman},
          {"voiced mark joins", Bin({0xB6, 0xDE}), kEnterJis + Bin({0x25, 0x2C}) + kLeaveJisRoman},
          {"semi-voiced after ka stays apart", Bin({0xB6, 0xDF}),
           kEnterJis + Bin({0x25, 0x2B, 0x21, 0x2C}) + kLeaveJisRoman},
          {"u with voiced mark is vu", Bin({0xB3, 0xDE}), kEnterJis + Bin({0x25, 0x74}) + kLeaveJisRoman},
          {"ha with semi-voiced mark", Bin({0xCA, 0xDF}), kEnterJis + Bin({0x25, 0x51}) + kLeaveJisRoman},
          {"ho with voiced mark", Bin({0xCE, 0xDE}), kEnterJis + Bin({0x25, 0x5C}) + kLeaveJisRoman},
          {"a with voiced mark stays apart", Bin({0xB1, 0xDE}),
           kEnterJis + Bin({0x25, 0x22, 0x21, 0x2B}) + kLeaveJisRoman},
          {"lone marks", Bin({0xDE, 0xDF}), kEnterJis + Bin({0x21, 0x2B, 0x21, 0x2C}) + kLeaveJisRoman},
          {"kana and kanji share one run", Sj("ｱ亜"), kEnterJis + Bin({0x25, 0x22, 0x30, 0x21}) + kLeaveJisRoman},
          {"lead byte cut off at the end", "A" + Bin({0x8A}), "A"},
          {"lead byte cut off after a run", Sj("漢") + Bin({0x8A}), kEnterJis + kan + kLeaveJisRoman},
          {"0x5C second byte", Sj("表"), kEnterJis + Bin({0x49, 0x3D}) + kLeaveJisRoman},
      },
      ShiftJisToJis);
}

TEST(EucToJis, SameShapeAsShiftJis) {
  ExpectRows(
      {
          {"kanji between ascii", "A" + Bin({0xB4, 0xC1}) + "B",
           "A" + kEnterJis + Bin({0x34, 0x41}) + kLeaveJisRoman + "B"},
          {"run at the end is closed", Bin({0xB0, 0xA1}), kEnterJis + Bin({0x30, 0x21}) + kLeaveJisRoman},
          {"kana", Bin({0x8E, 0xB1}), kEnterJis + Bin({0x25, 0x22}) + kLeaveJisRoman},
          {"voiced mark joins", Bin({0x8E, 0xB6, 0x8E, 0xDE}), kEnterJis + Bin({0x25, 0x2C}) + kLeaveJisRoman},
          {"semi-voiced mark joins", Bin({0x8E, 0xCA, 0x8E, 0xDF}), kEnterJis + Bin({0x25, 0x51}) + kLeaveJisRoman},
          {"mark without its 0x8E does not join", Bin({0x8E, 0xB6, 0xDE, 0xA1}),
           kEnterJis + Bin({0x25, 0x2B, 0x5E, 0x21}) + kLeaveJisRoman},
          {"vu", Bin({0x8E, 0xB3, 0x8E, 0xDE}), kEnterJis + Bin({0x25, 0x74}) + kLeaveJisRoman},
          {"LF closes the run", Bin({0xB0, 0xA1, 0x0A}), kEnterJis + Bin({0x30, 0x21}) + kLeaveJisRoman + "\n"},
          {"pair cut off", "x" + Bin({0xB0}), "x"},
          {"0x8F leads a plain pair", Bin({0x8F, 0xA1}), kEnterJis + Bin({0x0F, 0x21}) + kLeaveJisRoman},
      },
      EucToJis);
}

TEST(JisToShiftJis, ReadsEscapesAndPairs) {
  ExpectRows(
      {
          {"escapes disappear", kEnterJis + Bin({0x30, 0x21}) + kLeaveJisAscii, Bin({0x88, 0x9F})},
          {"text on both sides", "a" + kEnterJis + Bin({0x34, 0x41, 0x3B, 0x7A}) + kLeaveJisRoman + "b",
           "a" + Sj("漢字") + "b"},
          {"JIS78 kanji-in", Bin({0x1B, '$', '@', 0x30, 0x21}), Bin({0x88, 0x9F})},
          {"a line without kanji-in is single-byte", Bin({0x30, 0x21}), "0!"},
          {"other escapes are dropped", Bin({0x1B, '(', 'I', 'a', 0x1B, 'N', 'x', 'b'}), "ab"},
          // A decoded mail header ends with ESC ( B ESC ( J: both sequences are escapes.
          {"escapes in a row", kEnterJis + Bin({0x34, 0x41}) + kLeaveJisAscii + kLeaveJisRoman + "x",
           Sj("漢") + "x"},
          {"kanji-in right after kanji-out", kLeaveJisRoman + kEnterJis + Bin({0x34, 0x41}), Sj("漢")},
          {"ESC cut off", "A" + Bin({0x1B, '$'}), "A"},
          {"lone ESC", Bin({0x1B}), ""},
          {"escape at the very end", "A" + kEnterJis, "A"},
          {"odd byte in two-byte mode", kEnterJis + Bin({0x34, 0x41, 0x3B}), Sj("漢")},
          {"ESC only where a pair begins", kEnterJis + Bin({0x34, 0x1B, '(', 'B'}),
           Bin({0x8A, 0x99, 0x84, 0xC0})},
          {"0x1A passes in single-byte mode", "a\x1A" "b", "a\x1A" "b"},
      },
      JisToShiftJis);
}

TEST(JisToEuc, SetsBitSevenInTwoByteMode) {
  ExpectRows(
      {
          {"kanji", kEnterJis + Bin({0x34, 0x41}) + kLeaveJisRoman + "a", Bin({0xB4, 0xC1}) + "a"},
          {"odd byte count is fine", kEnterJis + Bin({0x34}), Bin({0xB4})},
          {"controls stay", kEnterJis + Bin({0x34, 0x0A, 0x41}), Bin({0xB4, 0x0A, 0xC1})},
          {"escape anywhere", kEnterJis + Bin({0x34}) + kLeaveJisAscii + "A", Bin({0xB4}) + "A"},
          {"single-byte text unchanged", "plain", "plain"},
      },
      JisToEuc);
}

TEST(EucAndShiftJis, DocumentedCases) {
  ExpectRows(
      {
          {"kana", Bin({0x8E, 0xB1}), Bin({0xB1})},
          {"kanji", Bin({0xB4, 0xC1, 0xBB, 0xFA}), Sj("漢字")},
          {"0x80 and 0xFF pass", Bin({0x80, 'a', 0xFF}), Bin({0x80, 'a', 0xFF})},
          {"pair cut off", "ab" + Bin({0xB4}), "ab"},
          {"kana cut off", Bin({0x8E}), ""},
          {"newlines pass", Bin({0xB4, 0xC1, 0x0D, 0x0A}), Sj("漢\r\n")},
      },
      EucToShiftJis);
  ExpectRows(
      {
          {"kana", Bin({0xB1}), Bin({0x8E, 0xB1})},
          {"kanji", Sj("漢字"), Bin({0xB4, 0xC1, 0xBB, 0xFA})},
          {"0x5C second byte", Sj("ソ表"), Bin({0xA5, 0xBD, 0xC9, 0xBD})},
          {"pair cut off", "ab" + Bin({0x8A}), "ab"},
          {"ascii", "x\r\ny", "x\r\ny"},
      },
      ShiftJisToEuc);
}

TEST(ConvertKanjiCode, PicksTheConverterByTheDetectedCode) {
  const std::string sjis = Sj("漢字です");
  const std::string euc = ShiftJisToEuc(sjis);
  const std::string jis = ShiftJisToJis(sjis);
  struct Case {
    const char* name;
    std::string in;
    int target;
    std::string want;
  };
  const Case cases[] = {
      {"EUC to Shift-JIS", euc, ShiftJis, sjis},
      {"JIS to Shift-JIS", jis, ShiftJis, sjis},
      {"JIS78 to Shift-JIS", Bin({0x1B, '$', '@', 0x30, 0x21}), ShiftJis, Bin({0x88, 0x9F})},
      {"Shift-JIS to EUC", sjis, Euc, euc},
      {"JIS to EUC", jis, Euc, euc},
      {"Shift-JIS to JIS", sjis, Jis83, jis},
      {"EUC to JIS", euc, Jis83, jis},
      {"already the target", sjis, ShiftJis, sjis},
      {"ambiguous stays", Bin({0xB1, 0xB2}), ShiftJis, Bin({0xB1, 0xB2})},
      {"ascii stays", "hello", Euc, "hello"},
      {"binary stays", Bin({0x00, 0x01, 0xB4, 0xC1}), ShiftJis, Bin({0x00, 0x01, 0xB4, 0xC1})},
      {"JIS78 stays when JIS is asked for", Bin({0x1B, '$', '@', 0x30, 0x21}), Jis83,
       Bin({0x1B, '$', '@', 0x30, 0x21})},
      {"unknown target", sjis, 7, sjis},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(ConvertKanjiCode(c.in, c.target)), Hex(c.want)) << c.name;
  }
}

// Every code of JIS X 0208 rows 1..94 (the NEC and NEC-selected rows of CP932 included, which
// lie in the same arithmetic), as Shift-JIS, EUC and JIS, in both directions.
TEST(CodeConverters, RoundTripEveryJisCode) {
  std::string sjis, euc, jis_body;
  for (int row = 0x21; row <= 0x7E; ++row) {
    for (int cell = 0x21; cell <= 0x7E; ++cell) {
      jis_body += Bin({row, cell});
      euc += Bin({row | 0x80, cell | 0x80});
    }
  }
  const std::string jis = kEnterJis + jis_body + kLeaveJisRoman;
  sjis = JisToShiftJis(jis);
  ASSERT_EQ(sjis.size(), jis_body.size());
  for (std::size_t i = 0; i < sjis.size(); i += 2) {
    const auto lead = static_cast<unsigned char>(sjis[i]);
    const auto trail = static_cast<unsigned char>(sjis[i + 1]);
    ASSERT_TRUE(IsLeadByte(lead) && IsTrailByte(trail)) << Hex(sjis.substr(i, 2));
  }
  EXPECT_EQ(JisToEuc(jis), euc);
  EXPECT_EQ(EucToShiftJis(euc), sjis);
  EXPECT_EQ(ShiftJisToEuc(sjis), euc);
  EXPECT_EQ(ShiftJisToJis(sjis), jis);
  EXPECT_EQ(EucToJis(euc), jis);
  EXPECT_EQ(JisToShiftJis(ShiftJisToJis(sjis)), sjis);
}

// Every half-width katakana converted to JIS and back gives its full-width katakana, and EUC
// and Shift-JIS agree on it.
TEST(CodeConverters, HalfWidthKanaAgreeAcrossCodes) {
  for (int b = 0xA1; b <= 0xDF; ++b) {
    const std::string sjis = Bin({b});
    const std::string euc = Bin({0x8E, b});
    EXPECT_EQ(ShiftJisToEuc(sjis), euc);
    EXPECT_EQ(EucToShiftJis(euc), sjis);
    EXPECT_EQ(ShiftJisToJis(sjis), EucToJis(euc)) << b;
  }
}

// Pairs beyond row 94 have no EUC or JIS form of their own: IBM extensions go to the same
// character within the rows, everything else to 〓; the text after them stays intact.
TEST(CodeConverters, PairsBeyondRowNinetyFour) {
  const struct {
    const char* name;
    std::string sjis;
    std::string euc;
  } rows[] = {
      {"IBM kanji to NEC-selected row 92", Bin({0xFB, 0xFC}) + "a", Bin({0xFC, 0xE2}) + "a"},
      {"IBM small roman numeral", Bin({0xFA, 0x40}), Bin({0xFC, 0xF1})},
      {"IBM Roman numeral to NEC row 13", Bin({0xFA, 0x4A}), Bin({0xAD, 0xB5})},
      {"IBM symbol to row 2", Bin({0xFA, 0x54}), Bin({0xA2, 0xCC})},
      {"user-defined area", Bin({0xF0, 0x40}) + Sj("漢"), Bin({0xA2, 0xAE, 0xB4, 0xC1})},
      {"unassigned IBM code", Bin({0xFC, 0xFC}), Bin({0xA2, 0xAE})},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Hex(ShiftJisToEuc(row.sjis)), Hex(row.euc)) << row.name;
    EXPECT_EQ(Hex(ShiftJisToJis(row.sjis)), Hex(EucToJis(row.euc))) << row.name;
  }
  // Back from EUC the character is the same, under its code within the rows.
  for (int lead = 0xFA; lead <= 0xFC; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string ibm = Bin({lead, trail});
      // The decoder marks IBM copies of duplicated characters with a variation selector.
      const std::u16string c = DecodeCp932(ibm).substr(0, 1);
      if (trail == 0x7F || (c[0] >= 0xF780 && c[0] <= 0xF7FF)) continue;
      EXPECT_EQ(DecodeCp932(EucToShiftJis(ShiftJisToEuc(ibm))).substr(0, 1), c) << Hex(ibm);
      EXPECT_EQ(DecodeCp932(JisToShiftJis(ShiftJisToJis(ibm))).substr(0, 1), c) << Hex(ibm);
    }
  }
}

}  // namespace
}  // namespace sorabu::textconv
