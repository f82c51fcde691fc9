// The pane's bytes as the editor's Unicode text.
#pragma once

#include <QString>
#include <string_view>

#include "textconv/unicode_text.h"

namespace sorabu::viewer {

// CP932 (or UTF-8) bytes to the pane's Unicode: lines end at CR, LF or CR LF.
QString DecodeForPane(std::string_view bytes, textconv::TextForm form = textconv::TextForm::Cp932);

// Characters a text of these bytes has in the editor (a CR LF is one).
int EditorLength(std::string_view bytes, textconv::TextForm form);

}  // namespace sorabu::viewer
