// Grep over many files on several threads: the pane gets exactly what one thread gives it (lines,
// order, line numbers, file headers, unreadable files), and a stop ends the run with a prefix of
// that text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "regex/grep_command.h"
#include "regex/txt_file.h"
#include "test_util.h"

namespace sorabu::regex {
namespace {

using test::S;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class GrepFilesTest : public test::FolderTest {
 protected:
  // A file of random lines: ASCII words, Shift-JIS characters whose bytes hide other characters,
  // the three line ends, now and then one line longer than the reader's block.
  std::string RandomText(std::mt19937& rng) {
    static const std::vector<std::string> pieces = {
        "a1", "b22", "xyz", "hit", " ", S("求"), S("ル、"), S("検索"), S("ｶﾞｲﾄﾞ"), S("がいど"), "\t"};
    static const std::vector<std::string> ends = {"\r\n", "\n", "\r"};
    std::string text;
    const int lines = std::uniform_int_distribution<int>(0, 60)(rng);
    for (int l = 0; l < lines; ++l) {
      const int n = std::uniform_int_distribution<int>(0, 8)(rng);
      for (int k = 0; k < n; ++k) text += pieces[rng() % pieces.size()];
      if (rng() % 97 == 0) text += std::string(70'000 + rng() % 5'000, 'q') + "hit";
      text += ends[rng() % ends.size()];
    }
    return text;
  }

  struct Run {
    Lines pane;
    GrepCommandResult result;
    Lines unreadable;
  };

  Run Grep(const std::string& pattern, const std::vector<std::string>& paths, unsigned threads,
           bool skip_unreadable, bool fuzzy, int stop_after = 0) {
    Run run;
    TGrep grep;
    grep.SetUseFuzzyCharDic(fuzzy);
    int polls = 0;
    if (stop_after > 0) {
      grep.ProcessMessages = [&] {
        if (++polls >= stop_after) grep.Cancel = true;
      };
    }
    GrepPaneOptions options;
    options.threads = threads;
    if (skip_unreadable) {
      options.on_unreadable = [&](const std::string& path, const std::string&) { run.unreadable.push_back(path); };
    }
    GrepPane pane{[&] { run.pane.clear(); }, [&](const std::string& line) { run.pane.push_back(line); }};
    run.result = RunGrepCommand(grep, pattern, paths, options, pane);
    return run;
  }
};

TEST_F(GrepFilesTest, SeveralThreadsGiveThePaneOneThreadGives) {
  const std::vector<std::string> patterns = {"hit", S("求"), "a[0-9]+|xyz", "^b", "z$", S("ガイド"), "q+hit", "[^a-z ]"};
  std::mt19937 rng(20261210);
  for (int round = 0; round < 24; ++round) {
    std::vector<std::string> paths;
    const int files = std::uniform_int_distribution<int>(2, 40)(rng);
    for (int f = 0; f < files; ++f) {
      const std::string name = std::to_string(round) + "-" + std::to_string(f) + ".txt";
      if (rng() % 13 == 0) {
        paths.push_back((dir_ / ("gone-" + name)).string());
      } else {
        paths.push_back(Write(name, RandomText(rng)));
      }
    }
    const std::string& pattern = patterns[round % patterns.size()];
    const bool fuzzy = round % 3 == 0;
    for (const bool skip : {true, false}) {
      SCOPED_TRACE("round " + std::to_string(round) + (skip ? ", unreadable skipped" : ", unreadable ends"));
      const Run one = Grep(pattern, paths, 1, skip, fuzzy);
      for (const unsigned threads : {2u, 4u, 0u}) {
        const Run many = Grep(pattern, paths, threads, skip, fuzzy);
        EXPECT_EQ(many.pane, one.pane) << threads << " threads";
        EXPECT_EQ(many.result.outcome, one.result.outcome);
        EXPECT_EQ(many.result.message, one.result.message);
        EXPECT_EQ(many.unreadable, one.unreadable);
      }
    }
  }
}

TEST_F(GrepFilesTest, AStopEndsTheRunWithWhatOneThreadWouldHaveShownSoFar) {
  std::vector<std::string> paths;
  std::string big;
  for (int i = 0; i < 40'000; ++i) big += "line " + std::to_string(i) + " hit\r\n";
  for (int f = 0; f < 12; ++f) paths.push_back(Write("big" + std::to_string(f) + ".txt", big));
  const Run whole = Grep("hit", paths, 1, true, false);
  // At least one poll per file, so each of these stops before the last file.
  for (const int stop_after : {1, 3, 8}) {
    const Run stopped = Grep("hit", paths, 4, true, false, stop_after);
    EXPECT_EQ(stopped.result.outcome, GrepOutcome::kCancelled);
    EXPECT_EQ(stopped.result.message, S("Grepを中止しました。"));
    ASSERT_FALSE(stopped.pane.empty());
    EXPECT_EQ(stopped.pane.back(), S("[Grepを中止]"));
    const Lines shown(stopped.pane.begin(), stopped.pane.end() - 1);
    ASSERT_LT(shown.size(), whole.pane.size());
    EXPECT_TRUE(std::equal(shown.begin(), shown.end(), whole.pane.begin())) << "stop after " << stop_after;
  }
}

// One large Shift-JIS file is searched in pieces side by side: the lines and their numbers are
// those of the whole, whatever the line ends, long lines (cut by the reader) and patterns that end
// at a line end or start after one. A pattern that could match across a line end keeps the file
// whole.
TEST_F(GrepFilesTest, ALargeFileSearchedInPiecesGivesTheLinesOfTheWhole) {
  std::mt19937 rng(99);
  std::string big;
  while (big.size() < (9u << 20)) {
    big += RandomText(rng);
    if (rng() % 50 == 0) big += std::string((1u << 20) + rng() % 4096, 'y') + "hit\n";
    if (rng() % 30 == 0) big += S("\x82") + "\n";  // a lead byte alone before a line end
  }
  const std::string one = Write("big.txt", big);
  const std::string two = Write("big2.txt", "b22\r\n" + big.substr(3));
  for (const std::string& pattern :
       {std::string("hit"), S("求"), std::string("^b"), std::string("z$"), std::string("$^"), std::string("a[0-9]+|xyz"),
        std::string("y+hit"), std::string("[^a-z ]"), std::string("2\\nh"), std::string("[^a]+b")}) {
    SCOPED_TRACE(pattern);
    const Run whole = Grep(pattern, {one, two}, 1, true, pattern == "hit");
    for (const unsigned threads : {2u, 3u}) {
      const Run pieces = Grep(pattern, {one, two}, threads, true, pattern == "hit");
      ASSERT_EQ(pieces.pane.size(), whole.pane.size()) << threads;
      EXPECT_TRUE(pieces.pane == whole.pane) << threads;
    }
  }
  TGrep grep;
  const struct {
    std::string pattern;
    bool apart;
  } rows[] = {{"hit", true}, {"^abc", true}, {"abc$", true}, {"$^", true}, {"[^a]", true},
              {"[^a]+b", true}, {"a\\nb", false}, {"c$\\nd", false}};
  for (const auto& row : rows) {
    grep.SetRegExp(row.pattern);
    EXPECT_EQ(grep.SearchesLineByLine(), row.apart) << "pattern " << row.pattern;
  }
  EXPECT_TRUE(TTxtFile::ReadsAsShiftJis(one, 4 << 20));
  EXPECT_FALSE(TTxtFile::ReadsAsShiftJis(Write("u8.txt", std::string(100, 'a') + "\xE6\xB1\x82\n"), 4 << 20));
}

// A binary file is set aside where it stands in the list, with no line in the pane; a UTF-16
// file's NULs do not make it binary (it is searched, as bytes), nor does a NUL after the first
// 8 KiB, and without the callback a binary file is searched as text.
TEST_F(GrepFilesTest, BinaryFilesAreSetAsideInListOrder) {
  const std::vector<std::string> paths = {Write("a.txt", "hit\r\n"), Write("b.bin", std::string("MZ\0\0hit\r\n", 9)),
                                          Write("u16.txt", std::string("\xFF\xFEh\0i\0t\0", 8)),
                                          Write("late.bin", std::string(9000, 'x') + std::string(1, '\0') + "hit"),
                                          Write("c.txt", "no\r\nhit\r\n")};
  for (const unsigned threads : {1u, 3u}) {
    TGrep grep;
    Lines pane, binaries;
    GrepPaneOptions options;
    options.threads = threads;
    options.show_line_numbers = false;
    options.on_binary = [&](const std::string& path) {
      binaries.push_back(fs::path(path).filename().string());
      pane.push_back("binary");
    };
    GrepPane sink{[&] { pane.clear(); }, [&](const std::string& line) { pane.push_back(line); }};
    RunGrepCommand(grep, "hit", paths, options, sink);
    const std::string file = S("// 検索ファイル [ ");
    EXPECT_EQ(pane, (Lines{S("Grepの実行　検索正規表現 = hit"), "", file + paths[0] + " ]", "hit", "binary",
                           file + paths[2] + " ]", file + paths[3] + " ]", std::string(9000, 'x') + " hit",
                           file + paths[4] + " ]", "hit"}))
        << threads;
    EXPECT_EQ(binaries, Lines{"b.bin"});
    options.on_binary = nullptr;
    RunGrepCommand(grep, "hit", {paths[1]}, options, sink);
    EXPECT_EQ(pane.back(), "MZ  hit");
  }
}

}  // namespace
}  // namespace sorabu::regex
