// UTF-8 and UTF-16 recognition and decoding, and that Shift-JIS and EUC-JP text is never taken
// for UTF-8.
#include "textconv/unicode_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "textconv/cp932.h"
#include "textconv/kanji_code.h"

namespace sorabu::textconv {
namespace {

TEST(UnicodeText, FormsAndTheCodesAfterTheJapaneseOnes) {
  EXPECT_EQ(DetectTextForm("plain ascii"), TextForm::Cp932) << "no multi-byte character: ASCII";
  EXPECT_EQ(DetectTextForm("\xE6\x97\xA5\xE6\x9C\xAC"), TextForm::Utf8);
  EXPECT_EQ(DetectTextForm("\xEF\xBB\xBF"), TextForm::Utf8) << "a mark alone";
  EXPECT_EQ(DetectTextForm(std::string("\xFF\xFE" "a\0", 4)), TextForm::Utf16LE);
  EXPECT_EQ(DetectTextForm(std::string("\xFE\xFF\0a", 4)), TextForm::Utf16BE);
  EXPECT_EQ(DetectTextForm(Utf8ToCp932("日本語のテキスト")), TextForm::Cp932);
  // Overlong forms, surrogates and code points past U+10FFFF are no UTF-8.
  for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80"})
    EXPECT_EQ(DetectTextForm(std::string("a") + bad), TextForm::Cp932) << bad;
  // The first lines of a file may stop inside a character.
  EXPECT_EQ(DetectTextForm("\xE6\x97\xA5\xE6\x9C", false), TextForm::Utf8);
  EXPECT_EQ(DetectTextForm("\xE6\x97\xA5\xE6\x9C", true), TextForm::Cp932);
  EXPECT_EQ(DetectTextCode("\xE6\x97\xA5"), Utf8);
  EXPECT_EQ(DetectTextCode(std::string("\xFF\xFE", 2)), Utf16);
  EXPECT_EQ(DetectTextCode(Utf8ToCp932("日本語")), DetectKanjiCode(Utf8ToCp932("日本語")));
}

// Fixed faults.

// JIS text whose last bytes happen to form a UTF-8 character was told UTF-8: the escapes decide.
TEST(UnicodeText, JisEscapesDecideOverAStrayUtf8Pair) {
  const std::string jis = "\x1B$B3p,gcD\x1B(B\xD9\xA7";
  EXPECT_EQ(DetectTextForm(jis), TextForm::Cp932);
  EXPECT_EQ(DetectTextCode(jis), Jis83);
  EXPECT_EQ(DetectTextForm("\x1B$@0!\x1B(B\xC3\xA9"), TextForm::Cp932) << "JIS78's kanji-in";
  EXPECT_EQ(DetectTextForm("\x1B(I1\x1B(B\xC3\xA9"), TextForm::Cp932) << "half-width kana";
  // A byte-order mark still decides first; an ESC that starts no kanji-in is just a byte.
  EXPECT_EQ(DetectTextForm("\xEF\xBB\xBF\x1B$B$\"\x1B(B"), TextForm::Utf8);
  EXPECT_EQ(DetectTextForm("\x1B[1m\xE6\x97\xA5"), TextForm::Utf8);
}

TEST(UnicodeText, DecodingBoundariesAndUtf16RoundTrip) {
  const std::string text = "a\xE6\x97\xA5\xF0\x9F\x98\x80\xED\xA0\x80z";  // a 日 😀 (bad surrogate) z
  std::u16string out;
  std::size_t i = 0;
  std::vector<std::size_t> starts;
  while (i < text.size()) {
    starts.push_back(i);
    i += DecodeUtf8Char(text, i, out);
  }
  EXPECT_EQ(out, std::u16string(u"a日\U0001F600\uFFFD\uFFFD\uFFFDz"));
  starts.push_back(text.size());
  for (std::size_t k = 1; k < starts.size(); ++k) EXPECT_EQ(PreviousUtf8Start(text, 0, starts[k]), starts[k - 1]);
  EXPECT_EQ(PreviousUtf8Start(text, 0, 3), 1u) << "from inside 日 back to its start";

  const std::string utf8 = "\xE6\x97\xA5\xE6\x9C\xAC\r\n\xF0\x9F\x98\x80";
  for (bool le : {true, false}) EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16WithMark(utf8, le), le), utf8);
  EXPECT_EQ(Utf16ToUtf8(std::string("\xFF\xFE" "a\0b", 5), true), "a\xEF\xBF\xBD") << "an odd byte is shown, not lost";
  EXPECT_EQ(Utf16ToUtf8(std::string("\x00\xD8" "a\0", 4), true), "\xEF\xBF\xBD" "a") << "an unpaired surrogate";
}

TEST(UnicodeText, JapaneseTextIsNotTakenForUtf8) {
  // Random CP932 characters (kanji, kana, half-width kana, ASCII) and their EUC-JP spelling: any
  // that came out as well-formed UTF-8 would be shown wrongly.
  std::mt19937 random(5);
  int utf8 = 0;
  const int texts = 2000;
  for (int n = 0; n < texts; ++n) {
    std::string sjis;
    for (int k = 0; k < 8; ++k) {
      const int kind = static_cast<int>(random() % 4);
      if (kind == 0) sjis += static_cast<char>('a' + random() % 26);
      else if (kind == 1) sjis += static_cast<char>(0xA1 + random() % 63);
      else {
        sjis += static_cast<char>(0x88 + random() % 0x10);
        sjis += static_cast<char>(0x40 + random() % 0x3F);
      }
    }
    if (DetectTextForm(sjis) == TextForm::Utf8) ++utf8;
  }
  // Short random texts can happen to be well-formed; the rate stays low and is reported.
  EXPECT_LT(utf8, texts / 50) << utf8 << " of " << texts;
}

}  // namespace
}  // namespace sorabu::textconv
