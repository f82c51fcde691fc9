// TREPreProcessor: dictionary rewriting of a pattern before it is parsed.
//
// Two passes, each only when its flag is on: synonyms first, then fuzzy characters. A pass
// tokenizes the whole pattern and copies every token back as written, except maximal runs of
// literal tokens outside a positive class: there, at each token, the dictionaries are tried in
// order (their entries in order, each entry's words in order) and the first word whose characters
// equal the next literal codes replaces them by its entry's group "(w1|w2|...)". Literals of a
// negated class are rewritten too, so the group's "(", "|" and ")" join that class; this is how
// the program has always behaved and it only widens what the class excludes.
//
// A syntax fault found while tokenizing propagates as ERegExpParser. A pass whose output would be
// longer than the parser accepts fails with the length message instead of growing without bound.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regex/dictionary.h"

namespace sorabu::regex {

class TREPreProcessor {
 public:
  void SetPattern(std::string_view pattern) { pattern_.assign(pattern); }
  // The rewritten pattern (the pattern itself when both flags are off).
  std::string Run() const;
  // Both steps at once.
  std::string Run(std::string_view pattern) {
    SetPattern(pattern);
    return Run();
  }

  bool use_synonym = false;
  bool use_fuzzy = false;
  std::vector<std::shared_ptr<const TREDictionary>> synonym_dictionaries;
  std::vector<std::shared_ptr<const TREDictionary>> fuzzy_dictionaries;

  // One dictionary pass on its own; for tests.
  static std::string Rewrite(std::string_view pattern,
                             const std::vector<std::shared_ptr<const TREDictionary>>& dictionaries);

 private:
  std::string pattern_;
};

}  // namespace sorabu::regex
