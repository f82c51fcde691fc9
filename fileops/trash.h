// One file to the desktop's trash, for commands that must not delete what they replace.
#pragma once

#include <string>

namespace sorabu::fileops {

// Moves path (a file or a link, not followed) to the freedesktop trash; false when there is no
// trash for that file system or the move fails, and the file is then where it was.
bool MoveToTrash(const std::string& path);

}  // namespace sorabu::fileops
