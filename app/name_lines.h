// Folder and file names as lines for the pane or a text file, and writing such a file.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"

namespace sorabu::app {

// The lines as CP932 bytes; when a name holds a character CP932 cannot carry, says which and gives
// nothing rather than a changed name.
std::optional<std::vector<std::string>> NameLines(dialogs::TDialogs& dialogs, const QStringList& lines);
// False, after saying why, when the file cannot be written or is a pipe, a device or a socket.
bool WriteTextFile(dialogs::TDialogs& dialogs, const QString& path, const std::string& bytes);

}  // namespace sorabu::app
