// TRegularExpression: the front door from a pattern to a compiled automaton, with its cache.
//
// SetRegExp preprocesses the pattern (dictionaries), looks the result up among at most 30
// compiled patterns and compiles on a miss: parse, NFA with the class's line-start and line-end
// codes, DFA. Entry 0 is the empty pattern, compiled when the object is made and never evicted;
// new entries go in at position 1, a hit does not move an entry, and when the cache is full the
// last entry (the earliest inserted still cached) is dropped. A failed compilation removes its
// entry and leaves entry 0 current with an empty RegExp, so the object always has an automaton.
// A fault found while preprocessing leaves the previous pattern current.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regex/codes.h"
#include "regex/dfa.h"
#include "regex/preprocessor.h"

namespace sorabu::regex {

class TRegularExpression {
 public:
  static constexpr std::size_t kCacheCapacity = 30;

  TRegularExpression(Code line_head_code, Code line_tail_code);
  virtual ~TRegularExpression() = default;
  TRegularExpression(const TRegularExpression&) = delete;
  TRegularExpression& operator=(const TRegularExpression&) = delete;

  // Throws ERegExpParser (syntax error or a limit of the engine).
  virtual void SetRegExp(std::string_view pattern);
  const std::string& RegExp() const noexcept { return reg_exp_; }

  // Setting a flag compiles the current pattern again under it.
  void SetUseFuzzyCharDic(bool on);
  bool UseFuzzyCharDic() const noexcept { return preprocessor_.use_fuzzy; }
  void SetUseSynonymDic(bool on);
  bool UseSynonymDic() const noexcept { return preprocessor_.use_synonym; }

  Code GetLineHeadCode() const noexcept { return line_head_code_; }
  Code GetLineTailCode() const noexcept { return line_tail_code_; }

  TREPreProcessor& preprocessor() noexcept { return preprocessor_; }
  const TRE_DFA& dfa() const noexcept { return *cache_[current_].dfa; }
  // The current automaton, kept alive by the caller even if the cache drops it meanwhile (a
  // match handler that sets another pattern while Grep is scanning).
  std::shared_ptr<const TRE_DFA> shared_dfa() const { return cache_[current_].dfa; }

  // Cache introspection for tests.
  std::size_t cache_size() const noexcept { return cache_.size(); }
  const std::string& cache_key(std::size_t i) const { return cache_[i].key; }
  std::size_t current_index() const noexcept { return current_; }
  std::size_t compile_count() const noexcept { return compile_count_; }

 protected:
  // Compiles text into the current entry; throws ERegExpParser.
  void CompileRegExp(std::string_view preprocessed);

 private:
  struct Entry {
    std::string key;
    std::shared_ptr<const TRE_DFA> dfa;
  };

  Code line_head_code_;
  Code line_tail_code_;
  TREPreProcessor preprocessor_;
  std::vector<Entry> cache_;
  std::size_t current_ = 0;
  std::size_t compile_count_ = 0;
  std::string reg_exp_;
};

// Parses and compiles one pattern without a cache or dictionaries; throws ERegExpParser.
std::unique_ptr<TRE_DFA> CompilePattern(std::string_view pattern, Code line_head_code,
                                        Code line_tail_code);

}  // namespace sorabu::regex
