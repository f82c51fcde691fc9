#include "browser/file_name.h"

#include <QFile>
#include <cstring>

#include "textconv/unicode_text.h"

namespace sorabu::browser {

TShownName ShownFileName(const char* raw) {
  TShownName shown{QFile::decodeName(raw), true};
  if (!shown.text.contains(QChar::ReplacementCharacter) || QFile::encodeName(shown.text) == raw) return shown;
  shown.text = QString::fromStdString(textconv::EscapeInvalidUtf8(std::string_view(raw, std::strlen(raw))));
  shown.reachable = false;
  return shown;
}

QString UnreachableNameNote() {
  return QStringLiteral("名前が UTF-8 として正しくないため、開くことも名前を変えることもできません"
                        "（\\xHH は名前の中の読めないバイト）");
}

}  // namespace sorabu::browser
