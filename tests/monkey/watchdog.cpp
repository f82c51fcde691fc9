#include "tests/monkey/watchdog.h"

namespace sorabu::monkey {

TWatchdog::TWatchdog(std::chrono::milliseconds limit, std::function<void(long long)> onStall)
    : limit_(limit), onStall_(std::move(onStall)), last_(Now()) {
  thread_ = std::thread([this] { Watch(); });
}

TWatchdog::~TWatchdog() {
  stop_ = true;
  thread_.join();
}

long long TWatchdog::Now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void TWatchdog::Pet() { last_ = Now(); }

void TWatchdog::Watch() {
  while (!stop_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const long long stalled = Now() - last_.load();
    if (!paused_ && stalled > limit_.count()) {
      onStall_(stalled);
      return;
    }
  }
}

}  // namespace sorabu::monkey
