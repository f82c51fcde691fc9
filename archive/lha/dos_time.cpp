// MS-DOS time stamps are local time, as the systems that write them keep their clocks; the
// conversion therefore goes through the C library's local time zone.
#include "archive/lha/dos_time.h"

#include <algorithm>
#include <ctime>

namespace sorabu::lha {

std::int64_t DosTimeToUnix(std::uint32_t dos) noexcept {
  std::tm tm{};
  const unsigned date = dos >> 16;
  const unsigned time = dos & 0xFFFFu;
  tm.tm_year = static_cast<int>(date >> 9) + 80;
  tm.tm_mon = std::clamp(static_cast<int>((date >> 5) & 0x0Fu), 1, 12) - 1;
  tm.tm_mday = std::clamp(static_cast<int>(date & 0x1Fu), 1, 31);
  tm.tm_hour = std::min(static_cast<int>(time >> 11), 23);
  tm.tm_min = std::min(static_cast<int>((time >> 5) & 0x3Fu), 59);
  tm.tm_sec = std::min(static_cast<int>(time & 0x1Fu) * 2, 59);
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

std::uint32_t UnixToDosTime(std::int64_t t) noexcept {
  const auto tt = static_cast<std::time_t>(t);
  std::tm tm{};
  if (localtime_r(&tt, &tm) == nullptr || tm.tm_year < 80) return (1u << 5 | 1u) << 16;
  if (tm.tm_year > 80 + 127) return 0xFF9FBF7Du;
  const auto date = static_cast<std::uint32_t>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  const auto time = static_cast<std::uint32_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
  return (date << 16) | time;
}

}  // namespace sorabu::lha
