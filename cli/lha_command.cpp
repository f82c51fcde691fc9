// sorabu-cli lha COMMAND-LINE: the LHA library's command entry with that command line (the
// arguments joined by blanks, each containing a blank quoted); prints its output.
#include "archive/bind/lha_binding.h"
#include "cli/cli.h"

namespace sorabu::cli {
namespace {

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return Usage("lha");
  std::string line;
  for (const std::string& a : args) {
    const std::string item = ArgToCp932(a);
    if (!line.empty()) line += ' ';
    line += item.find(' ') != std::string::npos && item.find('"') == std::string::npos ? "\"" + item + "\"" : item;
  }
  std::string output;
  const int code = archive::LhaCommand(nullptr, line, output);
  WriteUtf8(stdout, output);
  if (!output.empty() && output.back() != '\n') WriteUtf8(stdout, "\n");
  if (code != 0) {
    Complain("Result code = " + std::to_string(code));
    return kExitFailed;
  }
  return kExitDone;
}

const TSubcommand kLha("lha", "COMMAND-LINE", Run);

}  // namespace
}  // namespace sorabu::cli
