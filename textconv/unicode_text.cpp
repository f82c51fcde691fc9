#include "textconv/unicode_text.h"

namespace sorabu::textconv {

namespace {

constexpr bool Continuation(unsigned char c) noexcept { return (c & 0xC0) == 0x80; }

char32_t DecodeSequence(std::string_view t, std::size_t i, std::size_t n) noexcept {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(t[i + k]); };
  switch (n) {
    case 1: return b(0);
    case 2: return static_cast<char32_t>(((b(0) & 0x1F) << 6) | (b(1) & 0x3F));
    case 3: return static_cast<char32_t>(((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F));
    default:
      return static_cast<char32_t>(((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F));
  }
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::size_t Utf8SequenceLength(std::string_view t, std::size_t i) noexcept {
  if (i >= t.size()) return 0;
  const auto c = static_cast<unsigned char>(t[i]);
  if (c < 0x80) return 1;
  std::size_t n;
  unsigned char lo = 0x80, hi = 0xBF;  // the allowed range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) lo = 0xA0;        // overlong
    else if (c == 0xED) hi = 0x9F;   // surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) lo = 0x90;        // overlong
    else if (c == 0xF4) hi = 0x8F;   // above U+10FFFF
  } else {
    return 0;
  }
  if (t.size() - i < n) return 0;
  const auto second = static_cast<unsigned char>(t[i + 1]);
  if (second < lo || second > hi) return 0;
  for (std::size_t k = 2; k < n; ++k)
    if (!Continuation(static_cast<unsigned char>(t[i + k]))) return 0;
  return n;
}

TextForm DetectTextForm(std::string_view t, bool complete) noexcept {
  if (t.size() >= 3 && t.substr(0, 3) == "\xEF\xBB\xBF") return TextForm::Utf8;
  if (t.size() >= 2 && t.substr(0, 2) == "\xFF\xFE") return TextForm::Utf16LE;
  if (t.size() >= 2 && t.substr(0, 2) == "\xFE\xFF") return TextForm::Utf16BE;
  bool multiByte = false;
  for (std::size_t i = 0; i < t.size();) {
    const auto c = static_cast<unsigned char>(t[i]);
    if (c < 0x80) {
      // ESC $ B, ESC $ @ and ESC ( I: JIS text, whatever pairs of bytes happen to follow.
      if (c == 0x1B && i + 2 < t.size() &&
          ((t[i + 1] == '$' && (t[i + 2] == 'B' || t[i + 2] == '@')) || (t[i + 1] == '(' && t[i + 2] == 'I')))
        return TextForm::Cp932;
      ++i;
      continue;
    }
    const std::size_t n = Utf8SequenceLength(t, i);
    if (n == 0) {
      // A character cut by the end of what was read still counts when the rest may follow.
      if (!complete && t.size() - i < 4 && c >= 0xC2 && c <= 0xF4) {
        std::size_t k = i + 1;
        while (k < t.size() && Continuation(static_cast<unsigned char>(t[k]))) ++k;
        if (k == t.size()) break;
      }
      return TextForm::Cp932;
    }
    multiByte = true;
    i += n;
  }
  return multiByte ? TextForm::Utf8 : TextForm::Cp932;
}

std::string EscapeInvalidUtf8(std::string_view t) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(t.size());
  for (std::size_t i = 0; i < t.size();) {
    const std::size_t n = Utf8SequenceLength(t, i);
    if (n > 0) {
      out.append(t.substr(i, n));
      i += n;
      continue;
    }
    const auto c = static_cast<unsigned char>(t[i++]);
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

std::size_t DecodeUtf8Char(std::string_view t, std::size_t i, std::u16string& out) {
  const std::size_t n = Utf8SequenceLength(t, i);
  if (n == 0) {
    out += u'\uFFFD';
    return 1;
  }
  const char32_t c = DecodeSequence(t, i, n);
  if (c >= 0x10000) {
    out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  } else {
    out += static_cast<char16_t>(c);
  }
  return n;
}

std::size_t PreviousUtf8Start(std::string_view t, std::size_t lineStart, std::size_t pos) noexcept {
  if (pos <= lineStart) return lineStart;
  // Back over at most three continuation bytes to a lead that spans pos - 1; else one byte.
  for (std::size_t back = 1; back <= 4 && pos - back >= lineStart; ++back) {
    const std::size_t start = pos - back;
    const std::size_t n = Utf8SequenceLength(t, start);
    if (n != 0 && start + n >= pos) return start;
    if (!Continuation(static_cast<unsigned char>(t[start]))) break;
    if (start == lineStart) break;
  }
  return pos - 1;
}

std::string Utf16ToUtf8(std::string_view bytes, bool le) {
  std::size_t i = 0;
  if (bytes.size() >= 2 && ((le && bytes.substr(0, 2) == "\xFF\xFE") || (!le && bytes.substr(0, 2) == "\xFE\xFF"))) i = 2;
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  auto unit = [&](std::size_t k) {
    const auto a = static_cast<unsigned char>(bytes[k]), b = static_cast<unsigned char>(bytes[k + 1]);
    return static_cast<char16_t>(le ? (b << 8) | a : (a << 8) | b);
  };
  for (; i + 1 < bytes.size(); i += 2) {
    const char16_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
      const char16_t v = unit(i + 2);
      if (v >= 0xDC00 && v <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (v - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? U'\uFFFD' : static_cast<char32_t>(u));
  }
  if (i < bytes.size()) AppendUtf8(out, U'\uFFFD');  // an odd last byte
  return out;
}

std::string Utf8ToUtf16WithMark(std::string_view utf8, bool le) {
  std::string out = le ? "\xFF\xFE" : "\xFE\xFF";
  auto put = [&](char16_t u) {
    const char a = static_cast<char>(u & 0xFF), b = static_cast<char>(u >> 8);
    if (le) {
      out += a;
      out += b;
    } else {
      out += b;
      out += a;
    }
  };
  std::u16string units;
  for (std::size_t i = 0; i < utf8.size();) {
    units.clear();
    i += DecodeUtf8Char(utf8, i, units);
    for (char16_t u : units) put(u);
  }
  return out;
}

}  // namespace sorabu::textconv
