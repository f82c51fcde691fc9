// The text the Grep command puts into the pane, produced in one place for the window and the CLI.
//
// The pattern is compiled first, so a faulty pattern leaves the pane untouched. Then the pane is
// cleared and gets the header line and an empty line, then per file an optional
// "// 検索ファイル [ path ]" line and one line per matching line (path(LineNo) :Line, or the line
// alone). A stop request ends the run with "[Grepを中止]"; a file that cannot be opened ends it
// with the system's message (the lines found so far stay). All pane text is CP932. With several
// threads the grep's ProcessMessages is still called on the caller's thread only.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "regex/grep.h"

namespace sorabu::regex {

struct GrepPaneOptions {
  bool show_file_names = true;    // "検索ﾌｧｨﾙ名の表示(&K)"
  bool show_line_numbers = true;  // "行数の表示(&L)"
  // How a path appears in the pane (CP932); the path as given when unset. A file name on disk
  // is in the system's encoding, which the pane's bytes are not.
  std::function<std::string(const std::string& path)> path_text;
  // When set, a file that cannot be opened or read is passed here (with the system's message)
  // and the run goes on with the next; unset, it ends the run.
  std::function<void(const std::string& path, const std::string& reason)> on_unreadable;
  // When set, a binary file (its first 8 KiB hold a NUL byte, without a UTF-16 mark) is passed
  // here instead of being searched, and the pane shows no line for it.
  std::function<void(const std::string& path)> on_binary;
  // Files searched side by side (0: one per core); the pane's text is the same for any number.
  unsigned threads = 1;
};

enum class GrepOutcome { kDone, kCancelled, kFileError, kPatternError };

struct GrepCommandResult {
  GrepOutcome outcome = GrepOutcome::kDone;
  std::string message;    // CP932: the warning or error to show, empty when done
  int error_position = 0;  // pattern errors only
};

struct GrepPane {
  std::function<void()> clear;                          // empties the pane (and the info line)
  std::function<void(const std::string& line)> add_line;  // one pane line, without line end
};

// pattern and paths are CP932 bytes; the paths are opened as given.
GrepCommandResult RunGrepCommand(TGrep& grep, std::string_view pattern,
                                 const std::vector<std::string>& paths,
                                 const GrepPaneOptions& options, const GrepPane& pane);

}  // namespace sorabu::regex
