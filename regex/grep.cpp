#include "regex/grep.h"

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
    fixed_ = dfa().is_literal() && !dfa().literal().empty();
    throw;
  }
  fixed_ = dfa().is_literal() && !dfa().literal().empty();
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

void TGrep::AutomatonScan(TTxtFile& file) {
  const TRE_DFA& dfa = this->dfa();
  for (;;) {
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

void TGrep::FixedScan(TTxtFile& file) {
  const std::vector<Code>& literal = dfa().literal();
  const Code first = literal.front();
  const auto first_byte = static_cast<unsigned char>(first > 0xFF ? first >> 8 : first);
  for (;;) {
    file.SkipToByte(first_byte);
    if (file.ReadChar() != first) continue;
    std::size_t k = 1;
    while (k < literal.size() && file.ReadAheadChar() == literal[k]) ++k;
    if (k == literal.size()) Report(file);
  }
}

}  // namespace sorabu::regex
