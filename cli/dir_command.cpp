// sorabu-cli dir: the directory listing the window runs in place of "command.com /c dir".
//
// The path is taken as the file system's bytes (like the paths of detect), not converted to
// CP932; the listing comes out in CP932 with CR LF, problems go to standard error. A PATH after
// "--" names one file or folder exactly: wildcard characters in it are characters.
#include <cstdio>

#include "cli/cli.h"
#include "info/dir_listing.h"

namespace sorabu::cli {
namespace {

int Dir(const std::vector<std::string>& args) {
  std::vector<info::DirToken> tokens;
  bool literal = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--line") {
      // The argument text as the dialogs build it: a quoted part is always the path.
      if (++i == args.size()) return Usage("dir");
      for (info::DirToken& t : info::SplitDirLine(args[i])) tokens.push_back(std::move(t));
    } else if (args[i] == "--") {
      literal = true;
      for (++i; i < args.size(); ++i) tokens.push_back({args[i], true});
    } else {
      tokens.push_back({args[i], false});
    }
  }
  info::DirOptions options;
  std::string error;
  if (!info::ParseDirTokens(tokens, options, error)) {
    std::fprintf(stderr, "sorabu-cli dir: %s\n", error.c_str());
    return Usage("dir");
  }
  options.literal = literal;
  bool reported = false;
  const info::DirSink sink{
      [](std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); },
      [&reported](const std::string& message) {
        std::fflush(stdout);
        Complain(message);
        reported = true;
      }};
  const bool ok = info::ListDirectory(options, sink);
  std::fflush(stdout);
  return ok && !reported ? kExitDone : kExitFailed;
}

const TSubcommand kDir("dir",
                       "[/A[:][-]DRHSA...] [/O[:][-]NSEDGA...] [/S] [/V|/B|/W] [/L] [PATH|WILDCARD] "
                       "| --line \"ARGUMENT TEXT\" | -- PATH  (attributes D folder, R read-only, H hidden, "
                       "S special file, A archive; sort N name, S size, E extension, D date, G folders first, "
                       "A last access, - reverses; /S subfolders, /V verbose, /B names only, /W wide, /L lower case)",
                       Dir);

}  // namespace
}  // namespace sorabu::cli
