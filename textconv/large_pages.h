// Asks the kernel to back a large buffer with huge pages before it is first written, where it
// offers them on request: a gigabyte read into memory then takes some hundreds of page faults
// instead of a quarter of a million. Only whole huge pages inside the buffer are affected; the
// hint may be ignored, and nothing else changes.
#pragma once

#include <cstddef>

namespace sorabu::textconv {

void PreferLargePages(const void* data, std::size_t bytes);

}  // namespace sorabu::textconv
