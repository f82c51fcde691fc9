// A thread that watches the window's thread: the window's event loop pets it every tenth of a
// second; when the petting stops for longer than the limit, the stall is reported. Qt-free.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace sorabu::monkey {

class TWatchdog {
 public:
  // onStall runs on the watchdog's thread with the stalled milliseconds; it is expected to end
  // the process.
  TWatchdog(std::chrono::milliseconds limit, std::function<void(long long stalledMs)> onStall);
  ~TWatchdog();
  void Pet();
  // Stops watching for a while (the run's own slow steps: filling the folder, the final checks).
  void Pause(bool paused) {
    paused_ = paused;
    Pet();
  }

 private:
  void Watch();
  static long long Now();

  std::chrono::milliseconds limit_;
  std::function<void(long long)> onStall_;
  std::atomic<long long> last_;
  std::atomic<bool> paused_{false}, stop_{false};
  std::thread thread_;
};

}  // namespace sorabu::monkey
