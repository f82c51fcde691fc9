// A buffered output file that remembers its first failure.
//
// Commands write many small pieces; a failure (a full disk) is kept and reported once at
// Close, so the transformations need not check every write.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace sorabu::textcmd {

// Raised inside a command when its progress callback asks to stop; the frame catches it and puts
// the file back as it was.
struct TCommandCancelled {};

class TOutFile {
 public:
  TOutFile() = default;
  ~TOutFile();
  TOutFile(const TOutFile&) = delete;
  TOutFile& operator=(const TOutFile&) = delete;

  // Creates path anew; it must not exist. false with Error() set when it cannot be created.
  bool Create(const std::string& path, unsigned mode = 0644);
  void Write(std::string_view bytes);
  // The bytes followed by CR LF.
  void Line(std::string_view bytes);
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
};

}  // namespace sorabu::textcmd
