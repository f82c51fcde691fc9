// Drive figures from the volume statistics and the texts of the drive information dialog.
#include <gtest/gtest.h>

#include "info/drive_figures.h"
#include "textconv/cp932.h"

namespace sorabu::info {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

TEST(DriveFiguresTest, FiguresFromStatistics) {
  // An empty or unreadable volume gives nothing to show.
  EXPECT_FALSE(FiguresFromStats({0, 100, 10}));
  EXPECT_FALSE(FiguresFromStats({4096, 0, 0}));
  EXPECT_FALSE(QueryDriveFigures("/no/such/folder/anywhere"));
  EXPECT_FALSE(QueryDriveFigures(""));

  auto f = FiguresFromStats({4096, 1000, 250});
  ASSERT_TRUE(f);
  EXPECT_EQ(f->bytesPerSector, 512u);
  EXPECT_EQ(f->sectorsPerCluster, 8u);
  EXPECT_EQ(f->totalBytes, 4096000u);
  EXPECT_EQ(f->freeBytes, 1024000u);
  EXPECT_EQ(f->usedBytes, 3072000u);

  // No free cluster shows the free space of one.
  f = FiguresFromStats({4096, 1000, 0});
  ASSERT_TRUE(f);
  EXPECT_EQ(f->freeClusters, 1u);
  EXPECT_EQ(f->freeBytes, 4096u);

  // A fragment that is no multiple of 512 is one sector of its own size.
  f = FiguresFromStats({1000, 10, 5});
  ASSERT_TRUE(f);
  EXPECT_EQ(f->bytesPerSector, 1000u);
  EXPECT_EQ(f->sectorsPerCluster, 1u);

  // The test's own folder lies on a real volume.
  f = QueryDriveFigures(".");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->usedBytes + f->freeBytes, f->totalBytes);
}

TEST(DriveFiguresTest, DialogTexts) {
  EXPECT_EQ(GroupDigits(0), "0");
  EXPECT_EQ(GroupDigits(999), "999");
  EXPECT_EQ(GroupDigits(1000), "1,000");
  EXPECT_EQ(GroupDigits(18446744073709551615ull, "."), "18.446.744.073.709.551.615");

  const DriveTexts t = MakeDriveTexts("/mnt", *FiguresFromStats({4096, 1000, 250}));
  EXPECT_EQ(t.caption, C("ドライブ情報"));
  EXPECT_EQ(t.seriesTitle, C("ドライブ情報 /mnt"));
  EXPECT_EQ(t.chartTitle, C("ドライブ情報 /mnt 4,096,000 byte"));
  EXPECT_EQ(t.summary, C("/mnt 全容量 4,096,000 byte  使用 3,072,000 byte  未使用 1,024,000 byte"));
  EXPECT_EQ(t.clusters, C("ｾｸﾀ = 8 ﾊﾞｲﾄ = 512 ｸﾗｽﾀ = 1000 ﾌﾘｰｸﾗｽﾀ = 250"));
  EXPECT_EQ(t.note, C("一部のドライブでは情報が正しく取得できない場合があります。"));
  EXPECT_EQ(t.usedLabel, C("使用 "));
  EXPECT_EQ(t.freeLabel, C("未使用 "));
}

}  // namespace
}  // namespace sorabu::info
