// MS-DOS date/time stamps (two seconds resolution, local time, 1980..2107) and Unix time.
#pragma once

#include <cstdint>

namespace sorabu::lha {

// Date in the high 16 bits, time in the low 16 bits. Out-of-range fields are clamped, so any
// 32-bit value gives some time.
std::int64_t DosTimeToUnix(std::uint32_t dos) noexcept;
// Times before 1980 give 1980-01-01 00:00:00, after 2107 the last representable second.
std::uint32_t UnixToDosTime(std::int64_t t) noexcept;

}  // namespace sorabu::lha
