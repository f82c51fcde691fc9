#include "regex/txt_file.h"

#include <cerrno>
#include <cstring>

#include "regex/errors.h"

namespace sorabu::regex {

TTxtFile::TTxtFile(const std::string& path, const bool* cancel, std::function<void()> pump)
    : cancel_(cancel), pump_(std::move(pump)) {
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) throw EFileNotFound(std::strerror(errno));
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

void TTxtFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
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
  raw_.resize(kBlockSize);
  const std::size_t n = std::fread(raw_.data(), 1, kBlockSize, file_);
  if (n < kBlockSize) {
    if (std::ferror(file_)) throw EFileNotFound(std::strerror(errno));
    eof_ = true;
  }
  for (std::size_t i = 0; i < n; ++i) {
    const char b = raw_[i];
    if (pending_cr_) {
      pending_cr_ = false;
      buf_.push_back('\n');
      last_byte_ = '\n';
      if (b == '\n') continue;
    }
    if (b == '\r') {
      pending_cr_ = true;
      continue;
    }
    last_byte_ = b == '\0' ? ' ' : b;
    buf_.push_back(last_byte_);
  }
  if (eof_) {
    if (pending_cr_) {
      pending_cr_ = false;
      buf_.push_back('\n');
      last_byte_ = '\n';
    }
    if (last_byte_ != '\n') buf_.push_back('\n');
    Close();
  }
  Pump();
}

bool TTxtFile::Ensure(std::size_t pos) {
  while (pos >= base_ + buf_.size()) {
    if (eof_) return false;
    ReadBlock();
  }
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
    ++line_no_;
    line_start_ = at + 1;
  }
  ahead_ = main_;
  return c;
}

Code TTxtFile::ReadAheadChar() { return CharAt(ahead_); }

void TTxtFile::SkipToByte(unsigned char b) {
  for (;;) {
    if (!Ensure(main_ + 1)) return;
    const std::size_t end = base_ + buf_.size() - 1;  // the window's last byte is left for later
    while (main_ < end) {
      const char* from = buf_.data() + (main_ - base_);
      const std::size_t span = end - main_;
      const void* hit = std::memchr(from, b, span);
      const std::size_t skipped =
          hit != nullptr ? static_cast<std::size_t>(static_cast<const char*>(hit) - from) : span;
      // Count the lines passed on the way.
      for (const char* q = from;; ++q) {
        q = static_cast<const char*>(std::memchr(q, '\n', skipped - static_cast<std::size_t>(q - from)));
        if (q == nullptr) break;
        ++line_no_;
        line_start_ = main_ + static_cast<std::size_t>(q - from) + 1;
      }
      const std::size_t at = main_ + skipped;
      if (hit == nullptr) {
        main_ = at;
        break;
      }
      // The hit starts a character when an even number of lead bytes precede it: the byte
      // before such a run ends a character, as do LF and the main cursor's own position, so the
      // walk back never passes main_ and the whole skip stays linear.
      std::size_t leads = 0;
      if (b != '\n') {
        while (at - leads > main_ && IsLead(ByteAt(at - leads - 1))) ++leads;
      }
      if (leads % 2 == 0) {
        main_ = at;
        return;
      }
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
