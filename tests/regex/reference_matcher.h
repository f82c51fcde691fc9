// A slow, obviously correct matcher for generated patterns, used only to check the engine.
//
// The generator builds a small syntax tree and prints it as a pattern; the reference matcher
// works on that tree, not on the engine's parse: for a start character i it computes the set of
// end characters by plain set operations (a closure is a fixpoint). The leftmost start with any
// end, and the largest end there, is the match. "^" is only ever the first item of a whole
// pattern and "$" the last, and texts hold no CR or LF, so the anchors mean the text's two ends.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace sorabu::regex::test {

struct RNode {
  enum Kind { kChars, kAny, kCat, kAlt, kStar, kPlus, kOpt, kBol, kEol } kind = kChars;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;  // kChars
  bool negated = false;
  std::vector<RNode> kids;
};

struct Alphabet {
  std::vector<std::uint32_t> chars;                                  // literal characters
  std::vector<std::pair<std::uint32_t, std::uint32_t>> class_items;  // class members
};

inline void AppendChar(std::string& out, std::uint32_t c) {
  if (c > 0xFF) out.push_back(static_cast<char>(c >> 8));
  out.push_back(static_cast<char>(c & 0xFF));
}

class PatternGenerator {
 public:
  PatternGenerator(Alphabet alphabet, std::uint32_t seed) : alphabet_(std::move(alphabet)), rng_(seed) {}

  // A random pattern tree, anchored at either end now and then.
  RNode Generate(int depth, bool anchors) {
    RNode body = Node(depth);
    if (!anchors) return body;
    const int r = Pick(4);
    if (r == 0) return body;
    RNode cat;
    cat.kind = RNode::kCat;
    if (r != 2) cat.kids.push_back(RNode{RNode::kBol, {}, false, {}});
    cat.kids.push_back(std::move(body));
    if (r != 1) cat.kids.push_back(RNode{RNode::kEol, {}, false, {}});
    return cat;
  }

  int Pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint32_t>(n)); }

  std::string Text(const std::vector<std::string>& pieces, int max_len) {
    std::string s;
    const int n = Pick(max_len + 1);
    for (int i = 0; i < n; ++i) s += pieces[static_cast<std::size_t>(Pick(static_cast<int>(pieces.size())))];
    return s;
  }

 private:
  RNode Leaf() {
    RNode n;
    const int r = Pick(10);
    if (r < 6) {
      const std::uint32_t c = alphabet_.chars[static_cast<std::size_t>(Pick(static_cast<int>(alphabet_.chars.size())))];
      n.ranges.push_back({c, c});
    } else if (r < 7) {
      n.kind = RNode::kAny;
    } else {
      n.negated = r == 9;
      const int k = 1 + Pick(2);
      for (int i = 0; i < k; ++i) {
        n.ranges.push_back(alphabet_.class_items[static_cast<std::size_t>(
            Pick(static_cast<int>(alphabet_.class_items.size())))]);
      }
    }
    return n;
  }

  RNode Node(int depth) {
    if (depth <= 0) return Leaf();
    const int r = Pick(10);
    RNode n;
    if (r < 3) return Leaf();
    if (r < 6) {
      n.kind = RNode::kCat;
      const int k = 2 + Pick(2);
      for (int i = 0; i < k; ++i) n.kids.push_back(Node(depth - 1));
    } else if (r < 8) {
      n.kind = RNode::kAlt;
      n.kids.push_back(Node(depth - 1));
      n.kids.push_back(Node(depth - 1));
    } else {
      const int op = Pick(3);
      n.kind = op == 0 ? RNode::kStar : op == 1 ? RNode::kPlus : RNode::kOpt;
      n.kids.push_back(Node(depth - 1));
    }
    return n;
  }

  Alphabet alphabet_;
  std::mt19937 rng_;
};

// The pattern text of a tree; alternations and repeated composites are put in parentheses.
inline void Print(const RNode& n, std::string& out, bool top = false) {
  switch (n.kind) {
    case RNode::kChars:
      if (n.ranges.size() == 1 && !n.negated && n.ranges[0].first == n.ranges[0].second &&
          n.ranges[0].first != '[') {
        AppendChar(out, n.ranges[0].first);
        return;
      }
      out += n.negated ? "[^" : "[";
      for (auto [lo, hi] : n.ranges) {
        AppendChar(out, lo);
        if (hi != lo) {
          out += '-';
          AppendChar(out, hi);
        }
      }
      out += ']';
      return;
    case RNode::kAny: out += '.'; return;
    case RNode::kBol: out += '^'; return;
    case RNode::kEol: out += '$'; return;
    case RNode::kCat:
      for (const RNode& k : n.kids) {
        const bool paren = k.kind == RNode::kAlt;
        if (paren) out += '(';
        Print(k, out);
        if (paren) out += ')';
      }
      return;
    case RNode::kAlt: {
      if (!top) out += '(';
      Print(n.kids[0], out);
      out += '|';
      Print(n.kids[1], out);
      if (!top) out += ')';
      return;
    }
    case RNode::kStar:
    case RNode::kPlus:
    case RNode::kOpt: {
      const RNode& k = n.kids[0];
      const bool atom = k.kind == RNode::kChars || k.kind == RNode::kAny;
      if (!atom) out += '(';
      Print(k, out, true);
      if (!atom) out += ')';
      out += n.kind == RNode::kStar ? '*' : n.kind == RNode::kPlus ? '+' : '?';
      return;
    }
  }
}

inline std::string PatternText(const RNode& n) {
  std::string out;
  Print(n, out, true);
  return out;
}

// Characters of a text: code and byte offset; a lead byte takes the next byte with it.
struct RText {
  std::vector<std::uint32_t> codes;
  std::vector<std::size_t> offsets;  // one more than codes: the end
};

inline RText Decode(const std::string& s) {
  RText t;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    t.offsets.push_back(i);
    if (lead && i + 1 < s.size()) {
      t.codes.push_back(b * 256u + static_cast<unsigned char>(s[i + 1]));
      i += 2;
    } else {
      t.codes.push_back(b);
      i += 1;
    }
  }
  t.offsets.push_back(s.size());
  return t;
}

class ReferenceMatcher {
 public:
  ReferenceMatcher(const RNode& root, const RText& text) : root_(root), text_(text) {}

  // Whether some match of at least one character starts at character i.
  bool MatchesNonEmptyFrom(std::size_t i) const {
    const std::vector<bool> ends = Ends(root_, i);
    for (std::size_t e = i + 1; e < ends.size(); ++e) {
      if (ends[e]) return true;
    }
    return false;
  }

  // Leftmost start at or after character `from` and its longest end, as character indices.
  bool Search(std::size_t from, std::size_t& start, std::size_t& end) const {
    for (std::size_t i = from; i <= text_.codes.size(); ++i) {
      const std::vector<bool> ends = Ends(root_, i);
      for (std::size_t e = ends.size(); e-- > 0;) {
        if (ends[e]) {
          start = i;
          end = e;
          return true;
        }
      }
    }
    return false;
  }

 private:
  using Set = std::vector<bool>;

  static bool InAny(std::uint32_t c) {
    return (c >= 1 && c <= 9) || c == 11 || c == 12 || (c >= 14 && c <= 0xFCFC);
  }

  bool Accepts(const RNode& n, std::uint32_t c) const {
    if (n.kind == RNode::kAny) return InAny(c);
    bool listed = false;
    for (auto [lo, hi] : n.ranges) listed = listed || (c >= lo && c <= hi);
    return n.negated ? InAny(c) && !listed : listed && c != 0;
  }

  Set From(const RNode& n, const Set& starts) const {
    Set out(text_.codes.size() + 1, false);
    for (std::size_t i = 0; i < starts.size(); ++i) {
      if (!starts[i]) continue;
      const Set e = Ends(n, i);
      for (std::size_t k = 0; k < e.size(); ++k) out[k] = out[k] || e[k];
    }
    return out;
  }

  Set Ends(const RNode& n, std::size_t i) const {
    const std::size_t len = text_.codes.size();
    Set out(len + 1, false);
    switch (n.kind) {
      case RNode::kChars:
      case RNode::kAny:
        if (i < len && Accepts(n, text_.codes[i])) out[i + 1] = true;
        return out;
      case RNode::kBol:
        out[i] = i == 0;
        return out;
      case RNode::kEol:
        out[i] = i == len;
        return out;
      case RNode::kCat: {
        Set cur(len + 1, false);
        cur[i] = true;
        for (const RNode& k : n.kids) cur = From(k, cur);
        return cur;
      }
      case RNode::kAlt: {
        Set a = Ends(n.kids[0], i);
        const Set b = Ends(n.kids[1], i);
        for (std::size_t k = 0; k <= len; ++k) a[k] = a[k] || b[k];
        return a;
      }
      case RNode::kOpt: {
        Set a = Ends(n.kids[0], i);
        a[i] = true;
        return a;
      }
      case RNode::kStar:
      case RNode::kPlus: {
        Set reach(len + 1, false);
        reach[i] = true;
        Set frontier = reach;
        Set once(len + 1, false);
        for (;;) {
          const Set next = From(n.kids[0], frontier);
          bool grew = false;
          Set fresh(len + 1, false);
          for (std::size_t k = 0; k <= len; ++k) {
            if (next[k]) once[k] = true;
            if (next[k] && !reach[k]) {
              reach[k] = fresh[k] = grew = true;
            }
          }
          if (!grew) break;
          frontier = fresh;
        }
        return n.kind == RNode::kStar ? reach : once;
      }
    }
    return out;
  }

  const RNode& root_;
  const RText& text_;
};

// GSub as the engine's steps define it, over the reference search, with the replacement "<&>".
inline std::string ReferenceGSub(const RNode& root, const std::string& s, int& count) {
  const RText text = Decode(s);
  const ReferenceMatcher m(root, text);
  count = 0;
  std::size_t a = 0, b = 0;
  if (!m.Search(0, a, b)) return s;
  if (s.empty()) {
    count = 1;
    return "<>";
  }
  std::string out;
  std::size_t pos = 0;  // in characters
  for (;;) {
    const std::size_t ba = text.offsets[a], bb = text.offsets[b];
    out += s.substr(text.offsets[pos], ba - text.offsets[pos]);
    out += "<" + s.substr(ba, bb - ba) + ">";
    ++count;
    pos = b;
    if (a == b && pos < text.codes.size()) {
      out += s.substr(text.offsets[pos], text.offsets[pos + 1] - text.offsets[pos]);
      ++pos;
    }
    if (pos >= text.codes.size() || !m.Search(pos, a, b)) break;
  }
  out += s.substr(text.offsets[pos]);
  return out;
}

}  // namespace sorabu::regex::test
