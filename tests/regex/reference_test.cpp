// Generated patterns and texts: the engine against the reference matcher of the tests, and
// against gawk (C locale, POSIX leftmost-longest) on the syntax both share.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "reference_matcher.h"
#include "regex/awk_str.h"

namespace sorabu::regex {
namespace {

using test::Alphabet;
using test::PatternGenerator;
using test::RNode;

struct Outcome {
  std::size_t start = 0;   // 1-based, 0 for none
  std::size_t length = 0;
  int count = 0;
  std::string replaced;
};

Outcome Engine(TAWKStr& awk, const std::string& pattern, const std::string& text) {
  awk.SetRegExp(pattern);
  Outcome o;
  awk.Match(text, o.start, o.length);
  o.replaced = text;
  o.count = awk.GSub("<&>", o.replaced);
  return o;
}

Outcome Reference(const RNode& root, const std::string& text) {
  const test::RText decoded = test::Decode(text);
  Outcome o;
  std::size_t a = 0, b = 0;
  if (test::ReferenceMatcher(root, decoded).Search(0, a, b)) {
    o.start = decoded.offsets[a] + 1;
    o.length = decoded.offsets[b] - decoded.offsets[a];
  }
  o.replaced = test::ReferenceGSub(root, text, o.count);
  return o;
}

// Shift-JIS characters whose bytes overlap: 求 8B81, ル 838B, 、 8141, あ 82A0.
const Alphabet kJapanese{{'a', 'b', 'c', 0x8B81, 0x838B, 0x8141, 0x82A0},
                         {{'a', 'a'}, {'b', 'b'}, {'a', 'c'}, {0x8B81, 0x8B81}, {0x829F, 0x82F1}, {0x8140, 0x8149}}};
const std::vector<std::string> kJapanesePieces = {
    "a", "b", "c", "x", "\x8B\x81", "\x83\x8B", "\x81\x41", "\x82\xA0", "\x82\xA2", "\x8B", "\x81", "\xFC\xFD", " "};

TEST(ReferenceTest, GeneratedPatternsAgreeWithTheReferenceMatcher) {
  PatternGenerator gen(kJapanese, 12345);
  TAWKStr awk;
  int checked = 0;
  for (int p = 0; p < 1500; ++p) {
    const RNode root = gen.Generate(3, true);
    const std::string pattern = test::PatternText(root);
    for (int t = 0; t < 6; ++t) {
      const std::string text = gen.Text(kJapanesePieces, 8);
      const Outcome want = Reference(root, text);
      const Outcome got = Engine(awk, pattern, text);
      ASSERT_EQ(got.start, want.start) << pattern << " on " << text;
      ASSERT_EQ(got.length, want.length) << pattern << " on " << text;
      ASSERT_EQ(got.count, want.count) << pattern << " on " << text;
      ASSERT_EQ(got.replaced, want.replaced) << pattern << " on " << text;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 9000);
}

// Long texts over few characters make long walks, so the dead-end cache of the matcher is used
// (it records walks longer than 32 characters); results must not change.
TEST(ReferenceTest, LongTextsAgreeWithTheReferenceMatcher) {
  const Alphabet few{{'a', 'b', 'c', 0x8B81}, {{'a', 'b'}, {'b', 'c'}, {0x8B81, 0x8B81}}};
  const std::vector<std::string> pieces = {"a", "a", "b", "b", "c", "\x8B\x81", "\x83\x8B"};
  PatternGenerator gen(few, 2024);
  TAWKStr awk;
  for (int p = 0; p < 300; ++p) {
    const RNode root = gen.Generate(3, true);
    const std::string pattern = test::PatternText(root);
    for (int t = 0; t < 2; ++t) {
      const std::string text = gen.Text(pieces, 160);
      const Outcome want = Reference(root, text);
      const Outcome got = Engine(awk, pattern, text);
      ASSERT_EQ(got.start, want.start) << pattern << " on " << text;
      ASSERT_EQ(got.length, want.length) << pattern << " on " << text;
      ASSERT_EQ(got.count, want.count) << pattern << " on " << text;
      ASSERT_EQ(got.replaced, want.replaced) << pattern << " on " << text;
    }
  }
}

// The same generated cases with the lockstep scan deciding every search from its first start:
// short texts over overlapping Shift-JIS characters, and long ones over few characters where
// many walks run side by side.
TEST(ReferenceTest, LockstepScanAgreesWithTheReferenceMatcher) {
  struct Set {
    Alphabet alphabet;
    std::vector<std::string> pieces;
    int patterns;
    int length;
  };
  const Set sets[] = {
      {kJapanese, kJapanesePieces, 1500, 8},
      {{{'a', 'b', 0x8B81}, {{'a', 'b'}, {'b', 'b'}, {0x8B81, 0x8B81}}},
       {"a", "a", "b", "\x8B\x81", "\x83\x8B", "c"}, 300, 200},
  };
  std::uint32_t seed = 31;
  for (const Set& set : sets) {
    PatternGenerator gen(set.alphabet, seed++);
    TAWKStr awk;
    awk.LockstepAfter = 0;
    for (int p = 0; p < set.patterns; ++p) {
      const RNode root = gen.Generate(3, true);
      const std::string pattern = test::PatternText(root);
      for (int t = 0; t < 4; ++t) {
        const std::string text = gen.Text(set.pieces, set.length);
        const Outcome want = Reference(root, text);
        const Outcome got = Engine(awk, pattern, text);
        ASSERT_EQ(got.start, want.start) << pattern << " on " << text;
        ASSERT_EQ(got.length, want.length) << pattern << " on " << text;
        ASSERT_EQ(got.count, want.count) << pattern << " on " << text;
        ASSERT_EQ(got.replaced, want.replaced) << pattern << " on " << text;
      }
    }
  }
}

// One long line must not cost its length squared.
TEST(ReferenceTest, LongLinesStayLinear) {
  struct Row {
    std::string pattern;
    std::string text;
    std::size_t start;
  };
  const Row rows[] = {
      {"a*b", std::string(300'000, 'a'), 0},
      {"(a|b)*c", std::string(300'000, 'a') + "b", 0},
      {"a*b$", std::string(300'000, 'a') + "b", 1},
      {"^x|a*c", std::string(300'000, 'a'), 0},
      {"[^z]*z", std::string(300'000, 'a') + "z", 1},
  };
  for (const Row& row : rows) {
    TAWKStr awk;
    awk.SetRegExp(row.pattern);
    std::size_t start = 0, length = 0;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(awk.Match(row.text, start, length), row.start) << row.pattern;
    std::string s = row.text;
    awk.GSub("-", s);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(seconds, 5.0) << row.pattern;
  }
}

// gawk's gsub steps past empty matches differently (it also replaces an empty match at the end
// and never one right after a match), so GSub is compared only for patterns that cannot match
// the empty string; Match is compared for all.
bool Nullable(const RNode& n) {
  switch (n.kind) {
    case RNode::kChars:
    case RNode::kAny: return false;
    case RNode::kBol:
    case RNode::kEol:
    case RNode::kStar:
    case RNode::kOpt: return true;
    case RNode::kPlus: return Nullable(n.kids[0]);
    case RNode::kAlt: return Nullable(n.kids[0]) || Nullable(n.kids[1]);
    case RNode::kCat:
      for (const RNode& k : n.kids) {
        if (!Nullable(k)) return false;
      }
      return true;
  }
  return true;
}

TEST(GawkDifferentialTest, MatchAndGSubAgreeWithGawk) {
  if (std::system("LC_ALL=C gawk 'BEGIN { exit 0 }' >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "gawk is not installed";
  }
  namespace fs = std::filesystem;
  char dir_template[] = "/tmp/regex-gawk-XXXXXX";
  ASSERT_NE(mkdtemp(dir_template), nullptr);
  const fs::path dir = dir_template;

  const Alphabet ascii{{'a', 'b', 'c'}, {{'a', 'a'}, {'b', 'b'}, {'a', 'c'}, {'b', 'c'}}};
  const std::vector<std::string> pieces = {"a", "b", "c", "x", " "};
  const char* seed_env = std::getenv("SORABU_REGEX_GAWK_SEED");
  PatternGenerator gen(ascii, seed_env != nullptr ? static_cast<std::uint32_t>(std::atol(seed_env)) : 777u);
  std::vector<RNode> roots;
  std::vector<std::string> patterns, texts;
  {
    std::ofstream in(dir / "cases.tsv", std::ios::binary);
    // A longer run (a script's) sets SORABU_REGEX_GAWK_CASES and SORABU_REGEX_GAWK_SEED.
    const char* cases_env = std::getenv("SORABU_REGEX_GAWK_CASES");
    const int cases = cases_env != nullptr ? std::atoi(cases_env) : 3000;
    for (int i = 0; i < cases; ++i) {
      roots.push_back(gen.Generate(3, true));
      patterns.push_back(test::PatternText(roots.back()));
      texts.push_back(gen.Text(pieces, 10));
      in << patterns.back() << '\t' << texts.back() << '\n';
    }
  }
  const std::string command =
      "LC_ALL=C gawk -F'\\t' '{ s = $2; if (match(s, $1)) print RSTART, RLENGTH; else print 0, 0;"
      " n = gsub($1, \"<&>\", s); print n \"\\t\" s }' '" +
      (dir / "cases.tsv").string() + "' > '" + (dir / "gawk.out").string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);

  std::ifstream out(dir / "gawk.out", std::ios::binary);
  TAWKStr awk;
  int gsub_compared = 0;
  for (std::size_t i = 0; i < patterns.size(); ++i) {
    std::string match_line, gsub_line;
    ASSERT_TRUE(std::getline(out, match_line));
    ASSERT_TRUE(std::getline(out, gsub_line));
    std::size_t start = 0, length = 0;
    std::istringstream(match_line) >> start >> length;
    const Outcome got = Engine(awk, patterns[i], texts[i]);
    EXPECT_EQ(got.start, start) << patterns[i] << " on " << texts[i];
    if (start != 0) EXPECT_EQ(got.length, length) << patterns[i] << " on " << texts[i];
    if (Nullable(roots[i])) continue;
    const std::size_t tab = gsub_line.find('\t');
    ASSERT_NE(tab, std::string::npos);
    EXPECT_EQ(got.count, std::stoi(gsub_line.substr(0, tab))) << patterns[i] << " on " << texts[i];
    EXPECT_EQ(got.replaced, gsub_line.substr(tab + 1)) << patterns[i] << " on " << texts[i];
    ++gsub_compared;
  }
  EXPECT_GT(gsub_compared, static_cast<int>(patterns.size() / 6));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace sorabu::regex
