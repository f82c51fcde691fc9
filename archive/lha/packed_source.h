// Where a decoder's packed bytes come from: one view of all of them, or pieces read on demand from
// the archive, so that an entry of any size is decoded through a buffer of bounded size.
#pragma once

#include <cstdint>
#include <string_view>

namespace sorabu::lha {

class PackedSource {
 public:
  virtual ~PackedSource() = default;
  // Every packed byte of the entry, counted.
  virtual std::uint64_t Size() const noexcept = 0;
  // The next piece; empty at the end (or when the archive could not be read further).
  virtual std::string_view Next() noexcept = 0;
};

class ViewSource final : public PackedSource {
 public:
  explicit ViewSource(std::string_view bytes) noexcept : bytes_(bytes) {}
  std::uint64_t Size() const noexcept override { return bytes_.size(); }
  std::string_view Next() noexcept override {
    const std::string_view piece = given_ ? std::string_view() : bytes_;
    given_ = true;
    return piece;
  }

 private:
  std::string_view bytes_;
  bool given_ = false;
};

}  // namespace sorabu::lha
