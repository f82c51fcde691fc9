// TAWKStr: Match positions, GSub results and counts, replacement expansion, the pattern cache.
#include <gtest/gtest.h>

#include "regex/awk_str.h"
#include "regex/errors.h"
#include "test_util.h"

namespace sorabu::regex {
namespace {

using test::S;

struct MatchRow {
  std::string pattern;
  std::string text;
  std::size_t start;
  std::size_t length;
  TMatchCORE_LineSeparator separator = mcls_CRLF;
};

TEST(AwkMatchTest, StartAndLength) {
  const MatchRow rows[] = {
      {"b+", "abbbc", 2, 3},
      {"x*", "abc", 1, 0},
      {"z", "abc", 0, 0},
      {"", "abc", 1, 0},
      {"", "", 1, 0},
      {"x*", "", 1, 0},
      {"a|ab", "xab", 2, 2},
      {"(a|b)*c", "xababcd", 2, 5},
      {"[0-9]+", "ab123c45", 3, 3},
      // anchors under CR LF lines
      {"a$", "ba\r\nc", 2, 1},
      {"^c", "ab\r\nc", 5, 1},
      {"^a", "ba", 0, 0},
      {"^a", "ab", 1, 1},
      {"$", "abc", 4, 0},
      {"^$", "", 1, 0},
      {"^$", "a\r\n\r\nb", 4, 0},
      {"^a|b", "cb", 2, 1},
      {"^ab|a", "ab", 1, 2},
      {"a$|ab", "ab", 1, 2},
      // under LF lines "$" is the LF, and CR is an ordinary character
      {"a$", "ba\nc", 2, 1, mcls_LF},
      {"a$", "ba\r\nc", 0, 0, mcls_LF},
      {"^c", "ab\nc", 4, 1, mcls_LF},
      // "^" and "$" that cannot anchor are characters
      {"a^b", "a^b", 1, 3},
      {"(^a)*", "^a^a", 1, 4},
      {"(^a)*", "b", 1, 0},
      {"a$b", "xa$b", 2, 3},
      // a literal "^" shares the splitting of "." so both paths live
      {"x.b|x^c", "xab", 1, 3},
      {"x.b|x^c", "x^c", 1, 3},
      {"x.b|x^c", "x^b", 1, 3},
      // character boundaries: 求 is 8B 81, ル、 is 83 8B 81 41
      {S("求"), S("ル、"), 0, 0},
      {S("求"), S("ル求"), 3, 2},
      {"\\x8B\\x81", S("ル、"), 0, 0},
      {S("、"), S("ル、"), 3, 2},
      {".", S("求"), 1, 2},
      {"..", S("求a"), 1, 3},
      {S("[ぁ-ん]+"), S("カタかなカ"), 5, 4},
      {"\\x8140", S("a　"), 2, 2},
      // "." and negated classes never take LF or CR
      {"a.b", "a\nb", 0, 0},
      {"[^a]", "a\r\nb", 4, 1},
      {"[^x]+", "ab\r\ncd", 1, 2},
      // NUL inside a text is a character no pattern matches, not the end
      {"b", std::string("a\0b", 3), 3, 1},
      {"a.b", std::string("a\0b", 3), 0, 0},
      {"\\x0", std::string("a\0b", 3), 0, 0},
      // pattern escapes cannot reach the anchor pseudo-characters
      {"[\\xFFF0-\\xFFFF]", "abc", 0, 0},
      // a lone lead byte at the end of a text is one character
      {"\\x82", "a\x82", 2, 1},
      {"a.", "a\x82", 1, 2},
  };
  for (const MatchRow& row : rows) {
    TAWKStr awk;
    awk.LineSeparator = row.separator;
    awk.SetRegExp(row.pattern);
    std::size_t start = 99, length = 99;
    const std::size_t result = awk.Match(row.text, start, length);
    EXPECT_EQ(start, row.start) << row.pattern << " on " << row.text;
    EXPECT_EQ(length, row.length) << row.pattern << " on " << row.text;
    EXPECT_EQ(result, row.start);
  }
}

struct GSubRow {
  std::string pattern;
  std::string replacement;
  std::string text;
  std::string result;
  int count;
  TMatchCORE_LineSeparator separator = mcls_CRLF;
};

TEST(AwkGSubTest, ResultsAndCounts) {
  const GSubRow rows[] = {
      {"b", "[&]", "abcb", "a[b]c[b]", 2},
      {"b", "\\&", "abcb", "a&c&", 2},
      {"b", "x\\ty", "abc", "ax\tyc", 1},
      {"z", "-", "abc", "abc", 0},
      {"x*", "-", "abc", "-a-b-c", 3},
      {"x*", "-", "", "-", 1},
      {"$", "-", "abc", "abc-", 1},
      {"b*", "-", "abc", "-a--c", 3},
      {"a|b", "<&>", "abc", "<a><b>c", 2},
      {"^a", "-", "aaa", "-aa", 1},
      {"a$", "-", "aaa", "aa-", 1},
      // an empty match copies a whole double-byte character, and CR LF as one
      {"x*", "-", S("求a"), S("-求-a"), 2},
      {"x*", "-", "a\r\nb", "-a-\r\n-b", 3},
      {"x*", "-", "a\r\nb", "-a-\r-\n-b", 4, mcls_LF},
      {"x*", "-", "a\rb", "-a-\r-b", 3},
      {"^", ">", "a\r\nb", ">a\r\n>b", 2},
      {"$", "<", "a\r\nb", "a<\r\nb<", 2},
      {"^", ">", "a\nb", ">a\n>b", 2, mcls_LF},
      {S("求"), "X", S("ル、求"), S("ル、X"), 1},
      // the second byte 0x5C of 表 is no escape, 0x26 of 「&」-like bytes no "&"
      {"a", S("表&"), "a", S("表a"), 1},
      {"a", S("表\\t"), "a", S("表") + "\t", 1},
      {"(ab)+", "[&]", "xababyab", "x[abab]y[ab]", 2},
  };
  for (const GSubRow& row : rows) {
    TAWKStr awk;
    awk.LineSeparator = row.separator;
    awk.SetRegExp(row.pattern);
    std::string s = row.text;
    EXPECT_EQ(awk.GSub(row.replacement, s), row.count) << row.pattern << " on " << row.text;
    EXPECT_EQ(s, row.result) << row.pattern << " on " << row.text;
  }
}

TEST(AwkGSubTest, ReplacementEndingInBackslashFailsAndKeepsText) {
  TAWKStr awk;
  awk.SetRegExp("b");
  std::string s = "abc";
  try {
    awk.GSub("x\\", s);
    FAIL();
  } catch (const ERegExpParser& e) {
    EXPECT_STREQ(e.what(), msg::kBackslashAtEnd);
  }
  EXPECT_EQ(s, "abc");
}

TEST(ExpandTest, EscapesAndReplacement) {
  struct Row {
    std::string replacement;
    std::string matched;
    std::string result;
  };
  const Row rows[] = {
      {"[&]", "b", "[b]"},
      {"&&", "ab", "abab"},
      {"\\&", "b", "&"},
      {"x\\ty", "", "x\ty"},
      {"\\x41\\101\\n", "", "AA\n"},
      {"\\x8140", "", "\x81\x40"},
      {"a\\qb", "", "aqb"},
      {S("表"), "", S("表")},
      {S("\\表"), "", S("表")},
      {"", "m", ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ExpandReplacement(row.replacement, row.matched), row.result) << row.replacement;
  }
  EXPECT_EQ(ExpandEscapes("a\\tb\\x42\\\\"), "a\tbB\\");
  EXPECT_THROW(ExpandEscapes("ab\\"), ERegExpParser);
  EXPECT_THROW(ExpandEscapes("\\x"), ERegExpParser);
}

TEST(RegExpCacheTest, CompilesOnceAndEvictsOldest) {
  TAWKStr awk;
  EXPECT_EQ(awk.cache_size(), 1u);
  EXPECT_EQ(awk.compile_count(), 1u);  // the empty pattern
  awk.SetRegExp("abc");
  awk.SetRegExp("abc");
  EXPECT_EQ(awk.compile_count(), 2u);
  EXPECT_EQ(awk.current_index(), 1u);
  for (int i = 0; i < 28; ++i) awk.SetRegExp("p" + std::to_string(i));
  EXPECT_EQ(awk.cache_size(), 30u);
  EXPECT_EQ(awk.cache_key(29), "abc");
  awk.SetRegExp("abc");  // a hit does not move the entry
  EXPECT_EQ(awk.current_index(), 29u);
  awk.SetRegExp("new");
  EXPECT_EQ(awk.cache_size(), 30u);
  EXPECT_EQ(awk.cache_key(0), "");
  EXPECT_EQ(awk.cache_key(1), "new");
  for (std::size_t i = 0; i < awk.cache_size(); ++i) EXPECT_NE(awk.cache_key(i), "abc");
  awk.SetRegExp("");
  EXPECT_EQ(awk.current_index(), 0u);
}

TEST(RegExpCacheTest, FailedPatternLeavesTheEmptyPattern) {
  TAWKStr awk;
  awk.SetRegExp("b");
  EXPECT_THROW(awk.SetRegExp("(b"), ERegExpParser);
  EXPECT_EQ(awk.RegExp(), "");
  EXPECT_EQ(awk.current_index(), 0u);
  std::size_t start = 0, length = 9;
  EXPECT_EQ(awk.Match("abc", start, length), 1u);
  EXPECT_EQ(length, 0u);
  for (std::size_t i = 0; i < awk.cache_size(); ++i) EXPECT_NE(awk.cache_key(i), "(b");
}

TEST(RegExpCacheTest, FuzzyFlagRecompilesTheCurrentPattern) {
  TAWKStr awk;
  awk.SetRegExp("A");
  std::size_t start = 0, length = 0;
  EXPECT_EQ(awk.Match(S("ａ"), start, length), 0u);
  awk.SetUseFuzzyCharDic(true);
  EXPECT_EQ(awk.RegExp(), "A");
  EXPECT_EQ(awk.cache_key(awk.current_index()), S("(Ａ|ａ|A|a)"));
  EXPECT_EQ(awk.Match(S("xａ"), start, length), 2u);
  EXPECT_EQ(length, 2u);
  awk.SetRegExp(S("ｶﾞｲﾄﾞ"));
  for (const char* text : {"ガイド", "がいど", "か゛イﾄﾞ", "ｶﾞｨド"}) {
    EXPECT_EQ(awk.Match(S(text), start, length), 1u) << text;
    EXPECT_EQ(length, S(text).size()) << text;
  }
  awk.SetUseFuzzyCharDic(false);
  EXPECT_EQ(awk.Match(S("ガイド"), start, length), 0u);
}

}  // namespace
}  // namespace sorabu::regex
