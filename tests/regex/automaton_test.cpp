// NFA and DFA: dumps of small automata, the literal description, and the limits that turn
// exploding patterns into errors.
#include <gtest/gtest.h>

#include <chrono>

#include "regex/awk_str.h"
#include "regex/dfa.h"
#include "regex/errors.h"
#include "regex/grep.h"
#include "regex/nfa.h"
#include "regex/parser.h"
#include "regex/regular_expression.h"

namespace sorabu::regex {
namespace {

std::string Nfa(std::string_view pattern, Code head = kLineHeadCode, Code tail = kLineTailCode) {
  TREParser parser(pattern);
  parser.Parse();
  return TRE_NFA(parser.tree(), head, tail).dump();
}

std::string Dfa(std::string_view pattern, Code head = kLineHeadCode, Code tail = kLineTailCode) {
  return CompilePattern(pattern, head, tail)->dump();
}

TEST(NfaTest, Dumps) {
  struct Row {
    std::string pattern;
    std::string nfa;
  };
  const Row rows[] = {
      {"", "0: e>1\n1:\n- -\n"},
      {"ab", "0: 61-61>2\n1:\n2: 62-62>1\n- -\n"},
      {"a|b", "0: 61-61>1 62-62>1\n1:\n- -\n"},
      {"a*", "0: e>2\n1:\n2: 61-61>3 e>1\n3: e>2\n- -\n"},
      {"^a$", "0: FFFD-FFFD>3\n1:\n2: FFFE-FFFE>1\n3: 61-61>2\nhead tail\n"},
      {"a^", "0: 61-61>2\n1:\n2: 5E-5E>1\n- -\n"},
      {"\\x0a|[\\xFF00-\\xFFFF]", "0: A-A>1\n1:\n- -\n"},
  };
  for (const Row& row : rows) EXPECT_EQ(Nfa(row.pattern), row.nfa) << row.pattern;
  EXPECT_NE(Nfa("^a$").find("FFFD"), std::string::npos);
}

TEST(NfaTest, AnchorFlags) {
  struct Row {
    std::string pattern;
    bool head;
    bool tail;
  };
  const Row rows[] = {
      {"^a", true, false}, {"a$", false, true}, {"^a|^b", true, false}, {"(^a)?b", true, false},
      {"(^a)*", false, false}, {"a^b", false, false}, {"(a$)*", false, false}, {"a$|b", false, true},
  };
  for (const Row& row : rows) {
    TREParser parser(row.pattern);
    parser.Parse();
    const TRE_NFA nfa(parser.tree(), kLineHeadCode, kLineTailCode);
    EXPECT_EQ(nfa.has_line_head(), row.head) << row.pattern;
    EXPECT_EQ(nfa.has_line_tail(), row.tail) << row.pattern;
  }
}

TEST(DfaTest, DumpsAndLiterals) {
  struct Row {
    std::string pattern;
    std::string dfa;
  };
  const Row rows[] = {
      {"", "0 A:\nliteral:\n"},
      {"abc", "0: 61>1\n1: 62>2\n2: 63>3\n3 A:\nliteral: 61 62 63\n"},
      {"a|b", "0: 61-62>1\n1 A:\nliteral: -\n"},
      {"ab|ac", "0: 61>1\n1: 62-63>2\n2 A:\nliteral: -\n"},
      {"a*", "0 A: 61>1\n1 A: 61>1\nliteral: -\n"},
      {"ab?", "0: 61>1\n1 A: 62>2\n2 A:\nliteral: -\n"},
      // the literal "^" is cut out of "."'s range, so both paths survive
      {"x.b|x^c",
       "0: 78>1\n1: 1-9>2 B-C>2 E-5D>2 5E>3 5F-FCFC>2\n2: 62>4\n3: 62-63>4\n4 A:\nliteral: -\n"},
  };
  for (const Row& row : rows) EXPECT_EQ(Dfa(row.pattern), row.dfa) << row.pattern;
  // Grep's anchors are LF, so anchored fixed strings stay literal
  EXPECT_EQ(Dfa("^ab$", '\n', '\n'), "0: A>1\n1: 61>2\n2: 62>3\n3: A>4\n4 A:\nliteral: A 61 62 A\n");
}

TEST(LimitsTest, ExplodingPatternsEndInErrors) {
  struct Row {
    std::string pattern;
    const char* message;
  };
  std::string dfa_bomb = "(a|b)*a";
  for (int i = 0; i < 24; ++i) dfa_bomb += "(a|b)";
  std::string nested_plus = "a";
  for (int i = 0; i < 24; ++i) nested_plus = "(" + nested_plus + ")+";
  std::string ranges;
  for (int i = 0; i < 4000; ++i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "[\\x%X-\\x%X]", 0x100 + i, 0xF000 - i);
    ranges += buf;
  }
  const Row rows[] = {
      {dfa_bomb, msg::kDfaTooLarge},
      {nested_plus, msg::kTooManyNfaStates},
      {ranges, msg::kTooManyRanges},
  };
  for (const Row& row : rows) {
    const auto t0 = std::chrono::steady_clock::now();
    TAWKStr awk;
    try {
      awk.SetRegExp(row.pattern);
      ADD_FAILURE() << "no error for " << row.pattern.substr(0, 40);
    } catch (const ERegExpParser& e) {
      EXPECT_STREQ(e.what(), row.message);
      EXPECT_EQ(e.Position(), row.pattern.size() + 1);  // the end of the pattern
    }
    EXPECT_EQ(awk.RegExp(), "");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(seconds, 10.0) << row.pattern.substr(0, 40);
  }
  // just under the limits, large patterns still compile
  TAWKStr awk;
  EXPECT_NO_THROW(awk.SetRegExp(std::string(60000, 'a')));
  std::string smaller_bomb = "(a|b)*a";
  for (int i = 0; i < 8; ++i) smaller_bomb += "(a|b)";
  EXPECT_NO_THROW(awk.SetRegExp(smaller_bomb));
  std::size_t start = 0, length = 0;
  EXPECT_EQ(awk.Match("bbbabbbbbbbbb", start, length), 1u);
  EXPECT_EQ(length, 12u);
  EXPECT_EQ(awk.Match("bbbabbbbbbb", start, length), 0u);
}

// Fixed faults.

// Found by fuzzing: a fuzzy pattern whose automaton stayed under the memory budget took seconds
// to build. Without the memory budget in the way, the work budget alone ends the construction.
TEST(LimitsTest, TheWorkBudgetAloneEndsAnExplodingConstruction) {
  std::string bomb = "(a|b)*a";
  for (int i = 0; i < 20; ++i) bomb += "(a|b)";
  TREParser parser(bomb);
  parser.Parse();
  const TRE_NFA nfa(parser.tree(), kLineHeadCode, kLineTailCode);
  const auto t0 = std::chrono::steady_clock::now();
  try {
    TRE_DFA dfa(nfa, std::size_t{1} << 40);
    ADD_FAILURE() << "built " << bomb;
  } catch (const ERegExpParser& e) {
    EXPECT_STREQ(e.what(), msg::kDfaTooLarge);
  }
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), 10.0);
}

}  // namespace
}  // namespace sorabu::regex
