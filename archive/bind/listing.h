// The lines of the archive listing, from entry records. Pure formatting, no library calls.
#pragma once

#include <string>

#include "archive/libs/unlha32/unlha32.h"

namespace sorabu::archive {

// The entry record the find calls fill (the layout every plug-in shares).
using TIndividualInfo = ::UnlhaIndividualInfo;

// One listing line for an entry record (mark, short name, sizes, ratio, date, time, attribute,
// method, CRC, full name), without the line end.
std::string ListingLine(const TIndividualInfo& info);
// The totals line for a count and sums; an original total of 0 or less counts as 1.
std::string ListingTotals(long long count, long long original, long long packed);

}  // namespace sorabu::archive
