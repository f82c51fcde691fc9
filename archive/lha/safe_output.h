// Writing one entry below a destination folder without ever leaving it (see archive_reader.h).
#pragma once

#include <string>

#include "archive/lha/archive_reader.h"

namespace sorabu::lha {

// Decodes `request` into the file the entry names below dest_dir, creating folders on the way.
Error WriteEntryBelow(const std::string& dest_dir, const Entry& entry, const DecodeRequest& request,
                      const ExtractOptions& options, std::string* written);

}  // namespace sorabu::lha
