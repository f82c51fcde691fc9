// A buffered output file that remembers its first failure.
//
// Commands write many small pieces; a failure (a full disk) is kept and reported once at
// Close, so the transformations need not check every write. The file carries the line
// convention of the text it replaces: how that text is read into lines and what ends each line
// written, so a command keeps a file's own line ends.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "textcmd/text_line_reader.h"

namespace sorabu::textcmd {

// Raised inside a command when its progress callback asks to stop; the frame catches it and puts
// the file back as it was.
struct TCommandCancelled {};

// How a command reads lines and ends the lines it writes.
struct TLineEnds {
  LineModel model = LineModel::Streaming;
  std::string written = "\r\n";
};

// The convention for the text at path. With lfLines, lines end at CR, LF or CR LF and are written
// with the first line end the text holds (CR LF when it holds none); without, the literal model:
// lines end at CR or CR LF and each is written with CR LF. A text that cannot be read gets CR LF.
TLineEnds LineEndsOf(const std::string& path, bool lfLines);

class TOutFile {
 public:
  TOutFile() = default;
  ~TOutFile();
  TOutFile(const TOutFile&) = delete;
  TOutFile& operator=(const TOutFile&) = delete;

  // Creates path anew; it must not exist. false with Error() set when it cannot be created.
  bool Create(const std::string& path, unsigned mode = 0644);
  void Write(std::string_view bytes);
  // The bytes followed by the line end (CR LF unless set).
  void Line(std::string_view bytes);
  void SetLineEnds(TLineEnds ends) { ends_ = std::move(ends); }
  const TLineEnds& LineEnds() const { return ends_; }
  LineModel Model() const { return ends_.model; }
  const std::string& LineEnd() const { return ends_.written; }
  // Flushes and closes; false when any write failed or the file could not be completed.
  bool Close();
  bool Failed() const { return !error_.empty(); }
  const std::string& Error() const { return error_; }
  unsigned long long Written() const { return written_; }
  // Called with the bytes written so far each time the buffer goes to the disk; false raises
  // TCommandCancelled from the Write that filled the buffer (never from Close).
  void SetProgress(std::function<bool(unsigned long long written)> progress) { progress_ = std::move(progress); }

 private:
  void Flush();

  int fd_ = -1;
  std::string path_;
  std::string buffer_;
  std::string error_;
  unsigned long long written_ = 0;
  std::function<bool(unsigned long long)> progress_;
  TLineEnds ends_;
};

}  // namespace sorabu::textcmd
