#include "uitext/qt_text.h"

#include "textconv/system_error.h"

#include "textconv/cp932.h"
#include "textconv/ui_text.h"

namespace sorabu::uitext {

namespace {
std::u16string_view Units(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}
}  // namespace

std::string ToCp932(const QString& text) { return textconv::EncodeCp932Exact(Units(text)); }

std::string TypedToCp932(const QString& text) { return textconv::EncodeCp932Typed(Units(text)); }

QString FromCp932(std::string_view bytes) {
  const std::u16string u = textconv::DecodeCp932Exact(bytes);
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::string ToCp932Text(const QString& text, bool* fits) {
  std::size_t bad = 0;
  std::string out = textconv::EncodeCp932(Units(text), &bad);
  if (fits) *fits = bad == 0 && textconv::DecodeCp932(out) == Units(text);
  return out;
}

QString SystemErrorQt(int err) {
  return err == 0 ? U("読み書きに失敗しました。") : U(textconv::SystemErrorUtf8(err));
}

}  // namespace sorabu::uitext
