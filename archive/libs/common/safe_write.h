// Writing one entry below a destination folder without ever leaving it.
#pragma once

#include <string>

#include "archive/libs/common/plugin.h"

namespace sorabu::arcplug {

// Creates the entry (a folder, or a file filled from data) below dest; 0 or a result code.
// Unsafe names (absolute, "..", drive prefixes, "\" escapes) give kErrorWrite without any write.
// `shown` receives the relative path written. progress, when given, hears of the bytes written;
// when it asks to stop, the file goes again and the result is kErrorUserCancel.
int WriteBelow(const std::string& dest, const ArcEntry& entry, EntryData* data, bool keep_folders,
               bool overwrite, std::string* shown, unlha32::OwnerProgress* progress = nullptr);

}  // namespace sorabu::arcplug
