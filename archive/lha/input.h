// Where an archive's bytes come from: memory, or a file read piece by piece with pread. Listing
// a file archive reads only its headers; extracting an entry reads only that entry's data.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "archive/lha/error.h"

namespace sorabu::lha {

class Input {
 public:
  virtual ~Input() = default;
  virtual std::uint64_t Size() const = 0;
  // Exactly n bytes from offset into out, or false (out then holds what could be read).
  virtual bool Read(std::uint64_t offset, std::size_t n, std::string& out) const = 0;
};

class MemoryInput final : public Input {
 public:
  explicit MemoryInput(std::string data) : data_(std::move(data)) {}
  std::uint64_t Size() const override { return data_.size(); }
  bool Read(std::uint64_t offset, std::size_t n, std::string& out) const override;

 private:
  std::string data_;
};

// Bytes the caller keeps alive for as long as the input is used.
class ViewInput final : public Input {
 public:
  explicit ViewInput(std::string_view data) : data_(data) {}
  std::uint64_t Size() const override { return data_.size(); }
  bool Read(std::uint64_t offset, std::size_t n, std::string& out) const override;

 private:
  std::string_view data_;
};

class FileInput final : public Input {
 public:
  ~FileInput() override;
  // kOpenFailed when the path is no readable regular file.
  static Error Open(const std::string& path, std::unique_ptr<FileInput>& out);
  // The first `size` bytes of an open file, read through a descriptor of its own.
  static Error Duplicate(int fd, std::uint64_t size, std::unique_ptr<FileInput>& out);
  std::uint64_t Size() const override { return size_; }
  bool Read(std::uint64_t offset, std::size_t n, std::string& out) const override;

 private:
  FileInput(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  int fd_;
  std::uint64_t size_;
};

}  // namespace sorabu::lha
