#include "textcmd/out_file.h"
#include "textconv/system_error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace sorabu::textcmd {
namespace {
constexpr std::size_t kBufferSize = 1 << 20;
}

TOutFile::~TOutFile() { Close(); }

bool TOutFile::Create(const std::string& path, unsigned mode) {
  path_ = path;
  error_.clear();
  written_ = 0;
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
  if (fd_ < 0) {
    error_ = path + ": " + textconv::SystemErrorUtf8(errno);
    return false;
  }
  buffer_.reserve(kBufferSize);
  return true;
}

void TOutFile::Flush() {
  std::size_t done = 0;
  while (fd_ >= 0 && error_.empty() && done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = path_ + ": " + textconv::SystemErrorUtf8(errno);
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  buffer_.clear();
}

void TOutFile::Write(std::string_view bytes) {
  if (fd_ < 0 || !error_.empty()) return;
  written_ += bytes.size();
  if (buffer_.size() + bytes.size() > kBufferSize) {
    Flush();
    if (bytes.size() >= kBufferSize) {
      buffer_.assign(bytes);
      Flush();
    } else {
      buffer_.append(bytes);
    }
    if (progress_ && !progress_(written_)) throw TCommandCancelled{};
    return;
  }
  buffer_.append(bytes);
}

void TOutFile::Line(std::string_view bytes) {
  Write(bytes);
  Write(ends_.written);
}

TLineEnds LineEndsOf(const std::string& path, bool lfLines) {
  TLineEnds ends;
  if (!lfLines) return ends;
  ends.model = LineModel::StreamingLf;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ends;
  std::string block(64 * 1024, '\0');
  bool pendingCr = false;  // a CR ended the last block: the next byte tells CR from CR LF
  for (;;) {
    const ssize_t n = ::read(fd, block.data(), block.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (pendingCr) ends.written = "\r";
      break;
    }
    const std::string_view seen(block.data(), static_cast<std::size_t>(n));
    if (pendingCr) {
      ends.written = seen[0] == '\n' ? "\r\n" : "\r";
      break;
    }
    const std::string end = FirstLineEnd(seen, true);
    if (!end.empty() && (end != "\r\n" || seen.back() != '\r' || seen.find('\r') != seen.size() - 1)) {
      ends.written = end;
      break;
    }
    if (!end.empty()) pendingCr = true;
    else if (seen.find('\x1A') != std::string_view::npos) break;
  }
  ::close(fd);
  return ends;
}

bool TOutFile::Close() {
  if (fd_ < 0) return error_.empty();
  Flush();
  if (::close(fd_) != 0 && error_.empty()) error_ = path_ + ": " + textconv::SystemErrorUtf8(errno);
  fd_ = -1;
  return error_.empty();
}

}  // namespace sorabu::textcmd
