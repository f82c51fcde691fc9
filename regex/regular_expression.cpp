#include "regex/regular_expression.h"

#include "regex/errors.h"
#include "regex/nfa.h"
#include "regex/parser.h"

namespace sorabu::regex {

std::unique_ptr<TRE_DFA> CompilePattern(std::string_view pattern, Code line_head_code,
                                        Code line_tail_code) {
  auto parser = std::make_unique<TREParser>(pattern);
  parser->Parse();
  try {
    auto nfa = std::make_unique<TRE_NFA>(parser->tree(), line_head_code, line_tail_code);
    parser.reset();
    return std::make_unique<TRE_DFA>(*nfa);
  } catch (const ERegExpParser& e) {
    // The automata are built after the whole pattern was read: the scanner stands at its end.
    throw ERegExpParser(e.what(), pattern.size() + 1);
  }
}

TRegularExpression::TRegularExpression(Code line_head_code, Code line_tail_code)
    : line_head_code_(line_head_code), line_tail_code_(line_tail_code) {
  cache_.push_back({std::string(), nullptr});
  CompileRegExp("");
}

void TRegularExpression::CompileRegExp(std::string_view preprocessed) {
  cache_[current_].dfa = CompilePattern(preprocessed, line_head_code_, line_tail_code_);
  ++compile_count_;
}

void TRegularExpression::SetRegExp(std::string_view pattern) {
  const std::string text = preprocessor_.Run(pattern);
  for (std::size_t i = 0; i < cache_.size(); ++i) {
    if (cache_[i].key == text) {
      current_ = i;
      reg_exp_.assign(pattern);
      return;
    }
  }
  if (cache_.size() >= kCacheCapacity) cache_.pop_back();
  cache_.insert(cache_.begin() + 1, Entry{text, nullptr});
  current_ = 1;
  reg_exp_.assign(pattern);
  try {
    CompileRegExp(text);
  } catch (...) {
    cache_.erase(cache_.begin() + 1);
    current_ = 0;
    reg_exp_.clear();
    throw;
  }
}

void TRegularExpression::SetUseFuzzyCharDic(bool on) {
  preprocessor_.use_fuzzy = on;
  SetRegExp(std::string(reg_exp_));
}

void TRegularExpression::SetUseSynonymDic(bool on) {
  preprocessor_.use_synonym = on;
  SetRegExp(std::string(reg_exp_));
}

}  // namespace sorabu::regex
