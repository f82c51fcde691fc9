// A folder of the fuzzer's own for the files a target writes on every run: in memory where the
// machine has /dev/shm, removed when the fuzzer exits.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace sorabu::fuzz {

// Never destroyed, so the removal at exit can still name it.
inline const std::string& FuzzFolder(const char* name) {
  static const std::string* const folder = new std::string([name] {
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string f = std::string(base) + "/sorabu-fuzz-" + name + "-" + std::to_string(::getpid());
    ::mkdir(f.c_str(), 0700);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(*folder, ec);
    });
    return f;
  }());
  return *folder;
}

}  // namespace sorabu::fuzz
