#include "regex/parse_tree.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "regex/errors.h"

namespace sorabu::regex {

TREParseNode* TREParseTree::MakeNode(NodeKind kind, TREParseNode* left, TREParseNode* right) {
  auto node = std::make_unique<TREParseNode>();
  node->kind = kind;
  node->left = left;
  node->right = right;
  inner_.push_back(std::move(node));
  return inner_.back().get();
}

TREParseNode* TREParseTree::Leaf(Code low, Code high) {
  const auto key = std::make_pair(low, high);
  if (auto it = leaf_index_.find(key); it != leaf_index_.end()) return it->second;
  auto node = std::make_unique<TREParseNode>();
  node->kind = NodeKind::kRange;
  node->low = low;
  node->high = high;
  TREParseNode* leaf = node.get();
  leaf_store_.push_back(std::move(node));
  leaf_list_.push_back(leaf);
  leaf_index_.emplace(key, leaf);
  return leaf;
}

TREParseNode* TREParseTree::MakeLineStart(Code code) {
  TREParseNode* node = MakeNode(NodeKind::kLineStart);
  node->low = code;
  return node;
}

TREParseNode* TREParseTree::MakeLineEnd(Code code) {
  TREParseNode* node = MakeNode(NodeKind::kLineEnd);
  node->low = code;
  return node;
}

TREParseNode* TREParseTree::MakeAnyChar() {
  TREParseNode* low = MakeNode(NodeKind::kUnion, Leaf(1, 9), Leaf(11, 12));
  return MakeNode(NodeKind::kUnion, low, Leaf(14, kMaxCharCode));
}

void TREParseTree::MakeDisjoint(std::size_t position) {
  std::vector<std::uint32_t> bounds;
  bounds.reserve(leaf_list_.size() * 2);
  for (const TREParseNode* leaf : leaf_list_) {
    bounds.push_back(leaf->low);
    bounds.push_back(std::uint32_t{leaf->high} + 1);
  }
  std::sort(bounds.begin(), bounds.end());
  bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());

  std::size_t pieces_made = 0;
  const std::vector<TREParseNode*> snapshot = leaf_list_;
  std::vector<TREParseNode*> turned;
  for (TREParseNode* leaf : snapshot) {
    auto it = std::upper_bound(bounds.begin(), bounds.end(), std::uint32_t{leaf->low});
    if (it == bounds.end() || *it > leaf->high) continue;  // already elementary
    std::vector<TREParseNode*> pieces;
    std::uint32_t from = leaf->low;
    for (; it != bounds.end() && *it <= leaf->high; ++it) {
      pieces.push_back(Leaf(static_cast<Code>(from), static_cast<Code>(*it - 1)));
      from = *it;
    }
    pieces.push_back(Leaf(static_cast<Code>(from), leaf->high));
    pieces_made += pieces.size();
    if (pieces_made > kMaxPieces) throw ERegExpParser(msg::kTooManyRanges, position);
    // The leaf keeps its identity and becomes ((p0 | p1) | p2) ...
    TREParseNode* acc = pieces[0];
    for (std::size_t i = 1; i + 1 < pieces.size(); ++i) acc = MakeNode(NodeKind::kUnion, acc, pieces[i]);
    if (acc == nullptr || pieces.back() == nullptr) throw std::logic_error(msg::kTreeFatal);
    turned.push_back(leaf);
    leaf_index_.erase(std::make_pair(leaf->low, leaf->high));
    leaf->kind = NodeKind::kUnion;
    leaf->left = acc;
    leaf->right = pieces.back();
    leaf->low = leaf->high = 0;
  }
  if (!turned.empty()) {
    std::sort(turned.begin(), turned.end());
    std::erase_if(leaf_list_, [&](TREParseNode* n) {
      return std::binary_search(turned.begin(), turned.end(), n);
    });
  }
}

void TREParseTree::Clear() {
  root_ = nullptr;
  leaf_index_.clear();
  leaf_list_.clear();
  leaf_store_.clear();
  inner_.clear();
}

namespace {

void AppendCodeText(std::string& out, Code c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
    out.push_back(static_cast<char>(c));
  } else {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X", unsigned{c});
    out += buf;
  }
}

void Dump(const TREParseNode* n, std::string& out) {
  if (n == nullptr) {
    out += "null";
    return;
  }
  switch (n->kind) {
    case NodeKind::kRange:
      out += '[';
      AppendCodeText(out, n->low);
      if (n->high != n->low) {
        out += '-';
        AppendCodeText(out, n->high);
      }
      out += ']';
      return;
    case NodeKind::kLineStart: out += '^'; return;
    case NodeKind::kLineEnd: out += '$'; return;
    case NodeKind::kEmpty: out += "()"; return;
    case NodeKind::kClosure:
      out += "(star ";
      Dump(n->left, out);
      out += ')';
      return;
    case NodeKind::kConcat:
    case NodeKind::kUnion:
      out += n->kind == NodeKind::kConcat ? "(cat " : "(or ";
      Dump(n->left, out);
      out += ' ';
      Dump(n->right, out);
      out += ')';
      return;
  }
}

}  // namespace

std::string TREParseTree::DumpNode(const TREParseNode* node) {
  std::string out;
  Dump(node, out);
  return out;
}

std::string TREParseTree::dump() const { return DumpNode(root_); }

}  // namespace sorabu::regex
