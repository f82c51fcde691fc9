// ZIP archives whose entries are flagged as having UTF-8 names that are not UTF-8 (written by
// tools that set the flag for any name, or for CP932 names). libzip refuses to open them; the
// archive is read instead through a source that clears the flag of just those entries, so their
// names are read as the bytes they are, as unflagged names are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <zip.h>

namespace sorabu::arcplug {

// Offsets of the general-purpose flag fields (in the central directory and in each local
// header) of the entries flagged UTF-8 whose names are not UTF-8. `archive` is the whole file or
// any part of it read through `read(offset, n, out)`; empty when there are none or the directory
// cannot be found.
using ReadAt = bool (*)(void* context, std::uint64_t offset, std::size_t n, std::string& out);
std::vector<std::uint64_t> MisflaggedNameFields(std::uint64_t size, ReadAt read, void* context);

// Opens the file read-only with those flags cleared as it is read; nullptr (and *error set to a
// libzip code) when it cannot be opened. Only the flag bit changes: sizes, offsets and data are
// the file's own.
zip_t* OpenWithFlagsCleared(const std::string& path, const std::vector<std::uint64_t>& fields, int* error);

}  // namespace sorabu::arcplug
