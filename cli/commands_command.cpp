// sorabu-cli commands: every file-rewriting command, one line each: the handler name, the
// main-menu caption (submenu → item) and the questions it asks, separated by TABs.
#include "cli/cli.h"
#include "textcmd/command_table.h"

namespace sorabu::cli {
namespace {

int Commands(const std::vector<std::string>& args) {
  if (!args.empty()) return Usage("commands");
  for (const textcmd::TCommand& command : textcmd::CommandTable()) {
    std::string caption = command.menu.empty() ? command.caption : command.menu + " → " + command.caption;
    std::string questions;
    for (const std::string& q : command.questions) questions += (questions.empty() ? "" : " / ") + q;
    std::printf("%s\t%s\t%s\n", command.handler.c_str(), caption.c_str(), questions.c_str());
  }
  return kExitDone;
}

const TSubcommand kCommands("commands", "", Commands);

}  // namespace
}  // namespace sorabu::cli
