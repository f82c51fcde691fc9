// Helpers shared by the converter tests: byte literals, CP932 text from UTF-8 source
// literals, readable dumps, and the external peers (nkf, iconv) run on files in a temporary
// folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

#include <sys/wait.h>

#include "textconv/cp932.h"

namespace sorabu::textconv::testutil {

inline std::string Bin(std::initializer_list<int> bytes) {
  std::string s;
  for (const int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

// CP932 bytes of a UTF-8 literal.
inline std::string Sj(std::string_view utf8) { return Utf8ToCp932(utf8); }

inline std::string Hex(std::string_view s) {
  std::string out;
  char buf[4];
  for (const char c : s) {
    std::snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(c));
    out += buf;
  }
  return out;
}

// Output of a shell pipeline, or nothing when it cannot be started.
inline std::string ReadCommand(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buf[65536];
  std::size_t got = 0;
  while ((got = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, got);
  pclose(pipe);
  return out;
}

const std::string kEnterJis = "\x1B$B";
const std::string kLeaveJisRoman = "\x1B(J";
const std::string kLeaveJisAscii = "\x1B(B";

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A folder of the test's own, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string name = (std::filesystem::temp_directory_path() / "sorabu-conv-XXXXXX").string();
    if (mkdtemp(name.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = name;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Runs a shell command line; returns its exit status (-1 when it could not run).
inline int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return status == -1 ? -1 : WEXITSTATUS(status);
}

inline bool HaveTool(const char* name) {
  return Shell(std::string("command -v ") + name + " >/dev/null 2>&1") == 0;
}

inline std::string Quote(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

}  // namespace sorabu::textconv::testutil
