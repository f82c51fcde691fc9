#include "regex/parser.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "regex/errors.h"

namespace sorabu::regex {

TREParser::TREParser(std::string_view pattern) : scanner_(pattern) {}

void TREParser::Reset(std::string_view pattern) {
  scanner_.Reset(pattern);
  tree_.Clear();
  depth_ = 0;
}

void TREParser::Fail(const char* message) const {
  throw ERegExpParser(message, scanner_.Position());
}

void TREParser::Parse() {
  tree_.Clear();
  depth_ = 0;
  if (scanner_.Pattern().size() > kMaxPatternLength) {
    throw ERegExpParser(msg::kTooLong, kMaxPatternLength);
  }
  scanner_.Reset(std::string(scanner_.Pattern()));
  scanner_.Next();
  TREParseNode* root = ParsePattern();
  if (scanner_.Current().kind != TokenKind::kEnd) Fail(msg::kExtraChars);
  tree_.set_root(root);
  tree_.MakeDisjoint(scanner_.Position());
}

TREParseNode* TREParser::ParsePattern() {
  TREParseNode* node = ParseAlternative();
  while (scanner_.Current().kind == TokenKind::kAlternation) {
    scanner_.Next();
    node = tree_.MakeNode(NodeKind::kUnion, node, ParseAlternative());
  }
  return node;
}

namespace {
bool EndsAlternative(TokenKind k) {
  return k == TokenKind::kAlternation || k == TokenKind::kGroupClose || k == TokenKind::kEnd;
}
}  // namespace

TREParseNode* TREParser::ParseAlternative() {
  if (EndsAlternative(scanner_.Current().kind)) return tree_.MakeNode(NodeKind::kEmpty);
  TREParseNode* node = ParseItem();
  while (!EndsAlternative(scanner_.Current().kind)) {
    node = tree_.MakeNode(NodeKind::kConcat, node, ParseItem());
  }
  return node;
}

TREParseNode* TREParser::ParseItem() {
  TREParseNode* p = ParsePrimary();
  switch (scanner_.Current().kind) {
    case TokenKind::kClosure:
      p = tree_.MakeNode(NodeKind::kClosure, p);
      break;
    case TokenKind::kPositiveClosure:
      p = tree_.MakeNode(NodeKind::kConcat, p, tree_.MakeNode(NodeKind::kClosure, p));
      break;
    case TokenKind::kOption:
      p = tree_.MakeNode(NodeKind::kUnion, p, tree_.MakeNode(NodeKind::kEmpty));
      break;
    default:
      return p;
  }
  scanner_.Next();
  return p;
}

TREParseNode* TREParser::ParsePrimary() {
  TREParseNode* node = nullptr;
  switch (scanner_.Current().kind) {
    case TokenKind::kLiteral:
      node = tree_.Leaf(scanner_.code(), scanner_.code());
      break;
    case TokenKind::kGroupOpen:
      if (++depth_ > kMaxDepth) Fail(msg::kTooDeep);
      scanner_.Next();
      node = ParsePattern();
      if (scanner_.Current().kind != TokenKind::kGroupClose) Fail(msg::kParenNeeded);
      --depth_;
      break;
    case TokenKind::kClassOpen:
      node = ParseClass();
      if (scanner_.Current().kind != TokenKind::kClassClose) Fail(msg::kBracketNeeded);
      break;
    case TokenKind::kNegatedClassOpen:
      node = ParseNegatedClass();
      if (scanner_.Current().kind != TokenKind::kClassClose) Fail(msg::kBracketNeeded);
      break;
    case TokenKind::kAnyChar:
      node = tree_.MakeAnyChar();
      break;
    case TokenKind::kLineStart:
      node = tree_.MakeLineStart(scanner_.code());
      break;
    case TokenKind::kLineEnd:
      node = tree_.MakeLineEnd(scanner_.code());
      break;
    default:
      Fail(msg::kPrimaryNeeded);
  }
  scanner_.Next();
  return node;
}

// The scanner returns only literals, ranges and the class close inside a class.
TREParseNode* TREParser::ParseClass() {
  if (scanner_.Next() == TokenKind::kClassClose) Fail(msg::kBadClass);
  TREParseNode* node = nullptr;
  while (scanner_.Current().kind != TokenKind::kClassClose) {
    const Token& t = scanner_.Current();
    TREParseNode* leaf = tree_.Leaf(t.code, t.kind == TokenKind::kRange ? t.high : t.code);
    node = node == nullptr ? leaf : tree_.MakeNode(NodeKind::kUnion, node, leaf);
    scanner_.Next();
  }
  return node;
}

TREParseNode* TREParser::ParseNegatedClass() {
  if (scanner_.Next() == TokenKind::kClassClose) Fail(msg::kBadClass);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> excluded;
  while (scanner_.Current().kind != TokenKind::kClassClose) {
    const Token& t = scanner_.Current();
    excluded.emplace_back(t.code, t.kind == TokenKind::kRange ? t.high : t.code);
    scanner_.Next();
  }
  std::sort(excluded.begin(), excluded.end());
  // Subtract the excluded ranges from the any-character set; what stays is ascending.
  const std::pair<std::uint32_t, std::uint32_t> any[] = {{1, 9}, {11, 12}, {14, kMaxCharCode}};
  TREParseNode* node = nullptr;
  for (auto [lo, hi] : any) {
    std::uint32_t from = lo;
    for (auto [xlo, xhi] : excluded) {
      if (xhi < from || xlo > hi) continue;
      if (xlo > from) {
        TREParseNode* leaf = tree_.Leaf(static_cast<Code>(from), static_cast<Code>(xlo - 1));
        node = node == nullptr ? leaf : tree_.MakeNode(NodeKind::kUnion, node, leaf);
      }
      from = std::max(from, xhi + 1);
      if (from > hi) break;
    }
    if (from <= hi) {
      TREParseNode* leaf = tree_.Leaf(static_cast<Code>(from), static_cast<Code>(hi));
      node = node == nullptr ? leaf : tree_.MakeNode(NodeKind::kUnion, node, leaf);
    }
  }
  if (node == nullptr) Fail(msg::kBadClass);
  return node;
}

}  // namespace sorabu::regex
