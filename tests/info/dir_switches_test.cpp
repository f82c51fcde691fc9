// The listing dialog's argument text and how the listing reads switches back.
#include <gtest/gtest.h>

#include "info/dir_switches.h"
#include "textconv/cp932.h"

namespace sorabu::info {
namespace {

TEST(DirSwitchesTest, ArgumentTextFollowsTheControlsInTableOrder) {
  // Hidden, reverse name order, subfolders, names only, no lower case.
  EXPECT_EQ(BuildDirArguments("C:\\TEMP", 5, 2, true, 2, false), "\"C:\\TEMP\" /A:H /O:-N /S /B ");
  EXPECT_EQ(BuildDirArguments("/tmp", 0, 0, false, 0, false), "\"/tmp\"     ");
  EXPECT_EQ(BuildDirArguments("/x", 10, 12, false, 3, true), "\"/x\" /A:-A /O:-A  /W /L");
  // Out of range counts as the first entry.
  EXPECT_EQ(BuildDirArguments("/x", 99, -1, false, 7, false), "\"/x\"     ");
  EXPECT_EQ(DirAttributeItems().size(), 11u);
  EXPECT_EQ(DirSortItems().size(), 13u);
  EXPECT_EQ(DirSortItems()[2], textconv::Utf8ToCp932("-N 名前－逆順"));
  EXPECT_EQ(DirFormItems()[0], textconv::Utf8ToCp932("標凖"));
}

TEST(DirSwitchesTest, SwitchesInTheirSeveralSpellings) {
  DirOptions o;
  EXPECT_TRUE(ApplyDirSwitch("/A:-D", o));
  EXPECT_TRUE(o.attributesGiven);
  EXPECT_EQ(o.attributes[0], -1);
  EXPECT_TRUE(ApplyDirSwitch("/ahs", o));  // a later /A replaces the earlier one
  EXPECT_EQ(o.attributes[0], 0);
  EXPECT_EQ(o.attributes[2], 1);
  EXPECT_EQ(o.attributes[3], 1);
  EXPECT_TRUE(ApplyDirSwitch("/A", o));
  EXPECT_EQ(o.attributes, (std::array<int, 5>{}));
  EXPECT_TRUE(ApplyDirSwitch("/O:-N", o));
  EXPECT_EQ(o.sort, "-N");
  EXPECT_TRUE(ApplyDirSwitch("/O", o));
  EXPECT_EQ(o.sort, "GN");
  EXPECT_TRUE(ApplyDirSwitch("/oge", o));
  EXPECT_EQ(o.sort, "GE");
  for (const char* s : {"/S", "/v", "/L"}) EXPECT_TRUE(ApplyDirSwitch(s, o)) << s;
  EXPECT_TRUE(o.subdirs && o.lower);
  EXPECT_EQ(o.form, DirForm::Verbose);
  // Paths that merely start like a switch stay paths.
  for (const char* s : {"/srv", "/O:X", "/A:--D", "/A:D-", "/bin", "/", "S", "/tmp/a"}) EXPECT_FALSE(ApplyDirSwitch(s, o)) << s;
}

TEST(DirSwitchesTest, ArgumentTextSplitsIntoPathAndSwitches) {
  DirOptions o;
  std::string error;
  ASSERT_TRUE(ParseDirTokens(SplitDirLine("\"/home/me/My Files\" /A:H /O:-N /S /B  "), o, error)) << error;
  EXPECT_EQ(o.path, "/home/me/My Files");
  EXPECT_TRUE(o.subdirs);
  EXPECT_EQ(o.form, DirForm::Bare);
  EXPECT_EQ(o.sort, "-N");

  // A quoted "/S" is a folder, not the switch.
  o = {};
  ASSERT_TRUE(ParseDirTokens(SplitDirLine("\"/S\""), o, error));
  EXPECT_EQ(o.path, "/S");
  EXPECT_FALSE(o.subdirs);

  // Typed without quotes, a folder with blanks is still one path.
  o = {};
  ASSERT_TRUE(ParseDirTokens(SplitDirLine("/home/me/My Files /W"), o, error));
  EXPECT_EQ(o.path, "/home/me/My Files");
  EXPECT_EQ(o.form, DirForm::Wide);

  o = {};
  EXPECT_FALSE(ParseDirTokens(SplitDirLine("\"/a\" b"), o, error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(SplitDirLine("   ").empty());
  ASSERT_EQ(SplitDirLine("\"\"").size(), 1u);  // an empty quoted path is still given
}

}  // namespace
}  // namespace sorabu::info
