// Every search command and TeX to text through `sorabu-cli run`, answers given in order.
#include <string>
#include <vector>

#include "cli_harness.h"
#include "textconv/cp932.h"
#include "tests/support/sjis_text.h"

namespace sorabu::cli::test {
namespace {

using test_support::S;

// LF ends lines unless the settings file given with --ini switches the option off.
TEST_F(CliTest, RunKeepsLfLinesAndHonoursTheOptionOfTheSettingsFile) {
  Write("f.txt", "a\nb needle\nc\n");
  CliResult r = Run({"run", "--no-backup", "MlinenoaddLeft1Click", "f.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read(Path("f.txt")), "1 a\n2 b needle\n3 c\n");

  Write("off.ini", "[Menu]\r\nMlfline=0\r\n");
  Write("f.txt", "a\nb needle\nc\n");
  r = Run({"run", "--no-backup", "--ini", "off.ini", "MlinenoaddLeft1Click", "f.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read(Path("f.txt")), "1 a\nb needle\nc\n\r\n");

  Write("on.ini", "[Menu]\r\nMlfline=1\r\n");
  Write("f.txt", "x\r\ny\r\n");
  r = Run({"run", "--no-backup", "--ini", "on.ini", "MlineextractClick", "--answer", "y", "f.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read(Path("f.txt")), "y\r\n");
}

TEST_F(CliTest, EverySearchCommandRunsThroughRun) {
  struct Row {
    std::string handler;
    std::vector<std::string> answers;  // UTF-8, as typed
    std::string before, after;         // UTF-8
  };
  const std::string text = "banana\r\nC:\\temp\r\n求める\r\nル、\r\n";
  const std::vector<Row> rows = {
      {"MlineextractClick", {"an"}, text, "banana\r\n"},
      {"MlineextractRegClick", {"^C|る$"}, text, "C:\\temp\r\n求める\r\n"},
      {"MlinedeleteClick", {"求"}, text, "banana\r\nC:\\temp\r\nル、\r\n"},
      {"MlinedeleteRegClick", {"a"}, text, "C:\\temp\r\n求める\r\nル、\r\n"},
      {"MlinedeleteListClick", {"temp\nル", "plain"}, text, "banana\r\n求める\r\n"},
      {"MreplaceRegClick", {"a", "[&]"}, text, "b[a]n[a]n[a]\r\nC:\\temp\r\n求める\r\nル、\r\n"},
      {"MreplaceAllClick", {"求", "探"}, text, "banana\r\nC:\\temp\r\n探める\r\nル、\r\n"},
      {"MworddeleteClick", {"na"}, text, "ba\r\nC:\\temp\r\n求める\r\nル、\r\n"},
      {"MworddeleteListClick", {"^.\nn+", "regex"}, text, "aaa\r\n:\\temp\r\nめる\r\n、\r\n"},
      {"MtextotextClick", {}, "\\section{はじめに}\r\n本文 % 注\r\n", "{はじめに}\r\n本文 \r\n"},
  };
  for (const Row& row : rows) {
    Write("a.txt", S(row.before));
    std::vector<std::string> args = {"run", "--no-backup"};
    for (const std::string& answer : row.answers) {
      args.push_back("--answer");
      args.push_back(answer);
    }
    args.push_back(row.handler);
    args.push_back("a.txt");
    const CliResult r = Run(args);
    EXPECT_EQ(r.status, 0) << row.handler << r.err;
    EXPECT_EQ(Read(Path("a.txt")), S(row.after)) << row.handler;
  }
}

TEST_F(CliTest, RunStopsOnAFaultyListEntryWithTheFileUntouched) {
  Write("a.txt", "keep\nme");
  const CliResult r = Run({"run", "--backup", "--answer", "ok\nbad(", "--answer", "regex", "MlinedeleteListClick", "a.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("右(閉じ)括弧が必要です"), std::string::npos) << r.err;
  EXPECT_EQ(Read(Path("a.txt")), "keep\nme");
  EXPECT_FALSE(std::filesystem::exists(Path("a.org")));
}

}  // namespace
}  // namespace sorabu::cli::test
