// "s": a self-extracting archive for Linux, in three parts: a short shell script, the archive's
// entries with the end mark, and the extractor program (sfx_program.cpp, built into the plug-in).
// Run, the script copies the program out to a temporary file and starts it on the whole file. The
// archive begins within the first few hundred bytes, where every reader of self-extracting
// archives looks for the first header, and readers stop at the end mark before the program.
// The file is named after the archive with the extension ".exe", as the archive detection looks
// into ".exe" files by content; it goes into FOLDER when one is given, else beside the archive.
// A file already there is left alone (the command fails) unless the switch -jo is given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "archive/libs/unlha32/command_line.h"

namespace sorabu::unlha32 {

int MakeSelfExtractor(const Command& c, std::string& out);

// The extractor program's bytes, built into the plug-in.
std::string_view SelfExtractorProgram();

// The script that starts a file whose last program_size bytes are the program.
std::string SelfExtractorScript(std::uint64_t program_size);

// Where "s" writes for the command: "dir/name.lzh" -> "dir/name.exe" or "FOLDER/name.exe".
std::string SelfExtractorPath(const Command& c);

}  // namespace sorabu::unlha32
