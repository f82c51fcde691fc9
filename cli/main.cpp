#include <QCoreApplication>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <map>
#include <string>

#include "cli/cli.h"
#include "textconv/cp932.h"
#include "textconv/ui_text.h"

namespace sorabu::cli {

namespace {

struct Entry {
  const char* usage;
  Handler handler;
};

std::map<std::string, Entry>& Registry() {
  static std::map<std::string, Entry> registry;
  return registry;
}

bool raw = false;

}  // namespace

TSubcommand::TSubcommand(const char* name, const char* usage, Handler handler) {
  Registry()[name] = {usage, handler};
}

bool RawArguments() { return raw; }
void SetRawArguments(bool value) { raw = value; }

std::string ArgToCp932(const std::string& arg) {
  if (raw) return arg;
  std::size_t unmappable = 0;
  std::string cp932 = textconv::Utf8ToCp932(arg, &unmappable);
  // A character that comes back as another one (〜 as ～, − as －) would name another file just
  // as silently as a "?": only an exact round trip is accepted.
  if (unmappable != 0 || textconv::Cp932ToUtf8(cp932) != arg) {
    std::string shown;
    for (const char c : arg) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) shown += '?';
      else shown += c;
    }
    throw EArgument("\"" + shown + "\" holds characters that Shift-JIS (code page 932) cannot hold; nothing was done");
  }
  return cp932;
}

std::string ArgToCp932ForDisplay(const std::string& arg) { return raw ? arg : textconv::Utf8ToCp932(arg); }

void WriteUtf8(std::FILE* stream, std::string_view cp932) {
  const std::string utf8 = textconv::Cp932ToUtf8(cp932);
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

std::string EscapedName(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  auto hex = [](std::string& out, unsigned char c) {
    out += "\\x";
    out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 15]);
  };
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const bool c1 = c == 0xC2 && i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(bytes[i + 1]) <= 0x9F;
    if (c < 0x20 || c == 0x7F) {
      hex(out, c);
    } else if (c1) {
      hex(out, c);
      hex(out, static_cast<unsigned char>(bytes[++i]));
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

void Complain(std::string_view cp932) {
  // Names travel in messages in the exact form; they come out as the file system holds them.
  std::string utf8 = textconv::Cp932ExactToUtf8(cp932);
  std::string shown;
  for (const char c : utf8) {
    if (c == '\n' || c == '\t' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)) shown.push_back(c);
    else shown += EscapedName(std::string_view(&c, 1));
  }
  std::fwrite(shown.data(), 1, shown.size(), stderr);
  std::fputc('\n', stderr);
}

int OpenRegularFile(const std::string& path, std::string& why) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    why = std::strerror(errno);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    why = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : kNotRegular;
    return -1;
  }
  // It may have been replaced since: opened without waiting and looked at again.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    why = std::strerror(errno);
    return -1;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    why = kNotRegular;
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool IsSpecialFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

int Usage(const char* name) {
  auto it = Registry().find(name);
  if (it != Registry().end()) std::fprintf(stderr, "usage: sorabu-cli %s %s\n", name, it->second.usage);
  return kExitUsage;
}

}  // namespace sorabu::cli

int main(int argc, char** argv) {
  using namespace sorabu::cli;
  QCoreApplication app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args.front() == "--raw") {
    SetRawArguments(true);
    args.erase(args.begin());
  }
  if (args.empty() || args.front() == "--help" || !Registry().count(args.front())) {
    std::fprintf(stderr, "usage: sorabu-cli [--raw] SUBCOMMAND ...\nsubcommands:\n");
    for (const auto& [name, entry] : Registry()) std::fprintf(stderr, "  %s %s\n", name.c_str(), entry.usage);
    return args.empty() || args.front() != "--help" ? kExitUsage : kExitDone;
  }
  // A file-size limit must end a write with an error, not end the program.
  std::signal(SIGXFSZ, SIG_IGN);
  const Entry entry = Registry().at(args.front());
  args.erase(args.begin());
  try {
    return entry.handler(args);
  } catch (const EArgument& e) {
    std::fprintf(stderr, "sorabu-cli: %s\n", e.what());
    return kExitFailed;
  }
}
