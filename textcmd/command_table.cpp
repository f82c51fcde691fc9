#include "textcmd/command_table.h"
#include "textcmd/search_commands.h"

namespace sorabu::textcmd {
namespace {

TCommandTable BuildTable() {
  TCommandTable table;
  AppendConversionCommands(table);
  AppendUnicodeCommands(table);
  AppendLineCommands(table);
  AppendCleanupCommands(table);
  AppendHtmlCsvCommands(table);
  AppendHexDumpCommands(table);
  AppendSearchCommands(table);
  return table;
}

}  // namespace

const TCommandTable& CommandTable() {
  static const TCommandTable table = BuildTable();
  return table;
}

const TCommand* FindCommand(std::string_view handler) {
  for (const TCommand& command : CommandTable())
    if (command.handler == handler) return &command;
  return nullptr;
}

std::optional<Outcome> RunCommand(std::string_view handler, const std::string& path, TCommandContext& context) {
  const TCommand* command = FindCommand(handler);
  if (command == nullptr) return std::nullopt;
  return command->run(path, context);
}

}  // namespace sorabu::textcmd
