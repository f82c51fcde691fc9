// Appending converter output to a caller's string without per-byte allocation.
//
// The converters are called line after line with the same output string, so its capacity
// settles after the first long line. An Appender makes room in geometric steps, stores bytes
// through a raw pointer, and on destruction cuts the string back to what was written. Each
// converter asks for the most bytes one input character can produce (Ensure) before writing
// them, so the check is one pointer comparison per character.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace sorabu::textconv::detail {

class Appender {
 public:
  // expected: a guess of the bytes to be written; more is made room for when needed.
  Appender(std::string& out, std::size_t expected) : out_(out), start_(out.size()) {
    const std::size_t used = out_.size();
    Reset(used, used + expected + kSlack);
  }
  ~Appender() { out_.resize(Written()); }
  Appender(const Appender&) = delete;
  Appender& operator=(const Appender&) = delete;

  void Ensure(std::size_t n) {
    if (static_cast<std::size_t>(end_ - p_) < n) Grow(n);
  }
  // The Put functions assume Ensure made room.
  void Put(unsigned char c) { *p_++ = c; }
  void Put(unsigned char a, unsigned char b) {
    p_[0] = a;
    p_[1] = b;
    p_ += 2;
  }
  void Put(unsigned char a, unsigned char b, unsigned char c) {
    p_[0] = a;
    p_[1] = b;
    p_[2] = c;
    p_ += 3;
  }
  void Append(const unsigned char* s, std::size_t n) {
    Ensure(n);
    if (n != 0) std::memcpy(p_, s, n);
    p_ += n;
  }
  // Raw access for tight loops: write at most the room made by Ensure, then Advance.
  unsigned char* Cursor() { return p_; }
  void Advance(std::size_t n) { p_ += n; }

 private:
  static constexpr std::size_t kSlack = 32;

  std::size_t Written() const { return static_cast<std::size_t>(p_ - begin_); }
  // Doubles only what this Appender wrote: growing relative to the whole string would zero-fill
  // everything a caller accumulated before, once per call.
  void Grow(std::size_t n) {
    const std::size_t used = Written();
    Reset(used, used + std::max(n + kSlack, used - start_ + n));
  }
  void Reset(std::size_t used, std::size_t size) {
    out_.resize(size);
    begin_ = reinterpret_cast<unsigned char*>(out_.data());
    p_ = begin_ + used;
    end_ = begin_ + size;
  }

  std::string& out_;
  std::size_t start_;
  unsigned char* begin_ = nullptr;
  unsigned char* p_ = nullptr;
  unsigned char* end_ = nullptr;
};

inline const unsigned char* Bytes(std::string_view s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

// End of the run of bytes below 0x80 that starts at i; eight bytes at a time.
inline std::size_t AsciiRunEnd(const unsigned char* s, std::size_t i, std::size_t n) {
  while (n - i >= 8) {
    std::uint64_t w;
    std::memcpy(&w, s + i, 8);
    if (w & 0x8080808080808080ULL) break;
    i += 8;
  }
  while (i < n && s[i] < 0x80) ++i;
  return i;
}

}  // namespace sorabu::textconv::detail
