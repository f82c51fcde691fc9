// Reading byte text line by line.
//
// Three line models serve the program. The streaming models, used by the viewer and most
// commands, read a text up to a byte 0x1A (Ctrl-Z): StreamingLf, the one for Linux text files,
// ends a line at CR, LF or CR LF; Streaming, the literal model a user can switch back to, ends a
// line only at CR (an LF right after it belongs to the line end, an LF alone stays inside the
// line). The list model, used where lines are handled as records (sorting, CSV), ends a line at
// CR, LF or CR LF and takes 0x1A as an ordinary byte, so sorting or tabulating a file never drops
// what follows one. In all three, lines may be of any length and the last line needs no line end.
//
// The reader works on a file descriptor with its own buffer, so the quick display of a huge file
// reads only the blocks holding the lines it asks for.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::textcmd {

enum class LineModel { Streaming, StreamingLf, List };

// True where an LF alone ends a line.
constexpr bool LfEndsLine(LineModel model) { return model != LineModel::Streaming; }

class TTextLineReader {
 public:
  explicit TTextLineReader(LineModel model = LineModel::Streaming, std::size_t blockSize = 64 * 1024);
  ~TTextLineReader();
  TTextLineReader(const TTextLineReader&) = delete;
  TTextLineReader& operator=(const TTextLineReader&) = delete;

  // Opens path for reading; false (with Error() set, in code page 932) when it cannot be opened.
  bool Open(const std::string& path);
  void Close();

  enum class Result { Line, End, Error };
  // Reads the next line into line (without its line end). Error leaves the lines read so far valid.
  Result ReadLine(std::string& line);
  // As ReadLine, but stops once the line holds at least limit bytes; the rest of that line stays
  // unread (LineCut() tells). For readers that only need the beginning of a file.
  Result ReadLine(std::string& line, std::size_t limit);
  bool LineCut() const { return cut_; }

  // The system's message for the last failure (empty when none).
  const std::string& Error() const { return error_; }
  // Bytes read from the file so far.
  std::size_t BytesRead() const { return bytesRead_; }
  // The first line end in the first block read (see FirstLineEnd); empty when it holds none.
  const std::string& FirstBlockLineEnd() const { return firstEnd_; }

 private:
  bool Fill();

  LineModel model_;
  int fd_ = -1;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;       // no more bytes in the file
  bool stopped_ = false;   // Ctrl-Z met, or the last line was delivered
  bool skipLf_ = false;
  bool cut_ = false;    // streaming: a CR ended the last block; an LF starting the next belongs to it
  std::size_t bytesRead_ = 0;
  std::string error_;
  std::string firstEnd_;
};

// The first line end of text before any 0x1A ("\r\n", "\r" or "\n"); empty when it has none.
// A CR that is the last byte is taken as CR LF's start when more may follow (moreFollows).
std::string FirstLineEnd(std::string_view text, bool moreFollows = false);

// Splits an in-memory text by the given model: copies, or views into text.
std::vector<std::string> SplitLines(std::string_view text, LineModel model);
std::vector<std::string_view> SplitLineViews(std::string_view text, LineModel model);

}  // namespace sorabu::textcmd
