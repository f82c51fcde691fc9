#include "textconv/ui_text.h"

#include "textconv/cp932.h"
#include "textconv/unicode_text.h"

namespace sorabu::textconv {

namespace {

bool IsHigh(char16_t u) noexcept { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) noexcept { return u >= 0xDC00 && u <= 0xDFFF; }

// A well-formed UTF-8 sequence of two or more bytes after a mark at i.
std::size_t MarkedLength(std::string_view bytes, std::size_t i) noexcept {
  if (i >= bytes.size() || bytes[i] != kExactMark) return 0;
  const std::size_t n = Utf8SequenceLength(bytes, i + 1);
  return n >= 2 ? n : 0;
}

}  // namespace

namespace {

std::string Encode(std::u16string_view text, bool exact) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    const char16_t u = text[i];
    if (u < 0x80) {
      out += static_cast<char>(u);
      ++i;
      continue;
    }
    const std::size_t units = IsHigh(u) && i + 1 < text.size() && IsLow(text[i + 1]) ? 2 : 1;
    const std::u16string_view one = text.substr(i, units);
    i += units;
    std::size_t bad = 0;
    const std::string code = EncodeCp932(one, &bad);
    if (bad == 0 && (!exact || DecodeCp932(code) == one)) {
      out += code;
      continue;
    }
    char32_t cp = u;
    if (units == 2) cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (one[1] - 0xDC00);
    else if (IsHigh(u) || IsLow(u)) cp = 0xFFFD;  // an unpaired surrogate is no character
    out += kExactMark;
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace

std::string EncodeCp932Exact(std::u16string_view text) { return Encode(text, true); }
std::string EncodeCp932Typed(std::u16string_view text) { return Encode(text, false); }

std::u16string DecodeCp932Exact(std::string_view bytes) {
  if (!HoldsExactMarks(bytes)) return DecodeCp932(bytes);
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    if (const std::size_t n = MarkedLength(bytes, i); n > 0) {
      DecodeUtf8Char(bytes, i + 1, out);
      i += 1 + n;
    } else {
      i += DecodeCp932Char(bytes, i, out);
    }
  }
  return out;
}

std::string Utf8ToCp932Exact(std::string_view native) {
  const std::string valid = EscapeInvalidUtf8(native);
  std::u16string text;
  text.reserve(valid.size());
  for (std::size_t i = 0; i < valid.size();) i += DecodeUtf8Char(valid, i, text);
  return EncodeCp932Exact(text);
}

std::string Cp932ExactToUtf8(std::string_view bytes) {
  if (!HoldsExactMarks(bytes)) return Cp932ToUtf8(bytes);
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  for (std::size_t i = 0; i < bytes.size();) {
    if (const std::size_t n = MarkedLength(bytes, i); n > 0) {
      out.append(bytes.substr(i + 1, n));
      i += 1 + n;
    } else {
      const std::size_t n2 = CharLength(bytes, i);
      out += Cp932ToUtf8(bytes.substr(i, n2));
      i += n2;
    }
  }
  return out;
}

std::size_t ExactMarkLength(std::string_view bytes, std::size_t i) noexcept {
  const std::size_t n = MarkedLength(bytes, i);
  return n == 0 ? 0 : n + 1;
}

bool HoldsExactMarks(std::string_view bytes) noexcept {
  for (std::size_t i = bytes.find(kExactMark); i != std::string_view::npos; i = bytes.find(kExactMark, i + 1))
    if (MarkedLength(bytes, i) > 0) return true;
  return false;
}

}  // namespace sorabu::textconv
