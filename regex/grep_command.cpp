#include "regex/grep_command.h"

#include "regex/errors.h"
#include "regex/grep_files.h"

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
  GrepFileSink sink;
  sink.begin = [&](std::size_t i) {
    current = options.path_text ? options.path_text(paths[i]) : paths[i];
    if (options.show_file_names) pane.add_line(MessageBytes("// 検索ファイル [ ") + current + " ]");
  };
  sink.match = [&](const RE_LineInfo_t& info) {
    if (options.show_line_numbers) {
      pane.add_line(current + "(" + std::to_string(info.LineNo) + ") :" + info.Line);
    } else {
      pane.add_line(info.Line);
    }
  };
  sink.unreadable = [&](std::size_t i, const std::string& reason) {
    if (!options.on_unreadable) {
      result.outcome = GrepOutcome::kFileError;
      result.message = reason;
      return false;
    }
    options.on_unreadable(paths[i], reason);
    return true;
  };
  sink.binary = [&](std::size_t i) { options.on_binary(paths[i]); };
  const bool skipped_binary = grep.SkipBinary;
  grep.SkipBinary = static_cast<bool>(options.on_binary);
  try {
    GrepFiles(grep, paths, options.threads, sink);
  } catch (const EGrepCancel&) {
    result.outcome = GrepOutcome::kCancelled;
    result.message = MessageBytes("Grepを中止しました。");
    pane.add_line(MessageBytes("[Grepを中止]"));
  }
  grep.SkipBinary = skipped_binary;
  return result;
}

}  // namespace sorabu::regex
