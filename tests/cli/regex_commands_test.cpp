// sorabu-cli match, gsub and parse against the engine they wrap.
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli_harness.h"
#include "regex/awk_str.h"
#include "regex/errors.h"
#include "textconv/cp932.h"
#include "tests/support/sjis_text.h"

namespace sorabu::cli::test {
namespace {

using test_support::S;

TEST_F(CliTest, MatchAndGSubAgreeWithTheEngineLineByLine) {
  // Lines with CR inside, double-byte characters whose second byte is "\" or "[", and a last
  // line without LF.
  const std::vector<std::string> lines = {
      "banana", "", "abc\rabc", "C:\\temp\\a", S("表示ソフト") + "a", "aaa bbb", "x^y$z", "ab"};
  std::string input;
  for (const std::string& line : lines) input += line + "\n";
  input.pop_back();
  const std::vector<std::string> patterns = {
      "a", "an+", "^", "$", "b*", "(a|b)+$", "^a|c$", "[^a]", "\\\\", S("ソ"), S("[表ト]"), "x\\^y", "c$"};
  const std::vector<std::string> replacements = {"[&]", "\\&", "", "<\\t>"};
  for (const bool lf : {false, true}) {
    for (const std::string& pattern : patterns) {
      regex::TAWKStr awk;
      if (lf) awk.LineSeparator = regex::mcls_LF;
      awk.SetRegExp(pattern);

      std::vector<std::string> args = {"--raw", "match"};
      if (lf) args.push_back("--lf");
      args.push_back(pattern);
      CliResult r = Run(args, input);
      ASSERT_EQ(r.status, 0) << pattern << r.err;
      std::string expected;
      for (const std::string& line : lines) {
        std::size_t start = 0, length = 0;
        awk.Match(line, start, length);
        expected += std::to_string(start) + " " + std::to_string(length) + "\n";
      }
      EXPECT_EQ(r.out, expected) << pattern;

      for (const std::string& replacement : replacements) {
        args[1] = "gsub";
        std::vector<std::string> gargs = args;
        gargs.push_back(replacement);
        r = Run(gargs, input);
        ASSERT_EQ(r.status, 0) << pattern << r.err;
        expected.clear();
        for (std::string line : lines) {
          const int count = awk.GSub(replacement, line);
          expected += std::to_string(count) + "\t" + line + "\n";
        }
        EXPECT_EQ(r.out, expected) << pattern << " / " << replacement;
      }
    }
  }
}

TEST_F(CliTest, KnownMatchAndGSubResults) {
  struct Row {
    std::vector<std::string> args;
    std::string input;
    std::string out;
  };
  const std::vector<Row> rows = {
      {{"gsub", "a", "[&]"}, "banana\n", "3\tb[a]n[a]n[a]\n"},
      {{"gsub", "^", "> "}, "one\ntwo\n\n", "1\t> one\n1\t> two\n1\t> \n"},
      {{"gsub", "$", "-"}, "abc", "1\tabc-\n"},
      {{"gsub", "x", "y"}, "C:\\temp\n", "0\tC:\\temp\n"},
      {{"match", "b+"}, "abbbc\nxyz\n", "2 3\n0 0\n"},
      {{"match", "求"}, "ル、\n求\n", "0 0\n1 2\n"},
      {{"match", "a"}, "", ""},
  };
  for (const Row& row : rows) {
    const CliResult r = Run(row.args, S(row.input));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, S(row.out)) << row.args[1];
  }
}

TEST_F(CliTest, ParseReportsMessageAndPosition) {
  struct Row {
    std::string pattern;
    int status;
    std::string out;
    std::string err;
  };
  const std::vector<Row> rows = {
      {"a(b|c)*", 0, "ok\n", ""},
      {"a(b", 1, "", "右(閉じ)括弧が必要です\t4\n"},
      {"[abc", 1, "", "右ブラケット\"]\"が必要です\t5\n"},
      {"ab)", 1, "", "正規表現に余分な文字があります\t4\n"},
      {"a\\", 1, "", "\"\\\"の次には文字が必要です。\t3\n"},
  };
  for (const Row& row : rows) {
    const CliResult r = Run({"parse", row.pattern});
    EXPECT_EQ(r.status, row.status) << row.pattern;
    EXPECT_EQ(r.out, row.out) << row.pattern;
    EXPECT_EQ(r.err, row.err) << row.pattern;
  }
}

TEST_F(CliTest, FaultyPatternOrReplacementStopsBeforeAnyLine) {
  const std::vector<std::vector<std::string>> calls = {
      {"match", "(a"}, {"gsub", "a", "x\\"}, {"gsub", "[", "x"}};
  for (const auto& args : calls) {
    const CliResult r = Run(args, "aaa\n");
    EXPECT_EQ(r.status, 1) << args[1];
    EXPECT_EQ(r.out, "") << args[1];
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_EQ(Run({"match"}).status, 2);
  EXPECT_EQ(Run({"gsub", "a"}).status, 2);
  EXPECT_EQ(Run({"match", "--crlf", "a"}).status, 2);
}

}  // namespace
}  // namespace sorabu::cli::test
