#include "archive/bind/lha_binding.h"

#include <vector>

#include "archive/bind/library.h"

namespace sorabu::archive {
namespace {

void* Entry(const char* name) { return LibraryEntry(LoadLibrary("UNLHA32.DLL"), name); }

int Hear(void* owner, unsigned state, const UnlhaExtractingInfo* info) {
  const auto& progress = *static_cast<const ExtractProgress*>(owner);
  return info == nullptr || progress(ExtractState(state), *info) ? 1 : 0;
}

}  // namespace

int LhaVersion() {
  auto fn = reinterpret_cast<VersionFn>(Entry("UnlhaGetVersion"));
  return fn == nullptr ? 0 : fn();
}

int LhaCommand(void* owner, std::string_view command_line, std::string& output, std::size_t size,
               const ExtractProgress& progress) {
  output.clear();
  auto fn = reinterpret_cast<CommandFn>(Entry("Unlha"));
  if (fn == nullptr) return 32792;
  std::vector<char> buffer(size + 1, '\0');
  const std::string line(command_line);
  // The library keys its notices by owner: this call's own progress stands for the owner.
  auto set = reinterpret_cast<SetOwnerFn>(Entry("UnlhaSetOwnerWindowEx"));
  auto kill = reinterpret_cast<KillOwnerFn>(Entry("UnlhaKillOwnerWindowEx"));
  const bool hearing = progress && set != nullptr && kill != nullptr;
  if (hearing) {
    owner = const_cast<ExtractProgress*>(&progress);
    set(owner, reinterpret_cast<void*>(&Hear));
  }
  const int code = fn(owner, line.c_str(), buffer.data(), static_cast<std::uint32_t>(size));
  if (hearing) kill(owner);
  output.assign(buffer.data());
  return code;
}

bool LhaCheck(const std::string& path, int mode) {
  auto fn = reinterpret_cast<CheckFn>(Entry("UnlhaCheckArchive"));
  return fn != nullptr && fn(path.c_str(), mode) != 0;
}

}  // namespace sorabu::archive
