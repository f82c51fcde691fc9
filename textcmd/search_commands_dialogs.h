// The questions of the search commands, asked through the dialog interface, and the histories
// and the list their dialogs keep.
//
// The regular-expression dialog is asked as one question for the pattern and, for the replace
// commands, one for the replacement, each with its history from section "GrepR" ("DriveCount" /
// "Items_" for patterns, "DriveCount2" / "Items2_" for replacements; a new entry goes on top, at
// most 20 are written, and the count written is the number of entries written, so reading back
// never yields empty entries). The list dialog is asked as two questions: the list, offered as
// the stored entries one per line, and the switch, answered "regex" or "plain"; both are kept in
// section "RenzokuDelete" ("ListCount", "Items_", "RegCheck"). Entries are stored as
// "#" + text + "#" so that blanks at either end survive the settings file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/dialogs.h"
#include "textcmd/search_commands.h"

namespace sorabu::textcmd {

constexpr std::size_t kRegExpHistoryWritten = 20;

// The entries of a history or list kept under countKey and itemPrefix + index.
std::vector<std::string> LoadEntries(TSearchMemory& memory, std::string_view section, std::string_view countKey,
                                     std::string_view itemPrefix);
// Writes the first `limit` entries and their number.
void StoreEntries(TSearchMemory& memory, std::string_view section, std::string_view countKey,
                  std::string_view itemPrefix, const std::vector<std::string>& entries, std::size_t limit);
// A new text goes on top; a known one stays where it is. Empty texts are not remembered.
void RememberNew(std::vector<std::string>& history, const std::string& text);

// The list dialog's entries from one answer: one per line (LF or CR LF), empty lines dropped.
std::vector<std::string> SplitListAnswer(std::string_view answer);

// Asks the command's questions; nullopt when any is cancelled or a required pattern is empty.
std::optional<TSearchAnswers> AskSearchQuestions(SearchCommand command, dialogs::TDialogs& dialogs,
                                                 TSearchMemory* memory, const std::string& selection);

// The questions, for the command table (UTF-8).
std::vector<std::string> SearchQuestions(SearchCommand command);

}  // namespace sorabu::textcmd
