// Hand-made headers of every level, byte by byte, for the reader tests; deliberately written
// without the library's writer so that the two cannot share a mistake.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::lha::test {

struct Ext {
  std::uint8_t type;
  std::string data;
};

struct RawEntry {
  std::string method = "-lh0-";
  std::string name;
  std::string data;                 // written as packed data
  std::uint32_t original_size = 0;  // 0: data.size()
  std::uint16_t crc = 0;
  std::uint32_t time = 0;           // DOS time (levels 0, 1) or Unix time (2, 3)
  std::uint8_t attribute = 0x20;
  std::uint8_t os = 'M';
  std::vector<Ext> ext;             // levels 1..3
  bool header_crc = true;           // levels 2, 3: add extended header 0x00
};

std::string Level0(const RawEntry& e);
std::string Level1(const RawEntry& e);
std::string Level2(const RawEntry& e);
std::string Level3(const RawEntry& e);

}  // namespace sorabu::lha::test
