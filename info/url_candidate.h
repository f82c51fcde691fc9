// The address the URL command proposes, taken from the text pane (CP932 bytes).
#pragma once

#include <string>
#include <string_view>

namespace sorabu::info {

// From the caret's line: the first run of printable single-byte characters, kept only when it
// holds "://". Printable: above the blank and below 0x7F.
std::string UrlFromLine(std::string_view line);
// From a selection: leading double-byte characters and non-printable ends dropped, then the
// printable run from the start, without the "://" test.
std::string UrlFromSelection(std::string_view selection);

}  // namespace sorabu::info
