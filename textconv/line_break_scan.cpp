#include "textconv/line_break_scan.h"

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

}  // namespace sorabu::textconv
