// libtar32.so: TAR, TGZ and BZ2. "x" extracts ("--use-directory=0": without folders), "c"
// creates, with folders' contents ("-z" gzip, "-B" bzip2, an optional digit for the level),
// "l"/"t" list and test; "-f ARCHIVE" and "-o FOLDER" name the archive and the destination.
// Existing files are overwritten, as tar does.
#include "archive/libs/common/libarchive_format.h"
#include "archive/libs/unlha32/command_line.h"

namespace {
const sorabu::arcplug::LibarchiveFormat kFormat(sorabu::arcplug::LibarchiveKind::kTar);
const sorabu::arcplug::Syntax kSyntax{{{"x", 'x'}, {"c", 'a'}, {"l", 'l'}, {"t", 't'}}, 0, true};
}  // namespace

SORABU_PLUGIN_ENTRY_POINTS(Tar, kFormat, kSyntax)

SORABU_EXPORT int TarGetArchiveType(const char* path) {
  try {
    return path == nullptr ? 0 : sorabu::arcplug::TarArchiveType(sorabu::unlha32::NativePath(path));
  } catch (...) {
    return 0;
  }
}
