// sorabu-cli: the program's commands without the window, on the same code.
//
// Each subcommand lives in its own file and registers itself with a static TSubcommand object;
// main() only dispatches. Exit status: 0 done, 1 the command reported a warning or error (the
// message goes to standard error in UTF-8), 2 usage error.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::cli {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

using Handler = int (*)(const std::vector<std::string>& args);

struct TSubcommand {
  TSubcommand(const char* name, const char* usage, Handler handler);
};

// Arguments arrive in the locale's encoding (UTF-8) and become CP932, unless --raw was given.
// A character CP932 cannot hold (or bytes that are not UTF-8) raise EArgument: a silent "?" in
// its place would open another file, write into another folder or turn a pattern into another.
struct EArgument : std::runtime_error {
  explicit EArgument(const std::string& utf8_message) : std::runtime_error(utf8_message) {}
};
bool RawArguments();
void SetRawArguments(bool raw);
std::string ArgToCp932(const std::string& arg);
// For text only shown to the user: never fails, unconvertible characters become "?".
std::string ArgToCp932ForDisplay(const std::string& arg);

// Writes CP932 text to a stream as UTF-8 (the terminal's encoding).
void WriteUtf8(std::FILE* stream, std::string_view cp932);
// A message to standard error, UTF-8, with a line end.
void Complain(std::string_view cp932);
// Opens path for reading when it is a regular file; anything else (a FIFO, a device, a socket, a
// folder) is never opened in a way that could wait for a writer, and -1 comes back with why set
// (UTF-8). The descriptor is closed on exec.
int OpenRegularFile(const std::string& path, std::string& why);
// Whether path names something that is neither a regular file nor a folder.
bool IsSpecialFile(const std::string& path);
inline constexpr const char* kNotRegular = "not a regular file (FIFO, device or socket), skipped";

// A name as the file system holds it, ready for the terminal: control bytes (C0, DEL and the
// UTF-8 form of C1) become "\xNN" and a backslash doubles, so no name can move the cursor, set a
// title or forge a line of its own.
std::string EscapedName(std::string_view bytes);

// Prints the usage of one subcommand to standard error and returns kExitUsage.
int Usage(const char* name);

}  // namespace sorabu::cli
