#include "archive/libs/unlha32/owner_progress.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace sorabu::unlha32 {
namespace {

constexpr std::uint64_t kEvery = 256 * 1024;

std::mutex& Lock() {
  static std::mutex m;
  return m;
}
std::vector<std::pair<void*, UnlhaArchiverProc>>& Procs() {
  static std::vector<std::pair<void*, UnlhaArchiverProc>> procs;
  return procs;
}
thread_local void* current_owner = nullptr;

UnlhaArchiverProc ProcOf(void* owner) {
  if (owner == nullptr) return nullptr;
  const std::lock_guard<std::mutex> hold(Lock());
  for (const auto& [o, p] : Procs())
    if (o == owner) return p;
  return nullptr;
}

void CopyName(char (&to)[513], std::string_view from) {
  const std::size_t n = std::min(from.size(), sizeof to - 1);
  std::memcpy(to, from.data(), n);
  to[n] = '\0';
}

}  // namespace

void SetOwnerProc(void* owner, UnlhaArchiverProc proc) {
  KillOwnerProc(owner);
  if (owner == nullptr || proc == nullptr) return;
  const std::lock_guard<std::mutex> hold(Lock());
  Procs().emplace_back(owner, proc);
}

void KillOwnerProc(void* owner) {
  const std::lock_guard<std::mutex> hold(Lock());
  auto& procs = Procs();
  procs.erase(std::remove_if(procs.begin(), procs.end(), [owner](const auto& p) { return p.first == owner; }),
              procs.end());
}

CommandOwner::CommandOwner(void* owner) : before_(current_owner) { current_owner = owner; }
CommandOwner::~CommandOwner() { current_owner = before_; }

OwnerProgress::OwnerProgress() : owner_(current_owner), proc_(ProcOf(current_owner)) {}

bool OwnerProgress::Send(unsigned state) {
  if (proc_ == nullptr || stopped_) return !stopped_;
  stopped_ = proc_(owner_, state, &info_) == 0;
  return !stopped_;
}

bool OwnerProgress::Begin(std::string_view name, std::string_view dest, std::uint64_t size) {
  CopyName(info_.source, name);
  CopyName(info_.dest, dest);
  info_.file_size = size;
  info_.write_size = 0;
  reported_ = 0;
  return Send(kArcExtractBegin);
}

bool OwnerProgress::Step(std::uint64_t written) {
  if (proc_ == nullptr) return true;
  if (written - reported_ < kEvery && written != info_.file_size) return !stopped_;
  reported_ = written;
  info_.write_size = written;
  return Send(kArcExtractInProcess);
}

bool OwnerProgress::End() {
  info_.write_size = std::max(info_.write_size, reported_);
  return Send(kArcExtractEnd);
}

}  // namespace sorabu::unlha32
