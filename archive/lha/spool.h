// A scratch file with no name: the archive writer builds its entries here, on the disk, so an
// archive of any size is never held in memory. The file vanishes when the spool is dropped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "archive/lha/error.h"
#include "archive/lha/sink.h"

namespace sorabu::lha {

class Spool final : public ByteSink {
 public:
  // folder: where the scratch file lives (empty: $TMPDIR or /tmp). Nothing is created until the
  // first write.
  explicit Spool(std::string folder = {}) : folder_(std::move(folder)) {}
  ~Spool() override;
  Spool(const Spool&) = delete;
  Spool& operator=(const Spool&) = delete;

  bool Write(std::string_view bytes) override;  // appends
  bool WriteAt(std::uint64_t offset, std::string_view bytes);
  bool Truncate(std::uint64_t size);
  std::uint64_t size() const noexcept { return size_; }
  // The first failure (kWriteFailed, kDiskFull), or kOk.
  Error error() const noexcept { return error_; }
  // The file's descriptor, -1 before the first write; the spool keeps owning it.
  int fd() const noexcept { return fd_; }
  // Forgets everything written.
  void Clear();

 private:
  bool Ensure();
  bool Fail(int err);

  std::string folder_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
  Error error_ = Error::kOk;
};

}  // namespace sorabu::lha
