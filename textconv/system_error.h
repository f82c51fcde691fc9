// What the system says when it refuses, in the program's own Japanese: an errno value as a
// sentence for a message box, never the C library's English.
#pragma once

#include <string>

namespace sorabu::textconv {

// UTF-8; a value the table lacks reads "システム エラーが生じました。 (N)".
std::string SystemErrorUtf8(int err);
// The same in code page 932, for the dialogs and the commands' messages.
std::string SystemErrorText(int err);
// The current errno.
std::string LastSystemErrorText();

}  // namespace sorabu::textconv
