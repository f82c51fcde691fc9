// The monkey's memory: the last events it sent, printed when something goes wrong. Entries are
// fixed-size buffers so a signal handler can print them without allocating.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sorabu::monkey {

class TEventLog {
 public:
  static constexpr std::size_t kEntries = 200;
  static constexpr std::size_t kWidth = 240;

  // Adds an entry numbered with the running event count (what was sent, to which object).
  void Add(std::string_view text);
  std::uint64_t Count() const { return count_.load(); }
  // What is being delivered right now (the steps under way, innermost last), for a report.
  void SetCurrent(std::string_view text);
  void DumpCurrent(int fd) const;

  // Writes the kept entries, oldest first, to the file descriptor (async-signal-safe).
  void Dump(int fd) const;

 private:
  char entries_[kEntries][kWidth] = {};
  std::atomic<std::uint64_t> count_{0};
  char current_[kWidth * 4] = {};
};

// Writes text to the descriptor with write(2) only, for signal handlers.
void WriteRaw(int fd, std::string_view text);
void WriteNumber(int fd, std::uint64_t value);

}  // namespace sorabu::monkey
