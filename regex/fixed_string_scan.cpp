#include "regex/fixed_string_scan.h"

#include <cstring>

namespace sorabu::regex {

namespace {

// How common a byte is in Japanese text, roughly: the lead bytes of punctuation and kana, small
// letters, blanks and line ends are everywhere; the lead bytes of the common kanji come next;
// bytes above 0x9F (second bytes, half-width kana, rarer kanji) are the rarest.
int Commonness(unsigned char b) {
  if ((b >= 0x81 && b <= 0x83) || (b >= 'a' && b <= 'z') || b == ' ' || b == '\n') return 3;
  if (b >= 0x84 && b <= 0x9F) return 2;
  if (b < 0x80) return 1;
  return 0;
}

}  // namespace

const char* FindNeedle(const char* h, std::size_t n, std::string_view needle) {
  const std::size_t m = needle.size();
  if (n < m) return nullptr;
  if (m == 0) return h;
  std::size_t rare = 0;
  for (std::size_t i = 1; i < m; ++i) {
    if (Commonness(static_cast<unsigned char>(needle[i])) <
        Commonness(static_cast<unsigned char>(needle[rare]))) {
      rare = i;
    }
  }
  const char* p = h + rare;
  const char* const end = h + n - (m - 1 - rare);
  while (p < end) {
    p = static_cast<const char*>(std::memchr(p, needle[rare], static_cast<std::size_t>(end - p)));
    if (p == nullptr) return nullptr;
    if (std::memcmp(p - rare, needle.data(), m) == 0) return p - rare;
    ++p;
  }
  return nullptr;
}

}  // namespace sorabu::regex
