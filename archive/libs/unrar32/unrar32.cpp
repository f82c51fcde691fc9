// libunrar32.so: RAR reading (RAR 4 and 5, as far as libarchive decodes them). "-x" extracts with
// folders, "-e" without, "-l" lists, "-t" tests; "-o" overwrites. Packing is not built.
#include "archive/libs/common/libarchive_format.h"

namespace {
const sorabu::arcplug::LibarchiveFormat kFormat(sorabu::arcplug::LibarchiveKind::kRar);
const sorabu::arcplug::Syntax kSyntax{{{"-x", 'x'}, {"-e", 'e'}, {"-l", 'l'}, {"l", 'l'}, {"-t", 't'}, {"-a", 'a'}}, 0, false};
}  // namespace

SORABU_PLUGIN_ENTRY_POINTS(Unrar, kFormat, kSyntax)
