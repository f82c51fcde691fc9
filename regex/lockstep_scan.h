// TLockstepScan: the leftmost start whose walk succeeds, in one pass over the text.
//
// The matchers try one start after another and walk the automaton from each; a walk that runs far
// before it fails ("[ab]" a thousand times, then "aaa") makes that text length times walk length.
// Here the walks of all starts advance together, one character at a time. At each position the
// walks still alive are kept in the order of their starts; a walk that reaches a state an earlier
// start's walk is also in has the same future, and the earlier start would win, so it is dropped.
// The list of states (with marks where a new start's walks begin) is a state of a lazily built
// automaton whose transitions are cached per class of characters, so each character costs a table
// look-up once the states it meets have been seen; only the start positions of the walks still
// alive are kept beside it.
//
// When a walk succeeds, later starts no longer matter, but earlier ones still walking may succeed
// later and win: their walks go on, new starts stop, and the scan ends when the earliest walk
// succeeds or the earlier ones have all died. The answer is exact: the caller then walks the
// automaton once from that start for the match's end, exactly as before.
//
// Success follows the two matchers:
//  - kAwk (TMatchCORE): a walk succeeds where its state accepts, or where it has a "$"
//    transition and stops at the end of the text or on the line-end character it has no
//    transition on. With line_starts, the position after every LF also starts a walk from the
//    state after "^", beside the plain one; either succeeding makes that start succeed.
//  - kGrep (TGrep): a walk succeeds when it reaches an accepting state after at least one
//    character; a lead byte before LF stands alone.
// Characters are read as the matchers read them; a NUL or a character without transition ends a
// walk.
//
// The cached states are limited to a memory budget; when it is spent the cache is emptied and
// filled again from the current state, so memory stays bounded and each character still costs at
// most the length of the list it builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "regex/codes.h"
#include "regex/dfa.h"

namespace sorabu::regex {

struct TLockstepKeyHash {
  std::size_t operator()(const std::vector<std::int32_t>& key) const noexcept {
    std::size_t h = 1469598103934665603ull;
    for (std::int32_t v : key) h = (h ^ static_cast<std::uint32_t>(v)) * 1099511628211ull;
    return h;
  }
};

class TLockstepScan {
 public:
  enum class Mode { kAwk, kGrep };
  enum class Status { kDecided, kNone, kMoreInput };
  static constexpr std::size_t kDefaultBudget = 16u << 20;  // bytes of cached states

  // kAwk: line_end is the character "$" stops on, line_starts adds the "^" walks after LF, tail
  // applies the "$" rule; the codes are those the automaton was compiled with.
  TLockstepScan(const TRE_DFA& dfa, Mode mode, Code line_end, bool line_starts, bool tail,
                Code line_head_code = kLineHeadCode, Code line_tail_code = kLineTailCode,
                std::size_t budget_bytes = kDefaultBudget);
  ~TLockstepScan();
  TLockstepScan(const TLockstepScan&) = delete;
  TLockstepScan& operator=(const TLockstepScan&) = delete;

  // Starts a scan at position p, a character start; line_start adds its "^" walk (kAwk).
  void Start(std::size_t p, bool line_start);
  // Goes on over the bytes data[0, n), which are the text from position origin on and include
  // position(). at_end: the text ends after them. kMoreInput asks for the same call with more
  // bytes (the next character is not whole); kDecided leaves the start in answer().
  Status Run(const unsigned char* data, std::size_t origin, std::size_t n, bool at_end);

  std::size_t answer() const noexcept { return answer_; }
  std::size_t position() const noexcept { return position_; }
  // The earliest start still walking (position() when none): nothing before it is needed again.
  std::size_t earliest_pending() const noexcept {
    return starts_.size() > head_ ? starts_[head_] : position_;
  }
  // Times the cache was emptied (tests look at it).
  std::size_t cache_resets() const noexcept { return resets_; }
  std::size_t cached_states() const noexcept { return states_.size(); }

 private:
  struct Transition;
  struct State;

  void BuildClasses(Code line_end);
  std::uint32_t ClassOf(Code c) const;
  static void Pack(const std::vector<std::int32_t>& list, std::vector<std::int32_t>& packed);
  static void Unpack(const std::vector<std::int32_t>& packed, std::vector<std::int32_t>& list);
  std::int32_t Intern(const std::vector<std::int32_t>& list);
  std::int32_t InternPacked(const std::vector<std::int32_t>& packed);
  void Compute(std::uint32_t cls);
  bool Accepts(std::int32_t d, bool at_end, bool on_line_end) const;
  Status Finish();
  void ResetCache();
  void ApplyKept(const Transition& t);
  void PushStart(std::size_t p);

  const TRE_DFA& dfa_;
  Mode mode_;
  bool line_starts_;
  bool tail_;
  Code line_end_;
  Code tail_code_;
  std::int32_t head_state_ = TRE_DFA::kNone;  // the state after "^"
  std::size_t budget_;

  // Character classes: codes no state's transitions tell apart share one.
  std::uint16_t byte_class_[256] = {};
  std::vector<Code> wide_cuts_;      // ascending starts of the double-byte intervals
  std::int32_t lead_class_[256] = {};  // a lead byte's class when all its codes share one, else -1
  std::uint32_t wide_base_ = 0;
  std::uint32_t class_count_ = 0;
  std::vector<Code> representative_;
  std::uint32_t line_end_class_ = 0;
  std::uint32_t lf_class_ = 0;

  std::vector<std::unique_ptr<State>> states_;
  std::unordered_map<std::vector<std::int32_t>, std::int32_t, TLockstepKeyHash> index_;
  std::vector<Transition> transitions_;  // states x classes
  std::vector<std::uint32_t> kept_pool_;
  std::size_t used_ = 0;
  std::size_t resets_ = 0;
  std::vector<std::uint8_t> flags_;  // per automaton state
  std::vector<std::uint32_t> seen_;  // stamps per automaton state
  std::uint32_t stamp_ = 0;

  // The scan in progress.
  std::int32_t current_ = 0;
  std::size_t position_ = 0;
  std::vector<std::size_t> starts_;  // from head_: the start of each walking group
  std::size_t head_ = 0;
  std::size_t committed_start_ = 0;
  std::size_t answer_ = 0;
  std::vector<std::size_t> scratch_;
  // Reused by Compute: the current list unpacked, the next list, its kept groups, a packed key.
  std::vector<std::int32_t> list_, next_, packed_;
  std::vector<std::uint32_t> kept_;
};

}  // namespace sorabu::regex
