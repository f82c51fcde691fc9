// The lockstep scan against the start-by-start walks: Match, GSub and Grep must give the same
// results whichever decides a search, on line ends, anchors, double-byte text and fuzzy patterns,
// and hostile patterns on long lines must give the right answer.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>

#include "reference_matcher.h"
#include "regex/awk_str.h"
#include "regex/grep.h"
#include "test_util.h"

namespace sorabu::regex {
namespace {

using test::S;
constexpr std::size_t kNever = std::numeric_limits<std::size_t>::max();

struct Result {
  std::size_t start = 0, length = 0;
  int count = 0;
  std::string replaced;
  bool operator==(const Result&) const = default;
};

Result Awk(const std::string& pattern, const std::string& text, std::size_t lockstep_after,
           TMatchCORE_LineSeparator separator = mcls_CRLF, bool fuzzy = false) {
  TAWKStr awk;
  awk.LineSeparator = separator;
  awk.LockstepAfter = lockstep_after;
  awk.SetUseFuzzyCharDic(fuzzy);
  awk.SetRegExp(pattern);
  Result r;
  awk.Match(text, r.start, r.length);
  r.replaced = text;
  r.count = awk.GSub("<&>", r.replaced);
  return r;
}

// Generated anchored patterns on texts full of CR, LF and CR LF, under both line separators: "$"
// stops before the line-end character only where the walk has no transition on it, and "^" walks
// start after every LF. Raw CR and LF in patterns make walks go on across line ends.
TEST(LockstepTest, LineEndsAndAnchorsAgreeWithTheWalks) {
  const test::Alphabet alphabet{{'a', 'b', '\r', '\n', 0x8B81, 0x830A},
                                {{'a', 'b'}, {'\n', '\r'}, {0x8B81, 0x8B81}, {0x8140, 0x8B81}}};
  const std::vector<std::string> pieces = {"a", "b", "\r\n", "\n", "\r", "\x8B\x81", "\x83\x8B", "\x83\n", "x"};
  test::PatternGenerator gen(alphabet, 808);
  for (int p = 0; p < 1200; ++p) {
    const std::string pattern = test::PatternText(gen.Generate(3, true));
    for (int t = 0; t < 4; ++t) {
      const std::string text = gen.Text(pieces, t < 2 ? 10 : 120);
      const auto separator = t % 2 == 0 ? mcls_CRLF : mcls_LF;
      ASSERT_EQ(Awk(pattern, text, 0, separator), Awk(pattern, text, kNever, separator))
          << pattern << " on " << text;
    }
  }
  // A walk that can go on over the line-end character does not stop for "$" there.
  for (const char* pattern : {"a$|a\rb", "a$|a\nb", "(a|a\r)$", "xa$|a\r\nc", "^a$|a\nb"}) {
    for (const char* text : {"xa\rc", "xa\rb", "a\r\nb", "a\nb\na", "xa\r\nc", "a\r"}) {
      for (const auto separator : {mcls_CRLF, mcls_LF}) {
        EXPECT_EQ(Awk(pattern, text, 0, separator), Awk(pattern, text, kNever, separator))
            << pattern << " on " << text;
      }
    }
  }
}

// Hostile patterns on long lines: every start walks far before it fails, and the answer lies
// near the end, after a line end, or behind a character whose second byte looks like the match.
TEST(LockstepTest, HostilePatternsOnLongLinesFindTheRightMatch) {
  std::string ab_1000, kana_300, alternation;
  for (int i = 0; i < 1000; ++i) ab_1000 += "[ab]";
  for (int i = 0; i < 300; ++i) kana_300 += S("[あい]");
  for (int i = 0; i < 200; ++i) alternation += "(ab|ba|aa)";
  std::string abab;
  for (int i = 0; i < 100'000; ++i) abab += "ab";
  std::string aiai;
  for (int i = 0; i < 20'000; ++i) aiai += S("あい");
  struct Row {
    std::string pattern;
    std::string text;
    std::size_t start;
    std::size_t length;
    int count;
  };
  const Row rows[] = {
      {ab_1000 + "aaa", abab + "aaa", abab.size() - 1000 + 1, 1003, 1},
      {ab_1000 + "aaa", abab, 0, 0, 0},
      // "$" stops before CR LF and at the end; "^" walks start after LF
      {ab_1000 + "a$", abab + "a\r\n" + abab + "a", abab.size() - 1000 + 1, 1001, 2},
      {"^" + ab_1000 + "a|" + ab_1000 + "c", "b" + abab + "\r\n" + abab, abab.size() + 3 + 1, 1001, 1},
      // ル (83 8B) holds the second byte of 求 (8B 81): no match starts inside it
      {kana_300 + S("求"), aiai + S("ル、") + aiai + S("求"), aiai.size() * 2 + 4 - 600 + 1, 602, 1},
      {alternation + "c", abab + "c", abab.size() - 400 + 1, 401, 1},
      {"(" + ab_1000 + "c|b)", abab, 2, 1, 100'000},
  };
  for (const Row& row : rows) {
    for (const std::size_t after : {std::size_t{0}, std::size_t{4096}}) {
      const Result r = Awk(row.pattern, row.text, after);
      EXPECT_EQ(r.start, row.start) << row.pattern.substr(0, 40) << " after " << after;
      EXPECT_EQ(r.length, row.length) << row.pattern.substr(0, 40) << " after " << after;
      EXPECT_EQ(r.count, row.count) << row.pattern.substr(0, 40) << " after " << after;
    }
  }
  // Fuzzy: every width and kana variant of the long word is found where the walks would.
  std::string word, text;
  for (int i = 0; i < 60; ++i) word += S("ｶﾞｲﾄﾞ");
  for (int i = 0; i < 3000; ++i) text += S("ガイド");
  text += S("ｶﾞｲﾄ") + text + S("がいど");
  EXPECT_EQ(Awk(word, text, 0, mcls_CRLF, true), Awk(word, text, kNever, mcls_CRLF, true));
  EXPECT_GT(Awk(word, text, 0, mcls_CRLF, true).count, 0);
}

// The walks of a long chain pattern begin again after every line end, through the same lists of
// states each time: those lists stay cached (they are cheap to hold), so a text of many long lines
// builds them once, and the states made for the first line serve every later one.
TEST(LockstepTest, StatesBuiltForOneLongLineServeTheNext) {
  std::string pattern;
  for (int i = 0; i < 3000; ++i) pattern += "[ab]";
  TGrep grep;
  grep.SetRegExp(pattern + "aaa");
  std::string line;
  for (int i = 0; i < 5000; ++i) line += "ab";
  const std::string text = line + "\n" + line + "\n" + line + "aaa\n";
  TLockstepScan scan(grep.dfa(), TLockstepScan::Mode::kGrep, '\n', false, false, '\n', '\n');
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  scan.Start(0, false);
  ASSERT_EQ(scan.Run(bytes, 0, line.size() + 1, false), TLockstepScan::Status::kMoreInput);
  const std::size_t after_first = scan.cached_states();
  ASSERT_EQ(scan.Run(bytes, 0, 2 * line.size() + 2, false), TLockstepScan::Status::kMoreInput);
  EXPECT_EQ(scan.cached_states(), after_first);
  ASSERT_EQ(scan.Run(bytes, 0, text.size(), true), TLockstepScan::Status::kDecided);
  EXPECT_EQ(scan.answer(), 3 * line.size() + 2 + 3 - 3003);
  EXPECT_EQ(scan.cache_resets(), 0u);
}

class LockstepGrepTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir_template[] = "/tmp/regex-lockstep-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    path_ = std::filesystem::path(dir_template) / "f.txt";
  }
  void TearDown() override { std::filesystem::remove_all(path_.parent_path()); }

  std::vector<std::string> Grep(const std::string& pattern, const std::string& bytes,
                                std::size_t lockstep_after) {
    std::ofstream(path_, std::ios::binary) << bytes;
    TGrep grep;
    grep.LockstepAfter = lockstep_after;
    grep.SetRegExp(pattern);
    std::vector<std::string> lines;
    grep.OnMatch = [&](TGrep&, const RE_LineInfo_t& info) {
      lines.push_back(std::to_string(info.LineNo) + ":" + info.Line);
    };
    grep.GrepFile(path_.string());
    return lines;
  }

  std::filesystem::path path_;
};

// Generated patterns over files of short and block-long lines with every kind of line end,
// NULs and lead bytes before line ends: the same lines are reported.
TEST_F(LockstepGrepTest, GeneratedPatternsReportTheSameLines) {
  const test::Alphabet alphabet{{'a', 'b', 'c', '\n', 0x8B81, 0x838B},
                                {{'a', 'b'}, {'c', 'c'}, {0x8B81, 0x8B81}, {0x829F, 0x82F1}}};
  const std::vector<std::string> pieces = {"a", "b", "c", "x", "\x8B\x81", "\x83\x8B", "\x81\x41", " ",
                                           "\r\n", "\n", "\r", "\x8B\n", std::string(1, '\0')};
  test::PatternGenerator gen(alphabet, 515);
  for (int round = 0; round < 120; ++round) {
    std::string file = gen.Text(pieces, round % 20 == 0 ? 150'000 : 60);
    if (round % 3 == 0) file += std::string(3000, 'a') + "b";
    for (int k = 0; k < 4; ++k) {
      const std::string pattern = test::PatternText(gen.Generate(3, true));
      ASSERT_EQ(Grep(pattern, file, 0), Grep(pattern, file, kNever)) << pattern << " round " << round;
    }
  }
}

TEST_F(LockstepGrepTest, HostilePatternOnALongLineReportsItsLine) {
  std::string pattern, line;
  for (int i = 0; i < 1000; ++i) pattern += "[ab]";
  for (int i = 0; i < 300'000; ++i) line += "ab";
  const std::string file = "x\n" + line + "\n" + line + "aaa\nab\n";
  const std::vector<std::string> want = {"3:" + line + "aaa"};
  EXPECT_EQ(Grep(pattern + "aaa", file, 4096), want);
  EXPECT_EQ(Grep(pattern + "aaa", file, 0), want);
  // A match that runs on past its line's end reports the line where it starts.
  EXPECT_EQ(Grep(pattern + "\\n" + pattern, file, 4096), (std::vector<std::string>{"2:" + line}));
}

}  // namespace
}  // namespace sorabu::regex
