#include "textcmd/text_line_reader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "textconv/cp932.h"
#include "textconv/large_pages.h"
#include "textconv/system_error.h"

namespace sorabu::textcmd {

namespace {
constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kEOF = '\x1A';

bool EndsLine(char c, LineModel model) { return c == kCR || (c == kLF && LfEndsLine(model)); }
}  // namespace

TTextLineReader::TTextLineReader(LineModel model, std::size_t blockSize)
    : model_(model), buffer_(blockSize == 0 ? 1 : blockSize) {}

TTextLineReader::~TTextLineReader() { Close(); }

bool TTextLineReader::Open(const std::string& path) {
  Close();
  error_.clear();
  pos_ = end_ = bytesRead_ = 0;
  firstEnd_.clear();
  eof_ = stopped_ = skipLf_ = false;
  do {
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) {
    error_ = textconv::SystemErrorText(errno);
    return false;
  }
  // A FIFO or device would block or never end: only regular files (and folders, whose read
  // fails at once) are read.
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
    error_ = textconv::Sjis("通常のファイルではありません。");
    Close();
    return false;
  }
  return true;
}

void TTextLineReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool TTextLineReader::Fill() {
  if (eof_ || fd_ < 0) return false;
  ssize_t n;
  do {
    n = ::read(fd_, buffer_.data(), buffer_.size());
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    error_ = textconv::SystemErrorText(errno);
    eof_ = true;
    return false;
  }
  if (n == 0) {
    eof_ = true;
    return false;
  }
  pos_ = 0;
  end_ = static_cast<std::size_t>(n);
  if (bytesRead_ == 0) firstEnd_ = FirstLineEnd(std::string_view(buffer_.data(), end_), end_ == buffer_.size());
  bytesRead_ += end_;
  return true;
}

TTextLineReader::Result TTextLineReader::ReadLine(std::string& line) { return ReadLine(line, std::string::npos); }

TTextLineReader::Result TTextLineReader::ReadLine(std::string& line, std::size_t limit) {
  line.clear();
  cut_ = false;
  if (stopped_ || fd_ < 0) return error_.empty() ? Result::End : Result::Error;
  bool any = false;  // a line exists even when empty, once a byte of it or its end was seen
  for (;;) {
    if (pos_ == end_ && !Fill()) {
      stopped_ = true;
      if (!error_.empty()) return any ? Result::Line : Result::Error;
      return any ? Result::Line : Result::End;
    }
    if (skipLf_) {
      skipLf_ = false;
      if (buffer_[pos_] == kLF) {
        ++pos_;
        continue;
      }
    }
    const char* begin = buffer_.data() + pos_;
    const char* stop = buffer_.data() + end_;
    if (limit != std::string::npos && static_cast<std::size_t>(stop - begin) > limit - line.size())
      stop = begin + (limit - line.size());
    const char* p = begin;
    const bool ctrl_z_ends = model_ != LineModel::List;
    while (p < stop && !EndsLine(*p, model_) && !(ctrl_z_ends && *p == kEOF)) ++p;
    line.append(begin, static_cast<std::size_t>(p - begin));
    if (p != begin) any = true;
    pos_ = static_cast<std::size_t>(p - buffer_.data());
    if (p == stop) {
      if (limit != std::string::npos && line.size() >= limit) {
        cut_ = true;
        return Result::Line;
      }
      continue;
    }
    if (ctrl_z_ends && *p == kEOF) {
      stopped_ = true;
      return any ? Result::Line : Result::End;
    }
    ++pos_;
    if (*p == kCR) skipLf_ = true;
    return Result::Line;
  }
}

std::string FirstLineEnd(std::string_view text, bool moreFollows) {
  const std::size_t at = text.find_first_of("\r\n\x1A");
  if (at == std::string_view::npos || text[at] == kEOF) return {};
  if (text[at] == kLF) return "\n";
  if (at + 1 < text.size()) return text[at + 1] == kLF ? "\r\n" : "\r";
  return moreFollows ? "\r\n" : "\r";
}

std::vector<std::string_view> SplitLineViews(std::string_view text, LineModel model) {
  std::vector<std::string_view> lines;
  // About one line in forty bytes saves most of the regrowth of a large text's list.
  lines.reserve(text.size() / 40 + 1);
  textconv::PreferLargePages(lines.data(), lines.capacity() * sizeof lines[0]);
  std::size_t i = 0;
  const std::size_t n = text.size();
  const bool ctrl_z_ends = model != LineModel::List;
  while (i < n) {
    std::size_t j = i;
    while (j < n && !EndsLine(text[j], model) && !(ctrl_z_ends && text[j] == kEOF)) ++j;
    if (ctrl_z_ends && j < n && text[j] == kEOF) {
      if (j > i) lines.push_back(text.substr(i, j - i));
      return lines;
    }
    lines.push_back(text.substr(i, j - i));
    if (j == n) return lines;
    if (text[j] == kCR && j + 1 < n && text[j + 1] == kLF) ++j;
    i = j + 1;
  }
  return lines;
}

std::vector<std::string> SplitLines(std::string_view text, LineModel model) {
  const std::vector<std::string_view> views = SplitLineViews(text, model);
  return std::vector<std::string>(views.begin(), views.end());
}

}  // namespace sorabu::textcmd
