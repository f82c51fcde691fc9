// Arbitrary bytes through the UTF-8 and UTF-16 decoders: whatever comes in, what they give is
// well-formed UTF-8; UTF-16 written from well-formed UTF-8 reads back to it; the escaped form of
// ill-formed UTF-8 is well formed and leaves well-formed text as it is.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "textconv/unicode_text.h"

namespace tc = sorabu::textconv;

namespace {

bool WellFormed(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = tc::Utf8SequenceLength(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const bool little : {true, false}) {
    const std::string utf8 = tc::Utf16ToUtf8(bytes, little);
    if (!WellFormed(utf8)) std::abort();
    const std::string back = tc::Utf8ToUtf16WithMark(utf8, little);
    if (back.size() < 2 || tc::Utf16ToUtf8(back, little) != utf8) std::abort();  // one mark is dropped
  }
  const std::string escaped = tc::EscapeInvalidUtf8(bytes);
  if (!WellFormed(escaped)) std::abort();
  if (WellFormed(bytes) != (escaped == bytes)) std::abort();
  std::string rebuilt;
  std::u16string units;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t n = tc::Utf8SequenceLength(bytes, i);
    if (n > 4 || i + n > bytes.size()) std::abort();
    if (n != 0) rebuilt.append(bytes, i, n);
    const std::size_t used = tc::DecodeUtf8Char(bytes, i, units);
    if (used != (n == 0 ? 1 : n)) std::abort();
    i += used;
  }
  if (!WellFormed(rebuilt)) std::abort();
  // Without a byte-order mark, only well-formed text is taken for UTF-8.
  const bool marked = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 || bytes.compare(0, 2, "\xFF\xFE") == 0 ||
                      bytes.compare(0, 2, "\xFE\xFF") == 0;
  if (!marked && tc::DetectTextForm(bytes) == tc::TextForm::Utf8 && !WellFormed(bytes)) std::abort();
  return 0;
}
