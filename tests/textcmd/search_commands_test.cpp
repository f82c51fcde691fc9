// The search commands: plain text on character starts, the per-line steps and the histories.
// Whole runs with their questions are in tests/cli/search_run_test.cpp.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <optional>
#include <string>
#include <vector>

#include "regex/errors.h"
#include "textcmd/search_commands.h"
#include "textcmd/search_commands_dialogs.h"
#include "textcmd/tex_to_text.h"
#include "textconv/cp932.h"
#include "tests/support/sjis_text.h"
#include "tests/textcmd/map_memory.h"

namespace sorabu::textcmd {
namespace {

using test_support::S;

std::vector<std::string> Apply(const LineStep& step, const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& line : lines) step(line, [&out](std::string_view l) { out.emplace_back(l); });
  return out;
}

TEST(SearchStepTest, PerLineTransformations) {
  using C = SearchCommand;
  struct Row {
    C command;
    TSearchAnswers answers;
    std::vector<std::string> in, out;
  };
  const std::vector<std::string> sample = {"banana", "C:\\temp", "apple", "", S("ル、")};
  const std::vector<Row> rows = {
      {C::LineExtract, {"an"}, sample, {"banana"}},
      {C::LineExtract, {""}, sample, {}},  // an empty text is contained nowhere
      {C::LineExtract, {S("求")}, sample, {}},
      {C::LineDelete, {"an"}, sample, {"C:\\temp", "apple", "", S("ル、")}},
      {C::LineDelete, {""}, sample, sample},
      {C::LineExtractReg, {"^a|mp$"}, sample, {"C:\\temp", "apple"}},
      {C::LineExtractReg, {S("求")}, sample, {}},
      {C::LineDeleteReg, {"a"}, sample, {"C:\\temp", "", S("ル、")}},
      // Backslashes in a line are ordinary characters, and a line that does not match stays.
      {C::LineExtractReg, {"\\\\t"}, sample, {"C:\\temp"}},
      {C::ReplaceReg, {"^", "> "}, {"one", "", "C:\\temp"}, {"> one", "> ", "> C:\\temp"}},
      {C::ReplaceReg, {"a", "[&]"}, {"banana", "C:\\temp"}, {"b[a]n[a]n[a]", "C:\\temp"}},
      {C::ReplaceReg, {"a+", "\\&\\t"}, {"baan"}, {"b&\tn"}},
      {C::ReplaceReg, {"$", ";"}, {"x", ""}, {"x;", ";"}},
      {C::ReplaceAll, {"a", "&"}, {"banana"}, {"b&n&n&"}},  // plain: "&" is itself
      {C::ReplaceAll, {"", "x"}, {"ab"}, {"ab"}},
      {C::WordDelete, {"na"}, {"banana", "nnaa"}, {"ba", "na"}},
      {C::WordDelete, {S("求")}, {S("ル、求")}, {S("ル、")}},
      {C::WordDeleteList, {"", "", {"b", "an"}, false}, {"banana"}, {"a"}},
      {C::WordDeleteList, {"", "", {"a+n", "^b"}, true}, {"baana", "xb"}, {"a", "xb"}},
      {C::WordDeleteList, {"", "", {}, true}, {"same"}, {"same"}},
      {C::LineDeleteList, {"", "", {"pp", "temp"}, false}, sample, {"banana", "", S("ル、")}},
      {C::LineDeleteList, {"", "", {"^$", "n.n"}, true}, sample, {"C:\\temp", "apple", S("ル、")}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Apply(MakeSearchStep(row.command, row.answers), row.in), row.out)
        << static_cast<int>(row.command) << " " << row.answers.text;
  }
}

TEST(SearchStepTest, FaultyPatternsAndReplacementsThrowBeforeAnyLine) {
  using C = SearchCommand;
  const std::vector<std::pair<C, TSearchAnswers>> rows = {
      {C::LineExtractReg, {"a("}},
      {C::LineDeleteReg, {"[b"}},
      {C::ReplaceReg, {"a", "x\\"}},  // a replacement ending in a single backslash
      {C::ReplaceReg, {"*", "x"}},
      {C::LineDeleteList, {"", "", {"ok", "bad)", "fine"}, true}},
      {C::WordDeleteList, {"", "", {"ok", "(bad"}, true}},
  };
  for (const auto& [command, answers] : rows) {
    EXPECT_THROW(MakeSearchStep(command, answers), regex::ERegExpParser) << answers.text;
  }
  // Plain lists are not patterns.
  EXPECT_NO_THROW(MakeSearchStep(C::LineDeleteList, {"", "", {"bad)"}, false}));
}

using test::MapMemory;

TEST(SearchHistoryTest, AtMostTwentyWrittenAndCountedAsWritten) {
  MapMemory memory;
  std::vector<std::string> history;
  for (int i = 0; i < 25; ++i) RememberNew(history, "p" + std::to_string(i));
  RememberNew(history, "p3");
  RememberNew(history, "");
  ASSERT_EQ(history.size(), 25u);
  EXPECT_EQ(history.front(), "p24");
  StoreEntries(memory, "GrepR", "DriveCount", "Items_", history, kRegExpHistoryWritten);
  EXPECT_EQ(memory.values["GrepR/DriveCount"], "20");
  EXPECT_EQ(memory.values.count("GrepR/Items_20"), 0u);
  const auto loaded = LoadEntries(memory, "GrepR", "DriveCount", "Items_");
  EXPECT_EQ(loaded, std::vector<std::string>(history.begin(), history.begin() + 20));
  // A damaged count reads what there is.
  memory.values["GrepR/DriveCount"] = "99999999999999999999";
  EXPECT_EQ(LoadEntries(memory, "GrepR", "DriveCount", "Items_").size(), 20u);
  memory.values["GrepR/DriveCount"] = "x";
  EXPECT_TRUE(LoadEntries(memory, "GrepR", "DriveCount", "Items_").empty());
  EXPECT_EQ(SplitListAnswer("a\r\n\nb\n"), (std::vector<std::string>{"a", "b"}));
}

TEST(SearchStepTest, AnyBytesAsLinesPatternsAndListsNeverCrash) {
  // Every step on random byte lines; faulty patterns must be refused when the step is made, and
  // every output must come from its line's bytes (a kept or dropped line is the line itself).
  std::mt19937 rng(4242);
  static const char kAlphabet[] = "ab^$.*+?|()[]{}\\-&%\x81\x5C\x8B\x83\x41\x00\r\n\xFF";
  const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);
  auto random_bytes = [&](std::size_t max) {
    std::string s(rng() % (max + 1), '\0');
    for (char& c : s) c = rng() % 3 == 0 ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
    return s;
  };
  const TTexToText tex;
  for (int round = 0; round < 3000; ++round) {
    TSearchAnswers answers{random_bytes(8), random_bytes(6), {random_bytes(5), random_bytes(5)}, rng() % 2 == 0};
    const auto command = static_cast<SearchCommand>(rng() % 9);
    LineStep step;
    try {
      step = MakeSearchStep(command, answers);
    } catch (const regex::ERegExpParser&) {
      continue;
    }
    const std::string line = random_bytes(40);
    const std::vector<std::string> out = Apply(step, {line});
    ASSERT_LE(out.size(), 1u);
    if (command == SearchCommand::LineExtract || command == SearchCommand::LineDelete ||
        command == SearchCommand::LineExtractReg || command == SearchCommand::LineDeleteReg ||
        command == SearchCommand::LineDeleteList) {
      if (!out.empty()) EXPECT_EQ(out[0], line);
    } else {
      EXPECT_EQ(out.size(), 1u);
    }
    (void)tex.Line(line);
  }
}

TEST(SearchTableTest, EveryHandlerIsInTheTable) {
  TCommandTable table;
  AppendSearchCommands(table);
  std::vector<std::string> handlers;
  for (const TCommand& c : table) handlers.push_back(c.handler);
  EXPECT_EQ(handlers, (std::vector<std::string>{"MlineextractClick", "MlineextractRegClick", "MlinedeleteClick",
                                                "MlinedeleteRegClick", "MlinedeleteListClick", "MreplaceRegClick",
                                                "MreplaceAllClick", "MworddeleteClick", "MworddeleteListClick",
                                                "MtextotextClick"}));
}

}  // namespace
}  // namespace sorabu::textcmd
