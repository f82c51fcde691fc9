// MacLHA stores a Macintosh file as MacBinary: a 128-byte header, the data fork and the
// resource fork, each padded to 128 bytes. A file written on this system keeps the data fork,
// as the other extractors do; the resource fork has no place on this file system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "archive/lha/sink.h"

namespace sorabu::lha {

// The data fork's length when the 128 bytes are a MacBinary header of a file of `total` bytes:
// zero bytes where the format keeps them, a name of 1 to 63 bytes, fork lengths that account for
// the whole file, and a MacBinary II header's CRC when it has one.
std::optional<std::uint64_t> MacBinaryDataFork(std::string_view header, std::uint64_t total);

// Passes the data fork of a MacBinary stream to `out`, or the stream unchanged when it is none.
class MacBinarySink final : public ByteSink {
 public:
  MacBinarySink(ByteSink& out, std::uint64_t total) : out_(out), total_(total) {}
  bool Write(std::string_view bytes) override;
  // Hands on what a stream shorter than a header left waiting. False when `out` refused it.
  bool Finish();

 private:
  ByteSink& out_;
  std::uint64_t total_;
  std::string head_;
  bool decided_ = false;
  std::optional<std::uint64_t> left_;  // data fork bytes still to pass; none: pass everything
};

}  // namespace sorabu::lha
