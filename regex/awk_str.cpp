#include "regex/awk_str.h"

#include "regex/dictionary.h"
#include "regex/errors.h"
#include "regex/scanner.h"

namespace sorabu::regex {

TAWKStr::TAWKStr() { preprocessor().fuzzy_dictionaries.push_back(BuiltinFuzzyDictionary()); }

void TAWKStr::SetRegExp(std::string_view pattern) {
  try {
    TMatchCORE::SetRegExp(pattern);
  } catch (...) {
    anchored_ = dfa().has_line_head() || dfa().has_line_tail();
    throw;
  }
  anchored_ = dfa().has_line_head() || dfa().has_line_tail();
}

std::optional<MatchSpan> TAWKStr::Search(std::string_view s, std::size_t p, TMatchDeadEnds* memo) const {
  return anchored_ ? SearchFromLineStart(s, p, memo) : PlainSearch(s, p, memo);
}

std::size_t TAWKStr::Match(std::string_view s, std::size_t& start, std::size_t& length) const {
  const auto m = Search(s, 0);
  if (!m) {
    start = length = 0;
    return 0;
  }
  start = m->start + 1;
  length = m->end - m->start;
  return start;
}

int TAWKStr::GSub(std::string_view replacement, std::string& s) const {
  TMatchDeadEnds memo;  // shared by every search of this text
  auto m = Search(s, 0, &memo);
  if (!m) return 0;
  if (s.empty()) {
    s = ExpandReplacement(replacement, {});
    return 1;
  }
  const std::string_view text = s;
  std::string out;
  int count = 0;
  std::size_t pos = 0;
  while (m) {
    out.append(text.substr(pos, m->start - pos));
    out += ExpandReplacement(replacement, text.substr(m->start, m->end - m->start));
    ++count;
    pos = m->end;
    if (m->end == m->start && pos < text.size()) {
      std::size_t step = ReadTextChar(text, pos).length;
      if (LineSeparator == mcls_CRLF && text[pos] == '\r' && pos + 1 < text.size() &&
          text[pos + 1] == '\n') {
        step = 2;
      }
      out.append(text.substr(pos, step));
      pos += step;
    }
    if (pos >= text.size()) break;
    if (!anchored_) {
      m = PlainSearch(text, pos, &memo);
    } else if (text[pos - 1] == '\n') {
      m = SearchFromLineStart(text, pos, &memo);
    } else {
      m = SearchOnward(text, pos, &memo);
    }
  }
  out.append(text.substr(pos));
  s = std::move(out);
  return count;
}

std::string ExpandEscapes(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    if (s[i] != '\\') {
      const std::size_t len = ReadTextChar(s, i).length;
      out.append(s.substr(i, len));
      i += len;
      continue;
    }
    ++i;
    AppendCode(out, ReadEscapeAt(s, i));
  }
  return out;
}

std::string ExpandReplacement(std::string_view replacement, std::string_view m) {
  // Protect "\&" from the escape expansion by doubling its backslash.
  std::string protected_text;
  for (std::size_t i = 0; i < replacement.size();) {
    if (replacement[i] == '\\' && i + 1 < replacement.size()) {
      if (replacement[i + 1] == '&') {
        protected_text += "\\\\&";
        i += 2;
        continue;
      }
      const std::size_t len = 1 + ReadTextChar(replacement, i + 1).length;
      protected_text.append(replacement.substr(i, len));
      i += len;
      continue;
    }
    const std::size_t len = ReadTextChar(replacement, i).length;
    protected_text.append(replacement.substr(i, len));
    i += len;
  }
  const std::string expanded = ExpandEscapes(protected_text);
  std::string out;
  for (std::size_t i = 0; i < expanded.size();) {
    if (expanded[i] == '&') {
      out.append(m);
      ++i;
    } else if (expanded[i] == '\\' && i + 1 < expanded.size() && expanded[i + 1] == '&') {
      out.push_back('&');
      i += 2;
    } else if (expanded[i] == '\\') {
      out.push_back('\\');
      ++i;
    } else {
      const std::size_t len = ReadTextChar(expanded, i).length;
      out.append(expanded.substr(i, len));
      i += len;
    }
  }
  return out;
}

}  // namespace sorabu::regex
