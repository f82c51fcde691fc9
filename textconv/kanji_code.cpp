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
//
// Every rule reads at most two bytes past the walk's position, except the run of double bytes,
// which reads one byte at a time and keeps its place. So the walk can stop at the end of a block
// wherever a rule would need a byte still to come, keep the few bytes from its position on, and
// resume on the next block: the text never has to be whole. The screen comes first, so the walk
// waits until the first 513 bytes are there (or the text has ended).
#include "textconv/kanji_code.h"

#include "textconv/unicode_text.h"

#include <iterator>

namespace sorabu::textconv {

namespace {

constexpr std::size_t kBinaryScreenLimit = 512;

constexpr bool IsBinaryByte(unsigned char c) noexcept { return c <= 0x07 || c == 0xFF; }

constexpr bool InRange(unsigned char c, int lo, int hi) noexcept {
  return c >= lo && c <= hi;
}

constexpr bool Undecided(KanjiCode result) noexcept {
  return result == KanjiCode::Ascii || result == KanjiCode::EucOrShiftJis;
}

// The bytes read so far, from absolute position base on.
struct Window {
  std::string_view bytes;
  std::size_t base;

  std::size_t limit() const noexcept { return base + bytes.size(); }
  // The byte at absolute position i, or false when i is not in the window.
  bool At(std::size_t i, unsigned char& c) const noexcept {
    if (i >= limit()) return false;
    c = static_cast<unsigned char>(bytes[i - base]);
    return true;
  }
};

// Applies the first matching rule to the byte at i and moves i past what it consumed; the
// window holds the text at least up to i + 2, or to its end. Returns false when a look-ahead ran
// off the end of the text. After half-width katakana followed by 0xE0..0xEF, in_run is set and
// i points at the run's first byte.
bool Step(const Window& w, std::size_t& i, bool& in_run, KanjiCode& result) noexcept {
  unsigned char c = 0;
  w.At(i, c);
  unsigned char d = 0;
  if (c == 0x1B) {
    if (!w.At(i + 1, d)) return false;
    if (d != '$') {
      i += 2;
      return true;
    }
    unsigned char e = 0;
    if (!w.At(i + 2, e)) return false;
    if (e == 'B') result = KanjiCode::Jis83;
    if (e == '@') result = KanjiCode::Jis78;
    i += 3;
    return true;
  }
  if (IsBinaryByte(c)) {
    result = KanjiCode::Binary;
    return true;
  }
  if (c <= 0x7F || c == 0x80 || c == 0xA0) {
    ++i;
    return true;
  }
  if (InRange(c, 0x81, 0x8D) || InRange(c, 0x8F, 0x9F)) {
    result = KanjiCode::ShiftJis;
    return true;
  }
  if (InRange(c, 0xF0, 0xFE)) {
    result = KanjiCode::Euc;
    return true;
  }
  if (!w.At(i + 1, d)) return false;
  if (c == 0x8E) {
    if (InRange(d, 0x40, 0x7E) || InRange(d, 0x80, 0xA0) || InRange(d, 0xE0, 0xFC)) {
      result = KanjiCode::ShiftJis;
    } else if (InRange(d, 0xA1, 0xDF)) {
      result = KanjiCode::EucOrShiftJis;
    }
    i += 2;
    return true;
  }
  if (InRange(c, 0xA1, 0xDF)) {
    if (InRange(d, 0xF0, 0xFE)) {
      result = KanjiCode::Euc;
    } else if (InRange(d, 0xA1, 0xDF)) {
      result = KanjiCode::EucOrShiftJis;
    } else if (InRange(d, 0xE0, 0xEF)) {
      result = KanjiCode::EucOrShiftJis;
      in_run = true;
      i += 1;
      return true;
    } else if (d <= 0x9F) {
      result = KanjiCode::ShiftJis;
    }
    i += 2;
    return true;
  }
  // c is 0xE0..0xEF.
  if (InRange(d, 0x40, 0x7E) || InRange(d, 0x80, 0xA0)) {
    result = KanjiCode::ShiftJis;
  } else if (d == 0xFD || d == 0xFE) {
    result = KanjiCode::Euc;
  } else if (InRange(d, 0xA1, 0xFC)) {
    result = KanjiCode::EucOrShiftJis;
  }
  i += 2;
  return true;
}

}  // namespace

std::size_t TKanjiCodeDetector::Run(std::string_view bytes, std::size_t base, bool end) noexcept {
  const Window w{bytes, base};
  if (!screen_done_) {
    unsigned char c = 0;
    for (; screened_ < kBinaryScreenLimit && screened_ + 1 < w.limit(); ++screened_) {
      w.At(screened_, c);
      if (IsBinaryByte(c)) {
        result_ = KanjiCode::Binary;
        screen_done_ = true;
        return pos_;
      }
    }
    if (screened_ < kBinaryScreenLimit && !end) return pos_;
    screen_done_ = true;
  }
  while (!stopped_ && Undecided(result_)) {
    if (in_run_) {
      // Bytes >= 0x40 are read as Shift-JIS or EUC double bytes until one of them decides; the
      // byte below 0x40 that ends the run is consumed unexamined.
      unsigned char b = 0;
      while (result_ == KanjiCode::EucOrShiftJis) {
        if (!w.At(pos_, b)) {
          stopped_ = end;
          return pos_;
        }
        if (b < 0x40) {
          ++pos_;
          in_run_ = false;
          break;
        }
        if (InRange(b, 0x81, 0x8D) || InRange(b, 0x8F, 0x9C)) {
          result_ = KanjiCode::ShiftJis;
        } else if (b == 0xFD || b == 0xFE) {
          result_ = KanjiCode::Euc;
        }
        ++pos_;
      }
      continue;
    }
    // The byte at pos_ is never looked at on its own when it is the last one.
    if (pos_ + 1 >= w.limit() || (pos_ + 2 >= w.limit() && !end)) {
      stopped_ = end;
      return pos_;
    }
    if (!Step(w, pos_, in_run_, result_)) stopped_ = true;
  }
  return pos_;
}

void TKanjiCodeDetector::Feed(std::string_view block) {
  if (Decided() || block.empty()) return;
  std::size_t keep;
  if (carry_.empty()) {
    keep = Run(block, carry_base_, false);
    carry_.assign(block.substr(keep - carry_base_));
  } else {
    carry_.append(block);
    keep = Run(carry_, carry_base_, false);
    carry_.erase(0, keep - carry_base_);
  }
  carry_base_ = keep;
  if (Decided()) carry_.clear();
}

KanjiCode TKanjiCodeDetector::Finish() {
  if (!Decided()) Run(carry_, carry_base_, true);
  carry_.clear();
  return result_;
}

bool TKanjiCodeDetector::Decided() const noexcept {
  return screen_done_ && (stopped_ || !Undecided(result_));
}

KanjiCode DetectKanjiCode(std::string_view text) noexcept {
  TKanjiCodeDetector detector;
  detector.Run(text, 0, true);
  return detector.result_;
}

int DetectTextCode(std::string_view text, bool complete) noexcept {
  switch (DetectTextForm(text, complete)) {
    case TextForm::Utf8: return Utf8;
    case TextForm::Utf16LE:
    case TextForm::Utf16BE: return Utf16;
    case TextForm::Cp932:
    case TextForm::EucJp:
    case TextForm::Jis: break;
  }
  return DetectKanjiCode(text);
}

std::string_view KanjiCodeNameUtf8(int code) noexcept {
  static constexpr std::string_view kNames[] = {
      "ASCII", "ﾊﾞｲﾅﾘ", "JIS83", "JIS78", "EUC", "ｼﾌﾄJIS", "EUC+ｼﾌﾄJIS", "UTF-8", "UTF-16",
  };
  if (code < 0 || code >= static_cast<int>(std::size(kNames))) return {};
  return kNames[code];
}

}  // namespace sorabu::textconv
