// Mail-header encoded words.
//
// The encoder copies single bytes straight through and hands each run of double-byte
// characters, a contiguous stretch of the input, to ShiftJisToJis and Base64Encode; a scratch
// string holds the JIS text of one run. The JIS text of a word ends with ESC ( J because a
// word must leave the decoder in single-byte mode (RFC 1468, RFC 2047). The decoder still
// appends ESC ( J after each decoded word, for words written by encoders that omit it; the
// JIS readers of this library accept the two sequences in a row.
//
// The decoder makes a single pass: what a word decodes to is not searched for further
// prefixes, which keeps it linear and stops text from being decoded twice.
#include "textconv/mail_header.h"

#include "textconv/base64.h"
#include "textconv/cp932.h"
#include "textconv/jis_euc_sjis.h"

namespace sorabu::textconv {
namespace {

constexpr std::string_view kPrefix = "=?ISO-2022-JP?B?";
constexpr std::string_view kSuffix = "?=";
constexpr std::string_view kLeaveTwoByte = "\x1B(J";

bool HasPrefixAt(std::string_view s, std::size_t i) {
  if (s.size() - i < kPrefix.size()) return false;
  for (std::size_t k = 0; k < kPrefix.size(); ++k) {
    char c = s[i + k];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kPrefix[k]) return false;
  }
  return true;
}

std::size_t FindPrefix(std::string_view s, std::size_t from) {
  for (std::size_t i = s.find('=', from); i != std::string_view::npos; i = s.find('=', i + 1)) {
    if (HasPrefixAt(s, i)) return i;
  }
  return std::string_view::npos;
}

}  // namespace

void MailHeaderEncode(std::string_view line, std::string& out) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(line[i]); };
  const std::size_t n = line.size();
  out.reserve(out.size() + n + n / 2);
  std::string jis;
  std::size_t i = 0;
  while (i < n) {
    const std::size_t start = i;
    if (IsLeadByte(byte(i))) {
      while (i < n && IsLeadByte(byte(i))) i = n - i >= 2 ? i + 2 : n;
      jis.clear();
      ShiftJisToJis(line.substr(start, i - start), jis);
      if (jis.empty()) continue;  // a lone lead byte at the end: no character to encode
      out.append(kPrefix);
      Base64Encode(jis, out);
      out.append(kSuffix);
    } else {
      while (i < n && !IsLeadByte(byte(i))) ++i;
      out.append(line.substr(start, i - start));
    }
  }
}

void MailHeaderDecode(std::string_view line, std::string& out) {
  out.reserve(out.size() + line.size());
  std::size_t pos = 0;
  // Once no "?=" follows some point, none follows any later one: the remaining prefixes are
  // only removed, without searching the rest of the line again for each of them.
  bool suffix_left = true;
  while (pos < line.size()) {
    const std::size_t word = FindPrefix(line, pos);
    if (word == std::string_view::npos) break;
    out.append(line.substr(pos, word - pos));
    const std::size_t payload = word + kPrefix.size();
    const std::size_t end = suffix_left ? line.find(kSuffix, payload) : std::string_view::npos;
    if (end == std::string_view::npos) {
      suffix_left = false;
      pos = payload;
      continue;
    }
    Base64Decode(line.substr(payload, end - payload), out);
    out.append(kLeaveTwoByte);
    pos = end + kSuffix.size();
  }
  if (pos < line.size()) out.append(line.substr(pos));
}

std::string MailHeaderEncode(std::string_view line) {
  std::string out;
  MailHeaderEncode(line, out);
  return out;
}

std::string MailHeaderDecode(std::string_view line) {
  std::string out;
  MailHeaderDecode(line, out);
  return out;
}

}  // namespace sorabu::textconv
