#include "regex/preprocessor.h"

#include "regex/errors.h"
#include "regex/parser.h"
#include "regex/scanner.h"

namespace sorabu::regex {

namespace {

// Length of the token run the word covers from token i, or 0 when it does not match there.
std::size_t MatchWord(const TREDictionary::Word& word, const std::vector<Token>& tokens,
                      std::size_t i, std::size_t run_end) {
  if (word.codes.empty() || word.codes.size() > run_end - i) return 0;
  for (std::size_t k = 0; k < word.codes.size(); ++k) {
    if (tokens[i + k].code != word.codes[k]) return 0;
  }
  return word.codes.size();
}

}  // namespace

std::string TREPreProcessor::Rewrite(
    std::string_view pattern, const std::vector<std::shared_ptr<const TREDictionary>>& dictionaries) {
  TREScanner scanner(pattern);
  std::vector<Token> tokens;
  while (scanner.Next() != TokenKind::kEnd) tokens.push_back(scanner.Current());

  std::string out;
  bool in_class = false;
  auto copy = [&](const Token& t) { out.append(pattern.substr(t.start - 1, t.end - t.start)); };
  for (std::size_t i = 0; i < tokens.size();) {
    const Token& t = tokens[i];
    if (t.kind != TokenKind::kLiteral || in_class) {
      if (t.kind == TokenKind::kClassOpen) in_class = true;
      if (t.kind == TokenKind::kClassClose) in_class = false;
      copy(t);
      ++i;
      continue;
    }
    std::size_t run_end = i;
    while (run_end < tokens.size() && tokens[run_end].kind == TokenKind::kLiteral) ++run_end;
    while (i < run_end) {
      std::size_t covered = 0;
      const std::string* replacement = nullptr;
      for (const auto& dictionary : dictionaries) {
        const auto* candidates = dictionary->StartingWith(tokens[i].code);
        if (candidates == nullptr) continue;
        for (const TREDictionary::Candidate& c : *candidates) {
          const TREDictionary::Entry& entry = dictionary->entries()[c.entry];
          covered = MatchWord(entry.decoded[c.word], tokens, i, run_end);
          if (covered > 0) {
            replacement = &entry.replacement;
            break;
          }
        }
        if (replacement != nullptr) break;
      }
      if (replacement != nullptr) {
        out += *replacement;
        i += covered;
      } else {
        copy(tokens[i]);
        ++i;
      }
      if (out.size() > kMaxPatternLength) throw ERegExpParser(msg::kTooLong, kMaxPatternLength);
    }
  }
  return out;
}

std::string TREPreProcessor::Run() const {
  std::string text = pattern_;
  if (use_synonym) text = Rewrite(text, synonym_dictionaries);
  if (use_fuzzy) text = Rewrite(text, fuzzy_dictionaries);
  return text;
}

}  // namespace sorabu::regex
