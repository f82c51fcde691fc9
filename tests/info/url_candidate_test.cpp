#include "info/url_candidate.h"

#include <gtest/gtest.h>

#include "textconv/cp932.h"

namespace sorabu::info {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

TEST(UrlFromLineTest, TakesTheFirstPrintableRunWhenItIsAnAddress) {
  EXPECT_EQ(UrlFromLine("http://example.jp/a b c"), "http://example.jp/a");
  EXPECT_EQ(UrlFromLine("\t  https://x.jp/?q=1\r"), "https://x.jp/?q=1");
  // Leading double-byte characters are passed over whole, even with a printable trail byte (0x40).
  EXPECT_EQ(UrlFromLine(C("　案内：") + "ftp://host/file"), "ftp://host/file");
}

TEST(UrlFromLineTest, GivesNothingWhenTheFirstRunIsNoAddress) {
  EXPECT_EQ(UrlFromLine("see http://example.jp/"), "");
  EXPECT_EQ(UrlFromLine("   \t "), "");
  EXPECT_EQ(UrlFromLine(""), "");
  EXPECT_EQ(UrlFromLine(C("日本語だけ")), "");
}

TEST(UrlFromSelectionTest, TrimsDoubleByteStartAndBlankEnds) {
  EXPECT_EQ(UrlFromSelection(C("　") + "http://example.jp/x "), "http://example.jp/x");
  // No "://" test for a selection.
  EXPECT_EQ(UrlFromSelection("  www.example.jp"), "www.example.jp");
  EXPECT_EQ(UrlFromSelection("http://a.jp/" + C("です")), "http://a.jp/");
  EXPECT_EQ(UrlFromSelection(C("全角")), "");
}

}  // namespace
}  // namespace sorabu::info
