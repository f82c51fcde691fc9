#include "archive/lha/macbinary.h"

#include <algorithm>

namespace sorabu::lha {
namespace {

constexpr std::size_t kHeader = 128;

std::uint32_t Be32(std::string_view s, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

std::uint64_t Padded(std::uint64_t n) { return (n + kHeader - 1) / kHeader * kHeader; }

// CRC-16/XMODEM, which MacBinary II keeps over the header's first 124 bytes.
std::uint16_t Xmodem(std::string_view s) {
  std::uint16_t crc = 0;
  for (const char c : s) {
    crc = static_cast<std::uint16_t>(crc ^ (static_cast<unsigned char>(c) << 8));
    for (int k = 0; k < 8; ++k) crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

}  // namespace

std::optional<std::uint64_t> MacBinaryDataFork(std::string_view h, std::uint64_t total) {
  if (h.size() < kHeader || h[0] != 0 || h[74] != 0 || h[82] != 0) return std::nullopt;
  const auto name_length = static_cast<unsigned char>(h[1]);
  if (name_length < 1 || name_length > 63) return std::nullopt;
  const std::uint64_t data = Be32(h, 83);
  const std::uint64_t resource = Be32(h, 87);
  if (total < kHeader || total - kHeader < data) return std::nullopt;
  // The last fork may end without its padding.
  const std::uint64_t rest = total - kHeader;
  const bool fits = resource == 0 ? (rest == data || rest == Padded(data)) : (rest == Padded(data) + resource ||
                                                                               rest == Padded(data) + Padded(resource));
  if (!fits) return std::nullopt;
  if (static_cast<unsigned char>(h[122]) >= 129) {
    const std::uint16_t stored = static_cast<std::uint16_t>((static_cast<unsigned char>(h[124]) << 8) |
                                                            static_cast<unsigned char>(h[125]));
    if (Xmodem(h.substr(0, 124)) != stored) return std::nullopt;
  }
  return data;
}

bool MacBinarySink::Write(std::string_view bytes) {
  if (!decided_) {
    const std::size_t take = std::min(bytes.size(), kHeader - head_.size());
    head_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (head_.size() < kHeader) return true;
    decided_ = true;
    left_ = MacBinaryDataFork(head_, total_);
    if (!left_ && !out_.Write(head_)) return false;
    head_.clear();
  }
  if (!left_) return out_.Write(bytes);
  const std::size_t pass = static_cast<std::size_t>(std::min<std::uint64_t>(*left_, bytes.size()));
  *left_ -= pass;
  return pass == 0 || out_.Write(bytes.substr(0, pass));
}

bool MacBinarySink::Finish() {
  if (decided_ || head_.empty()) return true;
  decided_ = true;
  return out_.Write(head_);
}

}  // namespace sorabu::lha
