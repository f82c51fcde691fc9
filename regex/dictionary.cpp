#include "regex/dictionary.h"

#include <cstring>

namespace sorabu::regex {

std::vector<std::string> SplitCommaText(std::string_view text) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    if (i >= text.size()) break;
    std::string field;
    if (text[i] == '"') {
      ++i;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field.push_back(text[i++]);
      }
      while (i < text.size() && text[i] != ',') ++i;
    } else {
      while (i < text.size() && text[i] != ',') field.push_back(text[i++]);
    }
    fields.push_back(std::move(field));
    if (i < text.size()) ++i;  // the comma
  }
  return fields;
}

std::string EscapeWord(std::string_view word) {
  std::string out;
  for (std::size_t i = 0; i < word.size();) {
    const TextChar ch = ReadTextChar(word, i);
    if (ch.length == 1 && ch.code != 0 && std::strchr("^(|)+*?.[]$\\", static_cast<int>(ch.code))) {
      out.push_back('\\');
    }
    out.append(word.substr(i, ch.length));
    i += ch.length;
  }
  return out;
}

TREDictionary::TREDictionary(std::vector<std::vector<std::string>> entries) {
  entries_.reserve(entries.size());
  for (auto& words : entries) {
    Entry entry;
    entry.replacement = "(";
    for (std::size_t w = 0; w < words.size(); ++w) {
      Word decoded;
      for (std::size_t i = 0; i < words[w].size();) {
        const TextChar ch = ReadTextChar(words[w], i);
        decoded.codes.push_back(ch.code);
        i += ch.length;
      }
      entry.decoded.push_back(std::move(decoded));
      if (w > 0) entry.replacement += '|';
      entry.replacement += EscapeWord(words[w]);
    }
    entry.replacement += ')';
    entry.words = std::move(words);
    entries_.push_back(std::move(entry));
  }
  for (std::size_t e = 0; e < entries_.size(); ++e) {
    for (std::size_t w = 0; w < entries_[e].decoded.size(); ++w) {
      const std::vector<Code>& codes = entries_[e].decoded[w].codes;
      if (!codes.empty()) by_first_[codes[0]].push_back({static_cast<std::uint32_t>(e), static_cast<std::uint32_t>(w)});
    }
  }
}

const std::vector<TREDictionary::Candidate>* TREDictionary::StartingWith(Code first) const {
  const auto it = by_first_.find(first);
  return it == by_first_.end() ? nullptr : &it->second;
}

}  // namespace sorabu::regex
