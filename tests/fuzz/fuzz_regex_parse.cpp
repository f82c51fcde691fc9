// Arbitrary bytes as patterns, replacements and texts through the regular-expression engine:
// scanner, dictionary preprocessor, parser, automata, Match and GSub. A syntax fault or a limit
// of the engine is an ERegExpParser and fine; anything else (a crash, a read outside the input,
// another exception, a match outside the text) is a bug.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "regex/awk_str.h"
#include "regex/errors.h"
#include "regex/parser.h"
#include "regex/scanner.h"

namespace rx = sorabu::regex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned flags = data[0];
  // Exact-size copies, so AddressSanitizer sees any read past their ends.
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t cut = rest.find('\xFF');
  const std::string pattern = rest.substr(0, cut);
  const std::string tail = cut == std::string::npos ? std::string() : rest.substr(cut + 1);
  const std::size_t cut2 = tail.find('\xFF');
  const std::string replacement = tail.substr(0, cut2);
  const std::string text = cut2 == std::string::npos ? std::string() : tail.substr(cut2 + 1);

  try {
    (void)rx::TREScanner(pattern).dump();
  } catch (const rx::ERegExpParser&) {
  }
  try {
    rx::TREParser parser(pattern);
    parser.Parse();
    if (pattern.size() < 512) (void)parser.tree().dump();
  } catch (const rx::ERegExpParser&) {
  }

  rx::TAWKStr awk;
  awk.LineSeparator = (flags & 1) != 0 ? rx::mcls_LF : rx::mcls_CRLF;
  try {
    // The width/kana dictionary rewrites every pattern it is on for; one input in four uses it.
    awk.SetUseFuzzyCharDic((flags & 6) == 6);
    awk.SetRegExp(pattern);
  } catch (const rx::ERegExpParser&) {
  }
  std::size_t start = 0, length = 0;
  if (awk.Match(text, start, length) != 0 && (start == 0 || start - 1 + length > text.size())) {
    std::abort();
  }
  std::string s = text;
  try {
    const int count = awk.GSub(replacement, s);
    if (count < 0 || (count == 0 && s != text)) std::abort();
  } catch (const rx::ERegExpParser&) {
    if (s != text) std::abort();
  }
  return 0;
}
