#include "info/system_info.h"

#include <gtest/gtest.h>

#include "textconv/cp932.h"

namespace sorabu::info {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

TEST(SystemInfoTest, UptimeSplitsIntoHoursMinutesSeconds) {
  EXPECT_EQ(UptimeLine(3723000), C("起動時間 = 1 時間  2 分  3 秒"));
  EXPECT_EQ(UptimeLine(0), C("起動時間 = 0 時間  0 分  0 秒"));
  EXPECT_EQ(UptimeLine(100ull * 3600000 + 59999), C("起動時間 = 100 時間  0 分  59 秒"));
}

TEST(SystemInfoTest, ReadsOsReleaseAndCpuInfo) {
  const auto os = ParseOsRelease("# comment\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nVERSION_ID='12'\nID=debian\n\nBROKEN\n");
  EXPECT_EQ(os.at("PRETTY_NAME"), "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(os.at("VERSION_ID"), "12");
  EXPECT_EQ(os.at("ID"), "debian");
  EXPECT_EQ(os.count("BROKEN"), 0u);
  EXPECT_EQ(CpuVendor("processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\n"), "GenuineIntel");
  EXPECT_EQ(CpuVendor("processor : 0\nCPU implementer : 0x41\n"), "0x41");
  EXPECT_EQ(CpuVendor(""), "");
}

TEST(SystemInfoTest, ListingKeepsOrderAndSkipsEmptyBlockValues) {
  TSystemFacts f;
  f.windowsDir = "/usr";
  f.currentDir = "/home/ユーザー";
  f.owner = "Taro";
  f.computerName = "host";
  f.cpuVendor = "AuthenticAMD";
  f.environment = {"B=2", "A=1"};
  f.date = "2025/07/05";
  f.time = "9:05:07";
  f.uptimeMs = 3723000;
  const std::vector<std::string> expected = {
      C("Windowsﾃﾞｨﾚｸﾄﾘ = /usr"), C("Systemﾃﾞｨﾚｸﾄﾘ = "), C("ｶﾚﾝﾄﾃﾞｨﾚｸﾄﾘ = /home/ユーザー"),
      C("ﾕｰｻﾞｰ名 = Taro"), C("ｺﾝﾋﾟｭｰﾀｰ名 = host"), C("CPﾍﾞﾝﾀﾞｰ = AuthenticAMD"),
      C("環境変数 = B=2"), C("環境変数 = A=1"), C("日付 = 2025/07/05"), C("時間 = 9:05:07"),
      C("起動時間 = 1 時間  2 分  3 秒")};
  EXPECT_EQ(SystemInfoLines(f), expected);
}

TEST(SystemInfoTest, ThisMachineGivesTheFactsLinuxHas) {
  const TSystemFacts f = ReadSystemFacts("d", "t");
  EXPECT_FALSE(f.currentDir.empty());
  EXPECT_FALSE(f.computerName.empty());
  EXPECT_EQ(f.productType, "Linux");
  EXPECT_FALSE(f.environment.empty());
  EXPECT_GT(f.uptimeMs, 0u);
  EXPECT_TRUE(f.organization.empty());
  EXPECT_TRUE(f.productKey.empty());
}

}  // namespace
}  // namespace sorabu::info
