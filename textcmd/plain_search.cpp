#include "textcmd/plain_search.h"

#include <string>
#include <vector>

#include "textconv/cp932.h"

namespace sorabu::textcmd {
namespace {

std::vector<bool> CharacterStarts(std::string_view text) {
  std::vector<bool> starts(text.size() + 1, false);
  for (std::size_t i = 0; i < text.size(); i += textconv::CharLength(text, i)) starts[i] = true;
  starts[text.size()] = true;
  return starts;
}

class TSearcher {
 public:
  TSearcher(std::string_view text, std::string_view find, bool wholeWord)
      : text_(text), find_(find), wholeWord_(wholeWord), starts_(CharacterStarts(text)) {}

  bool Word(std::size_t p) const { return IsWordByte(static_cast<unsigned char>(text_[p])); }

  // A full match at p that the whole-word rule accepts.
  bool Accepts(std::size_t p) const {
    if (p > text_.size() || text_.size() - p < find_.size() || !starts_[p]) return false;
    if (text_.compare(p, find_.size(), find_) != 0) return false;
    const std::size_t end = p + find_.size();
    return !wholeWord_ || end == text_.size() || !Word(end);
  }

  std::optional<std::size_t> Down(std::size_t p) const {
    const std::size_t n = text_.size();
    while (p < n) {
      if (wholeWord_) {
        while (p < n && Word(p)) ++p;
        while (p < n && !Word(p)) ++p;
        if (p >= n) return std::nullopt;
      }
      if (Accepts(p)) return p;
      ++p;
    }
    return std::nullopt;
  }

  // p is the first candidate (the byte before the selection), as a signed position.
  std::optional<std::size_t> Up(long long p) const {
    while (p >= 0) {
      if (wholeWord_) {
        while (p >= 0 && !Word(static_cast<std::size_t>(p))) --p;
        while (p >= 0 && Word(static_cast<std::size_t>(p))) --p;
        // p is now a delimiter or just before the text: the word starts one byte on.
        ++p;
      }
      const auto q = static_cast<std::size_t>(p);
      if (q < text_.size() && Accepts(q)) return q;
      --p;
    }
    return std::nullopt;
  }

 private:
  std::string_view text_;
  std::string_view find_;
  bool wholeWord_;
  std::vector<bool> starts_;
};

}  // namespace

std::optional<TPaneSelection> PlainSearch(std::string_view text, std::string_view find, TPaneSelection selection,
                                          const TPlainSearchOptions& options) {
  if (find.empty() || selection.start > text.size() || selection.length > text.size() - selection.start) {
    return std::nullopt;
  }
  std::string upperText, upperFind;
  if (!options.matchCase) {
    upperText = textconv::UpperCaseCp932(text);
    upperFind = textconv::UpperCaseCp932(find);
    text = upperText;
    find = upperFind;
  }
  const TSearcher searcher(text, find, options.wholeWord);
  const auto found = options.down ? searcher.Down(selection.start + selection.length)
                                  : searcher.Up(static_cast<long long>(selection.start) - 1);
  if (!found) return std::nullopt;
  return TPaneSelection{*found, find.size()};
}

std::size_t FindText(std::string_view line, std::string_view text, std::size_t from) {
  if (text.empty()) return std::string_view::npos;
  std::size_t boundary = from;  // a character start, never beyond a candidate still to check
  while (from < line.size()) {
    const std::size_t c = line.find(text, from);
    if (c == std::string_view::npos) return c;
    while (boundary < c) boundary += textconv::CharLength(line, boundary);
    if (boundary == c) {
      std::size_t end = c;
      while (end < c + text.size()) end += textconv::CharLength(line, end);
      if (end == c + text.size()) return c;
    }
    from = boundary == c ? c + 1 : boundary;
  }
  return std::string_view::npos;
}

bool ContainsText(std::string_view line, std::string_view text) {
  return FindText(line, text) != std::string_view::npos;
}

std::string ReplaceText(std::string_view line, std::string_view from, std::string_view to) {
  std::string out;
  std::size_t pos = 0;
  for (std::size_t c = FindText(line, from); c != std::string_view::npos; c = FindText(line, from, pos)) {
    out.append(line.substr(pos, c - pos)).append(to);
    pos = c + from.size();
  }
  if (pos == 0) return std::string(line);
  out.append(line.substr(pos));
  return out;
}

}  // namespace sorabu::textcmd
