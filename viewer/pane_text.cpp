#include "viewer/pane_text.h"

#include "textconv/cp932.h"

namespace sorabu::viewer {

QString DecodeForPane(std::string_view bytes, textconv::TextForm form) {
  std::u16string u;
  if (form == textconv::TextForm::Utf8) {
    u.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) i += textconv::DecodeUtf8Char(bytes, i, u);
  } else {
    u = textconv::DecodeCp932(bytes);
  }
  // One pass turning CR LF and lone CR into the pane's paragraph breaks.
  std::size_t out = 0;
  for (std::size_t i = 0; i < u.size(); ++i) {
    char16_t c = u[i];
    if (c == u'\r') {
      if (i + 1 < u.size() && u[i + 1] == u'\n') ++i;
      c = u'\n';
    }
    u[out++] = c;
  }
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(out));
}

int EditorLength(std::string_view bytes, textconv::TextForm form) {
  return static_cast<int>(DecodeForPane(bytes, form).size());
}

}  // namespace sorabu::viewer
