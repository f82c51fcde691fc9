#include "textcmd/line_runner.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "textcmd/text_line_reader.h"
#include "textconv/binhex.h"
#include "textconv/cp932.h"
#include "textconv/large_pages.h"
#include "textconv/line_conversion.h"
#include "textconv/line_stream.h"
#include "textconv/ui_text.h"
#include "textconv/line_break_scan.h"
#include "textconv/uuencode.h"
#include "textconv/system_error.h"

namespace sorabu::textcmd {
namespace {

std::string ReadError(const std::string& path, const std::string& reason) {
  return textconv::Utf8ToCp932Exact(path) + textconv::Utf8ToCp932(": " + reason);
}

// Feeds one streaming line, arriving in pieces, through a converter. A line made only of LF
// bytes (or empty) is written back as read; those LFs are only counted until a real byte shows
// the line must be converted, so even such a line costs no memory.
class PieceConverter {
 public:
  PieceConverter(textconv::LineStream::Kind kind, bool keepEmpty, TOutFile& out)
      : stream_(kind), keepEmpty_(keepEmpty), out_(out) {}

  void Piece(std::string_view piece, bool lineEnd) {
    if (!converting_) {
      std::size_t i = 0;
      if (keepEmpty_)
        while (i < piece.size() && piece[i] == '\n') ++i;
      if (i == piece.size()) {
        pendingLf_ += i;
      } else {
        converting_ = true;
        while (pendingLf_ > 0) {
          const std::size_t n = pendingLf_ < 4096 ? pendingLf_ : 4096;
          stream_.Feed(std::string(n, '\n'), buffer_);
          pendingLf_ -= n;
        }
      }
    }
    if (converting_) stream_.Feed(piece, buffer_);
    if (lineEnd) {
      if (converting_) {
        stream_.Finish(buffer_);
      } else {
        for (; pendingLf_ > 0; --pendingLf_) buffer_.push_back('\n');
      }
      buffer_.append(out_.LineEnd());
      converting_ = false;
      pendingLf_ = 0;
    }
    out_.Write(buffer_);
    buffer_.clear();
  }

 private:
  textconv::LineStream stream_;
  bool keepEmpty_;
  TOutFile& out_;
  bool converting_ = false;
  std::size_t pendingLf_ = 0;
  std::string buffer_;
};

// Sub-lines of one encoded line come back as separate streaming lines; gather them again.
// A uuencoded line ends with its back-quote sub-line, after which the CR LF that ended the
// encoded line reads as one empty line that belongs to it. A BinHex line runs from its opening
// to its closing colon.
class SubLineJoiner {
 public:
  SubLineJoiner(int code, TOutFile& out) : uu_(code == 11), out_(out) {}

  void Line(std::string_view line) {
    if (skipEmpty_) {
      skipEmpty_ = false;
      if (line.empty()) return;
    }
    if (!open_) {
      if (textconv::IsEmptyWithoutNewlines(line)) {
        out_.Line(line);
        return;
      }
      if (!uu_ && line.front() != ':') {
        Emit(line);
        return;
      }
      open_ = true;
      text_.assign(line);
    } else {
      text_.push_back('\r');
      text_.append(line);
    }
    const bool closed = uu_ ? line == "`" : (text_.size() >= 2 && text_.back() == ':');
    if (closed) {
      Emit(text_);
      text_.clear();
      open_ = false;
      skipEmpty_ = uu_;
    }
  }

  void Finish() {
    if (open_) Emit(text_);
    open_ = false;
  }

 private:
  void Emit(std::string_view encoded) {
    decoded_.clear();
    if (uu_) {
      textconv::UuDecode(encoded, decoded_);
    } else {
      textconv::BinHexDecode(encoded, decoded_);
    }
    out_.Line(decoded_);
  }

  bool uu_;
  TOutFile& out_;
  bool open_ = false;
  bool skipEmpty_ = false;
  std::string text_;
  std::string decoded_;
};

}  // namespace

// The streaming models over whole blocks: one memchr finds the text's end (0x1A) in a block and
// one scan per line finds its end (memchr for CR, or a 16-byte-wide search for CR or LF where LF
// ends lines too), which is several times faster than testing byte by byte. The shared line reader (TTextLineReader) defines the same models; a test
// holds them together.
bool ForEachStreamingPiece(const std::string& path, LineModel model,
                           const std::function<void(std::string_view piece, bool lineEnd)>& onPiece,
                           std::string& error, std::size_t pieceSize) {
  const bool lfEnds = LfEndsLine(model);
  bool open = false;     // part of a line was handed on without its end
  bool skipLf = false;   // a CR ended the last block; an LF starting the next belongs to it
  bool stopped = false;  // 0x1A met
  const bool ok = ForEachChunk(
      path,
      [&](std::string_view block) {
        if (stopped) return;
        if (const void* eof = std::memchr(block.data(), 0x1A, block.size())) {
          block = block.substr(0, static_cast<std::size_t>(static_cast<const char*>(eof) - block.data()));
          stopped = true;
        }
        std::size_t i = 0;
        if (skipLf && !block.empty()) {
          if (block[0] == '\n') i = 1;
          skipLf = false;
        }
        const std::size_t none = block.size();
        auto find = [&](std::size_t from) {
          if (lfEnds) return textconv::FindCrOrLf(block, from);
          const void* p = std::memchr(block.data() + from, '\r', block.size() - from);
          return p == nullptr ? none : static_cast<std::size_t>(static_cast<const char*>(p) - block.data());
        };
        while (i < block.size()) {
          const std::size_t at = find(i);
          if (at == none) {
            onPiece(block.substr(i), false);
            open = true;
            break;
          }
          onPiece(block.substr(i, at - i), true);
          open = false;
          i = at + 1;
          if (block[at] == '\r') {
            if (i < block.size()) {
              if (block[i] == '\n') ++i;
            } else {
              skipLf = true;
            }
          }
        }
      },
      error, pieceSize);
  if (open) onPiece({}, true);
  return ok;
}

bool ForEachStreamingLine(const std::string& path, LineModel model,
                          const std::function<void(std::string_view line)>& onLine, std::string& error) {
  std::string line;
  return ForEachStreamingPiece(
      path, model,
      [&](std::string_view piece, bool lineEnd) {
        if (!lineEnd) {
          line.append(piece);
        } else if (line.empty()) {
          onLine(piece);
        } else {
          line.append(piece);
          onLine(line);
          line.clear();
        }
      },
      error);
}

bool ForEachChunk(const std::string& path, const std::function<void(std::string_view chunk)>& onChunk,
                  std::string& error, std::size_t chunkSize) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = ReadError(path, textconv::SystemErrorUtf8(errno));
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
    error = ReadError(path, "通常のファイルではありません。");
    ::close(fd);
    return false;
  }
  std::string buffer(chunkSize == 0 ? kPieceSize : chunkSize, '\0');
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      error = ReadError(path, textconv::SystemErrorUtf8(errno));
      ok = false;
      break;
    }
    if (n == 0) break;
    onChunk(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
  }
  ::close(fd);
  return ok;
}

bool ReadListLineViews(const std::string& path, std::string& text, std::vector<std::string_view>& lines,
                       std::string& error) {
  text.clear();
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) text.reserve(static_cast<std::size_t>(st.st_size));
  textconv::PreferLargePages(text.data(), text.capacity());
  if (!ForEachChunk(path, [&](std::string_view chunk) { text.append(chunk); }, error)) return false;
  lines = SplitLineViews(text, LineModel::List);
  return true;
}

bool ReadListLines(const std::string& path, std::vector<std::string>& lines, std::string& error) {
  std::string text;
  std::vector<std::string_view> views;
  if (!ReadListLineViews(path, text, views, error)) return false;
  lines.assign(views.begin(), views.end());
  return true;
}

bool ConvertLines(int code, const std::string& workingCopy, TOutFile& out, std::string& error) {
  if (code == 11 || code == 13) {
    SubLineJoiner joiner(code, out);
    const bool ok =
        ForEachStreamingLine(workingCopy, out.Model(), [&](std::string_view line) { joiner.Line(line); }, error);
    joiner.Finish();
    return ok;
  }
  if (code == 8 || code == 14) {
    const textconv::LineConverter convert = textconv::LineConverterFor(code);
    std::string converted;
    return ForEachStreamingLine(
        workingCopy, out.Model(),
        [&](std::string_view line) {
          if (textconv::IsEmptyWithoutNewlines(line)) {
            out.Line(line);
            return;
          }
          converted.clear();
          convert(line, converted);
          out.Line(converted);
        },
        error);
  }
  if (code < 1 || code > 14) {
    error = textconv::Utf8ToCp932("変換番号が不正です: " + std::to_string(code));
    return false;
  }
  return StreamLines(code, true, workingCopy, out, error);
}

bool StreamLines(int streamKind, bool keepEmptyLines, const std::string& workingCopy, TOutFile& out,
                 std::string& error) {
  PieceConverter converter(static_cast<textconv::LineStream::Kind>(streamKind), keepEmptyLines, out);
  return ForEachStreamingPiece(
      workingCopy, out.Model(), [&](std::string_view piece, bool lineEnd) { converter.Piece(piece, lineEnd); },
      error);
}

}  // namespace sorabu::textcmd
