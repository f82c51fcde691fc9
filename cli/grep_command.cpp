// sorabu-cli grep [--fuzzy] [--no-names] [--no-line-numbers] [--utf8] [--count] [--recursive] [--jobs N] PATTERN FILE…
//
// Writes the text the Grep command puts into the pane, each line ended by CR LF, as CP932 bytes
// (UTF-8 with --utf8). A FOLDER argument stands for the files directly inside it, by name, as the
// file list would offer them with nothing selected; with --recursive, for its whole tree (hidden
// folders and links to folders left out, a folder that cannot be read reported and the run's
// status 1), and binary files, there and among the files named, are set aside and counted on
// standard error. Files are opened by the names given; the pane
// shows those names converted like every other argument, so a Japanese file name reads right.
// --count prints only the number of reported lines (for benchmarks: the whole scan, no output).
// Files are searched on every core; --jobs N sets how many at once (1: one after the other). The
// output is the same for any N.
// A faulty pattern writes nothing; a file that cannot be read ends the run after the lines found
// so far; both report on standard error and exit 1. A FILE that is neither a regular file nor a
// folder (a FIFO, a device) is skipped with a message on standard error before the run, which
// then ends with exit status 1.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli.h"
#include "regex/errors.h"
#include "regex/grep.h"
#include "regex/grep_command.h"
#include "regex/grep_tree.h"
#include "textconv/cp932.h"
#include "textconv/printable.h"
#include "textconv/ui_text.h"

namespace sorabu::cli {
namespace {

// FILE arguments with every folder replaced by the regular files inside it, sorted by name, and
// without the special files (skipped is set when there were any).
std::vector<std::string> ExpandFolders(const std::vector<std::string>& args, bool recursive, bool& skipped) {
  namespace fs = std::filesystem;
  std::vector<std::string> paths;
  for (const std::string& arg : args) {
    std::error_code ec;
    if (IsSpecialFile(arg)) {
      Complain(textconv::Utf8ToCp932Exact(arg) + ": " + kNotRegular);
      skipped = true;
      continue;
    }
    if (!fs::is_directory(arg, ec)) {
      paths.push_back(arg);
      continue;
    }
    if (recursive) {
      const regex::GrepTree tree = regex::CollectGrepTree(arg, {});
      paths.insert(paths.end(), tree.files.begin(), tree.files.end());
      for (const auto& [folder, reason] : tree.unreadable) {
        Complain(textconv::Utf8ToCp932Exact(folder) + ": " + reason);
        skipped = true;
      }
      continue;
    }
    std::vector<std::string> inside;
    for (fs::directory_iterator it(arg, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code type_ec;
      if (it->is_regular_file(type_ec)) inside.push_back(it->path().string());
    }
    std::sort(inside.begin(), inside.end());
    paths.insert(paths.end(), inside.begin(), inside.end());
  }
  return paths;
}

bool ParseJobs(const std::string& text, unsigned& jobs) {
  if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  jobs = static_cast<unsigned>(std::stoul(text));
  return jobs >= 1 && jobs <= 64;
}

int Grep(const std::vector<std::string>& args) {
  regex::GrepPaneOptions options;
  options.threads = 0;
  bool fuzzy = false, utf8 = false, count_only = false, recursive = false;
  std::size_t i = 0;
  for (; i < args.size() && args[i].starts_with("--"); ++i) {
    if (args[i] == "--fuzzy") fuzzy = true;
    else if (args[i] == "--no-names") options.show_file_names = false;
    else if (args[i] == "--no-line-numbers") options.show_line_numbers = false;
    else if (args[i] == "--utf8") utf8 = true;
    else if (args[i] == "--count") count_only = true;
    else if (args[i] == "--recursive") recursive = true;
    else if (args[i] == "--jobs" && i + 1 < args.size() && ParseJobs(args[i + 1], options.threads)) ++i;
    else return Usage("grep");
  }
  if (args.size() - i < 2) return Usage("grep");
  const std::string pattern = ArgToCp932(args[i]);
  bool skipped = false;
  const std::vector<std::string> paths =
      ExpandFolders(std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end()), recursive, skipped);
  // A name goes into the pane with its control bytes escaped, so it cannot forge a line.
  const auto shown = [](const std::string& path) { return textconv::PrintableCp932(ArgToCp932ForDisplay(path)); };
  options.path_text = shown;

  regex::TGrep grep;
  grep.SetUseFuzzyCharDic(fuzzy);
  // Reports are the lines after the header and the empty line, other than the file-name lines,
  // which come one per file reached, in order.
  long long lines = 0, reported = 0;
  std::size_t names_seen = 0;
  regex::GrepPane pane;
  pane.add_line = [&](const std::string& line) {
    if (++lines > 2) {
      if (options.show_file_names && names_seen < paths.size() &&
          line == regex::MessageBytes("// 検索ファイル [ ") + shown(paths[names_seen]) + " ]") {
        ++names_seen;
      } else {
        ++reported;
      }
    }
    if (count_only) return;
    if (utf8) {
      WriteUtf8(stdout, line);
    } else {
      std::fwrite(line.data(), 1, line.size(), stdout);
    }
    std::fputs("\r\n", stdout);
  };
  std::size_t binaries = 0;
  if (recursive) {
    // Called in list order, where that file's name line would have come.
    options.on_binary = [&](const std::string& path) {
      ++binaries;
      if (names_seen < paths.size() && paths[names_seen] == path) ++names_seen;
    };
  }
  const regex::GrepCommandResult result = regex::RunGrepCommand(grep, pattern, paths, options, pane);
  if (binaries > 0) std::fprintf(stderr, "%zu binary files not searched\n", binaries);
  if (count_only && result.outcome != regex::GrepOutcome::kPatternError) {
    std::printf("%lld\n", reported);
  }
  std::fflush(stdout);
  if (result.outcome == regex::GrepOutcome::kDone) return skipped ? kExitFailed : kExitDone;
  if (result.outcome == regex::GrepOutcome::kPatternError) {
    Complain(result.message + " (" + std::to_string(result.error_position) + ")");
  } else {
    Complain(result.message);
  }
  return kExitFailed;
}

const TSubcommand kGrep("grep",
                        "[--fuzzy] [--no-names] [--no-line-numbers] [--utf8] [--count] [--recursive] [--jobs N] PATTERN FILE|FOLDER...",
                        Grep);

}  // namespace
}  // namespace sorabu::cli
