#include "textconv/line_break_scan.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sorabu::textconv {

std::size_t FindCrOrLf(std::string_view text, std::size_t from) noexcept {
  const char* p = text.data();
  const std::size_t n = text.size();
  std::size_t i = from;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  for (; i < n; ++i) {
    if (p[i] == '\r' || p[i] == '\n') return i;
  }
  return n;
}

#if defined(__SSE2__)
namespace {

// Adds up, over the 16-byte blocks from i, the byte lanes that step gives each block (each lane
// at most one per block), summing the lanes every 255 blocks so that none overflows. A block is
// read only when lookahead more bytes follow it; i ends past the last block read.
template <class Step>
std::size_t SumLanes(const char* p, std::size_t n, std::size_t& i, std::size_t lookahead, Step step) {
  std::size_t count = 0;
  const __m128i zero = _mm_setzero_si128();
  while (i + 16 + lookahead <= n) {
    __m128i lanes = zero;
    const std::size_t blocks = std::min<std::size_t>((n - i - lookahead) / 16, 255);
    for (std::size_t b = 0; b < blocks; ++b, i += 16) lanes = step(lanes, p + i);
    const __m128i sums = _mm_sad_epu8(lanes, zero);
    count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
             static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
  }
  return count;
}

__m128i Load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

}  // namespace
#endif

std::size_t CountLineFeeds(const char* p, std::size_t n) noexcept {
  std::size_t count = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  // A lane counts down by one per LF: a match is 0xFF.
  const __m128i lf = _mm_set1_epi8('\n');
  count = SumLanes(p, n, i, 0, [lf](__m128i lanes, const char* block) {
    return _mm_sub_epi8(lanes, _mm_cmpeq_epi8(Load(block), lf));
  });
#endif
  for (; i < n; ++i) count += p[i] == '\n';
  return count;
}

std::size_t CountLineEnds(const char* p, std::size_t n) noexcept {
  std::size_t count = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Per lane: one for an LF, one for a CR, less one for a CR before an LF, so the block reads the
  // byte after it too.
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  count = SumLanes(p, n, i, 1, [cr, lf](__m128i lanes, const char* block) {
    const __m128i crs = _mm_cmpeq_epi8(Load(block), cr);
    lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(Load(block), lf));
    lanes = _mm_sub_epi8(lanes, crs);
    return _mm_add_epi8(lanes, _mm_and_si128(crs, _mm_cmpeq_epi8(Load(block + 1), lf)));
  });
#endif
  for (; i < n; ++i) {
    if (p[i] == '\n') ++count;
    else if (p[i] == '\r' && (i + 1 >= n || p[i + 1] != '\n')) ++count;
  }
  return count;
}

}  // namespace sorabu::textconv
