// The system's reasons in Japanese: errno values and GIO error codes as a user of this program
// reads them in its messages (the C library and GIO speak the locale's language, which on most
// machines is English). Texts are UTF-8; callers convert them to code page 932.
#pragma once

#include <string>

namespace sorabu::fileops {

// The reason for an errno value; an unknown value gives its number.
std::string ErrnoText(int err);
// The reason for a code of GIO's G_IO_ERROR domain; an unknown code gives its number.
std::string GioErrorText(int code);

}  // namespace sorabu::fileops
