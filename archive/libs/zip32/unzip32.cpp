// libunzip32.so: ZIP reading. "-x" extracts with folders ("-j": without), "-e" without, "-l"
// lists, "-t" tests; "-o" overwrites existing files, which are otherwise left alone and reported.
#include "archive/libs/common/zip_format.h"

namespace {
const sorabu::arcplug::ZipFormat kFormat;
const sorabu::arcplug::Syntax kSyntax{{{"-x", 'x'}, {"-e", 'e'}, {"-l", 'l'}, {"l", 'l'}, {"-t", 't'}}, 0, false, true};
}  // namespace

SORABU_PLUGIN_ENTRY_POINTS(UnZip, kFormat, kSyntax)
