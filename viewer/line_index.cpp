#include "viewer/line_index.h"

#include <algorithm>
#include <cstring>

#include "textconv/cp932.h"
#include "textconv/line_break_scan.h"
#include "textconv/large_pages.h"


namespace sorabu::viewer {


void TLineIndex::Clear() {
  // The memory goes too: the next text may be small.
  std::vector<std::uint64_t>(1, 0).swap(starts_);
  std::vector<std::uint8_t>().swap(breakLength_);
  size_ = 0;
}

void TLineIndex::Build(std::string_view text) {
  Clear();
  // Most texts have lines of some tens of bytes; a guess saves the vector's regrowth.
  starts_.reserve(text.size() / 48 + 1);
  breakLength_.reserve(text.size() / 48 + 1);
  textconv::PreferLargePages(starts_.data(), starts_.capacity() * sizeof starts_[0]);
  textconv::PreferLargePages(breakLength_.data(), breakLength_.capacity());
  Scan(text, 0);
}

void TLineIndex::Extend(std::string_view text) {
  if (text.size() < size_) {
    Build(text);
    return;
  }
  // A CR that ended the old text may be the first half of a CR LF: scan again from the line it ended.
  std::size_t line = starts_.size() - 1;
  if (line > 0 && breakLength_[line - 1] == 1 && starts_[line] == size_ && text[size_ - 1] == '\r') --line;
  const std::size_t from = starts_[line];
  starts_.resize(line + 1);
  breakLength_.resize(line);
  Scan(text, from);
}

void TLineIndex::Scan(std::string_view text, std::size_t from) {
  const std::size_t n = text.size();
  std::size_t i = from;
  for (;;) {
    const std::size_t b = textconv::FindCrOrLf(text, i);
    if (b >= n) break;
    const std::uint8_t len = text[b] == '\r' && b + 1 < n && text[b + 1] == '\n' ? 2 : 1;
    breakLength_.push_back(len);
    i = b + len;
    starts_.push_back(i);
  }
  size_ = n;
}

std::size_t TLineIndex::TextLines() const {
  if (size_ == 0) return 0;
  return starts_.back() == size_ && starts_.size() > 1 ? starts_.size() - 1 : starts_.size();
}

std::size_t TLineIndex::End(std::size_t line) const {
  if (line + 1 >= starts_.size()) return size_;
  return static_cast<std::size_t>(starts_[line + 1]) - breakLength_[line];
}

std::size_t TLineIndex::LineOf(std::size_t offset) const {
  auto it = std::upper_bound(starts_.begin(), starts_.end(), static_cast<std::uint64_t>(offset));
  return static_cast<std::size_t>(it - starts_.begin()) - 1;
}

std::size_t PreviousCharStart(std::string_view text, std::size_t lineStart, std::size_t pos) {
  if (pos <= lineStart) return lineStart;
  // A byte that cannot lead ends a character, so going back over the run of lead-capable bytes
  // before pos - 1 finds a boundary; from there characters are pairs up to pos - 1.
  std::size_t q = pos - 1;
  while (q > lineStart && textconv::IsLeadByte(static_cast<unsigned char>(text[q - 1]))) --q;
  return q + ((pos - 1 - q) / 2) * 2;
}

std::size_t NextCharStart(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return text.size();
  return pos + textconv::CharLength(text, pos);
}

}  // namespace sorabu::viewer
