#include "archive/libs/common/entry_name.h"

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>

#include <vector>

#include "textconv/cp932.h"

namespace sorabu::arcplug {
namespace {

constexpr char32_t kIllFormed = 0xFFFFFFFF;

// Length of the well-formed sequence at s[i] with its value in cp, or 0.
std::size_t Utf8At(std::string_view s, std::size_t i, char32_t& cp) {
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t len;
  char32_t least;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if (c >= 0xC2 && c <= 0xDF) {
    len = 2, cp = c & 0x1Fu, least = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3, cp = c & 0x0Fu, least = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4, cp = c & 0x07u, least = 0x10000;
  } else {
    return 0;
  }
  if (len > s.size() - i) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (t & 0x3Fu);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// macOS writes names decomposed (か + U+3099 for が): the composed form is the one every other
// name on the disk has, and the one a user types to find it.
std::string Nfc(std::string_view utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  const icu::StringPiece piece(utf8.data(), static_cast<std::int32_t>(utf8.size()));
  if (U_FAILURE(status) || nfc->isNormalizedUTF8(piece, status) || U_FAILURE(status)) return std::string(utf8);
  std::string out;
  icu::StringByteSink<std::string> sink(&out);
  nfc->normalizeUTF8(0, piece, sink, nullptr, status);
  return U_SUCCESS(status) ? out : std::string(utf8);
}

// The precomposed kana for a kana and a following U+3099 (voiced) or U+309A (semi-voiced) mark,
// or 0.
char32_t Composed(char32_t base, char32_t mark) {
  // Katakana rows mirror the hiragana ones 0x60 higher.
  const char32_t h = base >= 0x30A0 && base <= 0x30FF ? base - 0x60 : base;
  const bool ha_row = h >= 0x306F && h <= 0x307B && (h - 0x306F) % 3 == 0;
  if (mark == 0x309A) return ha_row ? base + 2 : 0;
  if (mark != 0x3099) return 0;
  switch (base) {
    case 0x3046: return 0x3094;  // ゔ
    case 0x309D: return 0x309E;  // ゞ
    case 0x30A6: return 0x30F4;  // ヴ
    case 0x30EF: case 0x30F0: case 0x30F1: case 0x30F2: return base + 8;  // ヷ..ヺ
    case 0x30FD: return 0x30FE;  // ヾ
  }
  const bool ka_to_chi = h >= 0x304B && h <= 0x3061 && (h - 0x304B) % 2 == 0;
  return ka_to_chi || h == 0x3064 || h == 0x3066 || h == 0x3068 || ha_row ? base + 1 : 0;
}

// CP932 for one character (units: the character, perhaps with a code selector), or empty when
// it has none a name may hold.
std::string Cp932Of(std::u16string_view units) {
  // The decoder's stand-ins for undecodable bytes would come back as those raw bytes.
  if (units[0] >= 0xF780 && units[0] <= 0xF7FF) return {};
  std::size_t bad = 0;
  std::string out = textconv::EncodeCp932(units, &bad);
  if (bad != 0 || out.empty()) return {};
  const auto c = static_cast<unsigned char>(out[0]);
  // Non-ASCII characters must stay non-ASCII (no separator may appear), and the single bytes
  // 0x80, 0xA0, 0xFD..0xFF are no characters to the program's CP932 walkers.
  if (out.size() == 1 && !textconv::IsHalfKana(c)) return {};
  return out;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp;
    const std::size_t len = Utf8At(bytes, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::string Utf8NameToCp932(std::string_view utf8) {
  std::vector<char32_t> cps;
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp;
    const std::size_t len = Utf8At(utf8, i, cp);
    cps.push_back(len == 0 ? kIllFormed : cp);
    i += len == 0 ? 1 : len;
  }
  std::string out;
  for (std::size_t k = 0; k < cps.size(); ++k) {
    const char32_t cp = cps[k];
    const char32_t next = k + 1 < cps.size() ? cps[k + 1] : 0;
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    if (cp > 0xFFFF) {  // also kIllFormed; CP932 holds nothing beyond the BMP
      out.push_back('?');
      continue;
    }
    if (const char32_t c = Composed(cp, next); c != 0) {
      if (std::string enc = Cp932Of(std::u16string(1, static_cast<char16_t>(c))); !enc.empty()) {
        out += enc;
        ++k;
        continue;
      }
    }
    std::u16string units(1, static_cast<char16_t>(cp));
    if (next <= 0xFFFF && textconv::IsCodeSelector(static_cast<char16_t>(next))) {
      units.push_back(static_cast<char16_t>(next));
      if (std::string enc = Cp932Of(units); !enc.empty()) {
        out += enc;
        ++k;
        continue;
      }
      units.pop_back();
    }
    const std::string enc = Cp932Of(units);
    out += enc.empty() ? "?" : enc;
  }
  return out;
}

EntryName DecodeEntryName(std::string_view stored) {
  EntryName n;
  if (IsUtf8(stored)) {
    // Bytes below 0x80 are characters of their own in UTF-8: every "\" separates.
    n.native = Nfc(stored);
    for (char& c : n.native) {
      if (c == '\\') c = '/';
    }
    n.cp932 = Utf8NameToCp932(n.native);
  } else {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < stored.size();) {
      const auto c = static_cast<unsigned char>(stored[i]);
      if (c < 0x80 || textconv::IsHalfKana(c)) {
        n.cp932.push_back(c == '\\' ? '/' : static_cast<char>(c));
        ++i;
        continue;
      }
      std::u16string ignored;
      // A lead byte with an assigned code takes two bytes; anything else takes one.
      if (textconv::IsLeadByte(c) && textconv::DecodeCp932Char(stored, i, ignored) == 2) {
        n.cp932.append(stored.substr(i, 2));
        i += 2;
        continue;
      }
      n.cp932 += '%';
      n.cp932 += kHex[c >> 4];
      n.cp932 += kHex[c & 15];
      n.undecodable = true;
      ++i;
    }
    n.native = textconv::Cp932ToUtf8(n.cp932);
  }
  // Both names end in the same separators: a trailing "/" is never part of a character.
  while (!n.native.empty() && n.native.back() == '/') {
    n.native.pop_back();
    n.cp932.pop_back();
    n.is_dir = true;
  }
  return n;
}

}  // namespace sorabu::arcplug
