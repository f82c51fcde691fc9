// sorabu-cli match, gsub and parse: the editing commands' matcher on standard input.
//
//   match [--lf] PATTERN                 per input line: "start length" as TAWKStr.Match gives
//                                        them (1-based start; "0 0" when nothing matches)
//   gsub [--lf] PATTERN REPLACEMENT      per input line: the count, a TAB, the line after GSub
//   parse PATTERN                        "ok", or the message and the 1-based byte position
//
// Standard input is split at LF and the LF removed; a last line without LF is a line, and input
// that ends in LF has no empty line after it. The lines are CP932 bytes and are written back
// unchanged apart from the replacements; a CR stays in the line (--lf makes LF the line-end
// character of "$" instead of CR). PATTERN and REPLACEMENT arrive like every argument. A faulty
// pattern, or a replacement ending in a single backslash, is reported before any line is read.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "regex/awk_str.h"
#include "regex/errors.h"

namespace sorabu::cli {
namespace {

// Calls each(line) for every LF-separated line of standard input.
template <typename Each>
void ForEachInputLine(Each each) {
  std::string line;
  bool pending = false;
  char buffer[1 << 16];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
    for (std::size_t i = 0; i < n; ++i) {
      if (buffer[i] == '\n') {
        each(line);
        line.clear();
        pending = false;
      } else {
        line.push_back(buffer[i]);
        pending = true;
      }
    }
  }
  if (pending) each(line);
}

int ReportPatternError(const regex::ERegExpParser& e) {
  Complain(e.MessageCp932() + "\t" + std::to_string(e.Position()));
  return kExitFailed;
}

// Reads the leading --lf; false on another option.
bool ParseSeparator(const std::vector<std::string>& args, std::size_t& i, regex::TAWKStr& awk) {
  for (; i < args.size() && args[i].starts_with("--"); ++i) {
    if (args[i] != "--lf") return false;
    awk.LineSeparator = regex::mcls_LF;
  }
  return true;
}

int Match(const std::vector<std::string>& args) {
  regex::TAWKStr awk;
  std::size_t i = 0;
  if (!ParseSeparator(args, i, awk) || args.size() - i != 1) return Usage("match");
  try {
    awk.SetRegExp(ArgToCp932(args[i]));
  } catch (const regex::ERegExpParser& e) {
    return ReportPatternError(e);
  }
  ForEachInputLine([&](const std::string& line) {
    std::size_t start = 0, length = 0;
    awk.Match(line, start, length);
    std::printf("%zu %zu\n", start, length);
  });
  return kExitDone;
}

int GSub(const std::vector<std::string>& args) {
  regex::TAWKStr awk;
  std::size_t i = 0;
  if (!ParseSeparator(args, i, awk) || args.size() - i != 2) return Usage("gsub");
  const std::string replacement = ArgToCp932(args[i + 1]);
  try {
    awk.SetRegExp(ArgToCp932(args[i]));
    (void)regex::ExpandReplacement(replacement, {});
  } catch (const regex::ERegExpParser& e) {
    return ReportPatternError(e);
  }
  ForEachInputLine([&](const std::string& line) {
    std::string s = line;
    const int count = awk.GSub(replacement, s);
    std::printf("%d\t", count);
    std::fwrite(s.data(), 1, s.size(), stdout);
    std::fputc('\n', stdout);
  });
  return kExitDone;
}

int Parse(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage("parse");
  regex::TAWKStr awk;
  try {
    awk.SetRegExp(ArgToCp932(args[0]));
  } catch (const regex::ERegExpParser& e) {
    return ReportPatternError(e);
  }
  std::puts("ok");
  return kExitDone;
}

const TSubcommand kMatch("match", "[--lf] PATTERN  (lines of standard input)", Match);
const TSubcommand kGSub("gsub", "[--lf] PATTERN REPLACEMENT  (lines of standard input)", GSub);
const TSubcommand kParse("parse", "PATTERN", Parse);

}  // namespace
}  // namespace sorabu::cli
