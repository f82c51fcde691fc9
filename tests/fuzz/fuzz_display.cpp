// Arbitrary bytes through what the viewer does with a file's first bytes: the line index (built
// whole, and built on a prefix then extended), the line split of each line model, the code
// detection (whole and fed in two pieces), and the character walks the caret uses, in code page
// 932 and in UTF-8. The first byte picks where the text is cut; the rest is the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "textcmd/text_line_reader.h"
#include "textconv/kanji_code.h"
#include "textconv/unicode_text.h"
#include "viewer/line_index.h"

namespace tc = sorabu::textconv;
namespace vw = sorabu::viewer;
using sorabu::textcmd::LineModel;

namespace {

// The walk back is quadratic over a run of lead bytes; 512 bytes reach every branch.
constexpr std::size_t kWalk = 512;

void CheckIndex(std::string_view text, std::size_t cut) {
  vw::TLineIndex whole;
  whole.Build(text);
  if (whole.Lines() < 1 || whole.Start(0) != 0 || whole.Size() != text.size()) std::abort();
  for (std::size_t i = 0; i < whole.Lines(); ++i) {
    const std::size_t start = whole.Start(i), end = whole.End(i);
    if (start > end || end > text.size()) std::abort();
    if (text.substr(start, end - start).find_first_of("\r\n") != std::string_view::npos) std::abort();
    if (whole.LineOf(start) != i || whole.LineOf(end) != i) std::abort();
    if (i + 1 < whole.Lines()) {
      const std::string_view brk = text.substr(end, whole.Start(i + 1) - end);
      if (brk != "\r\n" && brk != "\r" && brk != "\n") std::abort();
    } else if (end != text.size()) {
      std::abort();
    }
  }
  vw::TLineIndex grown;
  grown.Build(text.substr(0, cut));
  grown.Extend(text);
  if (grown.Lines() != whole.Lines()) std::abort();
  for (std::size_t i = 0; i < whole.Lines(); ++i) {
    if (grown.Start(i) != whole.Start(i) || grown.End(i) != whole.End(i)) std::abort();
  }
}

void CheckSplit(std::string_view text) {
  for (const LineModel model : {LineModel::Streaming, LineModel::StreamingLf}) {
    std::size_t total = 0;
    for (const std::string& line : sorabu::textcmd::SplitLines(text, model)) {
      if (line.find('\r') != std::string::npos) std::abort();
      if (model == LineModel::StreamingLf && line.find('\n') != std::string::npos) std::abort();
      total += line.size();
    }
    if (total > text.size()) std::abort();
  }
}

void CheckWalks(std::string_view text) {
  text = text.substr(0, kWalk);
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size();) {
    starts.push_back(i);
    const std::size_t next = vw::NextCharStart(text, i);
    if (next <= i || next > text.size()) std::abort();
    i = next;
  }
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : text.size();
    if (vw::PreviousCharStart(text, 0, end) != starts[k]) std::abort();
  }
  starts.clear();
  std::u16string units;
  for (std::size_t i = 0; i < text.size();) {
    starts.push_back(i);
    const std::size_t used = tc::DecodeUtf8Char(text, i, units);
    if (used < 1 || used > 4 || used != tc::Utf8CharLength(text, i)) std::abort();
    i += used;
  }
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : text.size();
    if (tc::PreviousUtf8Start(text, 0, end) != starts[k]) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string_view text(bytes);
  const std::size_t cut = text.empty() ? 0 : data[0] % (text.size() + 1);
  CheckIndex(text, cut);
  CheckSplit(text);
  tc::TKanjiCodeDetector pieces;
  pieces.Feed(text.substr(0, cut));
  pieces.Feed(text.substr(cut));
  if (pieces.Finish() != tc::DetectKanjiCode(text)) std::abort();
  (void)tc::DetectTextForm(text.substr(0, cut), false);
  (void)tc::DetectTextCode(text);
  CheckWalks(text);
  return 0;
}
