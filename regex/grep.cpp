#include "regex/grep.h"

#include <algorithm>

#include "regex/dictionary.h"
#include "regex/errors.h"

namespace sorabu::regex {

TGrep::TGrep() : TRegularExpression('\n', '\n') {
  preprocessor().fuzzy_dictionaries.push_back(BuiltinFuzzyDictionary());
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
  const TRE_DFA& dfa = this->dfa();
  fixed_ = dfa.is_literal() && !dfa.literal().empty();
  first_bytes_ = TTxtByteSet{};
  for (const TRE_DFATransition& t : dfa.state(dfa.initial()).transitions) {
    for (unsigned c = t.low; c <= t.high && c < 256; ++c) first_bytes_.member[c] = true;
    if (t.high > 0xFF) {
      for (unsigned lead = std::max<unsigned>(t.low, 0x100) >> 8; lead <= (t.high >> 8); ++lead) {
        first_bytes_.member[lead] = true;
      }
    }
  }
  int count = 0;
  for (unsigned c = 0; c < 256; ++c) {
    if (first_bytes_.member[c]) {
      ++count;
      first_bytes_.single = static_cast<int>(c);
    }
  }
  if (count != 1) first_bytes_.single = -1;
}

void TGrep::GrepFile(const std::string& path) {
  if (!OnMatch) return;
  Cancel = false;
  try {
    TTxtFile file(path, &Cancel, ProcessMessages);
    if (fixed_) {
      FixedScan(file);
    } else {
      AutomatonScan(file);
    }
  } catch (const EEndOfFile&) {
  }
}

void TGrep::Report(TTxtFile& file) {
  const RE_LineInfo_t info = file.GetLine();
  OnMatch(*this, info);
}

// Each start is first tried on the bytes already in the window, without the cursors; only a
// walk that runs into the window's end goes through the reader, which loads what it needs.
void TGrep::AutomatonScan(TTxtFile& file) {
  const TRE_DFA& dfa = this->dfa();
  const std::int32_t initial = dfa.initial();
  for (;;) {
    file.SkipTo(first_bytes_);
    const auto* p = reinterpret_cast<const unsigned char*>(file.window_at_main());
    const std::size_t n = file.window_left();
    enum { kUndecided, kDead, kMatch } verdict = kUndecided;
    std::size_t first_length = 0;
    std::int32_t s = initial;
    for (std::size_t q = 0; n >= 2 && q < n;) {
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
        verdict = kDead;
        break;
      }
      q += length;
      if (dfa.accepting(s)) {
        verdict = kMatch;
        break;
      }
    }
    if (verdict != kUndecided) {
      file.AdvanceMain(first_length);
      if (verdict == kMatch) Report(file);
      continue;
    }
    s = dfa.Next(initial, file.ReadChar());
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

void TGrep::FixedScan(TTxtFile& file) {
  const std::vector<Code>& literal = dfa().literal();
  std::string bytes;
  for (Code c : literal) AppendCode(bytes, c);
  for (;;) {
    file.SkipToString(bytes);
    if (file.ReadChar() != literal.front()) continue;
    std::size_t k = 1;
    while (k < literal.size() && file.ReadAheadChar() == literal[k]) ++k;
    if (k == literal.size()) Report(file);
  }
}

}  // namespace sorabu::regex
