// Texts for dialogs and messages carry every character of a name through code page 932 bytes.
#include "textconv/ui_text.h"

#include <gtest/gtest.h>

#include <random>

#include "textconv/cp932.h"
#include "textconv/unicode_text.h"

namespace sorabu::textconv {
namespace {

TEST(ExactCp932, NamesBeyondCodePage932MakeTheRoundTrip) {
  for (const std::u16string name :
       {std::u16string(u"한국어😀.txt"), std::u16string(u"中文简体.txt"), std::u16string(u"波〜線−.txt"),
        std::u16string(u"日本語ﾃｷｽﾄ.txt"), std::u16string(u"а\U0001F600\U0001F600b")}) {
    const std::string bytes = EncodeCp932Exact(name);
    EXPECT_EQ(DecodeCp932Exact(bytes), name);
  }
  // Only what CP932 lacks or would change travels marked; the rest is the CP932 code.
  EXPECT_EQ(EncodeCp932Exact(u"日本.txt"), Utf8ToCp932("日本.txt"));
  EXPECT_FALSE(HoldsExactMarks(EncodeCp932Exact(u"日本.txt")));
  EXPECT_EQ(EncodeCp932Exact(u"中文简"), Utf8ToCp932("中文") + "\xFF\xE7\xAE\x80");
  EXPECT_EQ(EncodeCp932Exact(u"〜"), "\xFF\xE3\x80\x9C");  // CP932's 0x8160 reads back as U+FF5E
  EXPECT_TRUE(HoldsExactMarks(EncodeCp932Exact(u"😀")));
  // What the user types keeps CP932's codes: 〜 finds the wave dash of Shift-JIS text.
  EXPECT_EQ(EncodeCp932Typed(u"波〜−"), Utf8ToCp932("波〜−"));
  EXPECT_EQ(EncodeCp932Typed(u"〜한"), Utf8ToCp932("〜") + "\xFF\xED\x95\x9C");
}

TEST(ExactCp932, LoneSurrogatesAndStrayMarksStayHarmless) {
  const std::u16string lone{u'a', char16_t(0xD800), u'b'};
  EXPECT_EQ(DecodeCp932Exact(EncodeCp932Exact(lone)), u"a\uFFFDb");
  // A 0xFF not followed by a UTF-8 character of two bytes or more reads as plain CP932 does.
  for (const std::string odd : {std::string("\xFF"), std::string("a\xFF" "b"), std::string("\xFF\xC0\x80"),
                                std::string("\xFF\xED\xA0\x80"), std::string("\xFF\xE3\x80")}) {
    EXPECT_FALSE(HoldsExactMarks(odd));
    EXPECT_EQ(DecodeCp932Exact(odd), DecodeCp932(odd));
  }
}

TEST(ExactCp932, PathsGoBackToTheFileSystemsBytes) {
  const std::string native = "/tmp/한국어/波〜線/日本.txt";
  std::u16string units;
  for (std::size_t i = 0; i < native.size();) i += DecodeUtf8Char(native, i, units);
  EXPECT_EQ(Cp932ExactToUtf8(EncodeCp932Exact(units)), native);
  EXPECT_EQ(Cp932ExactToUtf8(Utf8ToCp932("日本.txt")), "日本.txt");
  EXPECT_EQ(ExactMarkLength("\xFF\xF0\x9F\x98\x80", 0), 5u);
  EXPECT_EQ(ExactMarkLength("\xFF" "a", 0), 0u);
  // A name that is not UTF-8 shows its odd bytes, and the rest as they are.
  EXPECT_EQ(DecodeCp932Exact(Utf8ToCp932Exact("bad\xFF\xFEname한.txt")), u"bad\\xFF\\xFEname한.txt");
}

// Random CP932 bytes with marked characters between them come back in order, and every mark is seen.
TEST(ExactCp932, RandomMixturesDecodeToWhatWasEncoded) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, 5);
  for (int round = 0; round < 200; ++round) {
    std::u16string text;
    for (int k = 0; k < 40; ++k) {
      switch (pick(random)) {
        case 0: text += u"한"; break;
        case 1: text += u"\U0001F600"; break;
        case 2: text += u"漢"; break;
        case 3: text += u"ｱ"; break;
        case 4: text += u"\\"; break;
        default: text += static_cast<char16_t>(u'a' + k % 26); break;
      }
    }
    ASSERT_EQ(DecodeCp932Exact(EncodeCp932Exact(text)), text);
  }
}

TEST(EscapeInvalidUtf8, OddBytesShowAsHexAndValidTextStays) {
  EXPECT_EQ(EscapeInvalidUtf8("plain 日本 😀"), "plain 日本 😀");
  EXPECT_EQ(EscapeInvalidUtf8("bad\xFF\xFEname"), "bad\\xFF\\xFEname");
  EXPECT_EQ(EscapeInvalidUtf8("\xC0\xAF"), "\\xC0\\xAF");            // overlong "/"
  EXPECT_EQ(EscapeInvalidUtf8("\xED\xA0\x80"), "\\xED\\xA0\\x80");   // a surrogate
  EXPECT_EQ(EscapeInvalidUtf8("\xE6\x97"), "\\xE6\\x97");            // cut short
  EXPECT_EQ(EscapeInvalidUtf8(Utf8ToCp932("日本")), "\\x93\\xFA\\x96{");
}

}  // namespace
}  // namespace sorabu::textconv
