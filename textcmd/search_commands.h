// The file-rewriting search commands: keep or drop lines that hold a text or match a pattern,
// replace, delete words, each also for a whole list of words or patterns.
//
// Plain texts are found on character starts only: a byte search would find 求 (8B 81) inside
// ル、 (83 8B 81 41), and deleting or replacing there would cut both characters in half. An empty
// text is contained nowhere and replaces nothing. Patterns go through TAWKStr (CR as the line
// end, no dictionaries), one compiled matcher per pattern, so a long list does not recompile at
// every line; a line is matched exactly as read, its backslashes being ordinary characters.
//
// Every pattern and the replacement are compiled and checked when the step is made, before the
// working copy exists, so a faulty entry stops the command with the file untouched.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textcmd/command_table.h"
#include "textcmd/plain_search.h"
#include "textcmd/working_copy.h"

namespace sorabu::textcmd {

enum class SearchCommand {
  LineExtract,     // MlineextractClick     "* 検索行抽出(&C)"
  LineExtractReg,  // MlineextractRegClick  "* 検索行抽出　正規表現"
  LineDelete,      // MlinedeleteClick      "* 検索行削除(&L)"
  LineDeleteReg,   // MlinedeleteRegClick   "* 検索行削除　正規表現"
  LineDeleteList,  // MlinedeleteListClick  "* 検索行削除　連続"
  ReplaceReg,      // MreplaceRegClick      "* 置換　正規表現(&P)"
  ReplaceAll,      // MreplaceAllClick      "* 置換　一括(&I)"
  WordDelete,      // MworddeleteClick      "* 検索語句削除"
  WordDeleteList,  // MworddeleteListClick  "* 検索語句削除　連続"
};

// What the dialogs answered.
struct TSearchAnswers {
  std::string text;         // the text or the pattern
  std::string replacement;  // ReplaceReg, ReplaceAll
  std::vector<std::string> list;
  bool regex = false;  // the list dialog's "正規表現(&S)"
};

using LineEmit = std::function<void(std::string_view line)>;
using LineStep = std::function<void(std::string_view line, const LineEmit& emit)>;

// The per-line transformation of a command. Throws regex::ERegExpParser when a pattern or the
// replacement is faulty.
LineStep MakeSearchStep(SearchCommand command, const TSearchAnswers& answers);

// Where the dialogs keep their histories and the list (the settings file for the window and the
// tool). One object serves one command: reads, then writes, then Flush.
class TSearchMemory {
 public:
  virtual ~TSearchMemory() = default;
  virtual std::optional<std::string> Read(std::string_view section, std::string_view key) = 0;
  virtual void Write(std::string_view section, std::string_view key, std::string_view value) = 0;
  virtual void Flush() {}
};

// What the window lends to these commands beyond the frame's context.
struct TSearchEnvironment {
  std::function<std::unique_ptr<TSearchMemory>()> memory;  // null: nothing is remembered
  std::function<std::string()> selection;                 // the pane's selected text, CP932
};
void SetSearchEnvironment(TSearchEnvironment environment);

// The whole command: check the file, ask, check the patterns, run the frame.
Outcome RunSearchCommand(SearchCommand command, const std::string& path, TCommandContext& context,
                         TSearchMemory* memory, const std::string& selection);

// The nine commands above and "* TeX->テキスト" (MtextotextClick), for the command table.
void AppendSearchCommands(TCommandTable& table);

}  // namespace sorabu::textcmd
