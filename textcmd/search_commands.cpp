#include "textcmd/search_commands.h"

#include <utility>

#include "regex/awk_str.h"
#include "regex/errors.h"
#include "textcmd/command_helpers.h"
#include "textcmd/search_commands_dialogs.h"
#include "textcmd/tex_to_text.h"
#include "textconv/cp932.h"

namespace sorabu::textcmd {
namespace {

using Matchers = std::vector<std::shared_ptr<regex::TAWKStr>>;

// One matcher per pattern: the lists would otherwise thrash the 30-entry cache at every line.
Matchers CompileAll(const std::vector<std::string>& patterns) {
  Matchers matchers;
  for (const std::string& pattern : patterns) {
    auto awk = std::make_shared<regex::TAWKStr>();
    awk->LineSeparator = regex::mcls_CRLF;
    awk->SetRegExp(pattern);
    matchers.push_back(std::move(awk));
  }
  return matchers;
}

bool Matches(const regex::TAWKStr& awk, std::string_view line) {
  std::size_t start = 0, length = 0;
  return awk.Match(line, start, length) != 0;
}

TSearchEnvironment& Environment() {
  static TSearchEnvironment environment;
  return environment;
}

}  // namespace

LineStep MakeSearchStep(SearchCommand command, const TSearchAnswers& a) {
  switch (command) {
    case SearchCommand::LineExtract:
      return [text = a.text](std::string_view line, const LineEmit& emit) {
        if (ContainsText(line, text)) emit(line);
      };
    case SearchCommand::LineDelete:
      return [text = a.text](std::string_view line, const LineEmit& emit) {
        if (!ContainsText(line, text)) emit(line);
      };
    case SearchCommand::WordDelete:
      return [text = a.text](std::string_view line, const LineEmit& emit) { emit(ReplaceText(line, text, "")); };
    case SearchCommand::ReplaceAll:
      return [from = a.text, to = a.replacement](std::string_view line, const LineEmit& emit) {
        emit(ReplaceText(line, from, to));
      };
    case SearchCommand::LineExtractReg:
    case SearchCommand::LineDeleteReg: {
      const bool keep = command == SearchCommand::LineExtractReg;
      auto awk = CompileAll({a.text}).front();
      return [awk, keep](std::string_view line, const LineEmit& emit) {
        if (Matches(*awk, line) == keep) emit(line);
      };
    }
    case SearchCommand::ReplaceReg: {
      auto awk = CompileAll({a.text}).front();
      (void)regex::ExpandReplacement(a.replacement, {});  // a trailing backslash throws here
      std::string s;
      return [awk, replacement = a.replacement, s](std::string_view line, const LineEmit& emit) mutable {
        s.assign(line);
        awk->GSub(replacement, s);
        emit(s);
      };
    }
    case SearchCommand::LineDeleteList: {
      auto matchers = a.regex ? CompileAll(a.list) : Matchers{};
      return [matchers, list = a.list, regex = a.regex](std::string_view line, const LineEmit& emit) {
        for (std::size_t i = 0; i < list.size(); ++i) {
          if (regex ? Matches(*matchers[i], line) : ContainsText(line, list[i])) return;
        }
        emit(line);
      };
    }
    case SearchCommand::WordDeleteList: {
      auto matchers = a.regex ? CompileAll(a.list) : Matchers{};
      std::string s;
      return [matchers, list = a.list, regex = a.regex, s](std::string_view line, const LineEmit& emit) mutable {
        s.assign(line);
        for (std::size_t i = 0; i < list.size(); ++i) {
          if (regex) {
            matchers[i]->GSub("", s);
          } else if (ContainsText(s, list[i])) {
            s = ReplaceText(s, list[i], "");
          }
        }
        emit(s);
      };
    }
  }
  return [](std::string_view line, const LineEmit& emit) { emit(line); };
}

void SetSearchEnvironment(TSearchEnvironment environment) { Environment() = std::move(environment); }

Outcome RunSearchCommand(SearchCommand command, const std::string& path, TCommandContext& context,
                         TSearchMemory* memory, const std::string& selection) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  const auto answers = AskSearchQuestions(command, context.dialogs, memory, selection);
  if (!answers) return Outcome::Cancelled;
  LineStep step;
  try {
    step = MakeSearchStep(command, *answers);
  } catch (const regex::ERegExpParser& e) {
    context.dialogs.Error(e.MessageCp932());
    return Outcome::Failed;
  }
  return RunPerLine(path, Variation::Default, context,
                    [&step](std::string_view line, const Emit& emit) { step(line, emit); });
}

namespace {

Outcome RunFromTable(SearchCommand command, const std::string& path, TCommandContext& context) {
  const TSearchEnvironment& env = Environment();
  std::unique_ptr<TSearchMemory> memory = env.memory ? env.memory() : nullptr;
  return RunSearchCommand(command, path, context, memory.get(), env.selection ? env.selection() : std::string());
}

Outcome RunTexToText(const std::string& path, TCommandContext& context) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  const TTexToText tex;
  return RunPerLine(path, Variation::Default, context,
                    [&tex](std::string_view line, const Emit& emit) { emit(tex.Line(line)); });
}

}  // namespace

void AppendSearchCommands(TCommandTable& table) {
  struct Entry {
    SearchCommand command;
    const char* handler;
    const char* menu;
    const char* caption;
  };
  static const Entry kEntries[] = {
      {SearchCommand::LineExtract, "MlineextractClick", "", "* 検索行抽出(&C)"},
      {SearchCommand::LineExtractReg, "MlineextractRegClick", "", "* 検索行抽出　正規表現"},
      {SearchCommand::LineDelete, "MlinedeleteClick", "", "* 検索行削除(&L)"},
      {SearchCommand::LineDeleteReg, "MlinedeleteRegClick", "", "* 検索行削除　正規表現"},
      {SearchCommand::LineDeleteList, "MlinedeleteListClick", "", "* 検索行削除　連続"},
      {SearchCommand::ReplaceReg, "MreplaceRegClick", "", "* 置換　正規表現(&P)"},
      {SearchCommand::ReplaceAll, "MreplaceAllClick", "", "* 置換　一括(&I)"},
      {SearchCommand::WordDelete, "MworddeleteClick", "", "* 検索語句削除"},
      {SearchCommand::WordDeleteList, "MworddeleteListClick", "", "* 検索語句削除　連続"},
  };
  for (const Entry& e : kEntries) {
    TCommand command;
    command.handler = e.handler;
    command.menu = e.menu;
    command.caption = e.caption;
    command.questions = SearchQuestions(e.command);
    const SearchCommand which = e.command;
    command.run = [which](const std::string& path, TCommandContext& context) {
      return RunFromTable(which, path, context);
    };
    table.push_back(std::move(command));
  }
  TCommand tex;
  tex.handler = "MtextotextClick";
  tex.menu = "";
  tex.caption = "* TeX->テキスト";
  tex.run = RunTexToText;
  table.push_back(std::move(tex));
}

}  // namespace sorabu::textcmd
