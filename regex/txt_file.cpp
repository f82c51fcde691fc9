#include "regex/txt_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "regex/errors.h"
#include "regex/fixed_string_scan.h"
#include "textconv/cp932.h"
#include "textconv/jis_euc_sjis.h"
#include "textconv/kanji_code.h"
#include "textconv/line_break_scan.h"
#include "textconv/unicode_text.h"
#include "textconv/system_error.h"

namespace sorabu::regex {

namespace {

// Index of the first c in data[from, n), or n.
std::size_t Find(const char* data, std::size_t from, std::size_t n, char c) {
  const void* p = std::memchr(data + from, c, n - from);
  return p == nullptr ? n : static_cast<std::size_t>(static_cast<const char*>(p) - data);
}

}  // namespace

TTxtFile::TTxtFile(const std::string& path, const bool* cancel, std::function<void()> pump, bool skip_binary,
                   const TTxtPiece* piece)
    : skip_binary_(skip_binary), cancel_(cancel), pump_(std::move(pump)) {
  // Opened without waiting for a writer, and read only when it is a regular file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) throw EFileNotFound(textconv::LastSystemErrorText());
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    throw EFileNotFound(S_ISDIR(st.st_mode) || error != 0 ? textconv::SystemErrorText(error) : MessageBytes("通常のファイルではありません。"));
  }
  // O_NONBLOCK means nothing to a regular file's reads.
  fd_ = fd;
  unread_ = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
  if (piece != nullptr) {
    const auto size = static_cast<std::uint64_t>(st.st_size);
    const std::uint64_t begin = std::min(piece->begin, size), end = std::clamp(piece->end, begin, size);
    if (::lseek(fd, static_cast<off_t>(begin), SEEK_SET) < 0) {
      const std::string reason = textconv::LastSystemErrorText();
      ::close(fd);
      throw EFileNotFound(reason);
    }
    unread_ = static_cast<std::size_t>(end - begin);
    first_block_ = false;
    read_any_ = true;
    skip_binary_ = false;
    count_line_ends_ = true;
    if (unread_ == 0) {
      ::close(fd);
      throw EEndOfFile();
    }
  }
  buf_.push_back('\n');
  try {
    ReadBlock();
  } catch (...) {
    Close();
    throw;
  }
  if (buf_.size() == 1) {
    Close();
    throw EEndOfFile();
  }
}

std::uint64_t TTxtFile::LineEndsOfPiece() {
  while (!eof_) ReadBlock();
  return line_ends_read_;
}

bool TTxtFile::ReadsAsShiftJis(const std::string& path, std::size_t within) {
  try {
    TTxtFile file(path, nullptr, {}, true);
    while (file.first_block_ && !file.eof_ && file.buf_.size() < within) file.ReadBlock();
    if (file.first_block_ && !file.eof_) return false;
    return !file.utf8_ && file.japanese_ == 0;
  } catch (const std::exception&) {
    return false;
  }
}

void TTxtFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

TTxtFile::~TTxtFile() { Close(); }

void TTxtFile::Pump() {
  if (pump_) pump_();
  if (cancel_ != nullptr && *cancel_) throw EGrepCancel();
}

void TTxtFile::ReadBlock() {
  // Drop what no cursor can come back to: everything before the current line and the main cursor.
  const std::size_t keep = std::min(line_start_ > 0 ? line_start_ - 1 : 0, main_);
  if (keep > base_) {
    buf_.erase(0, keep - base_);
    base_ = keep;
  }
  if (!raw_) raw_.reset(new char[kBlockSize]);
  const bool sized = unread_ > 0;
  const std::size_t want = sized ? std::min(kBlockSize, unread_) : kBlockSize;
  std::size_t n = 0;
  while (n < want) {
    const ssize_t got = ::read(fd_, raw_.get() + n, want - n);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw EFileNotFound(textconv::LastSystemErrorText());
    if (got == 0) break;
    n += static_cast<std::size_t>(got);
  }
  if (sized) unread_ -= n;
  if (count_line_ends_ && n > 0) {
    line_ends_read_ += textconv::CountLineEnds(raw_.get(), n);
    if (raw_ended_in_cr_ && raw_[0] == '\n') --line_ends_read_;  // one CR LF across two blocks
    raw_ended_in_cr_ = raw_[n - 1] == '\r';
  }
  if (n < want || (sized && unread_ == 0)) eof_ = true;
  const char* data = raw_.get();
  if (skip_binary_ && !read_any_) {
    const std::size_t head = std::min<std::size_t>(n, 8192);
    const bool utf16 = n >= 2 && ((data[0] == '\xFF' && data[1] == '\xFE') || (data[0] == '\xFE' && data[1] == '\xFF'));
    if (!utf16 && std::memchr(data, 0, head) != nullptr) throw EBinaryFile();
  }
  if (first_block_) {
    // A UTF-8, EUC or JIS text is searched as code page 932: its characters are converted as they
    // are read (those CP932 lacks as 〓), so patterns, character boundaries and reported lines all
    // agree. ASCII reads the same either way, so the decision waits for the first block that holds
    // anything else (a JIS kanji-in escape counts, JIS being 7-bit), wherever it is in the file, and then
    // holds for the rest of it; a text that could be EUC or Shift-JIS stays Shift-JIS.
    if (!held_.empty()) {
      held_.append(data, n);
      joined_.swap(held_);
      held_.clear();
      data = joined_.data();
      n = joined_.size();
    }
    const std::string_view block(data, n);
    std::size_t first = 0;
    while (first < n && static_cast<unsigned char>(block[first]) < 0x80 &&
           !(block[first] == '\x1B' && first + 1 < n && block[first + 1] == '$'))
      ++first;
    const bool at_start = !read_any_;
    read_any_ = true;
    // A first non-ASCII character cut by the block's end waits for the next block, which decides.
    if (first < n && n - first < 4 && !eof_) {
      held_.assign(data + first, n - first);
      n = first;
    }
    const bool ascii = first >= n;
    if (!ascii || eof_) first_block_ = false;
    utf8_ = !ascii && textconv::DetectTextForm(std::string_view(data, n), eof_) == textconv::TextForm::Utf8;
    if (!ascii && !utf8_) {
      const textconv::KanjiCode code = textconv::DetectKanjiCode(std::string_view(data, n));
      if (code == textconv::Euc || code == textconv::Jis83 || code == textconv::Jis78) japanese_ = code;
    }
    if (utf8_ && at_start && n >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
      data += 3;
      n -= 3;
    }
  }
  if (utf8_) {
    utf8_carry_.append(data, n);
    // An incomplete last character waits for the next block.
    std::size_t whole = utf8_carry_.size();
    if (!eof_) {
      std::size_t back = 0;
      while (back < 3 && back < whole && (static_cast<unsigned char>(utf8_carry_[whole - 1 - back]) & 0xC0) == 0x80) ++back;
      if (back < whole && static_cast<unsigned char>(utf8_carry_[whole - 1 - back]) >= 0xC0 &&
          textconv::Utf8SequenceLength(utf8_carry_, whole - 1 - back) == 0)
        whole -= back + 1;
    }
    std::vector<std::size_t> marked;
    converted_ = textconv::Utf8ToCp932Marked(std::string_view(utf8_carry_).substr(0, whole), "\x81\xAC", marked);
    utf8_carry_.erase(0, whole);
    data = converted_.data();
    n = converted_.size();
  } else if (japanese_ != 0) {
    code_carry_.append(data, n);
    // EUC is converted up to the last ASCII byte (no character is cut there), JIS up to the last
    // line end, since each line starts in single-byte mode; a carry that grows past a megabyte
    // without one goes whole.
    const bool jis = japanese_ != textconv::Euc;
    std::size_t whole = code_carry_.size();
    if (!eof_) {
      std::size_t cut = whole;
      while (cut > 0) {
        const auto b = static_cast<unsigned char>(code_carry_[cut - 1]);
        if (jis ? (b == '\n' || b == '\r') : b < 0x80) break;
        --cut;
      }
      if (cut > 0 || whole < (std::size_t{1} << 20)) whole = cut;
    }
    converted_.clear();
    const std::string_view part = std::string_view(code_carry_).substr(0, whole);
    if (jis) {
      textconv::JisToShiftJis(part, converted_);
    } else {
      textconv::EucToShiftJis(part, converted_);
    }
    code_carry_.erase(0, whole);
    data = converted_.data();
    n = converted_.size();
  }
  // Plain spans are appended whole; only CR and NUL need a look.
  std::size_t i = 0;
  std::size_t next_cr = 0, next_nul = 0;
  if (n > 0) {
    next_cr = Find(data, 0, n, '\r');
    next_nul = Find(data, 0, n, '\0');
  }
  while (i < n) {
    if (pending_cr_) {
      pending_cr_ = false;
      Put("\n", 1);
      if (data[i] == '\n') ++i;
      continue;
    }
    if (next_cr < i) next_cr = Find(data, i, n, '\r');
    if (next_nul < i) next_nul = Find(data, i, n, '\0');
    const std::size_t j = std::min(next_cr, next_nul);
    if (j > i) Put(data + i, j - i);
    if (j == n) break;
    if (data[j] == '\r') {
      pending_cr_ = true;
      i = j + 1;
      continue;
    }
    // A run of NUL bytes (a hole in a sparse file) becomes blanks in one go.
    static const std::string kBlanks(4096, ' ');
    i = j;
    while (i < n && data[i] == '\0') {
      std::size_t run = 1;
      while (i + run < n && run < kBlanks.size() && data[i + run] == '\0') ++run;
      Put(kBlanks.data(), run);
      i += run;
    }
  }
  if (eof_) {
    if (pending_cr_) {
      pending_cr_ = false;
      Put("\n", 1);
    }
    if (last_byte_ != '\n') Put("\n", 1);
    Close();
  }
  Pump();
}

// Appends normalised bytes, cutting a line that grows past kLongLine just before the byte that
// would make it longer, unless that byte is the line's own LF.
void TTxtFile::Put(const char* bytes, std::size_t n) {
  while (n > 0) {
    if (piece_length_ == kLongLine && *bytes != '\n') Cut();
    const std::size_t room = kLongLine - piece_length_;  // bytes other than LF that still fit
    const void* lf = std::memchr(bytes, '\n', std::min(n, room + 1));
    std::size_t take;
    if (lf != nullptr) {
      take = static_cast<std::size_t>(static_cast<const char*>(lf) - bytes) + 1;
      piece_length_ = 0;
    } else {
      take = std::min(n, room);
      piece_length_ += take;
    }
    buf_.append(bytes, take);
    last_byte_ = bytes[take - 1];
    bytes += take;
    n -= take;
  }
}

// Ends the piece at the window's end, or one byte earlier when that byte is a lead byte that
// would pair with the next: an even run of lead bytes before a place means a character starts
// there. The piece's start is a character start, so the walk back stays inside the piece.
void TTxtFile::Cut() {
  std::size_t leads = 0;
  while (leads < piece_length_ && IsLead(static_cast<unsigned char>(buf_[buf_.size() - 1 - leads]))) ++leads;
  const std::size_t end = base_ + buf_.size();
  if (leads % 2 == 0) {
    buf_.push_back('\n');
    cuts_.push_back(end);
    piece_length_ = 0;
  } else {
    buf_.insert(buf_.end() - 1, '\n');
    cuts_.push_back(end - 1);
    piece_length_ = 1;
  }
}

// Drops the cuts before at; true when an LF at at is a cut (and drops it too).
bool TTxtFile::PassCut(std::size_t at) {
  while (!cuts_.empty() && cuts_.front() < at) cuts_.pop_front();
  if (cuts_.empty() || cuts_.front() != at) return false;
  cuts_.pop_front();
  return true;
}

bool TTxtFile::Ensure(std::size_t pos) {
  while (pos >= base_ + buf_.size()) {
    if (eof_) return false;
    ReadBlock();
  }
  return true;
}

bool TTxtFile::LoadMore() {
  if (eof_) return false;
  ReadBlock();
  return true;
}

Code TTxtFile::CharAt(std::size_t& pos) {
  if (!Ensure(pos)) return kEndCode;
  const unsigned char b = ByteAt(pos++);
  if (IsLead(b) && Ensure(pos) && ByteAt(pos) != '\n') {
    return static_cast<Code>(b * 256 + ByteAt(pos++));
  }
  return b;
}

Code TTxtFile::ReadChar() {
  // The last byte of the data is the LF that ends the last line; no line starts there.
  if (!Ensure(main_ + 1)) throw EEndOfFile();
  const std::size_t at = main_;
  const Code c = CharAt(main_);
  if (c == '\n') {
    if (!PassCut(at)) ++line_no_;
    line_start_ = at + 1;
  }
  ahead_ = main_;
  return c;
}

Code TTxtFile::ReadAheadChar() {
  if (ahead_ >= main_ + kLongLine + 16) return kEndCode;
  return CharAt(ahead_);
}

void TTxtFile::CountLines(std::size_t to) {
  const char* from = buf_.data() + (main_ - base_);
  const std::size_t span = to - main_;
  const std::size_t lines = textconv::CountLineFeeds(from, span);
  if (lines > 0) {
    std::size_t cuts = 0;
    while (!cuts_.empty() && cuts_.front() < to) {
      if (cuts_.front() >= main_) ++cuts;
      cuts_.pop_front();
    }
    line_no_ += static_cast<int>(lines - cuts);
    const void* last = memrchr(from, '\n', span);
    line_start_ = main_ + static_cast<std::size_t>(static_cast<const char*>(last) - from) + 1;
  }
  main_ = to;
}

// A byte starts a character when an even number of lead bytes precede it: the byte before such
// a run ends a character, as do LF and the main cursor's own position, so the walk back never
// passes main_ and a whole skip stays linear.
bool TTxtFile::StartsChar(std::size_t at) const {
  if (ByteAt(at) == '\n') return true;
  std::size_t leads = 0;
  while (at - leads > main_ && IsLead(ByteAt(at - leads - 1))) ++leads;
  return leads % 2 == 0;
}

void TTxtFile::SkipToString(std::string_view needle) {
  for (;;) {
    if (!Ensure(main_ + 1)) return;
    const std::size_t window_end = base_ + buf_.size();
    const char* from = buf_.data() + (main_ - base_);
    const char* hit = FindNeedle(from, window_end - main_, needle);
    if (hit != nullptr) {
      const std::size_t at = main_ + static_cast<std::size_t>(hit - from);
      const bool starts = StartsChar(at);
      CountLines(at);
      if (starts) return;
      ++main_;  // a second byte: the next character starts right after it
      continue;
    }
    // Keep the last needle.size() - 1 bytes, from a character start, for the next block.
    if (window_end > main_ + needle.size()) {
      std::size_t to = window_end - needle.size();
      if (!StartsChar(to)) --to;
      CountLines(to);
    }
    if (eof_) {
      CountLines(window_end - 1);  // the final LF: nothing starts there
      return;
    }
    ReadBlock();
  }
}

void TTxtFile::SkipTo(const TTxtByteSet& set) {
  for (;;) {
    if (!Ensure(main_ + 1)) return;
    const std::size_t end = base_ + buf_.size() - 1;  // the window's last byte is left for later
    while (main_ < end) {
      const char* from = buf_.data() + (main_ - base_);
      const std::size_t span = end - main_;
      std::size_t skipped = span;
      if (set.single >= 0) {
        const void* hit = std::memchr(from, set.single, span);
        if (hit != nullptr) skipped = static_cast<std::size_t>(static_cast<const char*>(hit) - from);
      } else {
        const auto* bytes = reinterpret_cast<const unsigned char*>(from);
        for (std::size_t k = 0; k < span; ++k) {
          if (set.member[bytes[k]]) {
            skipped = k;
            break;
          }
        }
      }
      const std::size_t at = main_ + skipped;
      if (skipped == span) {
        CountLines(at);
        break;
      }
      const bool starts = StartsChar(at);
      CountLines(at);
      if (starts) return;
      main_ = at + 1;
    }
  }
}

RE_LineInfo_t TTxtFile::GetLine() {
  Pump();
  for (;;) {
    if (!Ensure(main_)) break;
    const char* from = buf_.data() + (main_ - base_);
    const void* lf = std::memchr(from, '\n', buf_.size() - (main_ - base_));
    if (lf != nullptr) {
      main_ += static_cast<std::size_t>(static_cast<const char*>(lf) - from);
      break;
    }
    main_ = base_ + buf_.size();
  }
  RE_LineInfo_t info;
  info.Line = buf_.substr(line_start_ - base_, main_ - line_start_);
  info.LineNo = line_no_;
  return info;
}

}  // namespace sorabu::regex
