// The text files that hold a list of entries, one per line, as CP932 bytes.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace sorabu::ui {

// The file's lines (CR LF or LF), empty ones dropped; nothing, with the reason in *error, when it
// cannot be read.
std::optional<std::vector<std::string>> LoadList(const QString& path, QString* error = nullptr);

// Writes the entries each ended by CR LF. The file is replaced only when the whole list is
// written; false, with the reason in *error, when it could not be.
bool SaveList(const QString& path, const std::vector<std::string>& entries, QString* error = nullptr);

}  // namespace sorabu::ui
