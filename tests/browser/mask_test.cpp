// The mask and the column texts of the file list.
#include "browser/mask.h"

#include <gtest/gtest.h>

namespace sorabu::browser {
namespace {

TEST(Mask, NamesAgainstMasks) {
  struct Row {
    const char* name;
    std::vector<std::string> mask;
    bool shown;
  } rows[] = {
      {"a.txt", {}, true},                    // an empty mask lists everything
      {"noext", {".TXT"}, false},
      {"a.TXT", {".txt"}, true},              // letters compared without case
      {"a.txt", {".TXT", ".BMP"}, true},
      {"a.bmp", {".TXT", ".BMP"}, true},
      {"a.txt.bak", {".TXT"}, false},         // the extension starts at the last dot
      {"a.", {"."}, false},                   // a bare dot matches nothing
      {".txt", {".TXT"}, true},
      {"表.テキスト", {".テキスト"}, true},      // names are file-system bytes (UTF-8)
      {"a.ｔｘｔ", {".TXT"}, false},           // full-width letters are other letters
      {"a.txt", {".ＴＸＴ"}, false},
  };
  for (const Row& r : rows) EXPECT_EQ(MatchesMask(r.name, r.mask), r.shown) << r.name;
}

TEST(Mask, AnswersOfTheMaskDialog) {
  struct Row {
    const char* answer;
    std::vector<std::string> mask;
  } rows[] = {
      {"*", {}},
      {"", {}},
      {"txt", {".txt"}},
      {"txt;.bmp", {".txt", ".bmp"}},
      {"txt;;bmp;", {".txt", ".bmp"}},
      {"a.b;c", {"a.b", ".c"}},  // pieces with a dot are kept as typed
  };
  for (const Row& r : rows) EXPECT_EQ(ParseMaskAnswer(r.answer), r.mask) << r.answer;
}

TEST(Mask, ColumnTexts) {
  EXPECT_EQ(FormatListSize(0), "               0");
  EXPECT_EQ(FormatListSize(999), "             999");
  EXPECT_EQ(FormatListSize(1000), "           1,000");
  EXPECT_EQ(FormatListSize(5368709120ULL), "   5,368,709,120") << "sizes of 4 GB and more stay whole";
  EXPECT_EQ(FormatListSize(18446744073709551615ULL), "18,446,744,073,709,551,615");
  EXPECT_EQ(FormatListDate(2026, 1, 2, 3, 4), "26/01/02 03:04");
  EXPECT_EQ(FormatListDate(1999, 12, 31, 23, 59), "99/12/31 23:59");
}

}  // namespace
}  // namespace sorabu::browser
