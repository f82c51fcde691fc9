// The owners' callbacks inside a plug-in, and the notices an extraction sends through them. The
// command entry points name the owner of the command running on their thread, so the commands
// below them reach its callback without passing it along.
#pragma once

#include <cstdint>
#include <string_view>

#include "archive/libs/unlha32/unlha32.h"

namespace sorabu::unlha32 {

void SetOwnerProc(void* owner, UnlhaArchiverProc proc);
void KillOwnerProc(void* owner);

// Names the owner of the commands run on this thread while it lives.
class CommandOwner {
 public:
  explicit CommandOwner(void* owner);
  ~CommandOwner();
  CommandOwner(const CommandOwner&) = delete;
  CommandOwner& operator=(const CommandOwner&) = delete;

 private:
  void* before_;
};

// One extraction's notices to its owner's callback; without a callback every call is true.
class OwnerProgress {
 public:
  OwnerProgress();
  bool Begin(std::string_view name, std::string_view dest, std::uint64_t size);
  bool Step(std::uint64_t written);  // a notice once another 256 KiB are written
  bool End();
  bool stopped() const { return stopped_; }

 private:
  bool Send(unsigned state);
  void* owner_;
  UnlhaArchiverProc proc_;
  UnlhaExtractingInfo info_{};
  std::uint64_t reported_ = 0;
  bool stopped_ = false;
};

}  // namespace sorabu::unlha32
