// GIO's reasons in Japanese, as a user of this program reads them in its messages (GIO speaks
// the locale's language, which on most machines is English; errno values are in
// textconv/system_error.h). Texts are UTF-8; callers convert them to code page 932.
#pragma once

#include <string>

struct _GError;

namespace sorabu::fileops {

// The reason for a code of GIO's G_IO_ERROR domain; an unknown code gives its number.
std::string GioErrorText(int code);
// The reason for any GError (G_IO_ERROR and G_FILE_ERROR are known by their codes).
std::string GioErrorText(const _GError* error);

}  // namespace sorabu::fileops
