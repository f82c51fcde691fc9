// sorabu-cli detect FILE…: one line per file, the kanji code value, its display name and the path.
//
// Text recognised as UTF-8 (its first megabyte well-formed with a multi-byte character, or a
// byte-order mark) or UTF-16 (a mark) prints 7 UTF-8 or 8 UTF-16, after the Japanese codes 0..6.
// The file is read in blocks only until the code is decided, so its size does not matter.
// Anything but a regular file is skipped with a message (a FIFO without a writer would wait
// forever), as is a file that cannot be read; the exit status is then 1. Paths are printed with
// their control bytes escaped.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/cli.h"
#include "textconv/cp932.h"
#include "textconv/kanji_code.h"
#include "textconv/ui_text.h"

namespace sorabu::cli {
namespace {

constexpr std::size_t kBlock = 1 << 16;
constexpr std::size_t kUnicodeLook = 1 << 20;

int Detect(const std::vector<std::string>& args) {
  if (args.empty()) return Usage("detect");
  int status = kExitDone;
  std::string block(kBlock, '\0');
  for (const std::string& path : args) {
    std::string why;
    const int fd = OpenRegularFile(path, why);
    textconv::TKanjiCodeDetector detector;
    std::string head;  // the first megabyte, for the Unicode check
    bool ended = false;
    while (fd >= 0 && (!detector.Decided() || head.size() < kUnicodeLook)) {
      const ssize_t n = ::read(fd, block.data(), block.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) why = std::strerror(errno);
      if (n <= 0) {
        ended = n == 0;
        break;
      }
      if (head.size() < kUnicodeLook) head.append(block.data(), std::min(static_cast<std::size_t>(n), kUnicodeLook - head.size()));
      if (!detector.Decided()) detector.Feed(std::string_view(block.data(), static_cast<std::size_t>(n)));
    }
    if (fd >= 0) ::close(fd);
    if (!why.empty()) {
      Complain(textconv::Utf8ToCp932Exact(path) +
               textconv::Utf8ToCp932(": " + (why == kNotRegular ? why : "cannot be read (" + why + ")")));
      status = kExitFailed;
      continue;
    }
    const int unicode = textconv::DetectTextCode(head, ended);
    const int code = unicode == textconv::Utf8 || unicode == textconv::Utf16 ? unicode : detector.Finish();
    std::printf("%d %s %s\n", code, std::string(textconv::KanjiCodeNameUtf8(code)).c_str(), EscapedName(path).c_str());
  }
  return status;
}

const TSubcommand kDetect("detect", "FILE...", Detect);

}  // namespace
}  // namespace sorabu::cli
