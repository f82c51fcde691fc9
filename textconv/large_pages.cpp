#include "textconv/large_pages.h"

#include <cstdint>

#include <sys/mman.h>

namespace sorabu::textconv {

void PreferLargePages(const void* data, std::size_t bytes) {
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  if (bytes < 2 * kHuge) return;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t from = (start + kHuge - 1) & ~(kHuge - 1);
  const std::uintptr_t to = (start + bytes) & ~(kHuge - 1);
  if (to <= from) return;
#ifdef MADV_HUGEPAGE
  ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#endif
}

}  // namespace sorabu::textconv
