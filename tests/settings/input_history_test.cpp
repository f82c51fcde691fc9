#include "settings/input_history.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "dialogs/scripted_dialogs.h"
#include "settings/ini_file.h"

namespace sorabu::settings {
namespace {

namespace fs = std::filesystem;

class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (fs::temp_directory_path() / ("sorabu-history-" + std::to_string(::getpid()) + ".ini")).string();
    fs::remove(path_);
  }
  void TearDown() override { fs::remove(path_); }
  void Store(std::vector<std::string> list, const std::string& text) {
    TIniFile ini(path_);
    StoreHistory(ini, "Ext", list, text);
    ASSERT_TRUE(ini.UpdateFile());
  }
  std::vector<std::string> Load() { return LoadHistory(TIniFile(path_), "Ext"); }
  std::string path_;
};

TEST_F(HistoryTest, AConfirmedEntryMovesToTheTopAndTheOthersKeepTheirOrder) {
  Store({"a", "b", "c", "d"}, "c");
  EXPECT_EQ(Load(), (std::vector<std::string>{"c", "a", "b", "d"}));
  Store(Load(), "new");
  EXPECT_EQ(Load(), (std::vector<std::string>{"new", "c", "a", "b", "d"}));
}

TEST_F(HistoryTest, HashesKeepBlanksAndHandWrittenEntriesReadUnchanged) {
  {
    TIniFile ini(path_);
    ini.WriteInteger("Ext", "DriveCount", 4);
    ini.WriteString("Ext", "Items_0", "# spaced #");
    ini.WriteString("Ext", "Items_1", "plain");
    ini.WriteString("Ext", "Items_2", "#");
    ini.WriteString("Ext", "Items_3", "#open");
    ASSERT_TRUE(ini.UpdateFile());
  }
  EXPECT_EQ(Load(), (std::vector<std::string>{" spaced ", "plain", "", "ope"}));
  Store(Load(), "");
  // The empty entry is dropped at the next store.
  EXPECT_EQ(Load(), (std::vector<std::string>{" spaced ", "plain", "ope"}));
}

TEST_F(HistoryTest, TwentyTwoEntriesCountAllButWriteTwentyOne) {
  std::vector<std::string> list;
  for (int i = 0; i < 21; ++i) list.push_back("e" + std::to_string(i));
  Store(list, "top");
  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadInteger("Ext", "DriveCount", 0), 22);
  EXPECT_TRUE(ini.ValueExists("Ext", "Items_20"));
  EXPECT_FALSE(ini.ValueExists("Ext", "Items_21"));
  std::vector<std::string> loaded = Load();
  ASSERT_EQ(loaded.size(), 22u);
  EXPECT_EQ(loaded[21], "");
  Store(loaded, "");
  EXPECT_EQ(Load().size(), 21u);
}

TEST_F(HistoryTest, AskWithHistoryStoresOnOkAndLeavesTheFileAloneOnCancel) {
  Store({"x", "y"}, "");
  dialogs::TScriptedDialogs dialogs;
  dialogs.Cancel();
  EXPECT_EQ(AskWithHistory(dialogs, path_, "Ext", "cap", "p1", "", "*.txt"), "");
  EXPECT_EQ(Load(), (std::vector<std::string>{"x", "y"}));
  ASSERT_EQ(dialogs.Offered().size(), 1u);
  EXPECT_EQ(dialogs.Offered()[0], "*.txt|x|y");

  dialogs.Answer("y");
  EXPECT_EQ(AskWithHistory(dialogs, path_, "Ext", "cap", "p1", "", "*.txt"), "y");
  EXPECT_EQ(Load(), (std::vector<std::string>{"y", "x"}));
}

}  // namespace
}  // namespace sorabu::settings
