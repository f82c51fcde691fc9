// libcab32.so: CAB reading. "-x" extracts ("-j": without folders), "-l" lists, "-t" tests; "-o"
// overwrites. "-a" (create) is not built and gives the command error.
#include "archive/libs/common/libarchive_format.h"

namespace {
const sorabu::arcplug::LibarchiveFormat kFormat(sorabu::arcplug::LibarchiveKind::kCab);
const sorabu::arcplug::Syntax kSyntax{{{"-x", 'x'}, {"-a", 'a'}, {"-l", 'l'}, {"l", 'l'}, {"-t", 't'}}, 0, false};
}  // namespace

SORABU_PLUGIN_ENTRY_POINTS(Cab, kFormat, kSyntax)
