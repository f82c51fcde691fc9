// BinHex-style encoding and decoding of one line.
//
// The encoder writes groups in runs of sixteen, after which the line break falls: 16 groups
// are 64 characters, and with the opening colon counted first the 64th character is the third
// of the sixteenth group. The decoder reads values through a 256-entry inverse table in which
// every byte outside the alphabet is the end mark.
#include "textconv/binhex.h"

#include <array>

#include "textconv/appender.h"
#include "textconv/code_core.h"
#include "textconv/jis_code.h"

namespace sorabu::textconv {
namespace {

using detail::Appender;
using detail::Bytes;
using detail::kCr;
using detail::kLf;

constexpr char kAlphabet[] = "!\"#$%&'()*+,-012345689@ABCDEFGHIJKLMNPQRSTUVXYZ[`abcdefhijklmpqr";
constexpr unsigned char kEnd = 0xFF;

constexpr auto kInverse = [] {
  std::array<unsigned char, 256> t{};
  t.fill(kEnd);
  for (unsigned char v = 0; v < 64; ++v) t[static_cast<unsigned char>(kAlphabet[v])] = v;
  return t;
}();

constexpr unsigned char Char(unsigned v) { return static_cast<unsigned char>(kAlphabet[v & 63]); }

}  // namespace

namespace detail {

// Unless last, whole runs of sixteen groups (48 bytes) only, so that the breaks fall where
// they fall in the whole line; started says whether the opening colon has been written.
std::size_t BinHexEncodeCore(std::string_view line, bool last, bool& started, std::string& out) {
  const unsigned char* s = Bytes(line);
  const std::size_t n = last ? line.size() : line.size() - line.size() % 48;
  const std::size_t size = (n + 2) / 3 * 4 + n / 48 + 2;
  Appender a(out, size);
  a.Ensure(size);
  if (!started) a.Put(':');
  started = true;
  std::size_t i = 0;
  for (std::size_t group = 1; n - i >= 3; i += 3, ++group) {
    a.Put(Char(s[i] >> 2u), Char((s[i] & 3u) << 4 | s[i + 1] >> 4u),
          Char((s[i + 1] & 15u) << 2 | s[i + 2] >> 6u));
    if (group % 16 == 0) a.Put(kCr);
    a.Put(Char(s[i + 2]));
  }
  if (!last) return n;
  if (n - i == 1) {
    a.Put(Char(s[i] >> 2u), Char((s[i] & 3u) << 4));
  } else if (n - i == 2) {
    a.Put(Char(s[i] >> 2u), Char((s[i] & 3u) << 4 | s[i + 1] >> 4u), Char((s[i + 1] & 15u) << 2));
  }
  a.Put(':');
  started = false;
  return n;
}

}  // namespace detail

void BinHexEncode(std::string_view line, std::string& out) {
  bool started = false;
  detail::BinHexEncodeCore(line, true, started, out);
}

void BinHexDecode(std::string_view line, std::string& out) {
  const unsigned char* s = Bytes(line);
  const std::size_t n = line.size();
  Appender a(out, n / 4 * 3 + 3);
  std::size_t i = 1;
  const auto next = [&]() -> unsigned {
    while (i < n && (s[i] == kCr || s[i] == kLf)) ++i;
    return i < n ? kInverse[s[i++]] : kEnd;
  };
  for (;;) {
    const unsigned e = next();
    if (e == kEnd) return;
    const unsigned f = next();
    if (f == kEnd) return;
    const unsigned g = next();
    a.Ensure(3);
    a.Put(static_cast<unsigned char>((e << 2 | f >> 4) & 0xFF));
    if (g == kEnd) return;
    const unsigned h = next();
    a.Put(static_cast<unsigned char>((f << 4 | g >> 2) & 0xFF));
    if (h == kEnd) return;
    a.Put(static_cast<unsigned char>((g << 6 | h) & 0xFF));
  }
}

std::string BinHexEncode(std::string_view line) {
  std::string out;
  BinHexEncode(line, out);
  return out;
}

std::string BinHexDecode(std::string_view line) {
  std::string out;
  BinHexDecode(line, out);
  return out;
}

}  // namespace sorabu::textconv
