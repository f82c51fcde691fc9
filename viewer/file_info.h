// The one-line summary of a file shown above the text pane, and its tags.
//
// Texts are code page 932 bytes, because the same line also goes into files (the hex dump's first
// line). Sizes are whole 64-bit figures.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace sorabu::viewer {

// "name   size byte   yyyy.mm.dd(aaa)   RASH    folder/    "; empty when path does not exist.
std::string BuildFileInfoLine(const QString& path);

// "%15.0n": right-aligned in 15 characters with the locale's thousands separator.
std::string FormatNumber15(unsigned long long value);

// "[type]" for the recognised file types, or empty.
std::string DetectFileType(std::string_view firstLine, const QString& path);

// The kanji code's display name in CP932, empty for values outside 0..6.
std::string KanjiCodeName(int code);

// The tags appended after the info line: four blanks, the type tag, two blanks, the code name.
std::string InfoLineTags(std::string_view firstLine, const QString& path, int kanjiCode);

// Path and names meet code page 932 here.
std::string ToCp932(const QString& text);
QString FromCp932(std::string_view bytes);

}  // namespace sorabu::viewer
