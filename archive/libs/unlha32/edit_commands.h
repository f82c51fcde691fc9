// The commands that change an archive:
//   a  adds the named files, replacing entries of the same name;
//   u  adds the files that have no entry or are newer than theirs;
//   f  replaces only entries whose file is newer, adding nothing new;
//   d  removes the entries the names select; a folder's name also removes what lies below it.
// A replaced entry keeps its place, new entries follow the old ones. The new archive is written
// beside the old one and renamed over it only when complete: a named file that cannot be read,
// an old archive that cannot be read whole, or a failed write leave the old archive as it was.
// A self-extracting archive keeps its program. Removing every entry removes the archive file.
#pragma once

#include <string>

#include "archive/libs/unlha32/command_line.h"

namespace sorabu::unlha32 {

int AddFiles(const Command& c, std::string& out);
int RemoveEntries(const Command& c, std::string& out);

}  // namespace sorabu::unlha32
