// Whole runs of the search commands on files in a temporary folder: questions, histories, bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/scripted_dialogs.h"
#include "textcmd/command_table.h"
#include "textcmd/search_commands.h"
#include "textconv/cp932.h"
#include "tests/support/sjis_text.h"
#include "tests/textcmd/map_memory.h"

namespace sorabu::textcmd {
namespace {

using test_support::S;


using test::MapMemory;

class SearchCommandRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (std::filesystem::temp_directory_path() / "sorabu-search-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    path_ = (dir_ / "a.txt").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void Write(std::string_view bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
  std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  Outcome Run(SearchCommand command, std::vector<std::optional<std::string>> answers, const std::string& selection = "") {
    dialogs_ = dialogs::TScriptedDialogs();
    for (const auto& answer : answers) {
      if (answer) dialogs_.Answer(*answer);
      else dialogs_.Cancel();
    }
    TCommandContext context(dialogs_);
    context.backup = false;
    context.lfLines = false;  // the literal model; the LF model has its own table test
    return RunSearchCommand(command, path_, context, &memory_, selection);
  }

  std::filesystem::path dir_;
  std::string path_;
  dialogs::TScriptedDialogs dialogs_;
  MapMemory memory_;
};

TEST_F(SearchCommandRunTest, RewritesEveryLineWithCrLf) {
  struct Row {
    SearchCommand command;
    std::vector<std::optional<std::string>> answers;
    std::string before, after;
  };
  const std::vector<Row> rows = {
      {SearchCommand::LineExtract, {"an"}, "banana\r\napple\r\ncan", "banana\r\ncan\r\n"},
      // The streaming lines end at CR; an LF alone stays inside its line.
      {SearchCommand::LineDelete, {"x"}, "ax\nb\rc\r\n", "c\r\n"},
      {SearchCommand::ReplaceReg, {"a", "[&]"}, "banana\r\n", "b[a]n[a]n[a]\r\n"},
      {SearchCommand::ReplaceAll, {"na", "NA"}, "banana", "baNANA\r\n"},
      {SearchCommand::WordDeleteList, {"a\r\nn\r\n", "plain"}, "banana\r\nxyz\r\n", "b\r\nxyz\r\n"},
      {SearchCommand::LineDeleteList, {"^b\n^x", "regex"}, "banana\r\nxyz\r\nok\r\n", "ok\r\n"},
      {SearchCommand::LineExtractReg, {S("求")}, S("ル、\r\n求める\r\n"), S("求める\r\n")},
  };
  for (const Row& row : rows) {
    Write(row.before);
    EXPECT_EQ(Run(row.command, row.answers), Outcome::Done);
    EXPECT_EQ(Read(path_), row.after) << row.before;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "a.org"));
  }
}

TEST_F(SearchCommandRunTest, FaultyEntryOrCancelLeavesTheFileUntouched) {
  struct Row {
    SearchCommand command;
    std::vector<std::optional<std::string>> answers;
    Outcome outcome;
  };
  const std::vector<Row> rows = {
      {SearchCommand::LineDeleteList, {"ok\nbad(\nfine", "regex"}, Outcome::Failed},
      {SearchCommand::ReplaceReg, {"a", "x\\"}, Outcome::Failed},
      {SearchCommand::LineExtractReg, {"a|*"}, Outcome::Failed},
      {SearchCommand::LineExtractReg, {""}, Outcome::Cancelled},  // an empty pattern does nothing
      {SearchCommand::ReplaceReg, {"a"}, Outcome::Cancelled},     // the replacement is cancelled
      {SearchCommand::WordDelete, {}, Outcome::Cancelled},
      {SearchCommand::WordDeleteList, {"a"}, Outcome::Cancelled},
  };
  for (const Row& row : rows) {
    Write("banana\nC:\\temp");
    EXPECT_EQ(Run(row.command, row.answers), row.outcome);
    EXPECT_EQ(Read(path_), "banana\nC:\\temp");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "a.org"));
    EXPECT_EQ(dialogs_.Messages().size(), row.outcome == Outcome::Failed ? 1u : 0u);
  }
  path_ = (dir_ / "missing.txt").string();
  EXPECT_EQ(Run(SearchCommand::LineExtract, {"a"}), Outcome::NoFile);
  EXPECT_TRUE(dialogs_.Questions().empty());  // nothing is asked about a missing file
}

TEST_F(SearchCommandRunTest, QuestionsOfferSelectionHistoriesAndTheStoredList) {
  Write("abc\r\n");
  ASSERT_EQ(Run(SearchCommand::ReplaceReg, {"b", "B"}, "sel"), Outcome::Done);
  EXPECT_EQ(dialogs_.Questions(), (std::vector<std::string>{S("正規表現置換"), S("正規表現置換")}));
  EXPECT_EQ(dialogs_.Offered(), (std::vector<std::string>{"sel", ""}));
  ASSERT_EQ(Run(SearchCommand::ReplaceReg, {"c", "B"}), Outcome::Done);
  EXPECT_EQ(dialogs_.Offered(), (std::vector<std::string>{"|b", "|B"}));
  ASSERT_EQ(Run(SearchCommand::LineExtractReg, {"b"}), Outcome::Done);  // known: stays in place
  EXPECT_EQ(dialogs_.Questions().back(), S("検索－正規表現"));
  EXPECT_EQ(dialogs_.Offered().back(), "|c|b");
  EXPECT_EQ(memory_.values["GrepR/DriveCount"], "2");
  EXPECT_EQ(memory_.values["GrepR/Items_0"], "#c#");
  EXPECT_EQ(memory_.values["GrepR/DriveCount2"], "1");
  EXPECT_EQ(memory_.values["GrepR/Items2_0"], "#B#");

  ASSERT_EQ(Run(SearchCommand::WordDeleteList, {" x \r\ny", "regex"}), Outcome::Done);
  EXPECT_EQ(memory_.values["RenzokuDelete/ListCount"], "2");
  EXPECT_EQ(memory_.values["RenzokuDelete/Items_0"], "# x #");
  EXPECT_EQ(memory_.values["RenzokuDelete/RegCheck"], "1");
  ASSERT_EQ(Run(SearchCommand::LineDeleteList, {}), Outcome::Cancelled);
  EXPECT_EQ(dialogs_.Questions().back(), S("検索行削除 連続"));
  EXPECT_EQ(dialogs_.Offered().back(), " x \r\ny\r\n");
}

}  // namespace
}  // namespace sorabu::textcmd
