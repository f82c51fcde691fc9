// Dictionaries of the preprocessor: entries of words that are to match one another.
//
// A dictionary is an ordered list of entries, an entry an ordered list of CP932 words. The words
// are decoded to character codes once, when the dictionary is made, and each entry's replacement
// group "(w1|w2|...)" is prepared then too, with the twelve pattern metacharacters of every word
// escaped (only single-byte characters: the second byte of a double-byte character may be 0x5C
// and must not be doubled). The built-in fuzzy-character dictionary is made once per run and shared.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "regex/codes.h"

namespace sorabu::regex {

class TREDictionary {
 public:
  struct Word {
    std::vector<Code> codes;
  };
  struct Entry {
    std::vector<std::string> words;
    std::vector<Word> decoded;
    std::string replacement;  // "(w1|w2|...)", escaped
  };

  // A word of an entry, by their positions.
  struct Candidate {
    std::uint32_t entry;
    std::uint32_t word;
  };

  explicit TREDictionary(std::vector<std::vector<std::string>> entries);
  const std::vector<Entry>& entries() const noexcept { return entries_; }
  // The words whose first character is `first`, in entry order and, within an entry, word order
  // (the order in which the first matching word wins); nullptr when there are none.
  const std::vector<Candidate>* StartingWith(Code first) const;

 private:
  std::vector<Entry> entries_;
  std::unordered_map<Code, std::vector<Candidate>> by_first_;
};

// Comma text: fields separated by commas; leading blanks of a field skipped; a field in double
// quotes may hold commas and blanks, a doubled quote inside standing for one; a trailing comma
// adds nothing.
std::vector<std::string> SplitCommaText(std::string_view text);

// Escapes ^ ( | ) + * ? . [ ] $ \ with a backslash, character by character.
std::string EscapeWord(std::string_view word);

// The 145-entry fuzzy-character dictionary (letters, digits, symbols, kana in their width and
// voicing variants).
std::shared_ptr<const TREDictionary> BuiltinFuzzyDictionary();

}  // namespace sorabu::regex
