// A file written under a temporary name in the folder of its final path and renamed onto that
// path only once complete. Until Commit succeeds the old file stays as it was, and a dropped or
// failed ReplacingFile leaves no temporary file behind.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "archive/lha/error.h"
#include "archive/lha/sink.h"

namespace sorabu::lha {

// The folder part of a path ("." when there is none).
std::string FolderOf(const std::string& path);

class ReplacingFile final : public ByteSink {
 public:
  // mode: permission bits for a new file (the umask applies); a file that is replaced passes its
  // own bits on.
  explicit ReplacingFile(std::string path, mode_t mode = 0666) : path_(std::move(path)), mode_(mode) {}
  ~ReplacingFile() override;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // kWriteFailed when no temporary file can be made beside the path.
  Error Open();
  bool Write(std::string_view bytes) override;
  // Flushes to the disk and renames; kDiskFull or kWriteFailed when any step failed.
  Error Commit();
  // The first failure so far.
  Error error() const noexcept { return error_; }
  // Where the new file is being written until Commit, for reading it back before.
  const std::string& TemporaryPath() const noexcept { return tmp_; }

 private:
  void Discard();

  std::string path_;
  mode_t mode_;
  std::string tmp_;
  int fd_ = -1;
  Error error_ = Error::kOk;
};

}  // namespace sorabu::lha
