// sorabu-cli detect FILE…: one line per file, the kanji code value, its display name and the path.
#include <fstream>
#include <iterator>

#include "cli/cli.h"
#include "textconv/cp932.h"
#include "textconv/kanji_code.h"

namespace sorabu::cli {
namespace {

int Detect(const std::vector<std::string>& args) {
  if (args.empty()) return Usage("detect");
  int status = kExitDone;
  for (const std::string& path : args) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      Complain(textconv::Utf8ToCp932(path + ": cannot be read"));
      status = kExitFailed;
      continue;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const int code = textconv::DetectKanjiCode(bytes);
    std::printf("%d %s %s\n", code, std::string(textconv::KanjiCodeNameUtf8(code)).c_str(), path.c_str());
  }
  return status;
}

const TSubcommand kDetect("detect", "FILE...", Detect);

}  // namespace
}  // namespace sorabu::cli
