// Kanji code detection: which Japanese code produced a byte text.
//
// Two passes. The first screens the first 512 bytes for control bytes 0x00..0x07 and 0xFF,
// which no text code produces. The second walks the text once, byte by byte, and stops at the
// first byte pattern that only one code produces (a "decision"); patterns valid in both EUC-JP
// and Shift-JIS only move the result to EucOrShiftJis and the walk goes on.
//
// Neither pass looks at the last byte on its own: the screen and the walk stop before it, and
// only a look-ahead from the byte before may read it. A look-ahead that would leave the text
// ends the walk with the result found so far. Every index is checked against the size, so any
// byte string of any length is safe.
#include "textconv/kanji_code.h"

#include <cstddef>
#include <iterator>

namespace sorabu::textconv {

namespace {

constexpr std::size_t kBinaryScreenLimit = 512;

constexpr bool IsBinaryByte(unsigned char c) noexcept { return c <= 0x07 || c == 0xFF; }

constexpr bool InRange(unsigned char c, int lo, int hi) noexcept {
  return c >= lo && c <= hi;
}

class Scanner {
 public:
  explicit Scanner(std::string_view text) noexcept : text_(text) {}

  KanjiCode Run() noexcept {
    std::size_t i = 0;  // the byte at position i + 1
    while (i + 1 < text_.size() && Undecided()) {
      if (!Step(i)) break;
    }
    return result_;
  }

 private:
  bool Undecided() const noexcept {
    return result_ == KanjiCode::Ascii || result_ == KanjiCode::EucOrShiftJis;
  }

  // The byte at index i, or false when i is past the end.
  bool At(std::size_t i, unsigned char& c) const noexcept {
    if (i >= text_.size()) return false;
    c = static_cast<unsigned char>(text_[i]);
    return true;
  }

  // Applies the first matching rule to the byte at i and moves i past what it consumed.
  // Returns false when a look-ahead ran off the end of the text.
  bool Step(std::size_t& i) noexcept {
    const auto c = static_cast<unsigned char>(text_[i]);
    unsigned char d = 0;
    if (c == 0x1B) {
      if (!At(i + 1, d)) return false;
      if (d != '$') {
        i += 2;
        return true;
      }
      unsigned char e = 0;
      if (!At(i + 2, e)) return false;
      if (e == 'B') result_ = KanjiCode::Jis83;
      if (e == '@') result_ = KanjiCode::Jis78;
      i += 3;
      return true;
    }
    if (IsBinaryByte(c)) {
      result_ = KanjiCode::Binary;
      return true;
    }
    if (c <= 0x7F || c == 0x80 || c == 0xA0) {
      ++i;
      return true;
    }
    if (InRange(c, 0x81, 0x8D) || InRange(c, 0x8F, 0x9F)) {
      result_ = KanjiCode::ShiftJis;
      return true;
    }
    if (InRange(c, 0xF0, 0xFE)) {
      result_ = KanjiCode::Euc;
      return true;
    }
    if (!At(i + 1, d)) return false;
    if (c == 0x8E) {
      if (InRange(d, 0x40, 0x7E) || InRange(d, 0x80, 0xA0) || InRange(d, 0xE0, 0xFC)) {
        result_ = KanjiCode::ShiftJis;
      } else if (InRange(d, 0xA1, 0xDF)) {
        result_ = KanjiCode::EucOrShiftJis;
      }
      i += 2;
      return true;
    }
    if (InRange(c, 0xA1, 0xDF)) {
      if (InRange(d, 0xF0, 0xFE)) {
        result_ = KanjiCode::Euc;
      } else if (InRange(d, 0xA1, 0xDF)) {
        result_ = KanjiCode::EucOrShiftJis;
      } else if (InRange(d, 0xE0, 0xEF)) {
        result_ = KanjiCode::EucOrShiftJis;
        return RunCheck(i + 1, i);
      } else if (d <= 0x9F) {
        result_ = KanjiCode::ShiftJis;
      }
      i += 2;
      return true;
    }
    // c is 0xE0..0xEF.
    if (InRange(d, 0x40, 0x7E) || InRange(d, 0x80, 0xA0)) {
      result_ = KanjiCode::ShiftJis;
    } else if (d == 0xFD || d == 0xFE) {
      result_ = KanjiCode::Euc;
    } else if (InRange(d, 0xA1, 0xFC)) {
      result_ = KanjiCode::EucOrShiftJis;
    }
    i += 2;
    return true;
  }

  // After half-width katakana followed by 0xE0..0xEF: a run of bytes >= 0x40 from index k on
  // is read as Shift-JIS or EUC double bytes until one of them decides. The byte below 0x40
  // that ends the run is consumed unexamined.
  bool RunCheck(std::size_t k, std::size_t& i) noexcept {
    unsigned char b = 0;
    while (At(k, b) && b >= 0x40 && result_ == KanjiCode::EucOrShiftJis) {
      if (InRange(b, 0x81, 0x8D) || InRange(b, 0x8F, 0x9C)) {
        result_ = KanjiCode::ShiftJis;
      } else if (b == 0xFD || b == 0xFE) {
        result_ = KanjiCode::Euc;
      }
      ++k;
    }
    if (k >= text_.size()) return false;
    i = k + 1;
    return true;
  }

  std::string_view text_;
  KanjiCode result_ = KanjiCode::Ascii;
};

}  // namespace

KanjiCode DetectKanjiCode(std::string_view text) noexcept {
  for (std::size_t i = 0; i + 1 < text.size() && i < kBinaryScreenLimit; ++i) {
    if (IsBinaryByte(static_cast<unsigned char>(text[i]))) return KanjiCode::Binary;
  }
  return Scanner(text).Run();
}

std::string_view KanjiCodeNameUtf8(int code) noexcept {
  static constexpr std::string_view kNames[] = {
      "ASCII", "ﾊﾞｲﾅﾘ", "JIS83", "JIS78", "EUC", "ｼﾌﾄJIS", "EUC+ｼﾌﾄJIS",
  };
  if (code < 0 || code >= static_cast<int>(std::size(kNames))) return {};
  return kNames[code];
}

}  // namespace sorabu::textconv
