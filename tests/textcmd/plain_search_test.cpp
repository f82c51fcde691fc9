// The pane's plain search (directions, case, whole words, character starts) and the plain text
// search of the file-rewriting commands.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>
#include <string>

#include "textcmd/plain_search.h"
#include "textconv/cp932.h"
#include "tests/support/sjis_text.h"

namespace sorabu::textcmd {
namespace {

using test_support::S;

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
      // Case folding finds either case as the first byte, in both directions.
      {"xx ABC abc", "Abc", {10, 0}, up, 7},
      {"xx aBC", "ABC", {0, 0}, down, 3},
      // A lead byte's partner that looks like a lower-case letter is compared as it is.
      {"\x83\x61", "\x83\x41", {0, 0}, down, std::nullopt},
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

// The search as first written: the whole text upper-cased and its character starts listed.
std::optional<std::size_t> Reference(std::string text, std::string find, std::size_t from, const TPlainSearchOptions& o) {
  if (!o.matchCase) {
    text = textconv::UpperCaseCp932(text);
    find = textconv::UpperCaseCp932(find);
  }
  std::vector<bool> starts(text.size() + 1, false);
  for (std::size_t i = 0; i < text.size(); i += textconv::CharLength(text, i)) starts[i] = true;
  auto accepts = [&](std::size_t p) {
    if (text.size() - p < find.size() || !starts[p] || text.compare(p, find.size(), find) != 0) return false;
    const std::size_t end = p + find.size();
    return !o.wholeWord || end == text.size() || !IsWordByte(static_cast<unsigned char>(text[end]));
  };
  if (o.down) {
    for (std::size_t p = from; p < text.size(); ++p)
      if (accepts(p)) return p;
  } else {
    for (long long p = static_cast<long long>(from) - 1; p >= 0; --p)
      if (accepts(static_cast<std::size_t>(p))) return static_cast<std::size_t>(p);
  }
  return std::nullopt;
}

TEST(PlainSearchTest, AgreesWithTheWholeTextSearchWithoutWholeWords) {
  std::mt19937 random(3);
  const std::string alphabet = "aAbB\x82\x81\x83\x61\x8B\x81 \r\n";
  for (int round = 0; round < 300; ++round) {
    std::string text, find;
    for (int i = 0; i < 200; ++i) text += alphabet[random() % alphabet.size()];
    const std::size_t at = random() % 190;
    find = text.substr(at, 1 + random() % 4);
    if (random() % 2) find[0] = static_cast<char>(find[0] ^ 0x20);
    const std::size_t from = random() % text.size();
    for (int mode = 0; mode < 4; ++mode) {
      const TPlainSearchOptions o{(mode & 1) != 0, (mode & 2) != 0, false};
      const auto found = PlainSearch(text, find, {from, 0}, o);
      const auto expected = Reference(text, find, o.down ? from : from, o);
      ASSERT_EQ(found.has_value(), expected.has_value()) << round << " " << mode;
      if (found) ASSERT_EQ(found->start, *expected) << round << " " << mode;
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
