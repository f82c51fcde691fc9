// Line converters between JIS, EUC-JP and Shift-JIS.
//
// All six walk the line once, left to right, and write through an Appender. Runs of bytes that
// pass unchanged (ASCII in Shift-JIS and EUC, single-byte mode in JIS) are found eight bytes or
// one memchr at a time and copied in one piece, because real Japanese text is mostly such runs
// between short stretches of double-byte characters.
//
// Shift-JIS pairs beyond row 94 (IBM extensions, user-defined area) have no place in EUC-JP or
// JIS; they are written as their equivalents within the rows where code page 932 has one, else
// as 〓, rather than as out-of-range bytes that would take the following text apart.
//
// Each converter is a resumable core (code_core.h) that can stop before an incomplete
// character at the end of a piece of a line and carry the JIS mode to the next piece; the
// one-call converters run the core once with last = true.
//
// The JIS writers close a two-byte run with ESC ( J also at the end of the line. Without that,
// nkf, iconv and mail readers would keep two-byte mode past the newline and garble the next
// line. The JIS readers recognise escape sequences that follow one another directly (ESC ( B
// ESC ( J, as a decoded mail header followed by the added closing sequence gives), rather than
// taking the second ESC as text.
#include "textconv/jis_euc_sjis.h"

#include <cstring>

#include "textconv/appender.h"
#include "textconv/code_core.h"
#include "textconv/cp932.h"
#include "textconv/jis_code.h"
#include "textconv/sjis_beyond_jis.h"

namespace sorabu::textconv {
namespace {

using detail::Appender;
using detail::AsciiRunEnd;
using detail::Bytes;
using detail::kEsc;

constexpr unsigned char kEnterTwoByte[3] = {kEsc, '$', 'B'};
constexpr unsigned char kLeaveTwoByte[3] = {kEsc, '(', 'J'};

// Consumes the escape sequences starting at s[i] and updates the mode. Returns false when a
// sequence is cut off by the end of the line.
bool SkipEscapes(const unsigned char* s, std::size_t n, std::size_t& i, bool& two_byte) {
  while (i < n && s[i] == kEsc) {
    if (n - i < 3) return false;
    if (s[i + 1] == '$') {
      two_byte = true;
    } else if (s[i + 1] == '(') {
      two_byte = false;
    }
    i += 3;
  }
  return true;
}

std::size_t NextEsc(const unsigned char* s, std::size_t i, std::size_t n) {
  if (i >= n) return n;  // an empty view may have no data pointer at all
  const void* hit = std::memchr(s + i, kEsc, n - i);
  return hit == nullptr ? n : static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - s);
}

// A Shift-JIS pair as a JIS pair; pairs beyond row 94 first become their equivalent within.
detail::BytePair PairToJis(unsigned char s1, unsigned char s2) {
  if (detail::IsBeyondJisLead(s1)) {
    const detail::BytePair within = detail::BeyondJisToShiftJisInJis(s1, s2);
    return detail::SjisToJisFast(within.first, within.second);
  }
  return detail::SjisToJisFast(s1, s2);
}

void PutJisCode(Appender& a, unsigned code) {
  a.Put(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF));
}

// Shared shape of the two JIS writers; Source knows how the high-bit characters of its code
// are laid out. Each run of such characters is written in one inner loop, with room made once
// for the longest the rest of the input could give (two bytes per input byte), so the loop
// has no mode test and no room test per character.
template <typename Source>
std::size_t WriteJis(std::string_view line, bool last, bool& two_byte, std::string& out) {
  const unsigned char* s = Bytes(line);
  const std::size_t n = line.size();
  Appender a(out, n + n / 4 + 8);
  std::size_t i = 0;
  while (i < n) {
    if (s[i] < 0x80) {
      if (two_byte) {
        a.Ensure(3);
        a.Put(kLeaveTwoByte[0], kLeaveTwoByte[1], kLeaveTwoByte[2]);
        two_byte = false;
      }
      const std::size_t end = AsciiRunEnd(s, i, n);
      a.Append(s + i, end - i);
      i = end;
      continue;
    }
    unsigned code = 0;
    std::size_t used = Source::Read(s, i, n, last, code);
    if (used == 0) break;
    a.Ensure(2 * (n - i) + 2 * sizeof kEnterTwoByte);
    if (!two_byte) {
      a.Put(kEnterTwoByte[0], kEnterTwoByte[1], kEnterTwoByte[2]);
      two_byte = true;
    }
    do {
      PutJisCode(a, code);
      i += used;
      used = i < n && s[i] >= 0x80 ? Source::Read(s, i, n, last, code) : 0;
    } while (used != 0);
    if (i < n && s[i] >= 0x80) break;  // a character cut off by the end of the input
  }
  if (!last) return i;
  if (two_byte) {
    a.Ensure(3);
    a.Put(kLeaveTwoByte[0], kLeaveTwoByte[1], kLeaveTwoByte[2]);
    two_byte = false;
  }
  return n;
}

// Each Read takes the character with bit 7 set at s[i], stores its JIS code and returns the
// bytes it used, or 0 when the character is cut off by the end of the input, or might still
// be joined with a mark that the next piece could bring.
struct ShiftJisSource {
  static std::size_t Read(const unsigned char* s, std::size_t i, std::size_t n, bool last, unsigned& code) {
    const unsigned char b = s[i];
    if (IsHalfKana(b)) {
      if (i + 1 < n) {
        if (const unsigned joined = detail::JoinedKanaJis(b, s[i + 1]); joined != 0) {
          code = joined;
          return 2;
        }
      } else if (!last) {
        return 0;
      }
      code = detail::HalfKanaJis(b);
      return 1;
    }
    if (i + 1 >= n) return 0;
    const detail::BytePair j = PairToJis(b, s[i + 1]);
    code = static_cast<unsigned>(j.first << 8 | j.second);
    return 2;
  }
};

struct EucSource {
  static std::size_t Read(const unsigned char* s, std::size_t i, std::size_t n, bool last, unsigned& code) {
    if (i + 1 >= n) return 0;
    const unsigned char b = s[i];
    const unsigned char k = s[i + 1];
    if (b == 0x8E && IsHalfKana(k)) {
      if (i + 3 < n && s[i + 2] == 0x8E) {
        if (const unsigned joined = detail::JoinedKanaJis(k, s[i + 3]); joined != 0) {
          code = joined;
          return 4;
        }
      } else if (!last && (i + 2 == n || (i + 3 == n && s[i + 2] == 0x8E))) {
        return 0;
      }
      code = detail::HalfKanaJis(k);
      return 2;
    }
    code = static_cast<unsigned>((b & 0x7F) << 8 | (k & 0x7F));
    return 2;
  }
};

// Shared walk of the two JIS readers. Pairs decides whether two-byte mode takes the text in
// pairs (to Shift-JIS) or byte by byte (to EUC).
template <bool Pairs>
std::size_t ReadJis(std::string_view line, bool last, bool& two_byte, std::string& out) {
  const unsigned char* s = Bytes(line);
  const std::size_t n = line.size();
  Appender a(out, n);
  std::size_t i = 0;
  while (i < n) {
    if (s[i] == kEsc) {
      if (!SkipEscapes(s, n, i, two_byte)) return last ? n : i;
      if (i == n) break;
    }
    if (!two_byte) {
      const std::size_t end = NextEsc(s, i, n);
      a.Append(s + i, end - i);
      i = end;
    } else if constexpr (Pairs) {
      if (i + 1 >= n) return last ? n : i;
      const detail::BytePair p = detail::JisToSjisFast(s[i], s[i + 1]);
      a.Ensure(2);
      a.Put(p.first, p.second);
      i += 2;
    } else {
      const std::size_t end = NextEsc(s, i, n);
      a.Ensure(end - i);
      for (; i < end; ++i) {
        const unsigned char b = s[i];
        a.Put(b >= 0x21 && b <= 0x7E ? static_cast<unsigned char>(b | 0x80) : b);
      }
    }
  }
  return n;
}

template <detail::CodeCore Core>
void RunOnce(std::string_view line, std::string& out) {
  bool two_byte = false;
  Core(line, true, two_byte, out);
}

template <void (*Convert)(std::string_view, std::string&)>
std::string Returning(std::string_view line) {
  std::string out;
  Convert(line, out);
  return out;
}

}  // namespace

namespace detail {

std::size_t JisToShiftJisCore(std::string_view input, bool last, bool& two_byte, std::string& out) {
  return ReadJis<true>(input, last, two_byte, out);
}

std::size_t JisToEucCore(std::string_view input, bool last, bool& two_byte, std::string& out) {
  return ReadJis<false>(input, last, two_byte, out);
}

std::size_t EucToShiftJisCore(std::string_view input, bool last, bool&, std::string& out) {
  const unsigned char* s = Bytes(input);
  const std::size_t n = input.size();
  Appender a(out, n);
  std::size_t i = 0;
  while (i < n) {
    const std::size_t end = AsciiRunEnd(s, i, n);
    a.Append(s + i, end - i);
    i = end;
    a.Ensure(2);
    while (i < n && s[i] >= 0x80) {
      const unsigned char b = s[i];
      if (b == 0x80 || b == 0xFF) {
        a.Put(b);
        ++i;
      } else {
        if (i + 1 >= n) return last ? n : i;
        if (b == 0x8E) {
          a.Put(s[i + 1]);
        } else {
          const BytePair p = JisToSjisFast(b & 0x7F, s[i + 1] & 0x7F);
          a.Put(p.first, p.second);
        }
        i += 2;
      }
      a.Ensure(2);
    }
  }
  return n;
}

std::size_t ShiftJisToEucCore(std::string_view input, bool last, bool&, std::string& out) {
  const unsigned char* s = Bytes(input);
  const std::size_t n = input.size();
  Appender a(out, n + 16);
  std::size_t i = 0;
  while (i < n) {
    const std::size_t end = AsciiRunEnd(s, i, n);
    a.Append(s + i, end - i);
    i = end;
    a.Ensure(2);
    while (i < n && s[i] >= 0x80) {
      const unsigned char b = s[i];
      if (IsHalfKana(b)) {
        a.Put(0x8E, b);
        ++i;
      } else {
        if (i + 1 >= n) return last ? n : i;
        const BytePair j = PairToJis(b, s[i + 1]);
        a.Put(static_cast<unsigned char>(j.first | 0x80), static_cast<unsigned char>(j.second | 0x80));
        i += 2;
      }
      a.Ensure(2);
    }
  }
  return n;
}

std::size_t ShiftJisToJisCore(std::string_view input, bool last, bool& two_byte, std::string& out) {
  return WriteJis<ShiftJisSource>(input, last, two_byte, out);
}

std::size_t EucToJisCore(std::string_view input, bool last, bool& two_byte, std::string& out) {
  return WriteJis<EucSource>(input, last, two_byte, out);
}

CodeCore CoreFor(KanjiCode code, int target) noexcept {
  const bool jis = code == Jis83 || code == Jis78;
  if (target == Jis83 && code == Euc) return EucToJisCore;
  if (target == Jis83 && code == ShiftJis) return ShiftJisToJisCore;
  if (target == Euc && jis) return JisToEucCore;
  if (target == Euc && code == ShiftJis) return ShiftJisToEucCore;
  if (target == ShiftJis && jis) return JisToShiftJisCore;
  if (target == ShiftJis && code == Euc) return EucToShiftJisCore;
  return nullptr;
}

}  // namespace detail

void JisToShiftJis(std::string_view line, std::string& out) { RunOnce<detail::JisToShiftJisCore>(line, out); }
void JisToEuc(std::string_view line, std::string& out) { RunOnce<detail::JisToEucCore>(line, out); }
void EucToShiftJis(std::string_view line, std::string& out) { RunOnce<detail::EucToShiftJisCore>(line, out); }
void ShiftJisToEuc(std::string_view line, std::string& out) { RunOnce<detail::ShiftJisToEucCore>(line, out); }
void ShiftJisToJis(std::string_view line, std::string& out) { RunOnce<detail::ShiftJisToJisCore>(line, out); }
void EucToJis(std::string_view line, std::string& out) { RunOnce<detail::EucToJisCore>(line, out); }

void ConvertKanjiCode(std::string_view line, int target, std::string& out) {
  // Without a byte from 0x80 up and without ESC a line can only be ASCII or binary, which stay
  // as they are; most lines of Japanese documents are such, and this check is cheaper than the
  // classification.
  const unsigned char* s = Bytes(line);
  if (AsciiRunEnd(s, 0, line.size()) == line.size() && NextEsc(s, 0, line.size()) == line.size()) {
    out.append(line);
    return;
  }
  const detail::CodeCore core = detail::CoreFor(DetectKanjiCode(line), target);
  if (core == nullptr) {
    out.append(line);
    return;
  }
  bool two_byte = false;
  core(line, true, two_byte, out);
}

std::string JisToShiftJis(std::string_view line) { return Returning<JisToShiftJis>(line); }
std::string JisToEuc(std::string_view line) { return Returning<JisToEuc>(line); }
std::string EucToShiftJis(std::string_view line) { return Returning<EucToShiftJis>(line); }
std::string ShiftJisToEuc(std::string_view line) { return Returning<ShiftJisToEuc>(line); }
std::string ShiftJisToJis(std::string_view line) { return Returning<ShiftJisToJis>(line); }
std::string EucToJis(std::string_view line) { return Returning<EucToJis>(line); }

std::string ConvertKanjiCode(std::string_view line, int target) {
  std::string out;
  ConvertKanjiCode(line, target, out);
  return out;
}

}  // namespace sorabu::textconv
