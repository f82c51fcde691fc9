#include "regex/lockstep_scan.h"

#include <algorithm>

namespace sorabu::regex {

namespace {

constexpr std::int32_t kUnknown = -2;
constexpr std::uint8_t kDecided = 1;
constexpr std::uint8_t kNewGroup = 2;
constexpr std::uint8_t kScattered = 4;  // the kept groups are listed in the pool

// Per automaton state.
constexpr std::uint8_t kAccepting = 1;
constexpr std::uint8_t kTailable = 2;        // has a "$" transition
constexpr std::uint8_t kGoesOnAtLineEnd = 4;  // has a transition on the line-end character

// A list entry: automaton state * 2, plus 1 where a start's walks begin. The key of a state is
// its list followed by 1 when a walk has already succeeded (new starts then stop), else 0.
std::int32_t StateOf(std::int32_t entry) { return entry >> 1; }
bool OpensGroup(std::int32_t entry) { return (entry & 1) != 0; }

}  // namespace

// How the list changes on one class: which old groups go on (kept_a..kept_b, or kept_b entries
// of the pool from kept_a), which old group succeeded (winner), and whether a start was added.
struct TLockstepScan::Transition {
  std::int32_t next = kUnknown;
  std::int32_t winner = -1;
  std::uint32_t kept_a = 0;
  std::uint32_t kept_b = 0;
  std::uint8_t flags = 0;
};

struct TLockstepScan::State {
  const std::vector<std::int32_t>* key;
};

TLockstepScan::TLockstepScan(const TRE_DFA& dfa, Mode mode, Code line_end, bool line_starts,
                             bool tail, Code line_head_code, Code line_tail_code,
                             std::size_t budget_bytes)
    : dfa_(dfa),
      mode_(mode),
      line_starts_(mode == Mode::kAwk && line_starts && dfa.has_line_head()),
      tail_(mode == Mode::kAwk && tail && dfa.has_line_tail()),
      line_end_(line_end),
      tail_code_(line_tail_code),
      budget_(budget_bytes) {
  if (line_starts_) head_state_ = dfa.Next(dfa.initial(), line_head_code);
  BuildClasses(line_end);
  seen_.assign(dfa.size(), 0);
  flags_.assign(dfa.size(), 0);
  for (std::size_t s = 0; s < dfa.size(); ++s) {
    const auto d = static_cast<std::int32_t>(s);
    std::uint8_t f = dfa.accepting(d) ? kAccepting : 0;
    if (tail_ && dfa.Next(d, tail_code_) != TRE_DFA::kNone) f |= kTailable;
    if (dfa.Next(d, line_end_) != TRE_DFA::kNone) f |= kGoesOnAtLineEnd;
    flags_[s] = f;
  }
}

TLockstepScan::~TLockstepScan() = default;

void TLockstepScan::BuildClasses(Code line_end) {
  bool cut[257] = {};
  std::vector<Code> wide{0x100};
  for (std::size_t s = 0; s < dfa_.size(); ++s) {
    for (const TRE_DFATransition& t : dfa_.state(static_cast<std::int32_t>(s)).transitions) {
      const unsigned end = unsigned{t.high} + 1;
      if (t.low < 256) {
        cut[t.low] = true;
        cut[std::min(end, 256u)] = true;
      }
      if (t.low > 0x100) wide.push_back(t.low);
      if (end > 0x100 && end <= 0xFFFF) wide.push_back(static_cast<Code>(end));
    }
  }
  // Line ends and NUL are read specially, so each is a class of its own.
  for (unsigned c : {0u, unsigned{'\n'}, unsigned{'\r'}, unsigned{line_end}}) {
    if (c < 256) {
      cut[c] = true;
      cut[c + 1] = true;
    }
  }
  std::uint32_t cls = 0;
  for (unsigned c = 0; c < 256; ++c) {
    if (c > 0 && cut[c]) ++cls;
    if (c == 0 || cut[c]) representative_.push_back(static_cast<Code>(c));
    byte_class_[c] = static_cast<std::uint16_t>(cls);
  }
  wide_base_ = cls + 1;
  std::sort(wide.begin(), wide.end());
  wide.erase(std::unique(wide.begin(), wide.end()), wide.end());
  wide_cuts_ = std::move(wide);
  for (Code c : wide_cuts_) representative_.push_back(c);
  class_count_ = wide_base_ + static_cast<std::uint32_t>(wide_cuts_.size());
  for (unsigned lead = 0; lead < 256; ++lead) {
    lead_class_[lead] = -1;
    if (lead == 0) continue;
    const unsigned low = lead * 256;
    const auto it = std::upper_bound(wide_cuts_.begin(), wide_cuts_.end(), low);
    if (it == wide_cuts_.end() || *it > low + 255) lead_class_[lead] = static_cast<std::int32_t>(ClassOf(static_cast<Code>(low)));
  }
  line_end_class_ = byte_class_[line_end < 256 ? line_end : 0];
  lf_class_ = byte_class_['\n'];
}

std::uint32_t TLockstepScan::ClassOf(Code c) const {
  if (c < 256) return byte_class_[c];
  const std::int32_t lead = lead_class_[c >> 8];
  if (lead >= 0) return static_cast<std::uint32_t>(lead);
  const auto it = std::upper_bound(wide_cuts_.begin(), wide_cuts_.end(), c);
  return wide_base_ + static_cast<std::uint32_t>(it - wide_cuts_.begin() - 1);
}

bool TLockstepScan::Accepts(std::int32_t d, bool at_end, bool on_line_end) const {
  const std::uint8_t f = flags_[static_cast<std::size_t>(d)];
  if ((f & kAccepting) != 0) return true;
  if ((f & kTailable) == 0) return false;
  return at_end || (on_line_end && (f & kGoesOnAtLineEnd) == 0);
}

void TLockstepScan::ResetCache() {
  states_.clear();
  index_.clear();
  transitions_.clear();
  kept_pool_.clear();
  used_ = 0;
  ++resets_;
}

// A key is kept packed: a stretch of four or more entries that step evenly (the walks of a long
// chain pattern, each one state deeper than the next) is the count as a negative number, the first
// entry and the step. The packing of a list is unique, so packed keys compare as the lists do, and
// the lists the walks go through again after every line end stay cached however long they are.
void TLockstepScan::Pack(const std::vector<std::int32_t>& list, std::vector<std::int32_t>& packed) {
  packed.clear();
  const std::size_t n = list.size();
  std::size_t i = 0;
  while (i < n) {
    std::size_t j = i + 1;
    if (i + 1 < n) {
      const std::int64_t step = std::int64_t{list[i + 1]} - list[i];
      while (j + 1 < n && std::int64_t{list[j + 1]} - list[j] == step) ++j;
      ++j;
      if (j - i >= 4) {
        packed.push_back(-static_cast<std::int32_t>(j - i));
        packed.push_back(list[i]);
        packed.push_back(static_cast<std::int32_t>(step));
        i = j;
        continue;
      }
    }
    packed.push_back(list[i]);
    ++i;
  }
}

void TLockstepScan::Unpack(const std::vector<std::int32_t>& packed, std::vector<std::int32_t>& list) {
  list.clear();
  for (std::size_t i = 0; i < packed.size(); ++i) {
    if (packed[i] >= 0) {
      list.push_back(packed[i]);
      continue;
    }
    const auto count = static_cast<std::size_t>(-std::int64_t{packed[i]});
    std::int32_t v = packed[i + 1];
    const std::int32_t step = packed[i + 2];
    for (std::size_t k = 0; k < count; ++k, v += step) list.push_back(v);
    i += 2;
  }
}

std::int32_t TLockstepScan::Intern(const std::vector<std::int32_t>& list) {
  Pack(list, packed_);
  return InternPacked(packed_);
}

std::int32_t TLockstepScan::InternPacked(const std::vector<std::int32_t>& packed) {
  if (auto it = index_.find(packed); it != index_.end()) return it->second;
  const auto id = static_cast<std::int32_t>(states_.size());
  used_ += 2 * packed.size() * sizeof(std::int32_t) + class_count_ * sizeof(Transition) + 96;
  const auto it = index_.emplace(packed, id).first;
  states_.push_back(std::make_unique<State>(State{&it->first}));
  transitions_.resize(states_.size() * class_count_);
  return id;
}

void TLockstepScan::Start(std::size_t p, bool line_start) {
  position_ = p;
  starts_.assign(1, p);
  head_ = 0;
  std::vector<std::int32_t> key{dfa_.initial() * 2 + 1};
  if (line_start && head_state_ != TRE_DFA::kNone && head_state_ != dfa_.initial()) {
    key.push_back(head_state_ * 2);
  }
  key.push_back(0);
  if (used_ > budget_) ResetCache();
  current_ = Intern(key);
}

void TLockstepScan::Compute(std::uint32_t cls) {
  if (used_ > budget_) {
    std::vector<std::int32_t> packed = *states_[static_cast<std::size_t>(current_)]->key;
    ResetCache();
    current_ = InternPacked(packed);
  }
  Unpack(*states_[static_cast<std::size_t>(current_)]->key, list_);
  const std::vector<std::int32_t>& key = list_;
  bool committed = key.back() != 0;
  std::size_t limit = key.size() - 1;
  const Code c = representative_[cls];
  Transition t;

  if (mode_ == Mode::kAwk) {
    const bool on_line_end = cls == line_end_class_;
    std::int32_t g = -1;
    for (std::size_t i = 0; i < limit; ++i) {
      if (OpensGroup(key[i])) ++g;
      if (!Accepts(StateOf(key[i]), false, on_line_end)) continue;
      t.winner = g;
      while (i > 0 && !OpensGroup(key[i])) --i;
      limit = i;
      break;
    }
    if (t.winner == 0) {
      t.flags = kDecided;
      t.next = -1;
      transitions_[static_cast<std::size_t>(current_) * class_count_ + cls] = t;
      return;
    }
    if (t.winner > 0) committed = true;
  }

  if (++stamp_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0);
    stamp_ = 1;
  }
  // The hot loop of a long list: the next states written through plain pointers (the vectors are
  // sized for the longest outcome first), the automaton's column for a single-byte code read
  // directly.
  std::vector<std::int32_t>& next = next_;
  std::vector<std::uint32_t>& kept = kept_;
  next.resize(limit + 2);
  kept.resize(limit + 1);
  std::size_t n_next = 0, n_kept = 0;
  {
    std::int32_t* out = next.data();
    std::uint32_t* groups = kept.data();
    std::uint32_t* seen = seen_.data();
    const std::uint32_t stamp = stamp_;
    const bool single = c > 0 && c < 256;
    const std::int32_t* column = single ? dfa_.ByteColumn(c) : nullptr;
    const std::size_t stride = dfa_.byte_class_count();
    std::int32_t g = -1;
    for (std::size_t i = 0; i < limit; ++i) {
      const std::int32_t entry = key[i];
      if (OpensGroup(entry)) ++g;
      const std::int32_t d = single ? column[static_cast<std::size_t>(StateOf(entry)) * stride]
                             : c == 0 ? TRE_DFA::kNone
                                      : dfa_.Next(StateOf(entry), c);
      if (d == TRE_DFA::kNone || seen[d] == stamp) continue;
      seen[d] = stamp;
      const bool opens = n_kept == 0 || groups[n_kept - 1] != static_cast<std::uint32_t>(g);
      if (opens) groups[n_kept++] = static_cast<std::uint32_t>(g);
      out[n_next++] = d * 2 + (opens ? 1 : 0);
    }
  }
  next.resize(n_next);
  kept.resize(n_kept);

  if (mode_ == Mode::kGrep) {
    std::int32_t ng = -1;
    for (std::size_t i = 0; i < next.size(); ++i) {
      if (OpensGroup(next[i])) ++ng;
      if ((flags_[static_cast<std::size_t>(StateOf(next[i]))] & kAccepting) == 0) continue;
      t.winner = static_cast<std::int32_t>(kept[static_cast<std::size_t>(ng)]);
      if (ng == 0) {
        t.flags = kDecided;
        t.next = -1;
        transitions_[static_cast<std::size_t>(current_) * class_count_ + cls] = t;
        return;
      }
      while (i > 0 && !OpensGroup(next[i])) --i;
      next.resize(i);
      kept.resize(static_cast<std::size_t>(ng));
      committed = true;
      break;
    }
  }

  if (committed && next.empty()) {
    t.flags = kDecided;
    t.next = -1;
    transitions_[static_cast<std::size_t>(current_) * class_count_ + cls] = t;
    return;
  }
  if (!committed) {
    bool opened = false;
    auto add = [&](std::int32_t d) {
      if (d == TRE_DFA::kNone || seen_[static_cast<std::size_t>(d)] == stamp_) return;
      seen_[static_cast<std::size_t>(d)] = stamp_;
      next.push_back(d * 2 + (opened ? 0 : 1));
      opened = true;
    };
    add(dfa_.initial());
    if (line_starts_ && cls == lf_class_) add(head_state_);
    if (opened) t.flags |= kNewGroup;
  }
  next.push_back(committed ? 1 : 0);

  bool contiguous = true;
  for (std::size_t i = 1; i < kept.size(); ++i) contiguous = contiguous && kept[i] == kept[0] + i;
  if (contiguous) {
    t.kept_a = kept.empty() ? 0 : kept.front();
    t.kept_b = kept.empty() ? 0 : kept.back() + 1;
  } else {
    t.flags |= kScattered;
    t.kept_a = static_cast<std::uint32_t>(kept_pool_.size());
    t.kept_b = static_cast<std::uint32_t>(kept.size());
    kept_pool_.insert(kept_pool_.end(), kept.begin(), kept.end());
    used_ += kept.size() * sizeof(std::uint32_t);
  }
  const std::int32_t from = current_;
  t.next = Intern(next);
  transitions_[static_cast<std::size_t>(from) * class_count_ + cls] = t;
}

void TLockstepScan::ApplyKept(const Transition& t) {
  if ((t.flags & kScattered) == 0) {
    head_ += t.kept_a;
    starts_.resize(head_ + (t.kept_b - t.kept_a));
  } else {
    scratch_.clear();
    for (std::uint32_t k = 0; k < t.kept_b; ++k) scratch_.push_back(starts_[head_ + kept_pool_[t.kept_a + k]]);
    starts_.resize(head_);
    starts_.insert(starts_.end(), scratch_.begin(), scratch_.end());
  }
  if (head_ > 4096 && head_ * 2 > starts_.size()) {
    starts_.erase(starts_.begin(), starts_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
  }
}

void TLockstepScan::PushStart(std::size_t p) { starts_.push_back(p); }

TLockstepScan::Status TLockstepScan::Finish() {
  Unpack(*states_[static_cast<std::size_t>(current_)]->key, list_);
  const std::vector<std::int32_t>& key = list_;
  if (mode_ == Mode::kAwk) {
    std::size_t g = 0;
    for (std::size_t i = 0; i + 1 < key.size(); ++i) {
      if (OpensGroup(key[i]) && i > 0) ++g;
      if (!Accepts(StateOf(key[i]), true, false)) continue;
      // A start at the very end is the caller's to judge.
      if (starts_[head_ + g] < position_) {
        answer_ = starts_[head_ + g];
        return Status::kDecided;
      }
      break;
    }
  }
  if (key.back() != 0) {
    answer_ = committed_start_;
    return Status::kDecided;
  }
  return Status::kNone;
}

TLockstepScan::Status TLockstepScan::Run(const unsigned char* data, std::size_t origin, std::size_t n,
                                         bool at_end) {
  const bool grep = mode_ == Mode::kGrep;
  for (;;) {
    const std::size_t i = position_ - origin;
    if (i >= n) return at_end ? Finish() : Status::kMoreInput;
    const unsigned char b = data[i];
    Code c = b;
    std::size_t length = 1;
    if (IsLead(b)) {
      if (i + 1 >= n) {
        if (!at_end) return Status::kMoreInput;
      } else if (!grep || data[i + 1] != '\n') {
        c = static_cast<Code>(b * 256 + data[i + 1]);
        length = 2;
      }
    }
    const std::uint32_t cls = c < 256 ? byte_class_[c] : ClassOf(c);
    std::size_t at = static_cast<std::size_t>(current_) * class_count_ + cls;
    if (transitions_[at].next == kUnknown) {
      Compute(cls);
      at = static_cast<std::size_t>(current_) * class_count_ + cls;
    }
    const Transition& t = transitions_[at];
    if (t.winner >= 0) committed_start_ = starts_[head_ + static_cast<std::size_t>(t.winner)];
    if ((t.flags & kDecided) != 0) {
      answer_ = committed_start_;
      return Status::kDecided;
    }
    ApplyKept(t);
    position_ += length;
    if ((t.flags & kNewGroup) != 0) PushStart(position_);
    current_ = t.next;
  }
}

}  // namespace sorabu::regex
