// The direct LHA binding: the LHA commands and the viewer's preview talk to libunlha32.so without
// TArchiveFile. Entry points are looked up on every call, as the library may be replaced.
#pragma once

#include <string>
#include <string_view>

#include "archive/bind/archive_file.h"

namespace sorabu::archive {

// The library's version (100 = 1.00); 0 when the library or the entry is absent.
int LhaVersion();
// Runs a command line with an output buffer of `size` bytes; 32792 without the library. progress
// hears of the entries an extraction writes; its false stops the library with 32800.
int LhaCommand(void* owner, std::string_view command_line, std::string& output, std::size_t size = 65536,
               const ExtractProgress& progress = {});
// False without the library.
bool LhaCheck(const std::string& cp932_path, int mode);

}  // namespace sorabu::archive
