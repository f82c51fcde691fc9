#include "regex/nfa.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "regex/errors.h"

namespace sorabu::regex {

bool TRE_NFAStateSet::Contains(std::uint32_t s) const {
  return std::binary_search(states_.begin(), states_.end(), s);
}

std::size_t TRE_NFAStateSet::Hash() const noexcept {
  std::size_t h = 1469598103934665603ull;
  for (std::uint32_t s : states_) h = (h ^ s) * 1099511628211ull;
  return h;
}

TRE_NFA::TRE_NFA(const TREParseTree& tree, Code line_head_code, Code line_tail_code)
    : head_code_(line_head_code), tail_code_(line_tail_code) {
  NewState();
  NewState();
  Generate(tree.root());
}

std::uint32_t TRE_NFA::NewState() {
  if (edges_.size() >= kMaxStates) throw ERegExpParser(msg::kTooManyNfaStates, 0);
  edges_.emplace_back();
  empty_.emplace_back();
  return static_cast<std::uint32_t>(edges_.size() - 1);
}

void TRE_NFA::AddEdge(std::uint32_t from, Code low, Code high, std::uint32_t to) {
  if (++edge_count_ > kMaxEdges) throw ERegExpParser(msg::kTooManyNfaStates, 0);
  edges_[from].push_back({low, high, to});
}

void TRE_NFA::AddEmpty(std::uint32_t from, std::uint32_t to) {
  if (++edge_count_ > kMaxEdges) throw ERegExpParser(msg::kTooManyNfaStates, 0);
  empty_[from].push_back(to);
}

void TRE_NFA::Generate(const TREParseNode* root) {
  struct Task {
    const TREParseNode* node;
    std::uint32_t a;
    std::uint32_t b;
  };
  std::vector<Task> stack;
  if (root != nullptr) stack.push_back({root, 0, 1});
  while (!stack.empty()) {
    const Task t = stack.back();
    stack.pop_back();
    const TREParseNode* n = t.node;
    if (n == nullptr) throw std::logic_error(msg::kNfaFatal);
    switch (n->kind) {
      case NodeKind::kRange: {
        const Code low = std::max<Code>(n->low, 1);
        const Code high = std::min<Code>(n->high, kMaxTextCode);
        if (low <= high) AddEdge(t.a, low, high, t.b);
        break;
      }
      case NodeKind::kLineStart:
        if (t.a == 0) {
          has_line_head_ = true;
          AddEdge(t.a, head_code_, head_code_, t.b);
        } else {
          AddEdge(t.a, n->low, n->low, t.b);
        }
        break;
      case NodeKind::kLineEnd:
        if (t.b == 1) {
          has_line_tail_ = true;
          AddEdge(t.a, tail_code_, tail_code_, t.b);
        } else {
          AddEdge(t.a, n->low, n->low, t.b);
        }
        break;
      case NodeKind::kConcat: {
        const std::uint32_t c = NewState();
        stack.push_back({n->right, c, t.b});
        stack.push_back({n->left, t.a, c});
        break;
      }
      case NodeKind::kUnion:
        stack.push_back({n->right, t.a, t.b});
        stack.push_back({n->left, t.a, t.b});
        break;
      case NodeKind::kClosure: {
        const std::uint32_t c = NewState();
        const std::uint32_t d = NewState();
        AddEmpty(t.a, c);
        AddEmpty(d, c);
        AddEmpty(c, t.b);
        stack.push_back({n->left, c, d});
        break;
      }
      case NodeKind::kEmpty:
        AddEmpty(t.a, t.b);
        break;
    }
  }
}

TRE_NFAStateSet TRE_NFA::Closure(const std::vector<std::uint32_t>& states) const {
  if (mark_.size() < edges_.size()) mark_.assign(edges_.size(), 0);
  if (++stamp_ == 0) {
    std::fill(mark_.begin(), mark_.end(), 0);
    stamp_ = 1;
  }
  std::vector<std::uint32_t> out;
  std::vector<std::uint32_t> todo;
  for (std::uint32_t s : states) {
    if (mark_[s] == stamp_) continue;
    mark_[s] = stamp_;
    todo.push_back(s);
  }
  while (!todo.empty()) {
    const std::uint32_t s = todo.back();
    todo.pop_back();
    out.push_back(s);
    for (std::uint32_t t : empty_[s]) {
      if (mark_[t] == stamp_) continue;
      mark_[t] = stamp_;
      todo.push_back(t);
    }
  }
  std::sort(out.begin(), out.end());
  return TRE_NFAStateSet(std::move(out));
}

std::string TRE_NFA::dump() const {
  std::string out;
  char buf[64];
  for (std::size_t s = 0; s < edges_.size(); ++s) {
    std::snprintf(buf, sizeof buf, "%zu:", s);
    out += buf;
    for (const TRE_NFAEdge& e : edges_[s]) {
      std::snprintf(buf, sizeof buf, " %X-%X>%u", unsigned{e.low}, unsigned{e.high}, e.target);
      out += buf;
    }
    for (std::uint32_t t : empty_[s]) {
      std::snprintf(buf, sizeof buf, " e>%u", t);
      out += buf;
    }
    out += '\n';
  }
  out += has_line_head_ ? "head" : "-";
  out += has_line_tail_ ? " tail\n" : " -\n";
  return out;
}

}  // namespace sorabu::regex
