// HTML to text against the plain model (html_reference.h): random lines built from tags, stray
// brackets, comment marks, entities and double bytes, every variant, and the long lines and many
// lines whose cost used to grow with their square.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "html_reference.h"
#include "textcmd/html_to_text.h"

namespace sorabu::textcmd::test {
namespace {

std::vector<std::string> Convert(const std::vector<std::string>& lines, int variant) {
  std::vector<std::string> out;
  THtmlToText html(variant, [&out](std::string_view line) { out.emplace_back(line); });
  for (const std::string& line : lines) html.Line(line);
  html.Finish();
  return out;
}

std::vector<std::string> ConvertReference(const std::vector<std::string>& lines, int variant) {
  std::vector<std::string> out;
  THtmlReference html(variant, [&out](std::string_view line) { out.emplace_back(line); });
  for (const std::string& line : lines) html.Line(line);
  html.Finish();
  return out;
}

std::string Show(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& line : lines) s += "[" + line + "]\n";
  return s;
}

TEST(HtmlToText, RandomLinesAgreeWithThePlainModel) {
  const std::vector<std::string> pieces = {
      "<", ">", "<!--", "-->", "-", "!", "<br>", "<BR>", "<p>", "</p>", "<li>", "<ol>", "<hr size=1>",
      "<pre>", "</pre>", "<PRE>", "</PRE>", "<h1>", "</h1>", "<b>", "</b>", "<a href=\"x\">", "<!-- c -->",
      "x", "yz", " ", "\t", "\x81\x40", "\x82\xA0", "\x82", "&lt;", "&AMP;", "&amp;lt;", "&nbsp;", "\n",
      "<", "br", "/td", "<!", "--", "<fn>", "</center>", "\x83<", ">\x83", "<\x82\x60>"};
  std::mt19937 rng(20240611);
  for (int round = 0; round < 4000; ++round) {
    std::vector<std::string> lines(1 + rng() % 6);
    for (std::string& line : lines) {
      const int n = static_cast<int>(rng() % 12);
      for (int k = 0; k < n; ++k) line += pieces[rng() % pieces.size()];
    }
    const int variant = 1 + static_cast<int>(rng() % 4);
    const auto expected = ConvertReference(lines, variant);
    const auto got = Convert(lines, variant);
    ASSERT_EQ(got, expected) << "variant " << variant << " on\n" << Show(lines) << "got\n" << Show(got);
  }
}

TEST(HtmlToText, LongLinesAgreeWithThePlainModel) {
  // Each shape is a line of many repeats: plain tags, line-ending tags, stray ">" before a tag,
  // a comment left open, and a tag that is never closed.
  const std::vector<std::string> shapes = {"<b>x</b> ", "a<br>", "x>y<i>", "<!-- a <b> -", "q<x", "<li>\t <p>"};
  for (const std::string& shape : shapes) {
    std::string line;
    for (int i = 0; i < 3000; ++i) line += shape;
    for (int variant = 1; variant <= 4; ++variant) {
      EXPECT_EQ(Convert({line, shape, line}, variant), ConvertReference({line, shape, line}, variant)) << shape;
    }
  }
}

// The probe's cases: 500,000 bold words on one line, and as many lines each adding to a tag or a
// comment that stays open. Finishing at all within the test's time shows the cost is linear.
TEST(HtmlToText, HugeLinesAndPilesFinish) {
  std::string line;
  for (int i = 0; i < 500'000; ++i) line += "<b>x</b> ";
  std::string expected;
  for (int i = 0; i < 500'000; ++i) expected += "x ";
  EXPECT_TRUE(Convert({line}, 1) == std::vector<std::string>{expected});

  std::vector<std::string> open_tag{"text<a"}, open_comment{"<!-- note"}, strays;
  for (int i = 0; i < 200'000; ++i) {
    open_tag.push_back("attribute=value");
    open_comment.push_back("still inside -- the comment");
    strays.push_back("a>b<");
  }
  open_tag.push_back(">after");
  open_comment.push_back("-->after");
  EXPECT_EQ(Convert(open_tag, 1), std::vector<std::string>{"textafter"});
  EXPECT_EQ(Convert(open_comment, 1), std::vector<std::string>{"after"});
  // The first line's stray ">" drops its "a"; every later line's "a>" then closes the open "<".
  EXPECT_EQ(Convert(strays, 1), std::vector<std::string>{std::string(200'000, 'b') + "<"});
}

}  // namespace
}  // namespace sorabu::textcmd::test
