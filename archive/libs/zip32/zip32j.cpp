// libzip32j.so: ZIP writing. The command has no word: switches, the archive, an optional base
// folder, the names. "-r" recurses into folders, "-j" drops folders from names, "-D" adds no
// folder entries, "-0".."-9" set the level (0 stores). Entries of the same name are replaced.
// "-d" (delete) and "-f" (freshen) are not built and give the command error.
#include "archive/libs/common/zip_format.h"

namespace {
const sorabu::arcplug::ZipFormat kFormat;
const sorabu::arcplug::Syntax kSyntax{{{"-d", 'D'}, {"-f", 'F'}}, 'a', false, true};
}  // namespace

SORABU_EXPORT int Zip(void*, const char* line, char* out, std::uint32_t size) {
  return sorabu::arcplug::ApiCommand(kFormat, kSyntax, line, out, size);
}
SORABU_EXPORT std::uint16_t ZipGetVersion() { return 100; }
