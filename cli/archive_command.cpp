// sorabu-cli archive list|extract|create: the generic archive commands without the window. The
// plug-ins are found beside sorabu-cli.
#include <unistd.h>

#include "archive/bind/commands.h"
#include "archive/bind/messages.h"
#include "cli/cli.h"

namespace sorabu::cli {
namespace {

// A current folder CP932 cannot name matches no destination.
std::string CurrentFolder() {
  char buf[4096];
  if (::getcwd(buf, sizeof buf) == nullptr) return std::string();
  try {
    return ArgToCp932(buf);
  } catch (const EArgument&) {
    return std::string();
  }
}

int Run(const std::vector<std::string>& args) {
  if (args.size() < 2) return Usage("archive");
  const std::string& verb = args[0];
  const std::string archive = ArgToCp932(args[1]);
  try {
    if (verb == "list" && args.size() == 2) {
      // A file the format's check refuses lists nothing, as in the window.
      WriteUtf8(stdout, archive::GenericListText(archive));
      return kExitDone;
    }
    if (verb == "extract" && args.size() == 3) {
      if (!archive::ExtractableName(archive) && !archive::Recognised(archive)) {
        Complain(ArgToCp932ForDisplay(args[1]) + ": " + archive::Message(archive::Msg::kUnknownFormat));
        return kExitFailed;
      }
      std::string text;
      const std::string dest = archive::ExtractDestination(ArgToCp932(args[2]), CurrentFolder());
      const int code = archive::GenericExtract(archive, dest, text);
      WriteUtf8(stdout, text);
      return code == 0 ? kExitDone : kExitFailed;
    }
    if (verb == "create" && args.size() >= 3) {
      std::vector<std::string> files;
      for (std::size_t i = 2; i < args.size(); ++i) files.push_back(ArgToCp932(args[i]));
      std::string text;
      const int code = archive::GenericCreate(archive, files, text);
      WriteUtf8(stdout, text);
      return code == 0 ? kExitDone : kExitFailed;
    }
  } catch (const archive::EArchiverError& e) {
    Complain(e.what());
    return kExitFailed;
  }
  return Usage("archive");
}

const TSubcommand kArchive("archive", "list ARCHIVE | extract ARCHIVE FOLDER | create ARCHIVE FILE...", Run);

}  // namespace
}  // namespace sorabu::cli
