// Every file-rewriting command, by its menu handler's name.
//
// The window binds its menu items to these entries and the command-line tool runs them by name,
// so both go through the same code: ask (through the dialog interface), transform (the working
// copy frame), show (the context's callbacks). The table is a plain vector that each family of
// commands appends to.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textcmd/working_copy.h"

namespace sorabu::textcmd {

struct TCommand {
  std::string handler;                 // e.g. "Mtrim1Click"
  std::string menu;                    // the main-menu submenu caption (UTF-8), empty when none
  std::string caption;                 // the main-menu item caption (UTF-8)
  std::vector<std::string> questions;  // what it asks, in order (UTF-8)
  Variation variation = Variation::Default;
  std::function<Outcome(const std::string& path, TCommandContext& context)> run;
};

using TCommandTable = std::vector<TCommand>;

const TCommandTable& CommandTable();
const TCommand* FindCommand(std::string_view handler);
// nullopt when no command has that handler name.
std::optional<Outcome> RunCommand(std::string_view handler, const std::string& path, TCommandContext& context);

// RunLineConversion(code), codes 1–14, on path.
Outcome RunLineConversion(int code, const std::string& path, TCommandContext& context);

// The families (each in its own file).
void AppendConversionCommands(TCommandTable& table);
void AppendUnicodeCommands(TCommandTable& table);
void AppendLineCommands(TCommandTable& table);
void AppendCleanupCommands(TCommandTable& table);
void AppendHtmlCsvCommands(TCommandTable& table);
void AppendHexDumpCommands(TCommandTable& table);

}  // namespace sorabu::textcmd
