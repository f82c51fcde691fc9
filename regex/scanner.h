// TREScanner: the tokenizer of the pattern language.
//
// A pattern is CP932 bytes read one character at a time (a lead byte and its second byte form one
// 16-bit code). Outside a class every character is a literal except the operators | ( ) * + ? [ ]
// . ^ $ and the backslash escapes; inside a class (after "[" or "[^" until "]") only "]", "-"
// between two elements and the escapes are special. The scanner keeps the start and end position
// of each token so that the dictionary preprocessor can copy tokens back as written.
//
// Choices: the end of the pattern is decided by position, not by reading code 0, so a NUL byte in
// a pattern is an ordinary literal (code 0, which no text character has) and never cuts the
// pattern short. Stepping back restores the exact position saved before a read, which is always
// a character boundary. Every fault raises ERegExpParser with the position of the next unread byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "regex/codes.h"

namespace sorabu::regex {

enum class TokenKind {
  kLiteral,
  kRange,
  kAlternation,
  kGroupOpen,
  kGroupClose,
  kClosure,
  kPositiveClosure,
  kOption,
  kClassOpen,
  kNegatedClassOpen,
  kClassClose,
  kAnyChar,
  kLineStart,
  kLineEnd,
  kEnd,
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  Code code = 0;      // the character, or the low end of a range
  Code high = 0;      // ranges only
  std::size_t start = 1;  // 1-based position of the token's first byte
  std::size_t end = 1;    // position after the token
};

class TREScanner {
 public:
  explicit TREScanner(std::string_view pattern = {});

  // Back to the start of a new pattern, normal mode.
  void Reset(std::string_view pattern);
  // Reads the next token; throws ERegExpParser on a malformed escape, class or character.
  TokenKind Next();

  const Token& Current() const noexcept { return token_; }
  Code code() const noexcept { return token_.code; }
  Code high() const noexcept { return token_.high; }
  // 1-based position of the next unread byte.
  std::size_t Position() const noexcept { return pos_ + 1; }
  std::string_view Pattern() const noexcept { return pattern_; }

  // The tokens of the whole pattern, one per line: kind, codes, start-end; for tests.
  std::string dump() const;

 private:
  bool AtEnd() const noexcept { return pos_ >= pattern_.size(); }
  Code ReadChar();
  Code ReadEscape();
  [[noreturn]] void Fail(const char* message) const;
  TokenKind ScanNormal();
  TokenKind ScanClass();

  std::string pattern_;
  std::size_t pos_ = 0;  // 0-based index of the next unread byte
  bool in_class_ = false;
  Token token_;
};

const char* TokenKindName(TokenKind kind);

// Decodes the escape whose backslash lies just before s[i] (b n r t, x and 1-4 hex digits, 1-6
// octal digits, or any character as itself) and moves i past it. Throws ERegExpParser with the
// 1-based position of the next unread byte.
Code ReadEscapeAt(std::string_view s, std::size_t& i);

}  // namespace sorabu::regex
