// Newline conversions: every source and target kind on a mixed text, chunked feeding at every
// split point, and the automatic per-line conversion.
#include "textconv/newline.h"

#include <gtest/gtest.h>

#include "conv_test_util.h"

namespace sorabu::textconv {
namespace {

using testutil::Hex;
using K = NewlineKind;

const std::string kMixed = "a\r\nb\rc\nd\r\r\n\n\re";

TEST(ConvertNewlines, EveryKindPair) {
  const struct {
    K from;
    K to;
    std::string want;
  } rows[] = {
      {K::CrLf, K::Lf, "a\nb\rc\nd\r\n\n\re"},
      {K::CrLf, K::Cr, "a\rb\rc\nd\r\r\n\re"},
      {K::Cr, K::CrLf, "a\r\nb\r\nc\nd\r\n\r\n\n\r\ne"},
      {K::Cr, K::Lf, "a\r\nb\nc\nd\n\r\n\n\ne"},
      {K::Lf, K::CrLf, "a\r\nb\rc\r\nd\r\r\n\r\n\re"},
      {K::Lf, K::Cr, "a\r\nb\rc\rd\r\r\n\r\re"},
      {K::Lf, K::Lf, kMixed},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Hex(ConvertNewlines(kMixed, row.from, row.to)), Hex(row.want))
        << static_cast<int>(row.from) << "->" << static_cast<int>(row.to);
  }
}

TEST(ConvertNewlines, DocumentedCases) {
  EXPECT_EQ(ConvertNewlines("a\r\nb\r\n", K::CrLf, K::Lf), "a\nb\n");
  EXPECT_EQ(ConvertNewlines("a\r\nb\r\n", K::Cr, K::Lf), "a\r\nb\r\n");
  EXPECT_EQ(ConvertNewlines("a\rb\r", K::Cr, K::Lf), "a\nb\n");
  EXPECT_EQ(ConvertNewlines("a\rb", K::Cr, K::CrLf), "a\r\nb");
  EXPECT_EQ(ConvertNewlines("", K::Lf, K::CrLf), "");
  EXPECT_EQ(ConvertNewlines("\r", K::Cr, K::Lf), "\n");
  EXPECT_EQ(ConvertNewlines("\r", K::Lf, K::CrLf), "\r");
}

TEST(NewlineConverter, EverySplitPointGivesTheWholeResult) {
  for (const K from : {K::CrLf, K::Cr, K::Lf}) {
    for (const K to : {K::CrLf, K::Cr, K::Lf}) {
      const std::string whole = ConvertNewlines(kMixed, from, to);
      for (std::size_t cut = 0; cut <= kMixed.size(); ++cut) {
        NewlineConverter converter(from, to);
        std::string out;
        converter.Feed(std::string_view(kMixed).substr(0, cut), out);
        converter.Feed("", out);
        converter.Feed(std::string_view(kMixed).substr(cut), out);
        converter.Finish(out);
        EXPECT_EQ(Hex(out), Hex(whole)) << cut;
      }
      NewlineConverter bytewise(from, to);
      std::string out;
      for (const char c : kMixed) bytewise.Feed(std::string_view(&c, 1), out);
      bytewise.Finish(out);
      EXPECT_EQ(Hex(out), Hex(whole));
    }
  }
}

TEST(AutoNewlineLine, LfBecomesCrLfAndTheLastLfIsTheWritersLineEnd) {
  const struct {
    const char* name;
    std::string in;
    std::string want;
  } rows[] = {
      {"LF file read as one line", "a\nb\n", "a\r\nb"},
      {"no LF at the end", "a\nb", "a\r\nb"},
      {"empty lines kept", "a\n\n", "a\r\n"},
      {"LF only", "\n", ""},
      {"no newline", "abc", "abc"},
      {"empty", "", ""},
      {"first newline a CR: unchanged", "a\rb\nc", "a\rb\nc"},
      {"0x1A passes", "a\x1A\nb", "a\x1A\r\nb"},
  };
  for (const auto& row : rows) EXPECT_EQ(Hex(AutoNewlineLine(row.in)), Hex(row.want)) << row.name;
}

}  // namespace
}  // namespace sorabu::textconv
