// Code page 932 services: byte-level tests, upper-casing, and the table conversion to and from
// UTF-16 and UTF-8.
//
// Decoding is one table lookup per character. The double-byte table (generated from a standard
// converter, see tools/make_cp932_table.py) is indexed by the dense positions of the lead and
// trail byte; an unassigned code, a lead byte whose next byte is no trail byte, and a stray
// single byte are all "invalid bytes" and are escaped one byte at a time into U+F780..U+F7FF,
// so the bytes after them resynchronise at once.
//
// Round trip. Some characters have several codes (the NEC row 13, the NEC-selected IBM rows and
// the IBM rows repeat each other). Plain decoding would fold them together and a file name or a
// saved text would come back with other bytes. The code the converter itself encodes to decodes
// to the bare character; every other code decodes to the character followed by a variation
// selector (U+FE0C for the first such code, U+FE0D for the second) that the encoder reads back.
// Renderers draw the base character and ignore the selector.
//
// Encoding goes through a 64K-entry table built on first use from the sorted pair list, so each
// character costs one lookup as well.
#include "textconv/cp932.h"

#include "textconv/unicode_text.h"

#include <array>
#include <iterator>

namespace sorabu::textconv {

namespace table {
#include "textconv/cp932_table.inc"
}  // namespace table

namespace {

constexpr char16_t kEscapeBase = 0xF700;  // invalid byte b (0x80..0xFF) <-> U+F700 + b
constexpr char16_t kSelectorLast = table::kSelectorFirst + 1;

constexpr std::array<std::int16_t, 256> MakeLeadIndex() {
  std::array<std::int16_t, 256> index{};
  std::int16_t next = 0;
  for (int b = 0; b < 256; ++b) {
    index[static_cast<std::size_t>(b)] = IsLeadByte(static_cast<unsigned char>(b)) ? next++ : -1;
  }
  return index;
}

constexpr std::array<std::int16_t, 256> MakeTrailIndex() {
  std::array<std::int16_t, 256> index{};
  std::int16_t next = 0;
  for (int b = 0; b < 256; ++b) {
    index[static_cast<std::size_t>(b)] = IsTrailByte(static_cast<unsigned char>(b)) ? next++ : -1;
  }
  return index;
}

constexpr auto kLeadIndex = MakeLeadIndex();
constexpr auto kTrailIndex = MakeTrailIndex();
static_assert(kLeadIndex[0xFC] + 1 == static_cast<int>(table::kLeadCount));
static_assert(kTrailIndex[0xFC] + 1 == static_cast<int>(table::kTrailCount));
static_assert(std::size(table::kDoubleByte) == table::kLeadCount * table::kTrailCount);
static_assert(std::size(table::kAlternates) <= table::kAlternateSpan);
static_assert(IsCodeSelector(table::kSelectorFirst) && IsCodeSelector(kSelectorLast));

// Table value of the double-byte code lead/trail; 0 when the pair is no assigned code.
inline char16_t DoubleByteValue(unsigned char lead, unsigned char trail) noexcept {
  const int li = kLeadIndex[lead];
  const int ti = kTrailIndex[trail];
  if (li < 0 || ti < 0) return 0;
  return table::kDoubleByte[static_cast<std::size_t>(li) * table::kTrailCount +
                            static_cast<std::size_t>(ti)];
}

inline bool IsAlternateMark(char16_t v) noexcept {
  return v >= table::kAlternateMark && v < table::kAlternateMark + table::kAlternateSpan;
}

// Decodes the character at s[i] into out (room for two units); returns the bytes consumed.
// The caller guarantees i < s.size().
inline std::size_t DecodeAt(std::string_view s, std::size_t i, char16_t* out,
                            std::size_t& units) noexcept {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    out[0] = c;
    units = 1;
    return 1;
  }
  if (IsLeadByte(c) && i + 1 < s.size()) {
    const char16_t v = DoubleByteValue(c, static_cast<unsigned char>(s[i + 1]));
    if (v != 0) {
      if (IsAlternateMark(v)) {
        const auto& alt = table::kAlternates[v - table::kAlternateMark];
        out[0] = alt.ch;
        out[1] = alt.selector;
        units = 2;
      } else {
        out[0] = v;
        units = 1;
      }
      return 2;
    }
  }
  const char16_t single = table::kHighSingle[c - 0x80];
  out[0] = single != 0 ? single : static_cast<char16_t>(kEscapeBase + c);
  units = 1;
  return 1;
}

// Character -> code (0 = unmappable), for every UTF-16 unit.
const std::array<std::uint16_t, 65536>& EncodeTable() {
  static const auto* const kTable = [] {
    auto* t = new std::array<std::uint16_t, 65536>{};
    for (const auto& p : table::kEncodePairs) (*t)[p.ch] = p.code;
    return t;
  }();
  return *kTable;
}

// The code a character followed by a selector stands for; 0 when there is none.
std::uint16_t AlternateCode(char16_t ch, char16_t selector) noexcept {
  for (const auto& alt : table::kAlternates) {
    if (alt.ch == ch && alt.selector == selector) return alt.code;
  }
  return 0;
}

bool IsHighSurrogate(char32_t u) noexcept { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) noexcept { return u >= 0xDC00 && u <= 0xDFFF; }

// Lenient UTF-8 -> UTF-16. Each maximal ill-formed subpart (the longest prefix of a valid
// sequence that breaks off) becomes one '?'; overlong forms, surrogates and values above
// U+10FFFF are ill-formed.
std::u16string Utf8ToUtf16(std::string_view in, std::size_t& invalid) {
  std::u16string out;
  out.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    const auto c = static_cast<unsigned char>(in[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    std::size_t need = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      need = 1;
      cp = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
      need = 2;
      cp = c & 0x0Fu;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      need = 3;
      cp = c & 0x07u;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      out.push_back(u'?');
      ++invalid;
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    std::size_t got = 0;
    while (got < need && j < in.size()) {
      const auto d = static_cast<unsigned char>(in[j]);
      const unsigned char min = got == 0 ? lo : 0x80;
      const unsigned char max = got == 0 ? hi : 0xBF;
      if (d < min || d > max) break;
      cp = (cp << 6) | (d & 0x3Fu);
      ++got;
      ++j;
    }
    i = j;
    if (got < need) {
      out.push_back(u'?');
      ++invalid;
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char16_t>(cp));
    } else {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
  }
  return out;
}

}  // namespace

std::size_t CharLength(std::string_view s, std::size_t i) noexcept {
  if (i >= s.size()) return 0;
  return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

std::string UpperCaseCp932(std::string_view s) {
  std::string out(s);
  for (std::size_t i = 0; i < out.size();) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - ('a' - 'A'));
    i += CharLength(out, i);
  }
  return out;
}

std::u16string DecodeCp932(std::string_view bytes) {
  // Every byte yields at most one unit (a two-byte code at most two), so the size is an upper
  // bound and the loop writes into a buffer without checks.
  std::u16string out(bytes.size(), u'\0');
  char16_t* dst = out.data();
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      *dst++ = c;
      ++i;
      continue;
    }
    std::size_t units = 0;
    i += DecodeAt(bytes, i, dst, units);
    dst += units;
  }
  out.resize(static_cast<std::size_t>(dst - out.data()));
  return out;
}

std::size_t DecodeCp932Char(std::string_view s, std::size_t i, std::u16string& out) {
  if (i >= s.size()) return 0;
  char16_t buf[2];
  std::size_t units = 0;
  const std::size_t used = DecodeAt(s, i, buf, units);
  out.append(buf, units);
  return used;
}

std::string EncodeCp932(std::u16string_view text, std::size_t* unmappable) {
  const auto& enc = EncodeTable();
  // No unit yields more than two bytes, so the loop writes into a buffer without checks.
  std::string out(text.size() * 2, '\0');
  char* dst = out.data();
  std::size_t bad = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u < 0x80) {
      *dst++ = static_cast<char>(u);
      continue;
    }
    if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF) {
      *dst++ = static_cast<char>(u - kEscapeBase);
      continue;
    }
    std::uint16_t code = enc[u];
    if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      ++i;  // a character outside the BMP: CP932 holds none of them, count it once
    } else if (code != 0 && i + 1 < text.size() && IsCodeSelector(text[i + 1])) {
      if (const std::uint16_t alt = AlternateCode(u, text[i + 1]); alt != 0) {
        code = alt;
        ++i;
      }
    }
    if (code == 0) {
      *dst++ = '?';
      ++bad;
    } else {
      if (code > 0xFF) *dst++ = static_cast<char>(code >> 8);
      *dst++ = static_cast<char>(code & 0xFF);
    }
  }
  out.resize(static_cast<std::size_t>(dst - out.data()));
  if (unmappable != nullptr) *unmappable = bad;
  return out;
}

std::string Utf8ToCp932(std::string_view utf8, std::size_t* unmappable) {
  std::size_t invalid = 0;
  const std::u16string text = Utf8ToUtf16(utf8, invalid);
  std::size_t bad = 0;
  std::string out = EncodeCp932(text, &bad);
  // The '?' standing for an ill-formed sequence is itself mappable; count it here instead.
  if (unmappable != nullptr) *unmappable = bad + invalid;
  return out;
}

std::string Utf8ToCp932Marked(std::string_view utf8, std::string_view replacement, std::vector<std::size_t>& marked) {
  const auto& enc = EncodeTable();
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    const std::size_t n = Utf8SequenceLength(utf8, i);
    char16_t u = 0;
    if (n == 2) u = static_cast<char16_t>(((c & 0x1F) << 6) | (utf8[i + 1] & 0x3F));
    else if (n == 3) u = static_cast<char16_t>(((c & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F));
    // A byte the lenient decoder carried through as a private-use character goes back as itself.
    if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF) {
      out += static_cast<char>(u - kEscapeBase);
      i += n;
      continue;
    }
    std::uint16_t code = u == 0 ? 0 : enc[u];
    if (code == 0) {
      // What text written on other systems uses for the same characters: JIS X 0201's yen sign
      // and overline, and JIS X 0208's forms of the wave dash, double bar, minus and the rest.
      switch (u) {
        case 0x00A5: code = 0x5C; break;
        case 0x203E: code = 0x7E; break;
        case 0x301C: code = 0x8160; break;
        case 0x2016: code = 0x8161; break;
        case 0x2212: code = 0x817C; break;
        case 0x00A2: code = 0x8191; break;
        case 0x00A3: code = 0x8192; break;
        case 0x00AC: code = 0x81CA; break;
        case 0x2014: code = 0x815C; break;
        default: break;
      }
    }
    if (code == 0) {
      marked.push_back(i);
      out.append(replacement);
    } else {
      if (code > 0xFF) out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    }
    i += n == 0 ? 1 : n;
  }
  return out;
}

std::string Cp932ToUtf8(std::string_view bytes) {
  const std::u16string text = DecodeCp932(bytes);
  std::string out;
  out.reserve(text.size() * 3);
  for (const char16_t u : text) AppendUtf8(out, u);  // the decoder never yields surrogates
  return out;
}

}  // namespace sorabu::textconv
