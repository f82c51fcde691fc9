// Mail-header encoded words: the closing sequence inside each word, decoding in any letter
// case, and the words read back through the JIS reader.
#include "textconv/mail_header.h"

#include <gtest/gtest.h>

#include "conv_test_util.h"
#include "textconv/base64.h"
#include "textconv/jis_euc_sjis.h"

namespace sorabu::textconv {
namespace {

using testutil::Bin;
using testutil::Hex;
using testutil::kEnterJis;
using testutil::kLeaveJisRoman;
using testutil::Sj;

std::string Word(const std::string& jis) { return "=?ISO-2022-JP?B?" + Base64Encode(jis) + "?="; }

const std::string kKanji = Bin({0x34, 0x41, 0x3B, 0x7A});  // 漢字 in JIS

TEST(MailHeaderEncode, OneWordPerDoubleByteRun) {
  const struct {
    const char* name;
    std::string in;
    std::string want;
  } rows[] = {
      // The word ends in single-byte mode, as RFC 1468 and RFC 2047 require.
      {"run between ascii", Sj("abc漢字def"), "abc" + Word(kEnterJis + kKanji + kLeaveJisRoman) + "def"},
      {"run at the end", Sj("a漢字"), "a" + Word(kEnterJis + kKanji + kLeaveJisRoman)},
      {"run at the start", Sj("漢字a"), Word(kEnterJis + kKanji + kLeaveJisRoman) + "a"},
      {"two runs", Sj("漢 字"), Word(kEnterJis + Bin({0x34, 0x41}) + kLeaveJisRoman) + " " +
                                    Word(kEnterJis + Bin({0x3B, 0x7A}) + kLeaveJisRoman)},
      {"half-width kana pass", Sj("ｱ") + "x", Sj("ｱ") + "x"},
      {"ascii only", "Subject: hello", "Subject: hello"},
      {"empty", "", ""},
      {"lead byte cut off", "a" + Bin({0x8A}), "a"},
  };
  for (const auto& row : rows) EXPECT_EQ(MailHeaderEncode(row.in), row.want) << row.name;
}

TEST(MailHeaderDecode, WordsBecomeJisFollowedByRomanSequence) {
  const std::string spec_word = Word(kEnterJis + kKanji);
  const struct {
    const char* name;
    std::string in;
    std::string want;
  } rows[] = {
      {"word without closing sequence", "abc" + spec_word + "def",
       "abc" + kEnterJis + kKanji + kLeaveJisRoman + "def"},
      {"lower-case prefix", "=?iso-2022-jp?b?" + Base64Encode(kEnterJis + kKanji) + "?=",
       kEnterJis + kKanji + kLeaveJisRoman},
      {"mixed-case prefix", "x=?Iso-2022-Jp?B?" + Base64Encode("ab") + "?=y", "xab" + kLeaveJisRoman + "y"},
      {"prefix without suffix is removed", "a=?ISO-2022-JP?B?YWJj", "aYWJj"},
      {"later prefixes without suffix too", "a=?ISO-2022-JP?B?x=?iso-2022-jp?b?y", "axy"},
      {"two words", spec_word + " " + spec_word,
       kEnterJis + kKanji + kLeaveJisRoman + " " + kEnterJis + kKanji + kLeaveJisRoman},
      {"no word", "plain ?= text", "plain ?= text"},
      {"empty payload", "=?ISO-2022-JP?B?" "?=", kLeaveJisRoman},
      {"prefix cut off", "=?ISO-2022-JP?", "=?ISO-2022-JP?"},
  };
  for (const auto& row : rows) EXPECT_EQ(Hex(MailHeaderDecode(row.in)), Hex(row.want)) << row.name;
}

TEST(MailHeaderDecode, DecodedTextIsNotSearchedAgain) {
  const std::string inner = "=?ISO-2022-JP?B?" + Base64Encode("x") + "?=";
  EXPECT_EQ(MailHeaderDecode(Word(inner)), inner + kLeaveJisRoman);
}

TEST(MailHeader, RoundTripThroughTheJisReader) {
  // Half-width katakana are no double-byte characters: they stay outside the words.
  const std::string lines[] = {Sj("abc漢字def"), Sj("件名：テスト です"), Sj("ｶﾞ漢ｱ"), "ascii", ""};
  for (const std::string& line : lines) {
    // The word's own ESC ( J and the one the decoder appends stand in a row.
    EXPECT_EQ(Hex(JisToShiftJis(MailHeaderDecode(MailHeaderEncode(line)))), Hex(line));
  }
}

}  // namespace
}  // namespace sorabu::textconv
