// TREParser: recursive descent from tokens to a TREParseTree.
//
//   pattern     := alternative ( "|" alternative )*          unions, left to right
//   alternative := item*  (empty before "|", ")" or end)      concatenations, left to right
//   item        := primary ( "*" | "+" | "?" )?               p* ; p p* ; p | ()
//   primary     := literal | "(" pattern ")" | class | "." | "^" | "$"
//
// Only one postfix operator applies to a primary; a second one is taken for the next primary and
// rejected there. A negated class is the any-character set minus the listed ranges, so it never
// matches NUL, LF, CR or codes above 0xFCFC; a negated class that leaves nothing is rejected like
// an empty class. After parsing, the leaves are made disjoint.
//
// Limits: groups nest at most kMaxDepth deep (recursion stays far from the stack's end) and a
// pattern is at most kMaxPatternLength bytes (positions are 16-bit); both are ERegExpParser errors.
#pragma once

#include <cstddef>
#include <string_view>

#include "regex/parse_tree.h"
#include "regex/scanner.h"

namespace sorabu::regex {

inline constexpr std::size_t kMaxPatternLength = 65535;

class TREParser {
 public:
  static constexpr int kMaxDepth = 1000;

  explicit TREParser(std::string_view pattern = {});
  void Reset(std::string_view pattern);
  // Builds the tree (root set in tree()); throws ERegExpParser.
  void Parse();

  TREParseTree& tree() noexcept { return tree_; }
  const TREParseTree& tree() const noexcept { return tree_; }

 private:
  TREParseNode* ParsePattern();
  TREParseNode* ParseAlternative();
  TREParseNode* ParseItem();
  TREParseNode* ParsePrimary();
  TREParseNode* ParseClass();
  TREParseNode* ParseNegatedClass();
  [[noreturn]] void Fail(const char* message) const;

  TREScanner scanner_;
  TREParseTree tree_;
  int depth_ = 0;
};

}  // namespace sorabu::regex
