// Folders read with plain POSIX calls: their names, and the record of a file as the file list and
// the file operations show it (type name, attributes, times). TSHFOP::ListFiles and FileData are
// defined beside them.
#pragma once

#include <string>
#include <vector>

#include "fileops/shfop.h"

struct stat;

namespace sorabu::fileops {

bool IsFolder(const std::string& path);
// Names in a folder, without "." and ".."; empty (and ok false) when it cannot be read.
std::vector<std::string> FolderNames(const std::string& folder, bool* ok = nullptr);
// "TXT ファイル", "ファイル" without an extension, "ファイル フォルダー".
std::string TypeNameOf(const std::string& name, bool folder);
void FillRecord(const std::string& path, const struct stat& st, TFileRecord& r);

}  // namespace sorabu::fileops
