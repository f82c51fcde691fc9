// uuencode-style encoding and decoding of one line.
//
// Both directions are plain loops over 3-byte / 4-character groups; the encoder knows its
// output size in advance (62 characters per full chunk), so it writes through one Appender.
#include "textconv/uuencode.h"

#include "textconv/appender.h"
#include "textconv/code_core.h"
#include "textconv/jis_code.h"

namespace sorabu::textconv {
namespace {

using detail::Appender;
using detail::Bytes;
using detail::kCr;
using detail::kLf;

constexpr std::size_t kChunk = 45;
constexpr unsigned char kZero = '`';

constexpr unsigned char Char(unsigned v) {
  return v == 0 ? kZero : static_cast<unsigned char>(v + 0x20);
}
constexpr unsigned Value(unsigned char c) { return (c - 0x20u) & 0x3Fu; }

}  // namespace

namespace detail {

// Whole 45-byte chunks only, unless last: chunks do not depend on each other, so a line fed
// in pieces gives the same sub-lines.
std::size_t UuEncodeCore(std::string_view line, bool last, bool&, std::string& out) {
  const unsigned char* s = Bytes(line);
  const std::size_t n = last ? line.size() : line.size() - line.size() % kChunk;
  const std::size_t size = (n + kChunk - 1) / kChunk * 2 + (n + 2) / 3 * 4 + 2;
  Appender a(out, size);
  a.Ensure(size);
  for (std::size_t start = 0; start < n; start += kChunk) {
    const std::size_t count = n - start < kChunk ? n - start : kChunk;
    a.Put(Char(static_cast<unsigned>(count)));
    std::size_t i = start;
    const std::size_t end = start + count;
    for (; end - i >= 3; i += 3) {
      a.Put(Char(s[i] >> 2u), Char((s[i] & 3u) << 4 | s[i + 1] >> 4u));
      a.Put(Char((s[i + 1] & 15u) << 2 | s[i + 2] >> 6u), Char(s[i + 2] & 63u));
    }
    if (end - i == 1) {
      a.Put(Char(s[i] >> 2u), Char((s[i] & 3u) << 4));
      a.Put(kZero, kZero);
    } else if (end - i == 2) {
      a.Put(Char(s[i] >> 2u), Char((s[i] & 3u) << 4 | s[i + 1] >> 4u));
      a.Put(Char((s[i + 1] & 15u) << 2), kZero);
    }
    a.Put(kCr);
  }
  if (last) a.Put(kZero, kCr);
  return n;
}

}  // namespace detail

void UuEncode(std::string_view line, std::string& out) {
  bool unused = false;
  detail::UuEncodeCore(line, true, unused, out);
}

void UuDecode(std::string_view line, std::string& out) {
  const unsigned char* s = Bytes(line);
  const std::size_t n = line.size();
  Appender a(out, n / 4 * 3 + 3);
  bool at_start = true;
  unsigned remaining = 0;
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = s[i];
    if (c == kCr || c == kLf) {
      at_start = true;
      remaining = 0;
      ++i;
      continue;
    }
    if (at_start) {
      remaining = Value(c);
      at_start = false;
      ++i;
      continue;
    }
    if (remaining == 0) {
      ++i;
      continue;
    }
    if (n - i < 4) break;
    std::size_t k = 1;
    while (k < 4 && s[i + k] != kCr && s[i + k] != kLf) ++k;
    if (k < 4) {
      i += k;
      continue;
    }
    const unsigned v0 = Value(s[i]), v1 = Value(s[i + 1]), v2 = Value(s[i + 2]), v3 = Value(s[i + 3]);
    a.Ensure(3);
    a.Put(static_cast<unsigned char>((v0 << 2 | v1 >> 4) & 0xFF));
    if (remaining >= 2) a.Put(static_cast<unsigned char>((v1 << 4 | v2 >> 2) & 0xFF));
    if (remaining >= 3) a.Put(static_cast<unsigned char>((v2 << 6 | v3) & 0xFF));
    remaining = remaining > 3 ? remaining - 3 : 0;
    i += 4;
  }
}

std::string UuEncode(std::string_view line) {
  std::string out;
  UuEncode(line, out);
  return out;
}

std::string UuDecode(std::string_view line) {
  std::string out;
  UuDecode(line, out);
  return out;
}

}  // namespace sorabu::textconv
