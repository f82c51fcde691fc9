// Plain text search: the text pane's search, as a function of the text, the find text and the
// selection, and the character-start search the file-rewriting commands use.
//
// The search compares bytes, upper-cased on both sides unless the case must match (ASCII letters
// only; a double-byte character's second byte is never changed). Candidates run from just after
// the selection to the end (down) or from just before its start to the first byte (up). In
// whole-word mode each candidate is first moved to a word start, every byte skipped using up a
// candidate, and a match followed by a word byte is refused; the end of the text ends a word.
// Word bytes are digits, ASCII letters and the double-byte lead bytes 0x81-0x9F and 0xE0-0xFC;
// every other byte, half-width katakana included, is a delimiter.
//
// A match must also start on a character start: the pane shows characters, and a selection
// that began at the second byte of a double-byte character (求, 8B 81, inside ル、, 83 8B 81 41)
// would select half a character. No step reads outside the text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sorabu::textcmd {

struct TPaneSelection {
  std::size_t start = 0;   // byte offset
  std::size_t length = 0;  // bytes
};

struct TPlainSearchOptions {
  bool down = true;
  bool matchCase = false;
  bool wholeWord = false;
  bool utf8 = false;  // text and find text are UTF-8: characters start at every byte but 0x80..0xBF
};

constexpr bool IsWordByte(unsigned char c) noexcept {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The match as the new selection, or nullopt (the selection stays). An empty find text, or a
// selection beyond the text, finds nothing.
std::optional<TPaneSelection> PlainSearch(std::string_view text, std::string_view find, TPaneSelection selection,
                                          const TPlainSearchOptions& options);

// Plain text on character starts, for the file-rewriting commands: a byte search would find 求
// (8B 81) inside ル、 (83 8B 81 41), and deleting or replacing there would cut both characters
// in half. Gives the byte offset of the first occurrence at or after from (a character start),
// or npos; an empty text is found nowhere.
std::size_t FindText(std::string_view line, std::string_view text, std::size_t from = 0);
bool ContainsText(std::string_view line, std::string_view text);
// Every occurrence of from, left to right and not overlapping, replaced by to.
std::string ReplaceText(std::string_view line, std::string_view from, std::string_view to);

}  // namespace sorabu::textcmd
