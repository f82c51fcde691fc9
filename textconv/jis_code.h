// JIS X 0208 row/cell arithmetic shared by the code and width converters.
//
// The mapping between a JIS pair and a Shift-JIS pair is pure arithmetic, so it is done inline
// rather than through a 64K table: it is a handful of integer operations and keeps the cache
// free for the text. The functions accept any byte values; results that fall outside a byte
// wrap, which only happens for input that is not valid in its code.
#pragma once

#include <array>
#include <cstdint>

namespace sorabu::textconv::detail {

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;

struct BytePair {
  unsigned char first;
  unsigned char second;
};

constexpr BytePair JisToSjisPair(unsigned j1, unsigned j2) {
  const unsigned s1 = (j1 + 1) / 2 + (j1 <= 0x5E ? 0x70u : 0xB0u);
  unsigned s2;
  if (j1 % 2 == 0) {
    s2 = j2 + 0x7E;
  } else {
    s2 = j2 + (j2 < 0x60 ? 0x1Fu : 0x20u);
  }
  return {static_cast<unsigned char>(s1 & 0xFF), static_cast<unsigned char>(s2 & 0xFF)};
}

constexpr BytePair SjisToJisPair(unsigned s1, unsigned s2) {
  const unsigned base = s1 >= 0xA0 ? 0xB0u : 0x70u;
  unsigned j1 = 2 * (s1 - base);
  unsigned j2;
  if (s2 <= 0x9E) {
    j1 -= 1;
    j2 = s2 >= 0x80 ? s2 - 0x20 : s2 - 0x1F;
  } else {
    j2 = s2 - 0x7E;
  }
  return {static_cast<unsigned char>(j1 & 0xFF), static_cast<unsigned char>(j2 & 0xFF)};
}

// The same mappings through small tables, for the converters' inner loops: the branches of
// the arithmetic depend on the text and so are mispredicted about half the time, while these
// tables (1.5 KB together) stay in the first-level cache.
constexpr auto kJisLeadToSjis = [] {
  std::array<unsigned char, 256> t{};
  for (unsigned j1 = 0; j1 < 256; ++j1) t[j1] = JisToSjisPair(j1, 0).first;
  return t;
}();
// Index (j1 odd ? 256 : 0) + j2.
constexpr auto kJisTrailToSjis = [] {
  std::array<unsigned char, 512> t{};
  for (unsigned j2 = 0; j2 < 256; ++j2) {
    t[j2] = JisToSjisPair(0x22, j2).second;
    t[256 + j2] = JisToSjisPair(0x21, j2).second;
  }
  return t;
}();
// j1 = kSjisLeadToJis[s1] - kSjisTrailToJis[s2].row_back; j2 = kSjisTrailToJis[s2].cell.
struct SjisTrail {
  unsigned char cell;
  unsigned char row_back;
};
constexpr auto kSjisLeadToJis = [] {
  std::array<unsigned char, 256> t{};
  for (unsigned s1 = 0; s1 < 256; ++s1) t[s1] = SjisToJisPair(s1, 0x9F).first;
  return t;
}();
constexpr auto kSjisTrailToJis = [] {
  std::array<SjisTrail, 256> t{};
  for (unsigned s2 = 0; s2 < 256; ++s2) {
    t[s2] = SjisTrail{SjisToJisPair(0x81, s2).second, static_cast<unsigned char>(s2 <= 0x9E ? 1 : 0)};
  }
  return t;
}();

inline BytePair JisToSjisFast(unsigned char j1, unsigned char j2) {
  return {kJisLeadToSjis[j1], kJisTrailToSjis[(j1 & 1u) << 8 | j2]};
}
inline BytePair SjisToJisFast(unsigned char s1, unsigned char s2) {
  const SjisTrail trail = kSjisTrailToJis[s2];
  return {static_cast<unsigned char>(kSjisLeadToJis[s1] - trail.row_back), trail.cell};
}

// JIS X 0208 code of each half-width katakana byte 0xA1..0xDF (index byte - 0xA1).
constexpr std::array<std::uint16_t, 63> kHalfKanaJis = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126,                                  // A1-A5 ｡｢｣､･
    0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529, 0x2563, 0x2565, 0x2567,  // A6-AE ｦｧｨｩｪｫｬｭｮ
    0x2543, 0x213C,                                                          // AF-B0 ｯｰ
    0x2522, 0x2524, 0x2526, 0x2528, 0x252A,                                  // B1-B5 ｱｲｳｴｵ
    0x252B, 0x252D, 0x252F, 0x2531, 0x2533, 0x2535, 0x2537, 0x2539,          // B6-BD ｶｷｸｹｺｻｼｽ
    0x253B, 0x253D, 0x253F, 0x2541, 0x2544, 0x2546, 0x2548,                  // BE-C4 ｾｿﾀﾁﾂﾃﾄ
    0x254A, 0x254B, 0x254C, 0x254D, 0x254E,                                  // C5-C9 ﾅﾆﾇﾈﾉ
    0x254F, 0x2552, 0x2555, 0x2558, 0x255B,                                  // CA-CE ﾊﾋﾌﾍﾎ
    0x255E, 0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568,          // CF-D6 ﾏﾐﾑﾒﾓﾔﾕﾖ
    0x2569, 0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573,                  // D7-DD ﾗﾘﾙﾚﾛﾜﾝ
    0x212B, 0x212C,                                                          // DE-DF ﾞﾟ
};

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

constexpr std::uint16_t HalfKanaJis(unsigned char b) { return kHalfKanaJis[b - 0xA1u]; }

// ｶ..ﾄ and ﾊ..ﾎ take the voiced mark; ﾊ..ﾎ also the semi-voiced mark.
constexpr bool TakesVoicedMark(unsigned char b) {
  return (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE);
}
constexpr bool TakesSemiVoicedMark(unsigned char b) { return b >= 0xCA && b <= 0xCE; }

// The JIS code of a half-width kana joined with the mark that follows it, or 0 when the two do
// not join. ｳﾞ is ヴ here; the width conversion, which has no ヴ rule, does not use this.
constexpr std::uint16_t JoinedKanaJis(unsigned char kana, unsigned char mark) {
  if (mark == kVoicedMark) {
    if (kana == 0xB3) return 0x2574;
    if (TakesVoicedMark(kana)) return static_cast<std::uint16_t>(HalfKanaJis(kana) + 1);
  } else if (mark == kSemiVoicedMark && TakesSemiVoicedMark(kana)) {
    return static_cast<std::uint16_t>(HalfKanaJis(kana) + 2);
  }
  return 0;
}

}  // namespace sorabu::textconv::detail
