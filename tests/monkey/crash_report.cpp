#include "tests/monkey/crash_report.h"

#include <execinfo.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <thread>

#include "tests/monkey/event_log.h"

// The sanitizers' hooks, when the program is built with them.
extern "C" {
void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));
void __sanitizer_print_stack_trace() __attribute__((weak));
}

namespace sorabu::monkey {

namespace {

const TEventLog* gLog = nullptr;
std::function<void(int)>* gState = nullptr;
std::atomic<bool> gReported{false};
std::atomic<bool> gStackDone{false};
struct sigaction gPrevious[32];

void ReportOnce(const char* why) {
  if (gReported.exchange(true)) return;
  WriteRaw(2, "\n==== monkey: ");
  WriteRaw(2, why);
  WriteRaw(2, " ====\n");
  if (gState && *gState) (*gState)(2);
  if (gLog) gLog->Dump(2);
}

void OnFatalSignal(int sig) {
  ReportOnce(sig == SIGSEGV ? "SIGSEGV" : sig == SIGABRT ? "SIGABRT" : sig == SIGBUS ? "SIGBUS" : sig == SIGFPE ? "SIGFPE" : "SIGILL");
  // The sanitizer's handler (or the default) goes on from here and prints the stack.
  ::sigaction(sig, &gPrevious[sig], nullptr);
  ::raise(sig);
}

void OnDeath() { ReportOnce("sanitizer report (above)"); }

void OnStackRequest(int) {
  WriteRaw(2, "---- the window's thread is here ----\n");
  if (__sanitizer_print_stack_trace) {
    __sanitizer_print_stack_trace();
  } else {
    void* frames[64];
    ::backtrace_symbols_fd(frames, ::backtrace(frames, 64), 2);
  }
  gStackDone = true;
}

}  // namespace

void InstallCrashReport(const TEventLog& log, std::function<void(int)> state) {
  gLog = &log;
  gState = new std::function<void(int)>(std::move(state));
  if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(OnDeath);
  for (int sig : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL}) {
    struct sigaction a {};
    a.sa_handler = OnFatalSignal;
    sigemptyset(&a.sa_mask);
    a.sa_flags = SA_ONSTACK;
    ::sigaction(sig, &a, &gPrevious[sig]);
  }
  struct sigaction s {};
  s.sa_handler = OnStackRequest;
  sigemptyset(&s.sa_mask);
  ::sigaction(SIGUSR2, &s, nullptr);
}

void ReportStall(pthread_t uiThread, long long stalledMs) {
  char line[96];
  std::snprintf(line, sizeof line, "the window's thread stalled for %lld ms", stalledMs);
  ReportOnce(line);
  ::pthread_kill(uiThread, SIGUSR2);
  for (int i = 0; i < 50 && !gStackDone; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  WriteRaw(2, "monkey: FAULT stall\n");
  std::_Exit(3);
}

}  // namespace sorabu::monkey
