// CRC-16 as LHA and ARC use it: polynomial 0x8005 taken bit-reversed (0xA001), initial value 0,
// no final inversion. Covers both the data of each entry and level 2/3 header CRCs.
#pragma once

#include <cstdint>
#include <string_view>

namespace sorabu::lha {

// Continues crc over data; start with 0.
std::uint16_t Crc16Update(std::uint16_t crc, std::string_view data) noexcept;

inline std::uint16_t Crc16(std::string_view data) noexcept { return Crc16Update(0, data); }

}  // namespace sorabu::lha
