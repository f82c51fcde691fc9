// Most-significant-bit-first bit streams, the order every LHA method uses.
//
// The reader never reads outside its input: past the end it supplies zero bits and counts them,
// so a decoder can run its inner loop without bounds checks and ask `Overrun()` at block
// boundaries and at the end. A corrupt stream therefore ends in an error, not in a stray read.
// Input given as a PackedSource arrives in pieces; only the few bytes at a piece's edge take the
// slow path.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "archive/lha/packed_source.h"

namespace sorabu::lha {

class BitReader {
 public:
  explicit BitReader(std::string_view in) noexcept
      : p_(reinterpret_cast<const unsigned char*>(in.data())), end_(p_ + in.size()),
        total_bits_(static_cast<std::uint64_t>(in.size()) * 8) {
    Refill();
  }
  explicit BitReader(PackedSource& source) noexcept
      : p_(nullptr), end_(nullptr), total_bits_(source.Size() * 8), source_(&source) {
    Refill();
  }

  // Up to 32 bits without consuming them.
  std::uint32_t Peek(int n) noexcept {
    if (count_ < n) Refill();
    return static_cast<std::uint32_t>(buf_ >> (64 - n));
  }
  void Skip(int n) noexcept {
    if (count_ < n) Refill();
    buf_ <<= n;
    count_ -= n;
    consumed_ += static_cast<std::uint64_t>(n);
  }
  std::uint32_t Get(int n) noexcept {
    if (n == 0) return 0;
    const std::uint32_t v = Peek(n);
    Skip(n);
    return v;
  }
  // The whole 64-bit window, topped up to at least 57 valid bits; for table decoders.
  std::uint64_t Window() noexcept {
    if (count_ < 32) Refill();
    return buf_;
  }
  // True once more bits were consumed than the input holds.
  bool Overrun() const noexcept { return consumed_ > total_bits_; }

 private:
  void Refill() noexcept {
    if (end_ - p_ >= 8) {
      // Whole bytes only advance the pointer; the bits of a partly taken byte are ORed in again
      // with the same values by the next refill.
      std::uint64_t v;
      std::memcpy(&v, p_, 8);
      v = __builtin_bswap64(v);
      buf_ |= v >> count_;
      const int take = (63 - count_) >> 3;
      p_ += take;
      count_ += take * 8;
      return;
    }
    while (count_ <= 56) {
      if (p_ == end_ && !NextPiece()) {
        count_ += 8;
        continue;
      }
      const std::uint64_t b = *p_++;
      buf_ |= b << (56 - count_);
      count_ += 8;
    }
  }

  bool NextPiece() noexcept {
    if (source_ == nullptr) return false;
    const std::string_view piece = source_->Next();
    if (piece.empty()) {
      // The archive ended (or could not be read) before the declared size: the bits never
      // delivered count as past the end, so the decoder reports a truncated entry.
      total_bits_ = std::min(total_bits_, delivered_ * 8);
      source_ = nullptr;
      return false;
    }
    delivered_ += piece.size();
    p_ = reinterpret_cast<const unsigned char*>(piece.data());
    end_ = p_ + piece.size();
    return true;
  }

  const unsigned char* p_;
  const unsigned char* end_;
  std::uint64_t total_bits_;
  PackedSource* source_ = nullptr;
  std::uint64_t delivered_ = 0;  // bytes of all pieces so far
  std::uint64_t consumed_ = 0;
  std::uint64_t buf_ = 0;
  int count_ = 0;
};

class BitWriter {
 public:
  explicit BitWriter(std::string& out) noexcept : out_(out) {}
  // n <= 32; the value's bits above n must be zero.
  void Put(int n, std::uint32_t v) {
    acc_ = (acc_ << n) | v;
    bits_ += n;
    while (bits_ >= 8) {
      bits_ -= 8;
      out_.push_back(static_cast<char>((acc_ >> bits_) & 0xFFu));
    }
  }
  // Pads the last byte with zero bits.
  void Flush() {
    if (bits_ > 0) out_.push_back(static_cast<char>((acc_ << (8 - bits_)) & 0xFFu));
    bits_ = 0;
    acc_ = 0;
  }
  std::size_t BytesSoFar() const noexcept { return out_.size() + (bits_ > 0 ? 1 : 0); }

 private:
  std::string& out_;
  std::uint64_t acc_ = 0;
  int bits_ = 0;
};

}  // namespace sorabu::lha
