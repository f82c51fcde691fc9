// Base64 encoding and decoding of one line.
//
// The encoder looks up twelve bits at a time in a 4096-entry table of character pairs, so
// three input bytes cost two loads and two 16-bit stores. The decoder maps characters through
// a 256-entry table whose values above 63 mark padding and characters to skip; a group of four
// plain alphabet characters, by far the common case, is decoded without any test on its own.
// The decoder is also a resumable core (code_core.h) that stops before an incomplete group.
#include "textconv/base64.h"

#include <array>
#include <cstdint>

#include "textconv/appender.h"
#include "textconv/code_core.h"

namespace sorabu::textconv {
namespace {

using detail::Appender;
using detail::Bytes;

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr auto kPairTable = [] {
  std::array<std::array<unsigned char, 2>, 4096> t{};
  for (std::size_t v = 0; v < 4096; ++v) {
    t[v][0] = static_cast<unsigned char>(kAlphabet[v >> 6]);
    t[v][1] = static_cast<unsigned char>(kAlphabet[v & 63]);
  }
  return t;
}();

constexpr unsigned char kPad = 64;
constexpr unsigned char kSkip = 0xFF;

constexpr auto kDecodeTable = [] {
  std::array<unsigned char, 256> t{};
  t.fill(kSkip);
  for (unsigned char v = 0; v < 64; ++v) t[static_cast<unsigned char>(kAlphabet[v])] = v;
  t['='] = kPad;
  return t;
}();

// Writes the bytes of one group of up to four values; count is how many values there are.
void PutGroup(Appender& a, const unsigned char v[4], int count) {
  if (count < 2 || v[0] == kPad || v[1] == kPad) return;
  a.Ensure(3);
  a.Put(static_cast<unsigned char>((v[0] << 2 | v[1] >> 4) & 0xFF));
  if (count < 3 || v[2] == kPad) return;
  a.Put(static_cast<unsigned char>((v[1] << 4 | v[2] >> 2) & 0xFF));
  if (count < 4 || v[3] == kPad) return;
  a.Put(static_cast<unsigned char>((v[2] << 6 | v[3]) & 0xFF));
}

}  // namespace

void Base64Encode(std::string_view line, std::string& out) {
  const unsigned char* s = Bytes(line);
  const std::size_t n = line.size();
  Appender a(out, (n + 2) / 3 * 4);
  a.Ensure((n + 2) / 3 * 4);
  unsigned char* p = a.Cursor();
  std::size_t i = 0;
  for (; n - i >= 3; i += 3) {
    const std::uint32_t v = static_cast<std::uint32_t>(s[i] << 16 | s[i + 1] << 8 | s[i + 2]);
    const auto& hi = kPairTable[v >> 12];
    const auto& lo = kPairTable[v & 0xFFF];
    p[0] = hi[0];
    p[1] = hi[1];
    p[2] = lo[0];
    p[3] = lo[1];
    p += 4;
  }
  if (n - i == 1) {
    p[0] = static_cast<unsigned char>(kAlphabet[s[i] >> 2]);
    p[1] = static_cast<unsigned char>(kAlphabet[(s[i] & 3) << 4]);
    p[2] = '=';
    p[3] = '=';
    p += 4;
  } else if (n - i == 2) {
    p[0] = static_cast<unsigned char>(kAlphabet[s[i] >> 2]);
    p[1] = static_cast<unsigned char>(kAlphabet[(s[i] & 3) << 4 | s[i + 1] >> 4]);
    p[2] = static_cast<unsigned char>(kAlphabet[(s[i + 1] & 15) << 2]);
    p[3] = '=';
    p += 4;
  }
  a.Advance(static_cast<std::size_t>(p - a.Cursor()));
}

namespace detail {

std::size_t Base64DecodeCore(std::string_view line, bool last, bool&, std::string& out) {
  const unsigned char* s = Bytes(line);
  const std::size_t n = line.size();
  Appender a(out, n / 4 * 3 + 3);
  std::size_t i = 0;
  unsigned char v[4] = {};
  int count = 0;
  std::size_t group_start = 0;
  while (i < n) {
    if (count == 0) {
      a.Ensure((n - i) / 4 * 3 + 3);
      unsigned char* p = a.Cursor();
      unsigned char* const start = p;
      while (n - i >= 4) {
        const unsigned char a0 = kDecodeTable[s[i]], a1 = kDecodeTable[s[i + 1]],
                            a2 = kDecodeTable[s[i + 2]], a3 = kDecodeTable[s[i + 3]];
        if ((a0 | a1 | a2 | a3) >= 64) break;
        p[0] = static_cast<unsigned char>((a0 << 2 | a1 >> 4) & 0xFF);
        p[1] = static_cast<unsigned char>((a1 << 4 | a2 >> 2) & 0xFF);
        p[2] = static_cast<unsigned char>((a2 << 6 | a3) & 0xFF);
        p += 3;
        i += 4;
      }
      a.Advance(static_cast<std::size_t>(p - start));
      if (i == n) break;
    }
    const unsigned char value = kDecodeTable[s[i++]];
    if (value == kSkip) continue;
    if (count == 0) group_start = i - 1;
    v[count++] = value;
    if (count == 4) {
      PutGroup(a, v, 4);
      count = 0;
    }
  }
  // An incomplete group may be completed by the next piece: it is read again from its start.
  if (!last && count != 0) return group_start;
  PutGroup(a, v, count);
  return n;
}

}  // namespace detail

void Base64Decode(std::string_view line, std::string& out) {
  bool unused = false;
  detail::Base64DecodeCore(line, true, unused, out);
}

std::string Base64Encode(std::string_view line) {
  std::string out;
  Base64Encode(line, out);
  return out;
}

std::string Base64Decode(std::string_view line) {
  std::string out;
  Base64Decode(line, out);
  return out;
}

}  // namespace sorabu::textconv
