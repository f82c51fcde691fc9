// Saving bytes over a file without ever leaving it half written.
#pragma once

#include <string>

namespace sorabu::fileops {

// Writes bytes under a temporary name beside path and renames it over path when complete; an
// existing file's permissions are kept. With a backupPath, an existing path is first renamed to
// it (an older file of that name removed; a failing rename only means no backup). On failure
// (false, the system's reason in error) path and backupPath are as they were.
bool SaveFile(const std::string& path, const std::string& bytes, const std::string& backupPath, std::string& error);

}  // namespace sorabu::fileops
