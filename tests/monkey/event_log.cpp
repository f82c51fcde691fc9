#include "tests/monkey/event_log.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace sorabu::monkey {

void WriteRaw(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

void WriteNumber(int fd, std::uint64_t value) {
  char digits[24];
  std::size_t at = sizeof digits;
  do {
    digits[--at] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  WriteRaw(fd, std::string_view(digits + at, sizeof digits - at));
}

void TEventLog::Add(std::string_view text) {
  const std::uint64_t n = count_.load() + 1;
  char* slot = entries_[n % kEntries];
  // "#123 " then the text, cut to the slot; control bytes would garble the terminal.
  std::size_t at = 0;
  char digits[24];
  std::size_t d = sizeof digits;
  std::uint64_t v = n;
  do {
    digits[--d] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  slot[at++] = '#';
  for (; d < sizeof digits; ++d) slot[at++] = digits[d];
  slot[at++] = ' ';
  for (char c : text) {
    if (at + 1 >= kWidth) break;
    slot[at++] = (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
  }
  slot[at] = '\0';
  count_.store(n);
}

void TEventLog::SetCurrent(std::string_view text) {
  const std::size_t n = std::min(text.size(), sizeof current_ - 1);
  std::memcpy(current_, text.data(), n);
  current_[n] = '\0';
}

void TEventLog::DumpCurrent(int fd) const {
  WriteRaw(fd, "under way: ");
  WriteRaw(fd, std::string_view(current_, ::strnlen(current_, sizeof current_)));
  WriteRaw(fd, "\n");
}

void TEventLog::Dump(int fd) const {
  const std::uint64_t n = count_.load();
  const std::uint64_t first = n > kEntries ? n - kEntries + 1 : 1;
  WriteRaw(fd, "---- the last events (of ");
  WriteNumber(fd, n);
  WriteRaw(fd, ") ----\n");
  for (std::uint64_t i = first; i <= n; ++i) {
    const char* slot = entries_[i % kEntries];
    WriteRaw(fd, std::string_view(slot, ::strnlen(slot, kWidth)));
    WriteRaw(fd, "\n");
  }
  WriteRaw(fd, "---- end of events ----\n");
}

}  // namespace sorabu::monkey
