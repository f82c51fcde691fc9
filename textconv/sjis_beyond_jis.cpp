// Mapping of the IBM extensions onto their equivalents within the JIS rows.
//
// The table is derived once, on first use, from the project's code page 932 table: every pair
// with a lead byte up to 0xEF is decoded, and each IBM extension takes the lowest such pair
// that decodes to the same character (so ∵ goes to row 2, not to the NEC-selected copy, and
// Roman numerals to NEC row 13), which is also what nkf and Microsoft's EUC do.
#include "textconv/sjis_beyond_jis.h"

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "textconv/cp932.h"

namespace sorabu::textconv::detail {
namespace {

constexpr BytePair kGeta = {0x81, 0xAC};
constexpr unsigned kFirstIbmLead = 0xFA;
constexpr unsigned kLastIbmLead = 0xFC;

bool IsTrail(unsigned s2) { return IsTrailByte(static_cast<unsigned char>(s2)); }

// The single character a pair decodes to, or 0 when it decodes to anything else. The decoder
// marks the IBM copies of duplicated characters with a variation selector (so that encoding
// finds its way back to them); the character is the one before it.
char16_t CharOf(unsigned s1, unsigned s2) {
  const char pair[2] = {static_cast<char>(s1), static_cast<char>(s2)};
  const std::u16string decoded = DecodeCp932(std::string_view(pair, 2));
  const bool selector = decoded.size() == 2 && decoded[1] >= 0xFE00 && decoded[1] <= 0xFE0F;
  return decoded.size() == 1 || selector ? decoded[0] : u'\0';
}

using IbmTable = std::array<BytePair, (kLastIbmLead - kFirstIbmLead + 1) * 256>;

IbmTable BuildIbmTable() {
  std::unordered_map<char16_t, BytePair> lowest;
  for (unsigned s1 = 0x81; s1 <= 0xEF; ++s1) {
    if (!IsLeadByte(static_cast<unsigned char>(s1))) continue;
    for (unsigned s2 = 0x40; s2 <= 0xFC; ++s2) {
      if (!IsTrail(s2)) continue;
      if (const char16_t c = CharOf(s1, s2); c != u'\0') {
        lowest.try_emplace(c, BytePair{static_cast<unsigned char>(s1), static_cast<unsigned char>(s2)});
      }
    }
  }
  IbmTable table;
  table.fill(kGeta);
  for (unsigned s1 = kFirstIbmLead; s1 <= kLastIbmLead; ++s1) {
    for (unsigned s2 = 0x40; s2 <= 0xFC; ++s2) {
      if (!IsTrail(s2)) continue;
      const char16_t c = CharOf(s1, s2);
      if (const auto it = lowest.find(c); c != u'\0' && it != lowest.end()) {
        table[(s1 - kFirstIbmLead) * 256 + s2] = it->second;
      }
    }
  }
  return table;
}

}  // namespace

BytePair BeyondJisToShiftJisInJis(unsigned char s1, unsigned char s2) {
  if (s1 < kFirstIbmLead || s1 > kLastIbmLead) return kGeta;
  static const IbmTable table = BuildIbmTable();
  return table[(s1 - kFirstIbmLead) * 256u + s2];
}

}  // namespace sorabu::textconv::detail
