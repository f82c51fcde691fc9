#include "regex/grep_command.h"

#include "regex/errors.h"

namespace sorabu::regex {

GrepCommandResult RunGrepCommand(TGrep& grep, std::string_view pattern,
                                 const std::vector<std::string>& paths,
                                 const GrepPaneOptions& options, const GrepPane& pane) {
  GrepCommandResult result;
  try {
    grep.SetRegExp(pattern);
  } catch (const ERegExpParser& e) {
    result.outcome = GrepOutcome::kPatternError;
    result.message = e.MessageCp932();
    result.error_position = e.Position();
    return result;
  }
  if (pane.clear) pane.clear();
  pane.add_line(MessageBytes("Grepの実行　検索正規表現 = ") + std::string(pattern));
  pane.add_line("");
  std::string current;
  grep.OnMatch = [&](TGrep&, const RE_LineInfo_t& info) {
    if (options.show_line_numbers) {
      pane.add_line(current + "(" + std::to_string(info.LineNo) + ") :" + info.Line);
    } else {
      pane.add_line(info.Line);
    }
  };
  try {
    for (const std::string& path : paths) {
      current = options.path_text ? options.path_text(path) : path;
      if (options.show_file_names) pane.add_line(MessageBytes("// 検索ファイル [ ") + current + " ]");
      if (!options.on_unreadable) {
        grep.GrepFile(path);
        continue;
      }
      try {
        grep.GrepFile(path);
      } catch (const EFileNotFound& e) {
        options.on_unreadable(path, e.what());
      }
    }
  } catch (const EGrepCancel&) {
    result.outcome = GrepOutcome::kCancelled;
    result.message = MessageBytes("Grepを中止しました。");
    pane.add_line(MessageBytes("[Grepを中止]"));
  } catch (const EFileNotFound& e) {
    result.outcome = GrepOutcome::kFileError;
    result.message = e.what();
  }
  grep.OnMatch = nullptr;
  return result;
}

}  // namespace sorabu::regex
