// The commands behind the Unlha entry, and the mapping of codec errors to result codes.
#pragma once

#include <string>
#include <string_view>

#include "archive/lha/archive_reader.h"
#include "archive/lha/error.h"

namespace sorabu::unlha32 {

// The result code for a codec error (0 for kOk).
int ResultCode(lha::Error e);

// Runs the command line; the text for the output buffer goes to `output` (CP932). Returns the
// result code: 0, or the first error met (per-entry errors do not stop the other entries).
int RunCommandLine(std::string_view line, std::string& output);

// The listing of "l" (verbose: "v", with attributes and header levels).
std::string ListingText(const lha::ArchiveReader& reader, bool verbose);

// The MS-DOS date (high half) and time (low half) of an entry.
std::uint32_t EntryDosTime(const lha::Entry& e);
// "rhsa" letters or "-"; a folder shows "d" last.
std::string AttributeText(const lha::Entry& e);
// Packed size per original size in tenths of a percent (0 for an empty entry).
unsigned RatioPermille(const lha::Entry& e);

}  // namespace sorabu::unlha32
