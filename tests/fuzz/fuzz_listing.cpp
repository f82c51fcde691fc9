// Arbitrary bytes as an entry record through the archive listing's line and totals: a record
// from a plug-in may leave any field unterminated and hold any sizes, so the line must stay
// inside the record and the totals must format any sums.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "archive/bind/listing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The record is heap-allocated at its exact size so AddressSanitizer sees any read past it.
  auto* record = new sorabu::archive::TIndividualInfo;
  std::memset(record, 0, sizeof *record);
  std::memcpy(record, data, size < sizeof *record ? size : sizeof *record);
  const std::string line = sorabu::archive::ListingLine(*record);
  if (line.empty() || (line[0] != '+' && line[0] != ' ')) std::abort();
  long long sums[3] = {0, 0, 0};
  if (size > sizeof *record) std::memcpy(sums, data + sizeof *record, std::min(sizeof sums, size - sizeof *record));
  const std::string totals = sorabu::archive::ListingTotals(sums[0], sums[1], sums[2]);
  if (totals.empty() || totals.back() != '%') std::abort();
  delete record;
  return 0;
}
