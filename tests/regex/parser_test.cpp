// Scanner and parser: tokens, trees after range splitting, and syntax errors with positions.
#include <gtest/gtest.h>

#include "regex/errors.h"
#include "regex/parser.h"
#include "regex/scanner.h"
#include "test_util.h"

namespace sorabu::regex {
namespace {

using test::S;

std::string Tree(std::string_view pattern) {
  TREParser parser(pattern);
  parser.Parse();
  return parser.tree().dump();
}

TEST(ScannerTest, TokensWithPositions) {
  struct Row {
    std::string pattern;
    std::string tokens;
  };
  const Row rows[] = {
      {"", "end 1-1\n"},
      {"a|(b)", "lit 61 1-2\nor 2-3\nopen 3-4\nlit 62 4-5\nclose 5-6\nend 6-6\n"},
      {"*+?.^$]", "star 1-2\nplus 2-3\nopt 3-4\nany 4-5\nbol 5-6\neol 6-7\nendclass 7-8\nend 8-8\n"},
      {"[^a-c]", "nclass 1-3\nrange 61-63 3-6\nendclass 6-7\nend 7-7\n"},
      // "-" first or last is literal; "]" after "-" closes the class
      {"[-a-]", "class 1-2\nlit 2D 2-3\nlit 61 3-4\nlit 2D 4-5\nendclass 5-6\nend 6-6\n"},
      // inside a class the operators are literals and "\]" is a "]"
      {"[(|*\\]]", "class 1-2\nlit 28 2-3\nlit 7C 3-4\nlit 2A 4-5\nlit 5D 5-7\nendclass 7-8\nend 8-8\n"},
      {"\\b\\n\\r\\t", "lit 8 1-3\nlit A 3-5\nlit D 5-7\nlit 9 7-9\nend 9-9\n"},
      {"\\x41\\x8140\\x12345", "lit 41 1-5\nlit 8140 5-11\nlit 1234 11-17\nlit 35 17-18\nend 18-18\n"},
      {"\\101\\0\\1777777", "lit 41 1-5\nlit 0 5-7\nlit FFFF 7-14\nlit 37 14-15\nend 15-15\n"},
      {"\\{{", "lit 7B 1-3\nlit 7B 3-4\nend 4-4\n"},
      {S("求\\ル"), "lit 8B81 1-3\nlit 838B 3-6\nend 6-6\n"},
      // the second byte 0x5C of 表 is not a backslash
      {S("表"), "lit 955C 1-3\nend 3-3\n"},
      {S("[ぁ-ん]"), "class 1-2\nrange 829F-82F1 2-7\nendclass 7-8\nend 8-8\n"},
      // a NUL byte is a literal, it does not end the pattern
      {std::string("a\0b", 3), "lit 61 1-2\nlit 0 2-3\nlit 62 3-4\nend 4-4\n"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(TREScanner(row.pattern).dump(), row.tokens) << row.pattern;
  }
}

TEST(ParserTest, TreesAfterSplitting) {
  struct Row {
    std::string pattern;
    std::string tree;
  };
  const std::string any = "(or (or [#01-#09] [#0B-#0C]) [#0E-#FCFC])";
  const Row rows[] = {
      {"", "()"},
      {"()", "()"},
      {"a", "[a]"},
      {"ab", "(cat [a] [b])"},
      {"abc", "(cat (cat [a] [b]) [c])"},
      {"a|b|c", "(or (or [a] [b]) [c])"},
      {"a|", "(or [a] ())"},
      {"|a", "(or () [a])"},
      {"a*", "(star [a])"},
      {"a+", "(cat [a] (star [a]))"},
      {"a?", "(or [a] ())"},
      {"(ab)*c", "(cat (star (cat [a] [b])) [c])"},
      {"[abc]", "(or (or [a] [b]) [c])"},
      {"[a-]", "(or [a] [#2D])"},
      {"[-a]", "(or [#2D] [a])"},
      {"[a-z][k-m]", "(cat (or (or [a-j] [k-m]) [n-z]) [k-m])"},
      {".", any},
      {"[^a]", "(or (or (or [#01-#09] [#0B-#0C]) [#0E-#60]) [b-#FCFC])"},
      {"[^\\x01-\\x09]", "(or [#0B-#0C] [#0E-#FCFC])"},
      {"[^\\n\\r]", any},
      {"a^b", "(cat (cat [a] ^) [b])"},
      {"^a$", "(cat (cat ^ [a]) $)"},
      {"\\x41", "[A]"},
      {"\\101", "[A]"},
      {"\\x8140", "[#8140]"},
      {"{", "[#7B]"},
      {"\\{", "[#7B]"},
      {".a", "(cat (or (or [#01-#09] [#0B-#0C]) (or (or [#0E-#60] [a]) [b-#FCFC])) [a])"},
      {S("求"), "[#8B81]"},
      {S("[あ-う]い"), "(cat (or (or [#82A0-#82A1] [#82A2]) [#82A3-#82A4]) [#82A2])"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Tree(row.pattern), row.tree) << row.pattern;
  }
}

TEST(ParserTest, SplitLeavesAreSharedAndDisjoint) {
  TREParser parser("[a-z][k-m]x");
  parser.Parse();
  std::vector<std::pair<int, int>> ranges;
  for (const TREParseNode* leaf : parser.tree().leaves()) ranges.emplace_back(leaf->low, leaf->high);
  std::sort(ranges.begin(), ranges.end());
  const std::vector<std::pair<int, int>> expected = {{'a', 'j'}, {'k', 'm'}, {'n', 'w'}, {'x', 'x'}, {'y', 'z'}};
  EXPECT_EQ(ranges, expected);
}

TEST(ParserTest, SyntaxErrorsWithPositions) {
  struct Row {
    std::string pattern;
    const char* message;
    int position;
  };
  const Row rows[] = {
      {"a**", msg::kPrimaryNeeded, 4},
      {"*a", msg::kPrimaryNeeded, 2},
      {"+", msg::kPrimaryNeeded, 2},
      {"?x", msg::kPrimaryNeeded, 2},
      {"a+?", msg::kPrimaryNeeded, 4},
      {"]", msg::kPrimaryNeeded, 2},
      {"a)", msg::kExtraChars, 3},
      {"(a", msg::kParenNeeded, 3},
      {"((a)", msg::kParenNeeded, 5},
      {"[z-a]", msg::kBadRange, 5},
      {"[]", msg::kBadClass, 3},
      {"[^]", msg::kBadClass, 4},
      {"[^\\x01-\\xFFFF]", msg::kBadClass, 15},
      {"[abc", msg::kBracketNeeded, 5},
      {"[", msg::kBracketNeeded, 2},
      {"[^", msg::kBracketNeeded, 3},
      {"[a-", msg::kBracketNeeded, 4},
      {"\\", msg::kBackslashAtEnd, 2},
      {"a[\\", msg::kBackslashAtEnd, 4},
      {"\\x", msg::kBadHex, 3},
      {"\\xg", msg::kBadHex, 3},
      {"\\777777", msg::kBadOctal, 8},
      {"a\x82", msg::kBadDoubleByte, 3},
      {"[a\x82", msg::kBadDoubleByte, 4},
      {std::string(1001, '(') + "a" + std::string(1001, ')'), msg::kTooDeep, 1002},
      {std::string(65536, 'a'), msg::kTooLong, 65535},
  };
  // "[]" closes at once, so "]" cannot open a class's members
  EXPECT_THROW(TREParser("[]a]").Parse(), ERegExpParser);
  for (const Row& row : rows) {
    TREParser parser(row.pattern);
    try {
      parser.Parse();
      ADD_FAILURE() << "no error for " << row.pattern;
    } catch (const ERegExpParser& e) {
      EXPECT_STREQ(e.what(), row.message) << row.pattern;
      EXPECT_EQ(e.Position(), row.position) << row.pattern;
    }
  }
}

TEST(ParserTest, ValidEdgeCases) {
  const std::string deep = std::string(1000, '(') + std::string(1000, ')');
  for (const std::string& p : {std::string("a|"), std::string("|a"), std::string("()"),
                               std::string("(|)"), std::string("[a-]"), std::string("[-a]"),
                               std::string("a{2}"), std::string("[^-]"), std::string("x^c"),
                               std::string("(^a)*"), std::string("a$b"), std::string("\\\\"), deep}) {
    TREParser parser(p);
    EXPECT_NO_THROW(parser.Parse()) << p;
  }
}

TEST(ParserTest, MessagesConvertToCp932) {
  try {
    TREParser parser("(a");
    parser.Parse();
    FAIL();
  } catch (const ERegExpParser& e) {
    EXPECT_EQ(e.MessageCp932(), S("右(閉じ)括弧が必要です"));
  }
}

}  // namespace
}  // namespace sorabu::regex
