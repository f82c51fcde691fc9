// The pane's plain search (directions, case, whole words, character starts) and the plain text
// search of the file-rewriting commands.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "textcmd/plain_search.h"
#include "textconv/cp932.h"

namespace sorabu::textcmd {
namespace {

std::string S(std::string_view utf8) { return textconv::Utf8ToCp932(utf8); }

TEST(PlainSearchTest, Table) {
  struct Row {
    std::string text;
    std::string find;
    TPaneSelection from;
    TPlainSearchOptions options;
    std::optional<std::size_t> start;  // nullopt: not found
  };
  const TPlainSearchOptions down{true, false, false}, up{false, false, false};
  const TPlainSearchOptions downCase{true, true, false}, downWord{true, false, true}, upWord{false, false, true};
  const Row rows[] = {
      {"abc abc", "abc", {0, 0}, down, 0},
      {"abc abc", "abc", {0, 3}, down, 4},  // starts after the selection
      {"abc abc", "abc", {4, 3}, down, std::nullopt},
      {"xx ABC", "abc", {0, 0}, down, 3},   // case folded
      {"xx ABC", "abc", {0, 0}, downCase, std::nullopt},
      {"xx abc", "ABC", {0, 0}, downCase, std::nullopt},
      {"ab", "abc", {0, 0}, down, std::nullopt},  // too close to the end
      {"abc", "", {0, 0}, down, std::nullopt},
      // Whole words: the word under the start is skipped; a match at the end is found.
      {"abc abc", "abc", {0, 0}, downWord, 4},
      {"abc abcd abc", "abc", {0, 0}, downWord, 9},
      {"x abc", "abc", {0, 0}, downWord, 2},
      {"x,abc.", "abc", {0, 0}, downWord, 2},
      {S("x ｱabc"), "abc", {0, 0}, downWord, 3},  // half-width katakana is a delimiter
      // Up: the nearest earlier occurrence.
      {"abc abc abc", "abc", {8, 3}, up, 4},
      {"abc abc abc", "abc", {4, 3}, up, 0},
      {"abc abc abc", "abc", {0, 3}, up, std::nullopt},
      {"abc def", "abc", {7, 0}, upWord, 0},
      {"abcd abc x", "abc", {10, 0}, upWord, 5},
      {"abcd x", "abc", {6, 0}, upWord, std::nullopt},
      // Character starts: 求 (8B 81) stands inside ル、 (83 8B 81 41) only as bytes.
      {S("ル、求"), S("求"), {0, 0}, down, 4},
      {S("ル、"), S("求"), {0, 0}, down, std::nullopt},
      {S("求ル、"), S("求"), {6, 0}, up, 0},
      // The second byte of ａ (82 81) is not a letter to upper-case.
      {S("ａ"), "\x82\xA1", {0, 0}, down, std::nullopt},
      // A selection beyond the text finds nothing and reads nothing.
      {"abc", "a", {5, 0}, down, std::nullopt},
      {"abc", "a", {2, 9}, up, std::nullopt},
  };
  for (const Row& row : rows) {
    const auto found = PlainSearch(row.text, row.find, row.from, row.options);
    ASSERT_EQ(found.has_value(), row.start.has_value()) << row.text << " / " << row.find;
    if (found) {
      EXPECT_EQ(found->start, *row.start) << row.text << " / " << row.find;
      EXPECT_EQ(found->length, row.find.size());
    }
  }
}

TEST(PlainSearchTest, EveryByteAndEveryStartStaysInside) {
  // Texts of all byte values: no search reads outside the text (checked by the sanitizers and
  // by the result lying inside).
  std::string text;
  for (int i = 0; i < 256; ++i) text.push_back(static_cast<char>(i));
  text += text;
  for (const std::string find : {std::string("\x81"), std::string("A"), std::string("\xFF\x00", 2), text.substr(250, 20)}) {
    for (std::size_t start = 0; start <= text.size(); start += 37) {
      for (int mode = 0; mode < 8; ++mode) {
        const TPlainSearchOptions options{(mode & 1) != 0, (mode & 2) != 0, (mode & 4) != 0};
        const auto found = PlainSearch(text, find, {start, 0}, options);
        if (found) EXPECT_LE(found->start + found->length, text.size());
      }
    }
  }
}

TEST(SearchTextTest, FindsOnCharacterStartsOnly) {
  struct Row {
    std::string line, text, to;
    std::size_t found;
    std::string replaced;
  };
  const std::size_t npos = std::string::npos;
  const Row rows[] = {
      {"abcabc", "bc", "X", 1, "aXaX"},
      {"aaa", "aa", "b", 0, "ba"},  // left to right, not overlapping
      {"abc", "", "X", npos, "abc"},
      {"", "a", "X", npos, ""},
      {S("ル、"), S("求"), "X", npos, S("ル、")},
      {S("ル、求める"), S("求"), S("探"), 4, S("ル、探める")},
      // A lone lead byte is not a character of the line: it would cut ア in half.
      {S("アイ"), "\x83", "X", npos, S("アイ")},
      // 表 (95 5C) ends in the byte of "\".
      {S("表\\"), "\\", "/", 2, S("表/")},
      {S("ソ表示"), S("表"), "", 2, S("ソ示")},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FindText(row.line, row.text), row.found) << row.line;
    EXPECT_EQ(ContainsText(row.line, row.text), row.found != npos) << row.line;
    EXPECT_EQ(ReplaceText(row.line, row.text, row.to), row.replaced) << row.line;
  }
}

TEST(SearchTextTest, LongLinesStayLinear) {
  // Every occurrence found from the one before: a megabyte of matches is one walk.
  const std::string line(1 << 20, 'a');
  EXPECT_EQ(ReplaceText(line, "a", "bb").size(), line.size() * 2);
  EXPECT_EQ(ReplaceText(S(std::string(1 << 18, 'x')) + S("求"), S("求"), ""), std::string(1 << 18, 'x'));
}

}  // namespace
}  // namespace sorabu::textcmd
