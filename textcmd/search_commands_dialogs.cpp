#include "textcmd/search_commands_dialogs.h"

#include <algorithm>
#include <stdexcept>

#include "textconv/cp932.h"

namespace sorabu::textcmd {
namespace {

using textconv::Sjis;

constexpr std::string_view kGrepR = "GrepR";
constexpr std::string_view kRenzoku = "RenzokuDelete";
constexpr long long kMaxEntries = 10'000;

bool IsRegexCommand(SearchCommand c) {
  return c == SearchCommand::LineExtractReg || c == SearchCommand::LineDeleteReg || c == SearchCommand::ReplaceReg;
}
bool IsListCommand(SearchCommand c) {
  return c == SearchCommand::LineDeleteList || c == SearchCommand::WordDeleteList;
}
bool HasReplacement(SearchCommand c) { return c == SearchCommand::ReplaceReg || c == SearchCommand::ReplaceAll; }

struct InputBoxText {
  const char* caption;
  const char* prompt;
};

InputBoxText PlainQuestion(SearchCommand c) {
  switch (c) {
    case SearchCommand::LineExtract: return {"検索行抽出", "検索する文字列"};
    case SearchCommand::LineDelete: return {"検索行削除", "検索する文字列"};
    default: return {"検索語句削除", "削除する語句を入力して下さい"};
  }
}

const char* RegExpCaption(SearchCommand c) {
  switch (c) {
    case SearchCommand::LineExtractReg: return "検索－正規表現";
    case SearchCommand::LineDeleteReg: return "検索行削除－正規表現";
    case SearchCommand::ReplaceAll: return "一括置換";
    default: return "正規表現置換";
  }
}

const char* ListCaption(SearchCommand c) {
  return c == SearchCommand::LineDeleteList ? "検索行削除 連続" : "検索語句削除　連続";
}

std::optional<TSearchAnswers> AskRegExpDialog(SearchCommand c, dialogs::TDialogs& dialogs, TSearchMemory* memory,
                                              const std::string& selection) {
  std::vector<std::string> patterns, replacements;
  if (memory != nullptr) {
    patterns = LoadEntries(*memory, kGrepR, "DriveCount", "Items_");
    replacements = LoadEntries(*memory, kGrepR, "DriveCount2", "Items2_");
  }
  dialogs::TDialogs::RegExpSetup setup;
  setup.caption = Sjis(RegExpCaption(c));
  // The plain replace hides the note, the fuzzy box and the insert buttons: there the text is no
  // pattern. The searches have no replacement.
  const bool plain = c == SearchCommand::ReplaceAll;
  setup.note = plain ? std::string() : Sjis("文字列には正規表現が使えます。");
  setup.fuzzy = setup.insertButtons = !plain;
  setup.replacement = HasReplacement(c);
  setup.okCaption = Sjis(HasReplacement(c) ? "置換(&R)" : "検索(&S)");
  setup.pattern = selection;
  setup.patterns = patterns;
  setup.replacements = replacements;
  const auto answer = dialogs.RegExpDialog(setup);
  if (!answer) return std::nullopt;
  TSearchAnswers answers;
  answers.text = answer->pattern;
  if (HasReplacement(c)) answers.replacement = answer->replacement;
  if (memory != nullptr) {
    RememberNew(patterns, answers.text);
    StoreEntries(*memory, kGrepR, "DriveCount", "Items_", patterns, kRegExpHistoryWritten);
    if (HasReplacement(c)) {
      RememberNew(replacements, answers.replacement);
      StoreEntries(*memory, kGrepR, "DriveCount2", "Items2_", replacements, kRegExpHistoryWritten);
    }
    memory->Flush();
  }
  if (IsRegexCommand(c) && answers.text.empty()) return std::nullopt;
  return answers;
}

std::optional<TSearchAnswers> AskListDialog(SearchCommand c, dialogs::TDialogs& dialogs, TSearchMemory* memory) {
  std::vector<std::string> stored;
  bool regex = false;
  if (memory != nullptr) {
    stored = LoadEntries(*memory, kRenzoku, "ListCount", "Items_");
    const auto check = memory->Read(kRenzoku, "RegCheck");
    regex = check && !check->empty() && check->find_first_not_of("0 ") != std::string::npos;
  }
  dialogs::TDialogs::ListSetup setup;
  setup.caption = Sjis(ListCaption(c));
  setup.entries = stored;
  setup.regex = regex;
  if (memory != nullptr) {
    setup.openFolder = memory->Read(kRenzoku, "Open31").value_or("");
    setup.saveFolder = memory->Read(kRenzoku, "Save31").value_or("");
  }
  const auto answer = dialogs.ListDialog(setup);
  if (!answer) return std::nullopt;
  TSearchAnswers answers;
  answers.list = answer->entries;
  answers.regex = answer->regex;
  if (memory != nullptr) {
    StoreEntries(*memory, kRenzoku, "ListCount", "Items_", answers.list, answers.list.size());
    memory->Write(kRenzoku, "RegCheck", answers.regex ? "1" : "0");
    if (!answer->openFolder.empty()) memory->Write(kRenzoku, "Open31", answer->openFolder);
    if (!answer->saveFolder.empty()) memory->Write(kRenzoku, "Save31", answer->saveFolder);
    memory->Flush();
  }
  return answers;
}

}  // namespace

std::vector<std::string> LoadEntries(TSearchMemory& memory, std::string_view section, std::string_view countKey,
                                     std::string_view itemPrefix) {
  std::vector<std::string> entries;
  const auto count = memory.Read(section, countKey);
  long long n = 0;
  if (count) {
    try {
      n = std::stoll(*count);
    } catch (const std::out_of_range&) {
      n = count->find('-') == std::string::npos ? kMaxEntries : 0;
    } catch (const std::invalid_argument&) {
      n = 0;
    }
  }
  // A damaged count cannot make the program read without end.
  n = std::clamp(n, 0LL, kMaxEntries);
  for (long long i = 0; i < n; ++i) {
    const auto item = memory.Read(section, std::string(itemPrefix) + std::to_string(i));
    if (!item) continue;
    std::string text = *item;
    if (text.size() >= 2 && text.front() == '#' && text.back() == '#') text = text.substr(1, text.size() - 2);
    if (!text.empty()) entries.push_back(std::move(text));
  }
  return entries;
}

void StoreEntries(TSearchMemory& memory, std::string_view section, std::string_view countKey,
                  std::string_view itemPrefix, const std::vector<std::string>& entries, std::size_t limit) {
  const std::size_t n = std::min(limit, entries.size());
  memory.Write(section, countKey, std::to_string(n));
  for (std::size_t i = 0; i < n; ++i) {
    memory.Write(section, std::string(itemPrefix) + std::to_string(i), "#" + entries[i] + "#");
  }
}

void RememberNew(std::vector<std::string>& history, const std::string& text) {
  if (text.empty() || std::find(history.begin(), history.end(), text) != history.end()) return;
  history.insert(history.begin(), text);
}

std::vector<std::string> SplitListAnswer(std::string_view answer) {
  std::vector<std::string> entries;
  std::size_t start = 0;
  while (start <= answer.size()) {
    std::size_t end = answer.find('\n', start);
    if (end == std::string_view::npos) end = answer.size();
    std::string_view entry = answer.substr(start, end - start);
    if (!entry.empty() && entry.back() == '\r') entry.remove_suffix(1);
    if (!entry.empty()) entries.emplace_back(entry);
    start = end + 1;
  }
  return entries;
}

std::optional<TSearchAnswers> AskSearchQuestions(SearchCommand c, dialogs::TDialogs& dialogs, TSearchMemory* memory,
                                                 const std::string& selection) {
  if (IsListCommand(c)) return AskListDialog(c, dialogs, memory);
  if (IsRegexCommand(c) || c == SearchCommand::ReplaceAll) return AskRegExpDialog(c, dialogs, memory, selection);
  const InputBoxText q = PlainQuestion(c);
  const auto text = dialogs.InputBox(Sjis(q.caption), Sjis(q.prompt), selection);
  if (!text) return std::nullopt;
  TSearchAnswers answers;
  answers.text = *text;
  return answers;
}

std::vector<std::string> SearchQuestions(SearchCommand c) {
  if (IsListCommand(c)) return {"削除文字列リスト(&I)", "正規表現(&S) (regex/plain)"};
  if (HasReplacement(c)) return {"検索する文字列(&S)", "置換する文字列(&T)"};
  if (IsRegexCommand(c)) return {"検索する文字列(&S)"};
  return {PlainQuestion(c).prompt};
}

}  // namespace sorabu::textcmd
