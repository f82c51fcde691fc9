// TTxtFile: the block reader Grep walks, one character at a time, with two cursors.
//
// The file is read in blocks of 102,400 bytes, never whole. What the cursors see is the file
// normalised as it streams in: a leading LF (so the first line, like every other, follows an LF),
// CR LF and a lone CR as LF, a NUL byte as a blank, and a final LF when the file lacks one. The
// window keeps the current line from its start (the "carry" of earlier blocks) and whatever the
// look-ahead cursor has needed beyond it, so a line longer than a block, or a match that runs on
// past the line's end, simply keeps more blocks, up to the bounds below.
//
// The main cursor moves start by start; an LF it reads begins a new line and counts it. The
// look-ahead cursor restarts at the main cursor after every main read and returns 0 past the end.
// Two choices keep the lines honest: the file's final LF ends the last line and starts none (so a
// pattern that begins with LF cannot report a line after the last), and a lead byte directly
// before an LF stands alone instead of swallowing the line end.
//
// Memory stays bounded whatever the file holds. A line longer than kLongLine bytes is cut into
// pieces of at most kLongLine bytes, each cut at a character start and marked by an LF that ends
// the piece but counts no line: the pieces are searched and reported as lines of their own, all
// with the line's number, so "^" and "$" also match at a cut, and a match that would run across
// a cut is not found. The look-ahead cursor stops (returns 0) kLongLine + 16 bytes past the main
// cursor, so no match is longer than that, across line ends either.
//
// After every block and before every reported line the message pump runs and the caller's cancel
// flag is checked (EGrepCancel). Opening failures raise EFileNotFound with the system's message;
// so does anything but a regular file (a FIFO or a device could block the read or never end),
// which is never read. An empty file raises EEndOfFile at creation, as does the main cursor at
// the end of the file. The file ends where its size said it would when it was opened (a read that
// returns nothing more is not needed); a file whose size says nothing is read to its end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "regex/codes.h"

namespace sorabu::regex {

struct RE_LineInfo_t {
  std::string Line;  // the line without its line end
  int LineNo = 0;    // 1-based
};

// Bytes that may start a match; single >= 0 when exactly one byte does.
struct TTxtByteSet {
  std::array<bool, 256> member{};
  int single = -1;
};

// A stretch of a Shift-JIS file read as a file of its own: begin is 0 or follows an LF, so its
// lines are lines of the whole file (Grep searches one large file in pieces side by side).
struct TTxtPiece {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
};

class TTxtFile {
 public:
  static constexpr std::size_t kBlockSize = 102'400;
  static constexpr std::size_t kLongLine = 1 << 20;

  // skip_binary: a file whose first 8 KiB hold a NUL byte, without a UTF-16 byte-order mark,
  // raises EBinaryFile instead of being read.
  // piece: only that stretch, read as code page 932 whatever it holds.
  TTxtFile(const std::string& path, const bool* cancel, std::function<void()> pump = {}, bool skip_binary = false,
           const TTxtPiece* piece = nullptr);
  ~TTxtFile();
  TTxtFile(const TTxtFile&) = delete;
  TTxtFile& operator=(const TTxtFile&) = delete;

  // True when the whole file reads as code page 932 as it stands (not UTF-8, EUC or JIS, not
  // binary), decided within its first `within` bytes; false too when it cannot be read.
  static bool ReadsAsShiftJis(const std::string& path, std::size_t within);

  // A piece's line ends (CR LF, CR or LF each one), reading what is left of it first.
  std::uint64_t LineEndsOfPiece();

  // Next character at the main cursor; throws EEndOfFile after the last line's characters.
  Code ReadChar();
  // Next character at the look-ahead cursor; 0 at the end of the file.
  Code ReadAheadChar();
  // The current line; moves the main cursor to just before the line's LF.
  RE_LineInfo_t GetLine();

  // Moves the main cursor to the next character whose first byte is in set, without reading it,
  // or to the end of the data (then ReadChar throws EEndOfFile). Lines passed on the way are
  // counted. The scans use it to skip, with memchr where one byte will do, the places where no
  // match can start.
  void SkipTo(const TTxtByteSet& set);
  // The same for the next place where needle (a character string's bytes) starts on a character
  // start; memchr looks for the needle's rarest byte.
  void SkipToString(std::string_view needle);
  // The main cursor stands on the final LF: a scan that needs more than one more character is
  // done (ending it here spares the end-of-file exception, which a Grep over thousands of small
  // files would otherwise pay for every file).
  bool AtFinalLf() const { return eof_ && main_ + 1 >= base_ + buf_.size(); }

  // The fast path of the automaton scan: the bytes in the window from the main cursor on, and a
  // way to move the main cursor forward to a character start (lines passed are counted).
  const char* window_at_main() const noexcept { return buf_.data() + (main_ - base_); }
  std::size_t window_left() const noexcept { return base_ + buf_.size() - main_; }
  void AdvanceMain(std::size_t bytes) { CountLines(main_ + bytes); }
  // Absolute position of the main cursor in the normalised stream.
  std::size_t main_position() const noexcept { return main_; }
  // Reads the next block into the window (false at the end of the file); the window then starts
  // at the main cursor's line or later, so window_at_main must be asked again.
  bool LoadMore();
  // The window holds the rest of the file.
  bool window_complete() const noexcept { return eof_; }

 private:
  bool Ensure(std::size_t pos);
  void CountLines(std::size_t to);  // moves main_ to `to`
  bool StartsChar(std::size_t at) const;  // loads blocks until absolute position pos is in the window
  void ReadBlock();
  void Put(const char* bytes, std::size_t n);
  void Cut();
  bool PassCut(std::size_t at);
  void Close();
  void Pump();
  Code CharAt(std::size_t& pos);
  unsigned char ByteAt(std::size_t pos) const { return static_cast<unsigned char>(buf_[pos - base_]); }

  int fd_ = -1;
  std::size_t unread_ = 0;   // bytes the file's size says are left; 0 when it says nothing
  bool skip_binary_ = false;
  bool count_line_ends_ = false;  // a piece counts the line ends it reads
  std::uint64_t line_ends_read_ = 0;
  bool raw_ended_in_cr_ = false;
  bool first_block_ = true;  // the text form is not decided yet (all ASCII so far)
  bool read_any_ = false;    // a block has been read (a byte-order mark counts only at the start)
  std::string held_;         // the start of a first non-ASCII character, for the next block
  std::string joined_;
  bool utf8_ = false;        // the file is UTF-8, read as code page 932
  std::string utf8_carry_;   // UTF-8 bytes of a character cut by a block's end
  int japanese_ = 0;         // the file is EUC or JIS (its kanji code), read as Shift-JIS
  std::string code_carry_;   // EUC bytes after the block's last ASCII byte, JIS after its last line end
  std::string converted_;
  const bool* cancel_;
  std::function<void()> pump_;
  std::string buf_;          // normalised bytes from absolute position base_ on
  std::size_t base_ = 0;
  bool eof_ = false;         // the whole file is in the stream
  bool pending_cr_ = false;  // a block ended in CR
  char last_byte_ = '\n';
  std::size_t piece_length_ = 0;  // bytes in the stream since its last LF
  std::deque<std::size_t> cuts_;  // the LFs from the main cursor on that cut a long line
  std::unique_ptr<char[]> raw_;  // one block as read; never zero-filled (a Grep opens thousands)
  std::size_t main_ = 0;
  std::size_t ahead_ = 0;
  std::size_t line_start_ = 0;
  int line_no_ = 0;
};

}  // namespace sorabu::regex
