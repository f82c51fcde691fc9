// sorabu-cli grep: the pane text of the Grep command, byte for byte.
#include <filesystem>
#include <string>
#include <vector>

#include "cli_harness.h"
#include "textconv/cp932.h"
#include "textconv/jis_euc_sjis.h"
#include "tests/support/sjis_text.h"

namespace sorabu::cli::test {
namespace {

using test_support::S;

// Pane lines joined with CR LF, each line given in UTF-8.
std::string Pane(const std::vector<std::string>& utf8_lines) {
  std::string text;
  for (const std::string& line : utf8_lines) text += S(line) + "\r\n";
  return text;
}

class GrepCliTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    Write("d/a.txt", "abc\r\nxx abc yy abc\r\nnothing\r\n");
    Write("d/b.txt", S("求める\nル、は違う\n") + "abc$");  // LF lines, no final line end
    Write("d/c.txt", "");
  }
};

TEST_F(GrepCliTest, FolderGivesThePaneTextOfEveryFileInNameOrder) {
  struct Row {
    std::vector<std::string> options;
    std::string pattern;  // UTF-8
    std::vector<std::string> pane;
  };
  const std::vector<Row> rows = {
      {{}, "abc",
       {"Grepの実行　検索正規表現 = abc", "", "// 検索ファイル [ d/a.txt ]", "d/a.txt(1) :abc",
        "d/a.txt(2) :xx abc yy abc", "// 検索ファイル [ d/b.txt ]", "d/b.txt(3) :abc$",
        "// 検索ファイル [ d/c.txt ]"}},
      {{"--no-names"}, "^abc",
       {"Grepの実行　検索正規表現 = ^abc", "", "d/a.txt(1) :abc", "d/b.txt(3) :abc$"}},
      {{"--no-line-numbers", "--no-names"}, "c$", {"Grepの実行　検索正規表現 = c$", "", "abc", "xx abc yy abc"}},
      // The character, not its bytes: 求 (8B 81) also stands inside ル、 (83 8B 81 41).
      {{"--no-names"}, "求", {"Grepの実行　検索正規表現 = 求", "", "d/b.txt(1) :求める"}},
      {{"--no-names"}, "zzz", {"Grepの実行　検索正規表現 = zzz", ""}},
  };
  for (const Row& row : rows) {
    std::vector<std::string> args = row.options;
    args.push_back(row.pattern);
    args.push_back("d");
    const CliResult r = Run([&] {
      std::vector<std::string> a = {"grep"};
      a.insert(a.end(), args.begin(), args.end());
      return a;
    }());
    EXPECT_EQ(r.status, 0) << row.pattern << r.err;
    EXPECT_EQ(r.out, Pane(row.pane)) << row.pattern;
  }
}

// Through a whole tree: one word is found in Shift-JIS, EUC, JIS and UTF-8 files alike, each
// file's code decided by itself and its lines reported as Shift-JIS; hidden folders, a link back
// up the tree and a binary file are left out.
TEST_F(GrepCliTest, RecursiveSearchesTheTreeInEveryJapaneseCode) {
  Write("t/sjis.txt", S("一行目\r\n検索語はここ\r\n"));
  Write("t/sub/euc.txt", textconv::ShiftJisToEuc(S("ＥＵＣの検索語\n")));
  Write("t/sub/jis.txt", textconv::ShiftJisToJis(S("ＪＩＳの検索語\r\n")));
  Write("t/utf8/u.txt", "UTF-8の検索語\n");
  Write("t/.hidden/h.txt", S("隠れた検索語\r\n"));
  Write("t/bin.dat", std::string("\0\0", 2) + S("検索語"));
  std::filesystem::create_directory_symlink(Path("t"), Path("t/sub/loop"));
  const CliResult r = Run({"grep", "--no-names", "--recursive", "検索語", "t"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Pane({"Grepの実行　検索正規表現 = 検索語", "", "t/sjis.txt(2) :検索語はここ",
                         "t/sub/euc.txt(1) :ＥＵＣの検索語", "t/sub/jis.txt(1) :ＪＩＳの検索語",
                         "t/utf8/u.txt(1) :UTF-8の検索語"}));
  EXPECT_NE(r.err.find("1 binary files not searched"), std::string::npos) << r.err;
  // Without it, a folder stands for its own files only.
  EXPECT_EQ(Run({"grep", "--no-names", "検索語", "t"}).out,
            Pane({"Grepの実行　検索正規表現 = 検索語", "", "t/bin.dat(1) :  検索語", "t/sjis.txt(2) :検索語はここ"}));
}

// Files are searched on several threads; the output is the same for any number of them.
TEST_F(GrepCliTest, JobsChangeNothingButTheSpeed) {
  for (int f = 0; f < 30; ++f) {
    std::string text;
    for (int l = 0; l < 200 + f * 37; ++l) text += (l % (f + 2) == 0 ? S("検索語 ") : "x ") + std::to_string(l) + "\r\n";
    Write("many/" + std::to_string(100 + f) + ".txt", text);
  }
  const CliResult one = Run({"grep", "--jobs", "1", "検索語", "many"});
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_NE(one.out.find("many/129.txt(1) :"), std::string::npos);
  for (const char* jobs : {"2", "5"}) EXPECT_EQ(Run({"grep", "--jobs", jobs, "検索語", "many"}).out, one.out) << jobs;
  EXPECT_EQ(Run({"grep", "検索語", "many"}).out, one.out);
  for (const char* bad : {"0", "x", "-1", "1000"}) EXPECT_EQ(Run({"grep", "--jobs", bad, "a", "many"}).status, 2) << bad;
}

TEST_F(GrepCliTest, Utf8FuzzyCountAndRawArguments) {
  Write("k.txt", S("ガイド\nがいど\nｶﾞｲﾄﾞ\nかいと\n"));
  struct Row {
    std::vector<std::string> args;
    std::string out;
  };
  const std::vector<Row> rows = {
      {{"grep", "--utf8", "--no-names", "--no-line-numbers", "ガイド", "k.txt"},
       "Grepの実行　検索正規表現 = ガイド\r\n\r\nガイド\r\n"},
      {{"grep", "--fuzzy", "--count", "ガイド", "k.txt"}, "3\n"},
      {{"grep", "--count", "ガイド", "k.txt"}, "1\n"},
      {{"grep", "--count", "い|イ", "k.txt", "d"}, "3\n"},
      {{"--raw", "grep", "--count", S("求"), "d"}, "1\n"},
  };
  for (const Row& row : rows) {
    const CliResult r = Run(row.args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, row.out) << row.args.back();
  }
}

TEST_F(GrepCliTest, NonAsciiFileNamesShowReadably) {
  Write("日本.txt", "abc\n");
  const CliResult r = Run({"grep", "--no-names", "b", "日本.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Pane({"Grepの実行　検索正規表現 = b", "", "日本.txt(1) :abc"}));
}

TEST_F(GrepCliTest, FailuresReportOnStandardError) {
  // A faulty pattern writes no pane text.
  CliResult r = Run({"grep", "a(b", "d"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("右(閉じ)括弧が必要です"), std::string::npos) << r.err;
  // A missing file ends the run; what was found before it stays.
  r = Run({"grep", "--no-names", "abc", "d/a.txt", "missing.txt", "d/b.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, Pane({"Grepの実行　検索正規表現 = abc", "", "d/a.txt(1) :abc", "d/a.txt(2) :xx abc yy abc"}));
  EXPECT_FALSE(r.err.empty());
  // Usage errors.
  EXPECT_EQ(Run({"grep", "abc"}).status, 2);
  EXPECT_EQ(Run({"grep", "--bogus", "abc", "d"}).status, 2);
}

}  // namespace
}  // namespace sorabu::cli::test
