#include "regex/scanner.h"

#include <cstdio>

#include "regex/errors.h"

namespace sorabu::regex {

namespace {

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

TREScanner::TREScanner(std::string_view pattern) { Reset(pattern); }

void TREScanner::Reset(std::string_view pattern) {
  pattern_.assign(pattern);
  pos_ = 0;
  in_class_ = false;
  token_ = Token{};
}

void TREScanner::Fail(const char* message) const { throw ERegExpParser(message, Position()); }

Code TREScanner::ReadChar() {
  if (AtEnd()) return kEndCode;
  const auto c = static_cast<unsigned char>(pattern_[pos_++]);
  if (!IsLead(c)) return c;
  if (AtEnd()) Fail(msg::kBadDoubleByte);
  const auto t = static_cast<unsigned char>(pattern_[pos_++]);
  return static_cast<Code>(c * 256 + t);
}

Code ReadEscapeAt(std::string_view s, std::size_t& i) {
  auto fail = [&](const char* message) { throw ERegExpParser(message, i + 1); };
  if (i >= s.size()) fail(msg::kBackslashAtEnd);
  const auto first = static_cast<unsigned char>(s[i++]);
  if (IsLead(first)) {
    if (i >= s.size()) fail(msg::kBadDoubleByte);
    return static_cast<Code>(first * 256 + static_cast<unsigned char>(s[i++]));
  }
  switch (first) {
    case 'b': return 8;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'x': {
      unsigned value = 0;
      int digits = 0;
      while (digits < 4 && i < s.size()) {
        const int h = HexValue(static_cast<unsigned char>(s[i]));
        if (h < 0) break;
        value = value * 16 + static_cast<unsigned>(h);
        ++i;
        ++digits;
      }
      if (digits == 0) fail(msg::kBadHex);
      return static_cast<Code>(value);
    }
    default:
      break;
  }
  if (first >= '0' && first <= '7') {
    unsigned value = first - '0';
    int digits = 1;
    while (digits < 6 && i < s.size()) {
      const auto d = static_cast<unsigned char>(s[i]);
      if (d < '0' || d > '7') break;
      value = value * 8 + (d - '0');
      ++i;
      ++digits;
    }
    if (value > 0xFFFF) fail(msg::kBadOctal);
    return static_cast<Code>(value);
  }
  return first;
}

// Called after the backslash has been read.
Code TREScanner::ReadEscape() { return ReadEscapeAt(pattern_, pos_); }

TokenKind TREScanner::Next() {
  token_.start = Position();
  token_.code = 0;
  token_.high = 0;
  token_.kind = in_class_ ? ScanClass() : ScanNormal();
  token_.end = Position();
  return token_.kind;
}

TokenKind TREScanner::ScanNormal() {
  if (AtEnd()) return TokenKind::kEnd;
  const Code c = ReadChar();
  token_.code = c;
  switch (c) {
    case '|': return TokenKind::kAlternation;
    case '(': return TokenKind::kGroupOpen;
    case ')': return TokenKind::kGroupClose;
    case '*': return TokenKind::kClosure;
    case '+': return TokenKind::kPositiveClosure;
    case '?': return TokenKind::kOption;
    case ']': return TokenKind::kClassClose;
    case '.': return TokenKind::kAnyChar;
    case '^': return TokenKind::kLineStart;
    case '$': return TokenKind::kLineEnd;
    case '[': {
      if (AtEnd()) Fail(msg::kBracketNeeded);
      in_class_ = true;
      if (pattern_[pos_] == '^') {
        ++pos_;
        return TokenKind::kNegatedClassOpen;
      }
      return TokenKind::kClassOpen;
    }
    case '\\':
      token_.code = ReadEscape();
      return TokenKind::kLiteral;
    default:
      return TokenKind::kLiteral;
  }
}

TokenKind TREScanner::ScanClass() {
  if (AtEnd()) Fail(msg::kBracketNeeded);
  Code a = ReadChar();
  if (a == ']') {
    in_class_ = false;
    token_.code = a;
    return TokenKind::kClassClose;
  }
  if (a == '\\') a = ReadEscape();
  token_.code = a;
  if (AtEnd()) Fail(msg::kBracketNeeded);
  const std::size_t before_dash = pos_;
  if (ReadChar() != '-') {
    pos_ = before_dash;
    return TokenKind::kLiteral;
  }
  if (AtEnd()) Fail(msg::kBracketNeeded);
  Code c = ReadChar();
  if (c == ']') {
    pos_ = before_dash;  // "-" becomes a literal of its own, "]" closes the class
    return TokenKind::kLiteral;
  }
  if (c == '\\') c = ReadEscape();
  if (c < a) Fail(msg::kBadRange);
  token_.high = c;
  return TokenKind::kRange;
}

const char* TokenKindName(TokenKind kind) {
  switch (kind) {
    case TokenKind::kLiteral: return "lit";
    case TokenKind::kRange: return "range";
    case TokenKind::kAlternation: return "or";
    case TokenKind::kGroupOpen: return "open";
    case TokenKind::kGroupClose: return "close";
    case TokenKind::kClosure: return "star";
    case TokenKind::kPositiveClosure: return "plus";
    case TokenKind::kOption: return "opt";
    case TokenKind::kClassOpen: return "class";
    case TokenKind::kNegatedClassOpen: return "nclass";
    case TokenKind::kClassClose: return "endclass";
    case TokenKind::kAnyChar: return "any";
    case TokenKind::kLineStart: return "bol";
    case TokenKind::kLineEnd: return "eol";
    case TokenKind::kEnd: return "end";
  }
  return "?";
}

std::string TREScanner::dump() const {
  TREScanner copy(pattern_);
  std::string out;
  char buf[64];
  for (;;) {
    const TokenKind kind = copy.Next();
    const Token& t = copy.Current();
    if (kind == TokenKind::kLiteral) {
      std::snprintf(buf, sizeof buf, "lit %X %zu-%zu\n", unsigned{t.code}, t.start, t.end);
    } else if (kind == TokenKind::kRange) {
      std::snprintf(buf, sizeof buf, "range %X-%X %zu-%zu\n", unsigned{t.code}, unsigned{t.high},
                    t.start, t.end);
    } else {
      std::snprintf(buf, sizeof buf, "%s %zu-%zu\n", TokenKindName(kind), t.start, t.end);
    }
    out += buf;
    if (kind == TokenKind::kEnd) break;
  }
  return out;
}

}  // namespace sorabu::regex
