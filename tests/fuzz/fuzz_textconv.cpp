// Arbitrary bytes through the code page 932 services and the kanji code detector: decoding must
// give back the same bytes when encoded, nothing may read outside the input, and the
// byte-level functions must keep their simple promises (upper-casing keeps the length).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "textconv/cp932.h"
#include "textconv/kanji_code.h"

namespace tc = sorabu::textconv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly the input size, so AddressSanitizer sees any read past its end.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string_view text(bytes);

  const std::u16string decoded = tc::DecodeCp932(text);
  std::size_t unmappable = 0;
  if (tc::EncodeCp932(decoded, &unmappable) != text || unmappable != 0) std::abort();
  if (tc::Utf8ToCp932(tc::Cp932ToUtf8(text), &unmappable) != text || unmappable != 0) std::abort();

  std::u16string pieces;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t used = tc::DecodeCp932Char(text, i, pieces);
    if (used != 1 && used != 2) std::abort();
    i += used;
  }
  if (pieces != decoded) std::abort();

  if (tc::UpperCaseCp932(text).size() != text.size()) std::abort();

  const int code = tc::DetectKanjiCode(text);
  if (code < 0 || code > 6 || tc::KanjiCodeNameUtf8(code).empty()) std::abort();

  // The same bytes read as UTF-8 and as UTF-16 exercise the strict fronts.
  (void)tc::Utf8ToCp932(text, &unmappable);
  std::u16string units(size / 2, u'\0');
  for (std::size_t k = 0; k < units.size(); ++k) {
    units[k] = static_cast<char16_t>(data[2 * k] | data[2 * k + 1] << 8);
  }
  (void)tc::EncodeCp932(units, &unmappable);
  return 0;
}
