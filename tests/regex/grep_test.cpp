// TTxtFile and TGrep on files in a temporary folder: line ends, blocks, anchors, fixed-string
// and automaton scans, character boundaries, cancel, missing files, and the pane text.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include <sys/stat.h>

#include "reference_matcher.h"
#include "regex/errors.h"
#include "regex/grep.h"
#include "regex/grep_command.h"
#include "textconv/cp932.h"
#include "textconv/jis_euc_sjis.h"
#include "test_util.h"

namespace sorabu::regex {
namespace {

using test::S;
namespace fs = std::filesystem;

class GrepTest : public test::FolderTest {
 protected:
  // "LineNo:Line" of every report.
  std::vector<std::string> Grep(const std::string& pattern, const std::string& bytes, bool fuzzy = false,
                                bool* fixed = nullptr) {
    TGrep grep;
    grep.SetUseFuzzyCharDic(fuzzy);
    grep.SetRegExp(pattern);
    if (fixed != nullptr) *fixed = grep.uses_fixed_scan();
    std::vector<std::string> lines;
    grep.OnMatch = [&](TGrep&, const RE_LineInfo_t& info) {
      lines.push_back(std::to_string(info.LineNo) + ":" + info.Line);
    };
    grep.GrepFile(Write("f.txt", bytes));
    return lines;
  }
};

using Lines = std::vector<std::string>;

TEST_F(GrepTest, LinesAndAnchors) {
  struct Row {
    std::string pattern;
    std::string file;
    Lines lines;
  };
  const Row rows[] = {
      {"abc", "abc", {"1:abc"}},
      {"abc$", "x\r\nabc", {"2:abc"}},
      {"abc$", "abcd\r\nabc\r\n", {"2:abc"}},
      {"^abc", "abc1\r\nxabc\r\nabc2", {"1:abc1", "3:abc2"}},
      // CR only, CR LF and LF give the same lines
      {"b", "a\rb\rc", {"2:b"}},
      {"b", "a\r\nb\r\nc", {"2:b"}},
      {"b", "a\nb\nc", {"2:b"}},
      {"b", "a\r\rb", {"3:b"}},
      // two matches, one report
      {"a", "banana", {"1:banana"}},
      {"a.a", "banana\r\naxa", {"1:banana", "2:axa"}},
      // NUL reads as a blank
      {"a b", std::string("xa\0b\r\n", 6), {"1:xa b"}},
      // a pattern that only matches the empty string reports nothing; "x*" needs an x
      {"", "abc\r\n", {}},
      {"x*", "abc\r\nxyz\r\n", {"2:xyz"}},
      // "^" alone and "^$": no line after the last
      {"^", "a\r\nb\r\n", {"1:a", "2:b"}},
      {"^$", "a\r\n\r\nb", {"2:"}},
      {"$", "a\r\nb", {"1:a", "2:b"}},
      // a match may run on past the line end; the line where it starts is reported
      {"a\\nb", "xa\r\nby", {"1:xa"}},
      // a lead byte before a line end does not swallow it
      {"abc", "\x82\r\nabc", {"2:abc"}},
      // character boundaries: 求 (8B 81) is not inside ル、 (83 8B 81 41)
      {S("求"), S("ル、\r\n求め\r\nル、求"), {"2:" + S("求め"), "3:" + S("ル、求")}},
      {S("求|ZZ"), S("ル、\r\n求め"), {"2:" + S("求め")}},
      {S("[求]"), S("ル、"), {}},
      {S("、"), S("ル、"), {"1:" + S("ル、")}},
      // fixed strings are looked up by their rarest byte, which need not be the first
      {"aQ", "xaQ\r\nQ\r\naQ", {"1:xaQ", "3:aQ"}},
      {S("ルA"), S("求A\r\nルA\r\naルA"), {"2:" + S("ルA"), "3:a" + S("ルA")}},
      {S("、AA"), S("求AAA\r\nル、AA"), {"2:" + S("ル、AA")}},
      {"", "", {}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Grep(row.pattern, row.file), row.lines) << row.pattern;
  }
}

TEST_F(GrepTest, FixedStringAndAutomatonScansAreChosen) {
  bool fixed = false;
  Grep("abc", "abc", false, &fixed);
  EXPECT_TRUE(fixed);
  Grep("^abc$", "abc", false, &fixed);
  EXPECT_TRUE(fixed);
  Grep(S("求"), "", false, &fixed);
  EXPECT_TRUE(fixed);
  Grep("ab*c", "abc", false, &fixed);
  EXPECT_FALSE(fixed);
  Grep("", "abc", false, &fixed);
  EXPECT_FALSE(fixed);
}

TEST_F(GrepTest, FuzzyFindsKanaAndWidthVariants) {
  EXPECT_EQ(Grep(S("ｶﾞ"), S("が\r\nガ\r\nか゛\r\nか\r\nｶﾞ"), true),
            (Lines{"1:" + S("が"), "2:" + S("ガ"), "3:" + S("か゛"), "5:" + S("ｶﾞ")}));
  EXPECT_EQ(Grep("abc", S("ＡＢＣ\r\nAbC\r\nabd"), true), (Lines{"1:" + S("ＡＢＣ"), "2:AbC"}));
}

TEST_F(GrepTest, LinesLongerThanABlock) {
  const std::string long_line = std::string(250'000, 'x') + "needle";
  const Lines got = Grep("needle", "a\r\n" + long_line + "\r\nneedle2\r\n");
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], "2:" + long_line);
  EXPECT_EQ(got[1], "3:needle2");
  const Lines anchored = Grep("^x+n", "a\r\n" + long_line + "\r\n");
  ASSERT_EQ(anchored.size(), 1u);
  EXPECT_EQ(anchored[0].size(), long_line.size() + 2);
}

// One long line must not cost its length squared, in the window or across blocks.
TEST_F(GrepTest, LongLinesStayLinear) {
  const std::string line(400'000, 'a');
  for (const std::string& pattern : {std::string("a*b"), std::string("(a|b)*c"), std::string("[^z]*z|^x")}) {
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Grep(pattern, "x\r\n" + line + "\r\n" + line + "b\r\n"),
              (pattern == "a*b" ? Lines{"3:" + line + "b"} : pattern == "(a|b)*c" ? Lines{} : Lines{"1:x"}))
        << pattern;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(seconds, 5.0) << pattern;
  }
}

// A line longer than the reader's bound comes in pieces of at most that many bytes, each
// reported with the line's number; a double byte that would straddle a cut moves whole to the
// next piece; the lines after it keep their numbers; the pieces join back into the line.
TEST_F(GrepTest, LinesLongerThanTheBoundComeInPieces) {
  constexpr std::size_t kBound = TTxtFile::kLongLine;
  const std::string line = std::string(kBound - 1, 'a') + S("あ") + std::string(kBound, 'b') + "c";
  const Lines got = Grep(".", "first\r\n" + line + "\r\nafter\r\n");
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[0], "1:first");
  EXPECT_EQ(got[1], "2:" + std::string(kBound - 1, 'a'));
  EXPECT_EQ(got[2], "2:" + S("あ") + std::string(kBound - 2, 'b'));
  EXPECT_EQ(got[3], "2:bbc");
  EXPECT_EQ(got[4], "3:after");
  // The fixed-string scan counts lines across the cuts the same way, and a line of exactly the
  // bound is not cut at all.
  EXPECT_EQ(Grep("after", "x\r\n" + line + "\r\n" + std::string(kBound, 'z') + "\r\nafter"), Lines{"4:after"});
  EXPECT_EQ(Grep("z$", std::string(kBound, 'z')), Lines{"1:" + std::string(kBound, 'z')});
  // A match is found wherever it lies in a long line, and only the piece around it is reported.
  const std::string hay = std::string(3 * kBound - 6, 'h') + "needle" + std::string(kBound / 2, 'h');
  const Lines needle = Grep("ne+dle", "top\r\n" + hay + "\r\n");
  ASSERT_EQ(needle.size(), 1u);
  EXPECT_EQ(needle[0], "2:" + std::string(kBound - 6, 'h') + "needle");
}

// Anything but a regular file is refused before it is read: a FIFO without a writer would
// otherwise block the search for ever.
TEST_F(GrepTest, FifosAreRefusedWithoutWaiting) {
  const std::string fifo = (dir_ / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  TGrep grep;
  grep.SetRegExp("x");
  int reports = 0;
  grep.OnMatch = [&](TGrep&, const RE_LineInfo_t&) { ++reports; };
  EXPECT_THROW(grep.GrepFile(fifo), EFileNotFound);
  EXPECT_THROW(grep.GrepFile("/dev/zero"), EFileNotFound);
  EXPECT_EQ(reports, 0);
}

// Many blocks of random Shift-JIS text: both scans report exactly the lines whose characters
// contain the literal's characters, whatever falls on a block edge.
TEST_F(GrepTest, RandomTextAcrossBlocksMatchesACharacterSearch) {
  std::mt19937 rng(99);
  const std::vector<std::string> pieces = {"a", "b", "\x8B\x81", "\x83\x8B", "\x81\x41", "\x82\xA0", "\r\n", "\n", "\r", " "};
  std::string file;
  while (file.size() < 400'000) file += pieces[rng() % pieces.size()];
  for (const std::string& pattern : {S("求"), S("求a"), S("ル、"), std::string("ab"), S("^求"), S("求$")}) {
    // Expected: split into lines as the reader does, compare character codes.
    std::string norm;
    for (std::size_t i = 0; i < file.size(); ++i) {
      if (file[i] == '\r') {
        norm += '\n';
        if (i + 1 < file.size() && file[i + 1] == '\n') ++i;
      } else {
        norm += file[i];
      }
    }
    std::string needle = pattern;
    const bool head = needle.front() == '^', tail = needle.back() == '$';
    if (head) needle.erase(0, 1);
    if (tail) needle.pop_back();
    const std::vector<std::uint32_t> want = test::Decode(needle).codes;
    Lines expected;
    std::size_t start = 0;
    int line_no = 0;
    while (start < norm.size()) {
      std::size_t end = norm.find('\n', start);
      if (end == std::string::npos) end = norm.size();
      const std::string line = norm.substr(start, end - start);
      ++line_no;
      const std::vector<std::uint32_t> codes = test::Decode(line).codes;
      bool hit = false;
      for (std::size_t i = 0; i + want.size() <= codes.size() && !hit; ++i) {
        if ((head && i != 0) || (tail && i + want.size() != codes.size())) continue;
        hit = std::equal(want.begin(), want.end(), codes.begin() + static_cast<std::ptrdiff_t>(i));
      }
      if (hit) expected.push_back(std::to_string(line_no) + ":" + line);
      start = end + 1;
    }
    bool fixed = false;
    EXPECT_EQ(Grep(pattern, file, false, &fixed), expected) << pattern;
    EXPECT_TRUE(fixed);
    EXPECT_EQ(Grep("(" + pattern + ")|QQQ|[Q]+Z", file, false, &fixed), expected) << pattern;
    EXPECT_FALSE(fixed);
  }
}

TEST_F(GrepTest, CancelAndMissingFiles) {
  std::string big;
  for (int i = 0; i < 30'000; ++i) big += "line " + std::to_string(i) + " hit\r\n";
  const std::string path = Write("big.txt", big);
  TGrep grep;
  grep.SetRegExp("hit");
  int reports = 0;
  grep.OnMatch = [&](TGrep& g, const RE_LineInfo_t&) {
    ++reports;
    g.Cancel = true;  // the stop command, run from inside the loop
  };
  EXPECT_THROW(grep.GrepFile(path), EGrepCancel);
  EXPECT_EQ(reports, 1);

  // a stop request seen between blocks
  reports = 0;
  int pumps = 0;
  grep.ProcessMessages = [&] {  // runs after every block and before every reported line
    if (++pumps == 100) grep.Cancel = true;
  };
  grep.OnMatch = [&](TGrep&, const RE_LineInfo_t&) { ++reports; };
  EXPECT_THROW(grep.GrepFile(path), EGrepCancel);
  EXPECT_EQ(reports, 98);

  grep.ProcessMessages = nullptr;
  EXPECT_THROW(grep.GrepFile((dir_ / "missing.txt").string()), EFileNotFound);
  EXPECT_THROW(grep.GrepFile(dir_.string()), EFileNotFound);  // a folder cannot be read
  reports = 0;
  grep.GrepFile(Write("empty.txt", ""));
  EXPECT_EQ(reports, 0);
  // Cancel is cleared at the start of every file
  grep.Cancel = true;
  grep.GrepFile(Write("one.txt", "hit"));
  EXPECT_EQ(reports, 1);
}

TEST_F(GrepTest, AHandlerThatChangesThePatternDoesNotDisturbTheScan) {
  const std::string path = Write("h.txt", "a1\r\nb\r\na2\r\na3\r\n");
  TGrep grep;
  grep.SetRegExp("a[0-9]");
  Lines got;
  grep.OnMatch = [&](TGrep& g, const RE_LineInfo_t& info) {
    got.push_back(info.Line);
    for (int i = 0; i < 40; ++i) g.SetRegExp("x" + std::to_string(i));  // evicts "a[0-9]"
  };
  grep.GrepFile(path);
  EXPECT_EQ(got, (Lines{"a1", "a2", "a3"}));
}

TEST_F(GrepTest, PaneText) {
  const std::string a = Write("a.txt", S("一行目\r\n求める\r\n"));
  const std::string b = Write("b.txt", S("ル、\r\n求\r\n"));
  TGrep grep;
  Lines pane;
  GrepPane sink{[&] { pane.clear(); }, [&](const std::string& line) { pane.push_back(line); }};
  pane = {"old"};
  GrepCommandResult r = RunGrepCommand(grep, S("求"), {a, b}, {}, sink);
  EXPECT_EQ(r.outcome, GrepOutcome::kDone);
  EXPECT_EQ(pane, (Lines{S("Grepの実行　検索正規表現 = 求"), "", S("// 検索ファイル [ ") + a + " ]",
                         a + "(2) :" + S("求める"), S("// 検索ファイル [ ") + b + " ]", b + "(2) :" + S("求")}));

  r = RunGrepCommand(grep, S("求"), {a}, {false, false}, sink);
  EXPECT_EQ(pane, (Lines{S("Grepの実行　検索正規表現 = 求"), "", S("求める")}));

  pane = {"old"};
  r = RunGrepCommand(grep, "(a", {a}, {}, sink);
  EXPECT_EQ(r.outcome, GrepOutcome::kPatternError);
  EXPECT_EQ(r.message, S("右(閉じ)括弧が必要です"));
  EXPECT_EQ(pane, Lines{"old"});

  r = RunGrepCommand(grep, S("求"), {a, (dir_ / "gone.txt").string(), b}, {}, sink);
  EXPECT_EQ(r.outcome, GrepOutcome::kFileError);
  EXPECT_FALSE(r.message.empty());
  EXPECT_EQ(pane.size(), 5u);

  grep.ProcessMessages = [&] { grep.Cancel = true; };
  r = RunGrepCommand(grep, S("求"), {a, b}, {}, sink);
  EXPECT_EQ(r.outcome, GrepOutcome::kCancelled);
  EXPECT_EQ(r.message, S("Grepを中止しました。"));
  EXPECT_EQ(pane.back(), S("[Grepを中止]"));
}

}  // namespace
}  // namespace sorabu::regex

namespace sorabu::regex {
namespace {

// For Grep, "^" and "$" are the LF before and after a line, and a report needs a match of at
// least one character starting at that LF or in the line.
void AnchorsAsLineFeeds(test::RNode& n) {
  if (n.kind == test::RNode::kBol || n.kind == test::RNode::kEol) {
    n.kind = test::RNode::kChars;
    n.ranges = {{'\n', '\n'}};
  }
  for (test::RNode& k : n.kids) AnchorsAsLineFeeds(k);
}

TEST_F(GrepTest, GeneratedPatternsAgreeWithTheReferenceLineByLine) {
  const test::Alphabet alphabet{{'a', 'b', 'c', 0x8B81, 0x838B, 0x8141},
                                {{'a', 'b'}, {'c', 'c'}, {0x8B81, 0x8B81}, {0x829F, 0x82F1}}};
  const std::vector<std::string> pieces = {"a", "b", "c", "x", "\x8B\x81", "\x83\x8B", "\x81\x41", "\x82\xA0", " "};
  const std::vector<std::string> ends = {"\r\n", "\r", "\n"};
  test::PatternGenerator gen(alphabet, 4242);
  for (int round = 0; round < 240; ++round) {
    const bool big = round % 40 == 0;  // some files span several blocks
    std::vector<std::string> lines;
    std::string file;
    const int count = big ? 20'000 : 1 + gen.Pick(30);
    std::string previous_end;
    for (int i = 0; i < count; ++i) {
      std::string line = gen.Text(pieces, 8);
      if (gen.Pick(20) == 0) line += "\x8B";  // a lead byte before the line end stands alone
      if (gen.Pick(30) == 0) line.insert(line.size() / 2, 1, '\0');
      std::string shown = line;
      std::replace(shown.begin(), shown.end(), '\0', ' ');
      lines.push_back(shown);
      file += line;
      // CR, then an empty line ended by LF, would read as one CR LF: avoid writing that
      const int choices = line.empty() && previous_end == "\r" ? 2 : 3;
      previous_end.clear();
      // the last line may lack its line end, unless it is empty (then it would not be there)
      if (i + 1 < count || line.empty() || gen.Pick(2) == 0) {
        previous_end = ends[static_cast<std::size_t>(gen.Pick(choices))];
        file += previous_end;
      }
    }
    for (int k = 0; k < (big ? 2 : 3); ++k) {
      test::RNode root = gen.Generate(3, true);
      const std::string pattern = test::PatternText(root);
      AnchorsAsLineFeeds(root);
      Lines expected;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        test::RText text = test::Decode(lines[i]);
        text.codes.insert(text.codes.begin(), '\n');
        text.codes.push_back('\n');
        const test::ReferenceMatcher m(root, text);
        bool hit = false;
        for (std::size_t start = 0; start + 1 < text.codes.size() && !hit; ++start) {
          hit = m.MatchesNonEmptyFrom(start);
        }
        if (hit) expected.push_back(std::to_string(i + 1) + ":" + lines[i]);
      }
      const Lines got = Grep(pattern, file);
      if (got != expected) {
        std::size_t i = 0;
        while (i < got.size() && i < expected.size() && got[i] == expected[i]) ++i;
        FAIL() << pattern << " round " << round << ": first difference at report " << i << ": got "
               << (i < got.size() ? got[i] : "-") << ", expected " << (i < expected.size() ? expected[i] : "-");
      }
    }
  }
}

}  // namespace
}  // namespace sorabu::regex

namespace sorabu::regex {
namespace {

// Real Japanese text: Debian's manpages-ja sources, converted to Shift-JIS by iconv. GNU grep
// (C locale) on the UTF-8 form of the same lines is the peer; UTF-8 cannot match inside a
// character, so on these patterns its line numbers are the right ones.
TEST_F(GrepTest, ManualPagesAgreeWithGnuGrepOnUtf8) {
  const fs::path pages = "/usr/share/man/ja/man1";
  if (!fs::is_directory(pages) || std::system("command -v iconv >/dev/null && command -v grep >/dev/null") != 0) {
    GTEST_SKIP() << "manpages-ja, iconv or grep missing";
  }
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(pages)) {
    if (entry.path().extension() == ".gz") names.push_back(entry.path().string());
  }
  std::sort(names.begin(), names.end());
  if (names.size() > 60) names.resize(60);
  std::string list;
  for (const std::string& n : names) list += " '" + n + "'";
  const std::string sjis = (dir_ / "pages.sjis").string(), utf8 = (dir_ / "pages.utf8").string();
  ASSERT_EQ(std::system(("zcat" + list + " | iconv -c -f UTF-8 -t CP932 > '" + sjis + "' && iconv -f CP932 -t UTF-8 '" +
                         sjis + "' > '" + utf8 + "'").c_str()), 0);
  for (const char* pattern : {"求", "ファイル", "表示", "^\\.SH", "する。$", "[0-9][0-9]*", "ディレクトリ|フォルダー?",
                              "^\\.B[IR]? ", "オプション"}) {
    const std::string out = (dir_ / "grep.out").string();
    std::system(("LC_ALL=C grep -n -E '" + std::string(pattern) + "' '" + utf8 + "' | cut -d: -f1 > '" + out + "'").c_str());
    std::ifstream in(out);
    std::vector<int> expected;
    for (int n = 0; in >> n;) expected.push_back(n);

    TGrep grep;
    grep.SetRegExp(S(pattern));
    std::vector<int> got;
    grep.OnMatch = [&](TGrep&, const RE_LineInfo_t& info) { got.push_back(info.LineNo); };
    grep.GrepFile(sjis);
    EXPECT_EQ(got, expected) << pattern;
    EXPECT_FALSE(got.empty()) << pattern;
  }
}

}  // namespace
}  // namespace sorabu::regex

namespace sorabu::regex {
namespace {

// A UTF-8 file is searched in code page 932: the pattern matches on its characters, even one a
// block's end cuts in two, and lines are reported in code page 932 (〓 where it lacks one).
TEST_F(GrepTest, Utf8FilesAreSearchedAsTheirCharacters) {
  const std::string nihon = "\xE6\x97\xA5\xE6\x9C\xAC";  // 日本
  const std::string sjis = textconv::Utf8ToCp932("日本");
  EXPECT_EQ(Grep(sjis, "abc\n" + nihon + "\n\xF0\x9F\x98\x80 " + nihon + "\n"),
            (Lines{"2:" + sjis, "3:" + textconv::Utf8ToCp932("〓 日本")}));
  // The file is known as UTF-8 by its first block; then 日 straddles that block's end.
  const std::string cut(TTxtFile::kBlockSize - 8, 'a');
  const std::vector<std::string> found = Grep(sjis, nihon + "\n" + cut + nihon + "\nz\n" + nihon);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[1], "2:" + cut + sjis);
  EXPECT_EQ(found[2], "4:" + sjis);
  EXPECT_EQ(Grep("z", "\xEF\xBB\xBFz" + nihon), (Lines{"1:z" + sjis})) << "the mark is no character";
}

// An EUC or a JIS file is searched as its characters too, and reports the same lines as its
// Shift-JIS copy, a character straddling a block's end or a long line included; a stray escape
// alone decides nothing.
TEST_F(GrepTest, EucAndJisFilesReportWhatTheirShiftJisCopyReports) {
  std::string sjis;
  const std::string word = textconv::Utf8ToCp932("検索語");
  for (int i = 0; i < 9000; ++i) {
    sjis += textconv::Utf8ToCp932(i % 7 == 0 ? "全角の検索語と半角ｶﾅ" : "日本語の行") + std::to_string(i);
    if (i % 1000 == 999) sjis += std::string(TTxtFile::kBlockSize + 3, 'a') + word;
    sjis += "\r\n";
  }
  const Lines want = Grep(word, sjis);
  ASSERT_GT(want.size(), 1000u);
  // JIS has no half-width kana: its copy holds them full-width, and so does what it reports.
  std::string euc, jis, jis_back;
  for (std::size_t at = 0; at < sjis.size();) {
    const std::size_t end = sjis.find("\r\n", at);
    const std::string_view line = std::string_view(sjis).substr(at, end - at);
    euc += textconv::ShiftJisToEuc(line) + "\r\n";
    const std::string jis_line = textconv::ShiftJisToJis(line);
    jis += jis_line + "\r\n";
    jis_back += textconv::JisToShiftJis(jis_line) + "\r\n";
    at = end + 2;
  }
  EXPECT_EQ(Grep(word, euc), want);
  EXPECT_EQ(Grep(word, jis), Grep(word, jis_back));
  EXPECT_EQ(Grep(word, jis).size(), want.size());
  EXPECT_EQ(Grep("x", "\x1B[1mx\n" + std::string("\xE6\x97\xA5x\n")),
            (Lines{"1:\x1B[1mx", "2:" + textconv::Utf8ToCp932("日") + "x"}))
      << "a colour escape is no JIS, and the UTF-8 after it is still seen";
}

}  // namespace
}  // namespace sorabu::regex
