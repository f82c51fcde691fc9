#include "regex/dfa.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <unordered_map>

#include "regex/errors.h"

namespace sorabu::regex {

namespace {

struct SetHash {
  std::size_t operator()(const TRE_NFAStateSet& s) const noexcept { return s.Hash(); }
};

struct Event {
  std::uint32_t pos;
  int delta;
  std::uint32_t target;
  bool operator<(const Event& o) const noexcept { return pos < o.pos; }
};

}  // namespace

TRE_DFA::TRE_DFA(const TRE_NFA& nfa, std::size_t budget_bytes)
    : has_line_head_(nfa.has_line_head()), has_line_tail_(nfa.has_line_tail()) {
  Build(nfa, budget_bytes);
  DescribeLiteral();
}

std::int32_t TRE_DFA::NextSlow(const TRE_DFAState& st, Code c) {
  const auto& tr = st.transitions;
  auto it = std::upper_bound(tr.begin(), tr.end(), c,
                             [](Code v, const TRE_DFATransition& t) { return v < t.low; });
  if (it == tr.begin()) return kNone;
  --it;
  return c <= it->high ? it->target : kNone;
}

void TRE_DFA::Build(const TRE_NFA& nfa, std::size_t budget_bytes) {
  std::unordered_map<TRE_NFAStateSet, std::int32_t, SetHash> index;
  std::size_t used = 0;
  std::size_t work = 0;
  auto find_or_add = [&](TRE_NFAStateSet set) -> std::int32_t {
    if (auto it = index.find(set); it != index.end()) return it->second;
    used += sizeof(TRE_DFAState) + 64 + set.states().size() * 2 * sizeof(std::uint32_t);
    if (used > budget_bytes) throw ERegExpParser(msg::kDfaTooLarge, 0);
    const auto id = static_cast<std::int32_t>(states_.size());
    TRE_DFAState st;
    st.accepting = set.Contains(1);
    st.set = set;
    states_.push_back(std::move(st));
    index.emplace(std::move(set), id);
    return id;
  };
  find_or_add(nfa.Closure({0}));

  std::vector<Event> events;
  std::vector<std::uint32_t> active;         // targets covering the current interval, ascending
  std::vector<int> cover(nfa.size(), 0);     // how many edges cover it, per target
  std::map<std::vector<std::uint32_t>, std::int32_t> targets_seen;
  for (std::size_t i = 0; i < states_.size(); ++i) {
    events.clear();
    targets_seen.clear();
    for (std::uint32_t s : states_[i].set.states()) {
      for (const TRE_NFAEdge& e : nfa.edges(s)) {
        events.push_back({e.low, +1, e.target});
        events.push_back({std::uint32_t{e.high} + 1, -1, e.target});
      }
    }
    // Time matters as much as memory: a pattern whose states are large and many can take
    // seconds to reach the memory budget, so the edges examined are counted too.
    work += states_[i].set.states().size() + events.size();
    if (work > kMaxWork) throw ERegExpParser(msg::kDfaTooLarge, 0);
    std::sort(events.begin(), events.end());
    std::vector<TRE_DFATransition> trans;
    std::vector<std::uint32_t> key;
    for (std::size_t k = 0; k < events.size();) {
      const std::uint32_t pos = events[k].pos;
      for (; k < events.size() && events[k].pos == pos; ++k) {
        const std::uint32_t t = events[k].target;
        const bool was = cover[t] > 0;
        cover[t] += events[k].delta;
        const bool is = cover[t] > 0;
        if (was == is) continue;
        const auto at = std::lower_bound(active.begin(), active.end(), t);
        if (is) {
          active.insert(at, t);
        } else {
          active.erase(at);
        }
      }
      if (active.empty() || k == events.size()) continue;
      const std::uint32_t end = events[k].pos - 1;  // interval [pos, end]
      key.assign(active.begin(), active.end());
      std::int32_t target;
      if (auto it = targets_seen.find(key); it != targets_seen.end()) {
        target = it->second;
      } else {
        target = find_or_add(nfa.Closure(key));
        targets_seen.emplace(key, target);
      }
      if (!trans.empty() && trans.back().target == target && trans.back().high + 1u == pos) {
        trans.back().high = static_cast<Code>(end);
      } else {
        trans.push_back({static_cast<Code>(pos), static_cast<Code>(end), target});
      }
    }
    used += trans.size() * sizeof(TRE_DFATransition);
    if (used > budget_bytes) throw ERegExpParser(msg::kDfaTooLarge, 0);
    states_[i].transitions = std::move(trans);
  }
  BuildByteTable(used, budget_bytes);
}

void TRE_DFA::BuildByteTable(std::size_t used, std::size_t budget_bytes) {
  std::array<bool, 257> cut{};
  for (const TRE_DFAState& st : states_) {
    for (const TRE_DFATransition& t : st.transitions) {
      if (t.low > 255) break;
      cut[t.low] = true;
      cut[std::min<unsigned>(t.high, 255) + 1u] = true;
    }
  }
  std::size_t cls = 0;
  for (unsigned c = 0; c < 256; ++c) {
    if (c > 0 && cut[c]) ++cls;
    byte_class_[c] = static_cast<std::uint8_t>(cls);
  }
  class_count_ = cls + 1;
  if (used + states_.size() * class_count_ * sizeof(std::int32_t) > budget_bytes) {
    throw ERegExpParser(msg::kDfaTooLarge, 0);
  }
  table_.assign(states_.size() * class_count_, kNone);
  for (std::size_t s = 0; s < states_.size(); ++s) {
    for (const TRE_DFATransition& t : states_[s].transitions) {
      if (t.low > 255) break;
      for (unsigned c = t.low; c <= std::min<unsigned>(t.high, 255); ++c) {
        table_[s * class_count_ + byte_class_[c]] = t.target;
      }
    }
  }
}

void TRE_DFA::DescribeLiteral() {
  std::int32_t s = initial();
  std::vector<Code> text;
  for (std::size_t steps = 0; steps <= states_.size(); ++steps) {
    const TRE_DFAState& st = states_[static_cast<std::size_t>(s)];
    if (st.transitions.empty()) {
      is_literal_ = st.accepting && text.size() <= kMaxLiteral;
      if (is_literal_) literal_ = std::move(text);
      return;
    }
    if (st.transitions.size() > 1 || st.accepting) return;
    const TRE_DFATransition& t = st.transitions.front();
    if (t.low != t.high) return;
    text.push_back(t.low);
    s = t.target;
  }
}

std::string TRE_DFA::dump() const {
  std::string out;
  char buf[64];
  for (std::size_t s = 0; s < states_.size(); ++s) {
    std::snprintf(buf, sizeof buf, "%zu%s:", s, states_[s].accepting ? " A" : "");
    out += buf;
    for (const TRE_DFATransition& t : states_[s].transitions) {
      if (t.low == t.high) {
        std::snprintf(buf, sizeof buf, " %X>%d", unsigned{t.low}, t.target);
      } else {
        std::snprintf(buf, sizeof buf, " %X-%X>%d", unsigned{t.low}, unsigned{t.high}, t.target);
      }
      out += buf;
    }
    out += '\n';
  }
  if (is_literal_) {
    out += "literal:";
    for (Code c : literal_) {
      std::snprintf(buf, sizeof buf, " %X", unsigned{c});
      out += buf;
    }
    out += '\n';
  } else {
    out += "literal: -\n";
  }
  return out;
}

}  // namespace sorabu::regex
