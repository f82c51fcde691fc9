#include "textconv/printable.h"

#include "textconv/cp932.h"
#include "textconv/ui_text.h"

namespace sorabu::textconv {

std::string PrintableCp932(std::string_view cp932) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(cp932.size());
  for (std::size_t i = 0; i < cp932.size();) {
    std::size_t n = ExactMarkLength(cp932, i);
    if (n == 0) n = CharLength(cp932, i);
    // A lead byte before a control byte is no character: the control byte is escaped on its own.
    if (n == 2 && (static_cast<unsigned char>(cp932[i + 1]) < 0x40 || cp932[i + 1] == 0x7F)) n = 1;
    const auto c = static_cast<unsigned char>(cp932[i]);
    if (n == 1 && (c < 0x20 || c == 0x7F)) {
      out += "\\x";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    } else if (n == 1 && c == '\\') {
      out += "\\\\";
    } else {
      out.append(cp932.substr(i, n));
    }
    i += n;
  }
  return out;
}

}  // namespace sorabu::textconv
