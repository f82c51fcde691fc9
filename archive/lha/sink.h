// Where decoded bytes go: a string in memory, a file, a CRC check. Decoders hand out their output
// in chunks of at most a few hundred KiB, so a sink never has to hold a whole entry.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::lha {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False stops the decoder with the sink's own error (write failure, abort).
  virtual bool Write(std::string_view bytes) = 0;
};

class StringSink final : public ByteSink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  bool Write(std::string_view bytes) override {
    out_.append(bytes);
    return true;
  }

 private:
  std::string& out_;
};

}  // namespace sorabu::lha
