// The listing text's format cases: marks, short names, the CRC and ratio columns, the totals.
#include <gtest/gtest.h>

#include <cstring>

#include "archive/bind/commands.h"
#include "tests/archive/test_util.h"

namespace sorabu::archive {
namespace {

TIndividualInfo Record(const std::string& name, std::uint32_t original, std::uint32_t packed, std::uint16_t ratio,
                       std::uint32_t crc, const char* attr = "---a", const char* mode = "-lh5-") {
  TIndividualInfo r{};
  r.original_size = original;
  r.packed_size = packed;
  r.ratio = ratio;
  r.crc = crc;
  r.date = static_cast<std::uint16_t>(((2024 - 1980) << 9) | (3 << 5) | 9);
  r.time = static_cast<std::uint16_t>((7 << 11) | (5 << 5) | 21);
  std::memcpy(r.name, name.data(), std::min(name.size(), sizeof r.name - 1));
  std::strcpy(r.attribute, attr);
  std::strcpy(r.mode, mode);
  return r;
}

TEST(ListingTest, Lines) {
  const std::string kanji = lha::test::Sjis("日本語の長いファイル名.txt");
  const struct {
    TIndividualInfo info;
    std::string expected;
  } cases[] = {
      {Record("a.txt", 1000, 456, 456, 0xbeef),
       "  a.txt               1000         456  45.6% 24-03-09 07:05:42 ---a -lh5- BEEF a.txt "},
      {Record("dir/sub/file.txt", 0, 0, 0, 0x1a),
       "+ file.txt               0           0   0.0% 24-03-09 07:05:42 ---a -lh5- 001A dir/sub/file.txt "},
      {Record("averyverylongname.txt", 5, 5, 1000, 0x12345678, "----", "Deflate"),
       "  averyverylon           5           5 100.0% 24-03-09 07:05:42 ---- Deflate 12345678 averyverylongname.txt "},
      // A cut through a double-byte character leaves a blank instead of half of it.
      {Record("x" + kanji, 1, 1, 1000, 0),
       "  x" + kanji.substr(0, 10) + "            1           1 100.0% 24-03-09 07:05:42 ---a -lh5- 0000 x" + kanji + " "},
  };
  for (const auto& c : cases) EXPECT_EQ(ListingLine(c.info), c.expected);
  // The cut is 11 bytes plus a blank: 'x' and five double-byte characters.
  EXPECT_EQ(ListingLine(cases[3].info).substr(2, 12), "x" + kanji.substr(0, 10) + " ");
}

TEST(ListingTest, NameFieldWithoutTerminatorStaysInTheRecord) {
  TIndividualInfo r = Record("", 0, 0, 0, 0);
  std::memset(r.name, 'n', sizeof r.name);
  std::memset(r.attribute, 'a', sizeof r.attribute);
  std::memset(r.mode, 'm', sizeof r.mode);
  const std::string line = ListingLine(r);
  EXPECT_NE(line.find(std::string(sizeof r.name, 'n') + " "), std::string::npos);
  EXPECT_NE(line.find(std::string(8, 'a') + " " + std::string(8, 'm') + " "), std::string::npos);
}

TEST(ListingTest, Totals) {
  const struct {
    long long count, original, packed;
    const char* expected;
  } cases[] = {
      {0, 0, 0, "     0 files             1           0   0.0%"},
      {2, 100013, 34384, "     2 files        100013       34384  34.4%"},
      {1, -5, 3, "     1 files             1           3 300.0%"},
      {3, 8000000000LL, 4000000000LL, "     3 files    8000000000  4000000000  50.0%"},
  };
  for (const auto& c : cases) EXPECT_EQ(ListingTotals(c.count, c.original, c.packed), c.expected);
}

TEST(ListingTest, ExtractDestinationAndNames) {
  EXPECT_EQ(ExtractDestination("/w/out", "/w"), "/w/out\\");
  EXPECT_EQ(ExtractDestination("/w/out\\", "/w"), "/w/out\\");
  EXPECT_EQ(ExtractDestination("/w", "/w"), "");
  EXPECT_EQ(ExtractDestination("/w/", "/w"), "");
  for (const char* name : {"a.lzh", "A.ZIP", "x.tar.gz", "x.TGZ", "x.bz2", "s.exe", "a.cab", "a.rar", "a.arj"}) {
    EXPECT_TRUE(ExtractableName(name)) << name;
  }
  for (const char* name : {"a.txt", "a.lzh.txt", "zip"}) EXPECT_FALSE(ExtractableName(name)) << name;
}

}  // namespace
}  // namespace sorabu::archive
