// What the monkey prints when the process dies: the last events, on a fatal signal (before the
// sanitizer's own handler runs) and from the sanitizers' death callback (their reports end
// there). The stall report asks the window's thread for its stack through a signal.
#pragma once

#include <functional>
#include <pthread.h>

namespace sorabu::monkey {

class TEventLog;

// Installs the handlers; state() writes one line of what the window was doing (it must not
// allocate much: it runs in a dying process).
void InstallCrashReport(const TEventLog& log, std::function<void(int fd)> state);
// Prints the stall, the log and the stack of the window's thread, then aborts.
[[noreturn]] void ReportStall(pthread_t uiThread, long long stalledMs);

}  // namespace sorabu::monkey
