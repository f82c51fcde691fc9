#include "settings/ini_file.h"
#include "settings/settings_values.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace sorabu::settings {
namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("sorabu-ini-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    path_ = (dir_ / "sorabu.ini").string();
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Contents() {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path dir_;
  std::string path_;
};

TEST_F(IniFileTest, NamesIgnoreCaseAndMissingKeysGiveTheDefault) {
  Write("[Form]\r\nLeft=12\r\n[menu]\r\nMDISP=0\r\n");
  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadInteger("FORM", "left", 5), 12);
  EXPECT_FALSE(ini.ReadBool("Menu", "Mdisp", true));
  EXPECT_EQ(ini.ReadInteger("Form", "Top", 7), 7);
  EXPECT_EQ(ini.ReadString("Nothing", "x", "def"), "def");
}

TEST_F(IniFileTest, GarbageValuesFallBackToTheDefaultAndKeysAroundThemStillRead) {
  Write("[S]\r\na=12abc\r\nb=\r\nc= -4 \r\nd=99999999999\r\ne=1\r\nf=\xff\xfe\x80\r\ng=2\r\nnot a key line\r\n");
  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadInteger("S", "a", 1), 1);
  EXPECT_EQ(ini.ReadInteger("S", "b", 2), 2);
  EXPECT_EQ(ini.ReadInteger("S", "c", 3), -4);
  EXPECT_EQ(ini.ReadInteger("S", "d", 4), 4);  // out of range for an integer
  EXPECT_EQ(ini.ReadInt64("S", "d", 4), 99999999999LL);
  EXPECT_TRUE(ini.ReadBool("S", "e", false));
  EXPECT_EQ(ini.ReadString("S", "f", ""), "\xff\xfe\x80");  // bytes that are not CP932 come back as they are
  EXPECT_TRUE(ini.ReadBool("S", "g", false));                // any integer but 0 is on
}

TEST_F(IniFileTest, DuplicateSectionsAndKeysReadTheFirstValue) {
  Write("[A]\r\nk=1\r\nk=2\r\n[B]\r\nx=0\r\n[a]\r\nk=3\r\nm=4\r\n");
  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadInteger("A", "k", 0), 1);
  EXPECT_EQ(ini.ReadInteger("A", "m", 0), 4);
}

TEST_F(IniFileTest, LastWriteWinsAndOtherSectionsSurviveARewrite) {
  Write("[Grep]\r\nItems_0=#x#\r\n");
  {
    TIniFile ini(path_);
    ini.WriteInteger("Form", "Left", 1);
    ini.WriteInteger("form", "LEFT", 2);
    ini.WriteString("File", "Save", "a\r\nb");  // a line break would cut the value in two
    ASSERT_TRUE(ini.UpdateFile());
  }
  const TIniFile again(path_);
  EXPECT_EQ(again.ReadInteger("Form", "Left", 0), 2);
  EXPECT_EQ(again.ReadString("Grep", "Items_0", ""), "#x#");
  EXPECT_EQ(again.ReadString("File", "Save", ""), "a  b");
  EXPECT_EQ(Contents(), "[Grep]\r\nItems_0=#x#\r\n\r\n[Form]\r\nLeft=2\r\n\r\n[File]\r\nSave=a  b\r\n");
}

TEST_F(IniFileTest, NothingIsCachedBetweenGroups) {
  TIniFile first(path_);
  first.WriteInteger("S", "k", 1);
  ASSERT_TRUE(first.UpdateFile());
  TIniFile second(path_);
  second.WriteInteger("S", "k", 2);
  ASSERT_TRUE(second.UpdateFile());
  EXPECT_EQ(TIniFile(path_).ReadInteger("S", "k", 0), 2);
}

TEST_F(IniFileTest, AnUnwritableFolderFailsAndLeavesTheOldFileWhole) {
  Write("[S]\r\nk=1\r\n");
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(dir_.c_str(), W_OK) == 0) GTEST_SKIP() << "running with rights that ignore permissions";
  TIniFile ini(path_);
  ini.WriteInteger("S", "k", 2);
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_FALSE(ini.Error().empty());
  EXPECT_EQ(TIniFile(path_).ReadInteger("S", "k", 0), 1);
}

TEST(SettingsValues, ColoursByNameAndByHexadecimal) {
  EXPECT_EQ(ColorToString(0x000000), "clBlack");
  EXPECT_EQ(ColorToString(0x0000FF), "clRed");
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(StringToColor("clWindowText"), 0x000000u);
  EXPECT_EQ(StringToColor("clblue"), 0xFF0000u);
  EXPECT_EQ(StringToColor("$00123456"), 0x123456u);
  EXPECT_EQ(StringToColor("$zz"), std::nullopt);
  EXPECT_EQ(StringToColor("clNoSuchColour"), std::nullopt);
  EXPECT_TRUE(FontStyleInRange(255));
  EXPECT_FALSE(FontStyleInRange(256));
  EXPECT_FALSE(FontStyleInRange(-1));
}

}  // namespace
}  // namespace sorabu::settings
