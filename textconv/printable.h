// CP932 text bound for a terminal or a pane line: a name may hold bytes that would act there
// (ESC sequences, BEL, CR, LF), so those bytes are shown as "\xNN" instead.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::textconv {

// Control bytes (0x00..0x1F, 0x7F) become "\xNN" and a backslash that is a character of its own
// doubles, so the form reads back unambiguously. Double-byte characters (a second byte may be
// 0x5C) and marked characters of the exact form pass unchanged.
std::string PrintableCp932(std::string_view cp932);

}  // namespace sorabu::textconv
