// What the commands share: output lines, the selection of entries by the names given, and opening
// the archive a command names.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "archive/lha/archive_reader.h"
#include "archive/libs/unlha32/command_line.h"

namespace sorabu::unlha32 {

// Output lines end in CR LF.
void Line(std::string& out, std::string_view text);

template <typename... Args>
std::string Format(const char* fmt, Args... args) {
  char buf[256];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

// "Error CODE: NAME (what)" with the name's control bytes escaped.
void ErrorLine(std::string& out, int code, const std::string& name, lha::Error e);

// True when no names were given, or one of them matches the entry's whole name or its last part.
bool Selected(const Command& c, const lha::Entry& e);

// 0, or the result code for an archive that cannot be read (an explaining line goes to out). The
// entries read before a damaged part are kept in the reader.
int OpenArchive(const Command& c, lha::ArchiveReader& reader, std::string& out);

// The folder with its missing parents, like "mkdir -p"; false when it is no folder afterwards.
bool MakeFolders(const std::string& path);

}  // namespace sorabu::unlha32
