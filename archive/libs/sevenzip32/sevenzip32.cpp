// lib7-zip32.so: 7z reading, as far as libarchive decodes it (LZMA, LZMA2, PPMd, BZip2, Deflate;
// no encrypted archives). "-x" extracts with folders, "-e" without, "-l" lists, "-t" tests; "-o"
// overwrites. Packing is not built.
#include "archive/libs/common/libarchive_format.h"

namespace {
const sorabu::arcplug::LibarchiveFormat kFormat(sorabu::arcplug::LibarchiveKind::k7z);
const sorabu::arcplug::Syntax kSyntax{{{"-x", 'x'}, {"-e", 'e'}, {"-l", 'l'}, {"l", 'l'}, {"-t", 't'}}, 0, false};
}  // namespace

SORABU_PLUGIN_ENTRY_POINTS(SevenZip, kFormat, kSyntax)
