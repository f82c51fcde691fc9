#include "regex/grep.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>

#include "regex/dictionary.h"
#include "regex/errors.h"

namespace sorabu::regex {

TGrep::TGrep() : TRegularExpression('\n', '\n') {
  preprocessor().fuzzy_dictionaries.push_back(BuiltinFuzzyDictionary());
  ChooseScan();
}

void TGrep::SetRegExp(std::string_view pattern) {
  try {
    TRegularExpression::SetRegExp(pattern);
  } catch (...) {
    ChooseScan();
    throw;
  }
  ChooseScan();
}

// The first bytes of the characters the initial state has transitions on: a double-byte range
// contributes the lead bytes it spans.
void TGrep::ChooseScan() {
  plan_ = ScanPlan{};
  plan_.dfa = shared_dfa();
  const TRE_DFA& dfa = *plan_.dfa;
  plan_.fixed = dfa.is_literal() && !dfa.literal().empty();
  TTxtByteSet& first = plan_.first_bytes;
  std::vector<unsigned char>& few = plan_.few_first_bytes;
  for (const TRE_DFATransition& t : dfa.state(dfa.initial()).transitions) {
    for (unsigned c = t.low; c <= t.high && c < 256; ++c) first.member[c] = true;
    if (t.high > 0xFF) {
      for (unsigned lead = std::max<unsigned>(t.low, 0x100) >> 8; lead <= (t.high >> 8); ++lead) {
        first.member[lead] = true;
      }
    }
  }
  few.clear();
  for (unsigned c = 0; c < 256; ++c) {
    if (first.member[c]) few.push_back(static_cast<unsigned char>(c));
  }
  first.single = few.size() == 1 ? few[0] : -1;
  // memchr pays only for bytes that are rare: not for the lead bytes of punctuation and kana,
  // which start every other character of Japanese text.
  const bool dense = std::any_of(few.begin(), few.end(),
                                 [](unsigned char b) { return b >= 0x81 && b <= 0x83; });
  if (few.size() > kMemchrBytes || dense) few.clear();
}

std::unique_ptr<TGrep> TGrep::Twin() const {
  auto twin = std::make_unique<TGrep>();
  twin->plan_ = plan_;
  twin->LockstepAfter = LockstepAfter;
  twin->SkipBinary = SkipBinary;
  return twin;
}

void TGrep::GrepFile(const std::string& path) { Scan(path, nullptr); }

std::uint64_t TGrep::GrepPiece(const std::string& path, const TTxtPiece& piece) { return Scan(path, &piece); }

bool TGrep::SearchesLineByLine() const {
  const TRE_DFA& dfa = *plan_.dfa;
  // The initial state's LF is the one before a line (a "^"), which every piece has too, unless
  // the walk can come back to that state after a character.
  bool initial_again = false;
  for (std::int32_t s = 0; s < static_cast<std::int32_t>(dfa.size()); ++s) {
    for (const TRE_DFATransition& t : dfa.state(s).transitions) initial_again = initial_again || t.target == dfa.initial();
  }
  for (std::int32_t s = 0; s < static_cast<std::int32_t>(dfa.size()); ++s) {
    if (s == dfa.initial() && !initial_again) continue;
    for (const TRE_DFATransition& t : dfa.state(s).transitions) {
      if (t.low <= '\n' && '\n' <= t.high && !dfa.accepting(t.target)) return false;
    }
  }
  return true;
}

std::uint64_t TGrep::Scan(const std::string& path, const TTxtPiece* piece) {
  if (!OnMatch) return 0;
  Cancel = false;
  // A copy, so a match handler that sets another pattern cannot pull this one from under us.
  const ScanPlan plan = plan_;
  std::optional<TTxtFile> file;
  try {
    file.emplace(path, &Cancel, ProcessMessages, SkipBinary, piece);
  } catch (const EEndOfFile&) {
    return 0;
  }
  try {
    if (plan.fixed) {
      FixedScan(*file, plan);
    } else {
      AutomatonScan(*file, plan);
    }
  } catch (const EEndOfFile&) {
  }
  return piece != nullptr ? file->LineEndsOfPiece() : 0;
}

void TGrep::Report(TTxtFile& file) {
  const RE_LineInfo_t info = file.GetLine();
  // Called through a copy: the handler may replace or clear OnMatch while it runs.
  const TGrepOnMatch handler = OnMatch;
  if (handler) handler(*this, info);
}


namespace {

enum class Verdict { kUndecided, kDead, kMatch };

// Dead ends of the automaton in the window: (absolute position, state) pairs from which a walk
// is known to die without accepting. Without them one long line ("a*b" over megabytes of "a")
// costs its length squared; with them each pair is walked once.
class GrepDeadEnds {
 public:
  static constexpr std::size_t kRecordAfter = 32;

  bool Dead(std::size_t q, std::int32_t s) const {
    return q >= origin_ && q - origin_ < dead_.size() && dead_[q - origin_] == s + 1;
  }
  // Makes the cache cover [from, from + n) before a walk records into it.
  void Cover(std::size_t from, std::size_t n) {
    if (from >= origin_ && from + n <= origin_ + dead_.size()) return;
    origin_ = from;
    dead_.assign(n, 0);
  }
  void Mark(std::size_t q, std::int32_t s) { dead_[q - origin_] = s + 1; }
  // (offset from the walk's start, state): the window is far below 4 GB, and a walk as long as
  // the window keeps its path at half the size.
  std::vector<std::pair<std::uint32_t, std::int32_t>> path;
  std::size_t walked = 0;  // steps of every walk so far

 private:
  std::size_t origin_ = 0;
  std::vector<std::int32_t> dead_;
};

// Runs the automaton from p[0] (absolute position at) over the n bytes in the window.
// first_length receives the length of the first character (the step to the next start).
Verdict TryStart(const TRE_DFA& dfa, const unsigned char* p, std::size_t n, std::size_t at,
                 GrepDeadEnds& memo, std::size_t& first_length) {
  std::int32_t s = dfa.initial();
  first_length = 1;
  memo.path.clear();
  Verdict verdict = Verdict::kUndecided;
  std::size_t steps = 1;
  for (std::size_t q = 0; q < n; ++steps) {
    Code c = p[q];
    std::size_t length = 1;
    if (IsLead(p[q])) {
      if (q + 1 >= n) break;
      if (p[q + 1] != '\n') {
        c = static_cast<Code>(p[q] * 256 + p[q + 1]);
        length = 2;
      }
    }
    if (q == 0) first_length = length;
    s = dfa.Next(s, c);
    if (s == TRE_DFA::kNone) {
      verdict = Verdict::kDead;
      break;
    }
    q += length;
    if (dfa.accepting(s)) {
      memo.walked += steps;
      return Verdict::kMatch;
    }
    if (memo.Dead(at + q, s)) {
      verdict = Verdict::kDead;
      break;
    }
    if (q >= GrepDeadEnds::kRecordAfter) memo.path.emplace_back(static_cast<std::uint32_t>(q), s);
  }
  if (verdict == Verdict::kDead && !memo.path.empty()) {
    memo.Cover(at, n);
    for (const auto& [q, st] : memo.path) memo.Mark(at + q, st);
  }
  memo.walked += steps;
  return verdict;
}

}  // namespace

// Starts are tried on the bytes already in the window, without the cursors: with one possible
// first byte, memchr finds the candidates; otherwise the window is walked character by
// character. Only a walk that runs into the window's end goes through the reader's cursors,
// which load what they need.
void TGrep::AutomatonScan(TTxtFile& file, const ScanPlan& plan) {
  const TRE_DFA& dfa = *plan.dfa;
  const TTxtByteSet& first_bytes = plan.first_bytes;
  const std::vector<unsigned char>& few_first_bytes = plan.few_first_bytes;
  GrepDeadEnds memo;
  std::unique_ptr<TLockstepScan> lockstep;
  std::size_t walked0 = 0;
  std::size_t from = file.main_position();
  // Walk steps may reach LockstepAfter plus eight per byte passed since `from`; the bound is
  // worked out again only when the steps reach the last one found, so the check costs one
  // comparison per start.
  std::size_t bound = LockstepAfter;
  const auto spent = [&](std::size_t at) {
    if (memo.walked - walked0 < bound) return false;
    bound = LockstepAfter + 8 * (at - from);
    return memo.walked - walked0 >= bound;
  };
  for (;;) {
    if (spent(file.main_position())) {
      if (lockstep == nullptr) {
        lockstep = std::make_unique<TLockstepScan>(dfa, TLockstepScan::Mode::kGrep, '\n', false,
                                                   false, '\n', '\n');
      }
      LockstepScan(file, *lockstep);
      walked0 = memo.walked;
      from = file.main_position();
      bound = LockstepAfter;
      continue;
    }
    Verdict verdict = Verdict::kUndecided;
    bool hand_over = false;
    std::size_t offset = 0;  // of the start tried, from the main cursor
    std::size_t first_length = 1;
    if (first_bytes.single >= 0) {
      file.SkipTo(first_bytes);
      const std::size_t n = file.window_left();
      if (n >= 2) {
        verdict = TryStart(dfa, reinterpret_cast<const unsigned char*>(file.window_at_main()), n,
                           file.main_position(), memo, first_length);
      }
    } else {
      const auto* p = reinterpret_cast<const unsigned char*>(file.window_at_main());
      const std::size_t n = file.window_left();
      // offset is always a character start; a candidate byte is one when an even number of
      // lead bytes lie between them (LF always is one).
      // With a few possible first bytes, memchr finds each one's next place; with many, a table.
      std::size_t next_at[kMemchrBytes];
      std::fill(std::begin(next_at), std::end(next_at), std::size_t{0});
      const std::size_t last = n == 0 ? 0 : n - 1;  // the window's last byte is left for later
      while (offset + 1 < n) {
        std::size_t k = offset;
        if (few_first_bytes.empty()) {
          while (k < last && !first_bytes.member[p[k]]) ++k;
        } else {
          k = last;
          for (std::size_t i = 0; i < few_first_bytes.size(); ++i) {
            if (next_at[i] < offset || next_at[i] == 0) {
              const void* hit = std::memchr(p + offset, few_first_bytes[i], last - offset);
              next_at[i] = hit != nullptr ? static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - p) : last;
            }
            k = std::min(k, next_at[i]);
          }
        }
        std::size_t leads = 0;
        if (p[k] != '\n') {
          while (k - leads > offset && IsLead(p[k - leads - 1])) ++leads;
        }
        if (leads % 2 == 1) {
          offset = k + 1;  // a second byte; the next character starts after it
          continue;
        }
        offset = k;
        if (k + 1 >= n) break;
        verdict = TryStart(dfa, p + k, n - k, file.main_position() + k, memo, first_length);
        if (verdict != Verdict::kDead) break;
        verdict = Verdict::kUndecided;
        offset = k + first_length;
        if (spent(file.main_position() + offset)) {
          hand_over = true;
          break;
        }
      }
    }
    if (verdict == Verdict::kMatch) {
      file.AdvanceMain(offset + first_length);
      Report(file);
      continue;
    }
    if (verdict == Verdict::kDead) {
      file.AdvanceMain(offset + first_length);
      continue;
    }
    file.AdvanceMain(offset);
    if (hand_over) continue;
    // Undecided, or at the window's end: one start through the cursors.
    std::int32_t s = dfa.Next(dfa.initial(), file.ReadChar());
    while (s != TRE_DFA::kNone) {
      if (dfa.accepting(s)) {
        Report(file);
        break;
      }
      const Code c = file.ReadAheadChar();
      if (c == kEndCode) break;
      s = dfa.Next(s, c);
    }
  }
}

// Runs the lockstep scan from the main cursor, reading more blocks as it asks for them; the main
// cursor follows the earliest start still walking, so the window does not keep what no start
// needs. Reports the line of the start found, or ends the file.
void TGrep::LockstepScan(TTxtFile& file, TLockstepScan& scan) {
  scan.Start(file.main_position(), false);
  for (;;) {
    const auto* p = reinterpret_cast<const unsigned char*>(file.window_at_main());
    const std::size_t n = file.window_left();
    const std::size_t origin = file.main_position();
    const TLockstepScan::Status status = scan.Run(p, origin, n, file.window_complete());
    if (status == TLockstepScan::Status::kMoreInput) {
      file.AdvanceMain(scan.earliest_pending() - origin);
      file.LoadMore();
      continue;
    }
    // Nothing starts at the file's final LF.
    if (status == TLockstepScan::Status::kNone || scan.answer() + 1 >= origin + n) throw EEndOfFile();
    const std::size_t at = scan.answer() - origin;
    const std::size_t first_length = IsLead(p[at]) && p[at + 1] != '\n' ? 2 : 1;
    file.AdvanceMain(at + first_length);
    Report(file);
    return;
  }
}

void TGrep::FixedScan(TTxtFile& file, const ScanPlan& plan) {
  const std::vector<Code>& literal = plan.dfa->literal();
  std::string bytes;
  for (Code c : literal) AppendCode(bytes, c);
  for (;;) {
    file.SkipToString(bytes);
    if (literal.size() > 1 && file.AtFinalLf()) return;
    if (file.ReadChar() != literal.front()) continue;
    std::size_t k = 1;
    while (k < literal.size() && file.ReadAheadChar() == literal[k]) ++k;
    if (k == literal.size()) Report(file);
  }
}

}  // namespace sorabu::regex
