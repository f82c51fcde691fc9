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
// *fits (when given) tells whether the name and folder went in unchanged.
std::string BuildFileInfoLine(const QString& path, bool* fits = nullptr);

// The same line for the window's label: name and folder exactly as the file system holds them, even
// where code page 932 has no character for them.
QString FileInfoLineText(const QString& path);

// What a name that is neither a regular file nor a folder stands for ("名前付きパイプ", "ソケット",
// "デバイス"), so that nothing opens it: reading a FIFO would wait for a writer, a device may
// never end. Empty for regular files, folders and names that do not exist (links are followed).
QString SpecialFileKind(const QString& path);

// "%15.0n": right-aligned in 15 characters with the locale's thousands separator.
std::string FormatNumber15(unsigned long long value);

// "[type]" for the recognised file types, or empty.
std::string DetectFileType(std::string_view firstLine, const QString& path);

// The kanji code's display name in CP932, empty for values outside 0..6.
std::string KanjiCodeName(int code);

// The tags appended after the info line: four blanks, the type tag, two blanks, the code name.
std::string InfoLineTags(std::string_view firstLine, const QString& path, int kanjiCode);

}  // namespace sorabu::viewer
