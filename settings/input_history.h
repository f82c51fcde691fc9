// The history kept by the input dialog, one settings section per command.
//
// Entries are stored as "#" + text + "#" under Items_0, Items_1, …, with their number in
// DriveCount. The "#" keep leading and trailing blanks through the settings file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorabu::dialogs {
class TDialogs;
}

namespace sorabu::settings {

class TIniFile;

std::vector<std::string> LoadHistory(const TIniFile& ini, std::string_view section,
                                     std::string_view countKey = "DriveCount");

// Puts text at the top (moving it when it is already in the list), drops empty entries and
// writes the list: DriveCount is the full count, at most the first 21 entries are written.
void StoreHistory(TIniFile& ini, std::string_view section, std::vector<std::string>& list,
                  const std::string& text, std::string_view countKey = "DriveCount", int written = 21);

// The common use by a command: load the section's history, ask with a proposal, and on OK store
// the history. The settings file is opened afresh for the read and for the write. Empty = Cancel.
std::string AskWithHistory(dialogs::TDialogs& dialogs, const std::string& iniPath,
                           std::string_view section, const std::string& caption,
                           const std::string& prompt1, const std::string& prompt2,
                           const std::string& proposal);

constexpr int kHistoryWritten = 21;

}  // namespace sorabu::settings
