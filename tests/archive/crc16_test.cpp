#include "archive/lha/crc16.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace sorabu::lha {
namespace {

std::uint16_t BitwiseCrc(std::string_view s) {
  unsigned c = 0;
  for (unsigned char b : s) {
    c ^= b;
    for (int k = 0; k < 8; ++k) c = (c & 1u) ? (c >> 1) ^ 0xA001u : c >> 1;
  }
  return static_cast<std::uint16_t>(c);
}

TEST(Crc16, KnownValues) {
  const struct {
    std::string_view in;
    std::uint16_t crc;
  } rows[] = {
      {"", 0x0000},
      {"123456789", 0xBB3D},  // the CRC-16/ARC check value
      {"a", 0xE8C1},
      {"hello hello hello world\n", 0x38CA},  // as a peer archiver recorded it
  };
  for (const auto& r : rows) EXPECT_EQ(Crc16(r.in), r.crc) << r.in;
}

TEST(Crc16, AgreesWithBitwiseDefinitionAtEveryLengthAndSplit) {
  const std::string data = test::RandomBytes(300, 7);
  for (std::size_t n = 0; n < data.size(); n += 7) {
    const std::string_view s(data.data(), n);
    EXPECT_EQ(Crc16(s), BitwiseCrc(s)) << n;
    const std::size_t cut = n / 3;
    EXPECT_EQ(Crc16Update(Crc16(s.substr(0, cut)), s.substr(cut)), BitwiseCrc(s)) << n;
  }
}

}  // namespace
}  // namespace sorabu::lha
