// Where each line of a byte text starts, found at memory speed so that a viewer can show any
// line of a huge file without decoding what lies before it.
//
// Lines end at CR LF, CR or LF (code page 932 never uses these bytes inside a character). A text
// ending with a break has an empty last line after it, which holds nothing but the caret.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace sorabu::viewer {

class TLineIndex {
 public:
  // Indexes text from scratch.
  void Build(std::string_view text);
  // text is the indexed text with more appended; only the new part (and the line it continues)
  // is scanned.
  void Extend(std::string_view text);
  void Clear();

  // Lines shown, the empty one after a final break included; at least 1.
  std::size_t Lines() const { return starts_.size(); }
  // Lines of text: the empty line after a final break and an empty text count none.
  std::size_t TextLines() const;
  std::size_t Start(std::size_t line) const { return starts_[line]; }
  // The end of the line's bytes, its break excluded.
  std::size_t End(std::size_t line) const;
  // The line holding byte offset (an offset on a break belongs to the line it ends).
  std::size_t LineOf(std::size_t offset) const;
  std::size_t Size() const { return size_; }

 private:
  void Scan(std::string_view text, std::size_t from);

  std::vector<std::uint64_t> starts_{0};
  std::vector<std::uint8_t> breakLength_;  // per line but the last: 1 or 2
  std::size_t size_ = 0;
};

// Character boundaries in code page 932 text: the start of the character holding the byte
// before pos (lineStart must be a boundary at or before it), and the start of the character after
// the one at pos.
std::size_t PreviousCharStart(std::string_view text, std::size_t lineStart, std::size_t pos);
std::size_t NextCharStart(std::string_view text, std::size_t pos);

}  // namespace sorabu::viewer
