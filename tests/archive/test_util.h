// Helpers shared by the archive tests: a temporary folder that cleans up after itself, files,
// sample data and running the peer tools inside the temporary folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sorabu::lha::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, std::string_view data);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

// Runs `command` through the shell inside `dir`; returns the exit status, output in *output.
int Run(const std::string& dir, const std::string& command, std::string* output = nullptr);
bool HaveTool(const std::string& path);

// Deterministic sample data.
std::string RandomBytes(std::size_t n, std::uint32_t seed);
// Japanese-like CP932 text with ASCII, kana, kanji and CR LF lines; compresses like real text.
std::string SampleText(std::size_t n, std::uint32_t seed);

// "\x83\x5C" style bytes from a UTF-8 literal.
std::string Sjis(std::string_view utf8);

// Little-endian fields appended to a header being built.
inline void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& s, unsigned long v) {
  Put16(s, static_cast<unsigned>(v & 0xFFFF));
  Put16(s, static_cast<unsigned>((v >> 16) & 0xFFFF));
}

}  // namespace sorabu::lha::test
