#include "info/date_texts.h"

#include <gtest/gtest.h>

#include "textconv/cp932.h"

namespace sorabu::info {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

struct EraCase {
  int y, m, d;
  const char* era;
  int year;
};

// The last day of each era and the first day of the next.
TEST(JapaneseEraTest, ChangesOnTheFirstDayOfEachEra) {
  const EraCase cases[] = {
      {1912, 7, 29, "明治", 45}, {1912, 7, 30, "大正", 1}, {1926, 12, 24, "大正", 15}, {1926, 12, 25, "昭和", 1},
      {1989, 1, 7, "昭和", 64},  {1989, 1, 8, "平成", 1},  {2019, 4, 30, "平成", 31}, {2019, 5, 1, "令和", 1},
      {2025, 12, 31, "令和", 7},
  };
  for (const EraCase& c : cases) {
    const TEraYear era = JapaneseEra(c.y, c.m, c.d);
    EXPECT_EQ(era.name, C(c.era)) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(era.year, c.year) << c.y << "-" << c.m << "-" << c.d;
  }
}

TEST(ZodiacSignTest, BoundariesOfTheSigns) {
  const struct {
    int m, d;
    const char* sign;
  } cases[] = {
      {12, 22, "山羊座 Capricorn"}, {1, 1, "山羊座 Capricorn"},  {1, 19, "山羊座 Capricorn"},
      {1, 20, "水瓶座　Aquarius"},  {2, 18, "水瓶座　Aquarius"}, {2, 19, "魚座　Pisces"},
      {3, 20, "魚座　Pisces"},      {3, 21, "牡羊座　Aries"},    {8, 21, "獅子座　Leo"},
      {8, 22, "乙女座　Virgo"},     {9, 22, "乙女座　Virgo"},    {9, 23, "天秤座　Libra"},
      {10, 23, "天秤座　Libra"},    {10, 24, "蠍座　Scorpio"},   {11, 23, "射手座　Sagittarius"},
      {12, 21, "射手座　Sagittarius"}, {12, 31, "山羊座 Capricorn"},
  };
  for (const auto& c : cases) EXPECT_EQ(ZodiacSign(c.m, c.d), C(c.sign)) << c.m << "/" << c.d;
  // Only Capricorn has the ordinary blank; the others the ideographic space 0x81 0x40.
  EXPECT_NE(ZodiacSign(1, 1).find(' '), std::string::npos);
  EXPECT_NE(ZodiacSign(1, 20).find("\x81\x40"), std::string::npos);
  // Outside the table: past the last day of December, and before the first of January.
  EXPECT_EQ(ZodiacSign(12, 32), C("判定不能"));
  EXPECT_EQ(ZodiacSign(0, 15), C("判定不能"));
}

TEST(NowTextsTest, CaptionAndMessageOfTheDateItem) {
  const TDateTime t{2019, 5, 1, 9, 5, 7};
  EXPECT_EQ(NowCaption(t, C("水")), C(" 2019.5.1 (水)"));
  EXPECT_EQ(NowMessage(t, C("水"), C("水曜日")),
            C("現在\r\r2019年 5月 1日 (水)\r\r令和1年 5月 1日 (水曜日)\r\r9時 5分 7秒\r\r牡牛座　Taurus"));
}

}  // namespace
}  // namespace sorabu::info
