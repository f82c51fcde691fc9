#include "textcmd/plain_search.h"

#include <cstring>
#include <string>
#include <vector>

#include "textconv/cp932.h"

namespace sorabu::textcmd {
namespace {

constexpr unsigned char Upper(unsigned char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

// Without the whole text upper-cased or its character starts listed beforehand: a search through a
// large pane costs a pass over the bytes, and a character start is checked only where a
// candidate matches.
class TSearcher {
 public:
  TSearcher(std::string_view text, std::string_view find, bool matchCase, bool wholeWord, bool utf8)
      : text_(text), find_(find), matchCase_(matchCase), wholeWord_(wholeWord), utf8_(utf8) {
    first_ = static_cast<unsigned char>(find_[0]);
    // Letters are folded only where they stand as characters of their own: a lead byte's partner
    // is compared as it is.
    firstOther_ = !matchCase_ && first_ >= 'A' && first_ <= 'Z' ? static_cast<unsigned char>(first_ + 32) : first_;
  }

  bool Word(std::size_t p) const { return IsWordByte(static_cast<unsigned char>(text_[p])); }

  // Bytes before p that can lead a character come in pairs from the last byte that cannot.
  bool CharStart(std::size_t p) const {
    if (utf8_) return p >= text_.size() || (static_cast<unsigned char>(text_[p]) & 0xC0) != 0x80;
    std::size_t q = p;
    while (q > 0 && textconv::IsLeadByte(static_cast<unsigned char>(text_[q - 1]))) --q;
    return (p - q) % 2 == 0;
  }

  bool Same(std::size_t p) const {
    if (matchCase_) return text_.compare(p, find_.size(), find_) == 0;
    if (utf8_) {
      // Only ASCII letters fold; every byte of a longer character is 0x80 or above.
      for (std::size_t i = 0; i < find_.size(); ++i)
        if (Upper(static_cast<unsigned char>(text_[p + i])) != static_cast<unsigned char>(find_[i])) return false;
      return true;
    }
    for (std::size_t i = 0; i < find_.size();) {
      const std::size_t len = textconv::CharLength(find_, i);
      if (len == 2) {
        if (text_[p + i] != find_[i] || text_[p + i + 1] != find_[i + 1]) return false;
      } else if (Upper(static_cast<unsigned char>(text_[p + i])) != static_cast<unsigned char>(find_[i])) {
        return false;
      }
      i += len;
    }
    return true;
  }

  // A full match at p that the whole-word rule accepts.
  bool Accepts(std::size_t p) const {
    if (p > text_.size() || text_.size() - p < find_.size()) return false;
    if (!Same(p) || !CharStart(p)) return false;
    const std::size_t end = p + find_.size();
    return !wholeWord_ || end == text_.size() || !Word(end);
  }

  // The next place at or after p where the first byte stands, or npos.
  std::size_t NextFirst(std::size_t p) const {
    const char* base = text_.data();
    const std::size_t n = text_.size();
    if (p >= n) return std::string_view::npos;
    const void* a = std::memchr(base + p, first_, n - p);
    std::size_t at = a ? static_cast<std::size_t>(static_cast<const char*>(a) - base) : std::string_view::npos;
    if (firstOther_ != first_) {
      const std::size_t limit = at == std::string_view::npos ? n : at;
      const void* b = std::memchr(base + p, firstOther_, limit - p);
      if (b) at = static_cast<std::size_t>(static_cast<const char*>(b) - base);
    }
    return at;
  }

  std::optional<std::size_t> Down(std::size_t p) const {
    const std::size_t n = text_.size();
    while (p < n) {
      if (wholeWord_) {
        while (p < n && Word(p)) ++p;
        while (p < n && !Word(p)) ++p;
        if (p >= n) return std::nullopt;
      } else {
        p = NextFirst(p);
        if (p == std::string_view::npos || n - p < find_.size()) return std::nullopt;
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
      } else {
        const auto first = static_cast<char>(first_), other = static_cast<char>(firstOther_);
        while (p >= 0 && text_[static_cast<std::size_t>(p)] != first && text_[static_cast<std::size_t>(p)] != other) --p;
        if (p < 0) return std::nullopt;
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
  bool matchCase_;
  bool wholeWord_;
  bool utf8_;
  unsigned char first_ = 0, firstOther_ = 0;
};

}  // namespace

std::optional<TPaneSelection> PlainSearch(std::string_view text, std::string_view find, TPaneSelection selection,
                                          const TPlainSearchOptions& options) {
  if (find.empty() || selection.start > text.size() || selection.length > text.size() - selection.start) {
    return std::nullopt;
  }
  std::string upperFind(find);
  if (!options.matchCase && options.utf8) {
    for (char& c : upperFind) c = static_cast<char>(Upper(static_cast<unsigned char>(c)));
  } else if (!options.matchCase) {
    upperFind = textconv::UpperCaseCp932(find);
  }
  const TSearcher searcher(text, upperFind, options.matchCase, options.wholeWord, options.utf8);
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
