// Width conversions.
//
// All mappings are tables built at compile time from the JIS codes: a 256-entry table from a
// single byte to its full-width Shift-JIS pair, and, because every full-width character that
// has a half-width form lies in JIS rows 1 to 5 (Shift-JIS lead bytes 0x81..0x83), a 768-entry
// table indexed by (lead - 0x81) * 256 + trail giving one or two half-width bytes. The kana
// part of the reverse table is derived from the forward kana table, so the two cannot drift.
//
// Each conversion is a resumable core (code_core.h): fed a piece of a line, it stops before a
// lead byte or katakana at the end whose next byte it needs.
//
// A half-width katakana with a semi-voiced mark joins only where a full-width character with
// that mark exists (ﾊ..ﾎ); ｶﾟ becomes カ゜, not the next cell of the table, which would be キ.
#include "textconv/width.h"

#include <array>
#include <cstdint>

#include "textconv/appender.h"
#include "textconv/code_core.h"
#include "textconv/cp932.h"
#include "textconv/jis_code.h"

namespace sorabu::textconv {
namespace {

using detail::Appender;
using detail::AsciiRunEnd;
using detail::BytePair;
using detail::Bytes;

constexpr BytePair Sjis(std::uint16_t jis) { return detail::JisToSjisPair(jis >> 8u, jis & 0xFFu); }

struct Symbol {
  unsigned char half;
  std::uint16_t full;
};

constexpr std::array<Symbol, 39> kSymbols = {{
    {' ', 0x2121},  {'!', 0x212A},  {'"', 0x2149},  {'#', 0x2174},  {'$', 0x2170},
    {'%', 0x2173},  {'&', 0x2175},  {'\'', 0x2147}, {'(', 0x214A},  {')', 0x214B},
    {'=', 0x2161},  {'`', 0x2146},  {'|', 0x2143},  {'-', 0x215D},  {'^', 0x2130},
    {'\\', 0x216F}, {'~', 0x2131},  {'{', 0x2150},  {'@', 0x2177},  {'[', 0x214E},
    {'+', 0x215C},  {'*', 0x2176},  {'}', 0x2151},  {';', 0x2128},  {':', 0x2127},
    {']', 0x214F},  {'<', 0x2163},  {'>', 0x2164},  {'?', 0x2129},  {'_', 0x2132},
    {0xA4, 0x2122}, {0xA1, 0x2123}, {0xA5, 0x2126}, {',', 0x2124},  {'.', 0x2125},
    {'/', 0x213F},  {0xB0, 0x213C}, {0xA2, 0x2156}, {0xA3, 0x2157},
}};

constexpr std::uint16_t kFullVoicedMark = 0x212B;      // ゛
constexpr std::uint16_t kFullSemiVoicedMark = 0x212C;  // ゜

constexpr bool IsConvertibleKana(unsigned char b) {
  return (b >= 0xA6 && b <= 0xAF) || (b >= 0xB1 && b <= 0xDD);
}

// Full-width partner of digits, letters and symbols; {0, 0} for every other byte.
constexpr auto kHalfToFull = [] {
  std::array<BytePair, 256> t{};
  for (unsigned c = 0; c < 128; ++c) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      t[c] = Sjis(static_cast<std::uint16_t>(0x2300 | c));
    }
  }
  for (const Symbol& s : kSymbols) t[s.half] = Sjis(s.full);
  return t;
}();

struct Half {
  unsigned char length = 0;
  unsigned char bytes[2] = {0, 0};
};

// Half-width form of each cell 0x21..0x76 of the kana rows (index cell - 0x21).
constexpr auto kKanaCells = [] {
  std::array<Half, 0x56> t{};
  const auto set = [&t](unsigned cell, unsigned char b0, unsigned char b1) {
    t[cell - 0x21] = Half{static_cast<unsigned char>(b1 == 0 ? 1 : 2), {b0, b1}};
  };
  for (unsigned b = 0xA6; b <= 0xDD; ++b) {
    const auto kana = static_cast<unsigned char>(b);
    if (!IsConvertibleKana(kana)) continue;
    const unsigned cell = detail::HalfKanaJis(kana) & 0xFFu;
    set(cell, kana, 0);
    if (detail::TakesVoicedMark(kana)) set(cell + 1, kana, detail::kVoicedMark);
    if (detail::TakesSemiVoicedMark(kana)) set(cell + 2, kana, detail::kSemiVoicedMark);
  }
  set(0x6E, 0xDC, 0);                  // ヮ -> ﾜ
  set(0x70, 0xB2, 0);                  // ヰ -> ｲ
  set(0x71, 0xB4, 0);                  // ヱ -> ｴ
  set(0x74, 0xB3, detail::kVoicedMark);  // ヴ -> ｳﾞ
  set(0x75, 0xB6, 0);                  // ヵ -> ｶ
  set(0x76, 0xB9, 0);                  // ヶ -> ｹ
  return t;
}();

static_assert([] {
  for (const Half& h : kKanaCells) {
    if (h.length == 0) return false;
  }
  return true;
}(), "every kana cell 0x21..0x76 has a half-width form");

constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kLastLead = 0x83;

constexpr auto kFullToHalf = [] {
  std::array<Half, (kLastLead - kFirstLead + 1) * 256> t{};
  const auto at = [&t](std::uint16_t jis) -> Half& {
    const BytePair p = Sjis(jis);
    return t[(p.first - kFirstLead) * 256u + p.second];
  };
  for (unsigned cell = 0x21; cell <= 0x7E; ++cell) {
    at(static_cast<std::uint16_t>(0x2300 | cell)) = Half{1, {static_cast<unsigned char>(cell), 0}};
  }
  for (unsigned cell = 0x21; cell <= 0x76; ++cell) {
    at(static_cast<std::uint16_t>(0x2400 | cell)) = kKanaCells[cell - 0x21];
    at(static_cast<std::uint16_t>(0x2500 | cell)) = kKanaCells[cell - 0x21];
  }
  for (const Symbol& s : kSymbols) at(s.full) = Half{1, {s.half, 0}};
  return t;
}();

constexpr auto kHalfKanaFull = [] {
  std::array<BytePair, 63> t{};
  for (unsigned b = 0xA1; b <= 0xDF; ++b) t[b - 0xA1] = Sjis(detail::HalfKanaJis(static_cast<unsigned char>(b)));
  return t;
}();

void PutJis(Appender& a, std::uint16_t jis) {
  const BytePair p = Sjis(jis);
  a.Put(p.first, p.second);
}

// Copies a lead byte and the byte after it (or the lead byte alone at the end); returns the
// bytes taken.
std::size_t CopyDoubleByte(Appender& a, const unsigned char* s, std::size_t i, std::size_t n) {
  if (i + 1 >= n) {
    a.Put(s[i]);
    return 1;
  }
  a.Put(s[i], s[i + 1]);
  return 2;
}

}  // namespace

namespace detail {

std::size_t HalfToFullCore(std::string_view line, bool last, bool&, std::string& out) {
  const unsigned char* s = Bytes(line);
  const std::size_t n = line.size();
  Appender a(out, 2 * n);
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    a.Ensure(4);
    // A lead byte needs its second byte, a kana the mark that may follow.
    if (i + 1 == n && !last && (IsLeadByte(b) || IsConvertibleKana(b))) return i;
    if (IsLeadByte(b)) {
      i += CopyDoubleByte(a, s, i, n);
    } else if (IsConvertibleKana(b)) {
      const std::uint16_t kana = detail::HalfKanaJis(b);
      const unsigned char mark = i + 1 < n ? s[i + 1] : 0;
      if (mark == detail::kVoicedMark && detail::TakesVoicedMark(b)) {
        PutJis(a, static_cast<std::uint16_t>(kana + 1));
      } else if (mark == detail::kSemiVoicedMark && detail::TakesSemiVoicedMark(b)) {
        PutJis(a, static_cast<std::uint16_t>(kana + 2));
      } else if (mark == detail::kVoicedMark || mark == detail::kSemiVoicedMark) {
        PutJis(a, kana);
        PutJis(a, mark == detail::kVoicedMark ? kFullVoicedMark : kFullSemiVoicedMark);
      } else {
        PutJis(a, kana);
        ++i;
        continue;
      }
      i += 2;
    } else if (const BytePair full = kHalfToFull[b]; full.first != 0) {
      a.Put(full.first, full.second);
      ++i;
    } else {
      a.Put(b);
      ++i;
    }
  }
  return n;
}

std::size_t FullToHalfCore(std::string_view line, bool last, bool&, std::string& out) {
  const unsigned char* s = Bytes(line);
  const std::size_t n = line.size();
  Appender a(out, n);
  std::size_t i = 0;
  while (i < n) {
    const std::size_t end = AsciiRunEnd(s, i, n);
    a.Append(s + i, end - i);
    i = end;
    if (i == n) break;
    const unsigned char b = s[i];
    a.Ensure(2);
    if (!IsLeadByte(b)) {
      a.Put(b);
      ++i;
      continue;
    }
    if (i + 1 == n && !last) return i;
    if (b <= kLastLead && i + 1 < n) {
      const Half& h = kFullToHalf[(b - kFirstLead) * 256u + s[i + 1]];
      if (h.length != 0) {
        a.Put(h.bytes[0]);
        if (h.length == 2) a.Put(h.bytes[1]);
        i += 2;
        continue;
      }
    }
    i += CopyDoubleByte(a, s, i, n);
  }
  return n;
}

std::size_t HalfKanaToFullKanaCore(std::string_view line, bool last, bool&, std::string& out) {
  const unsigned char* s = Bytes(line);
  const std::size_t n = line.size();
  Appender a(out, n + n / 4);
  std::size_t i = 0;
  while (i < n) {
    const std::size_t end = AsciiRunEnd(s, i, n);
    a.Append(s + i, end - i);
    i = end;
    if (i == n) break;
    const unsigned char b = s[i];
    a.Ensure(2);
    if (IsLeadByte(b)) {
      if (i + 1 == n && !last) return i;
      i += CopyDoubleByte(a, s, i, n);
    } else if (IsHalfKana(b)) {
      const BytePair full = kHalfKanaFull[b - 0xA1u];
      a.Put(full.first, full.second);
      ++i;
    } else {
      a.Put(b);
      ++i;
    }
  }
  return n;
}

}  // namespace detail

void HalfToFull(std::string_view line, std::string& out) {
  bool unused = false;
  detail::HalfToFullCore(line, true, unused, out);
}

void FullToHalf(std::string_view line, std::string& out) {
  bool unused = false;
  detail::FullToHalfCore(line, true, unused, out);
}

void HalfKanaToFullKana(std::string_view line, std::string& out) {
  bool unused = false;
  detail::HalfKanaToFullKanaCore(line, true, unused, out);
}

std::string HalfToFull(std::string_view line) {
  std::string out;
  HalfToFull(line, out);
  return out;
}

std::string FullToHalf(std::string_view line) {
  std::string out;
  FullToHalf(line, out);
  return out;
}

std::string HalfKanaToFullKana(std::string_view line) {
  std::string out;
  HalfKanaToFullKana(line, out);
  return out;
}

}  // namespace sorabu::textconv
