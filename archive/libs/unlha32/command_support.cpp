#include "archive/libs/unlha32/command_support.h"

#include <sys/stat.h>

#include <cerrno>

#include "archive/lha/name_path.h"
#include "archive/libs/unlha32/commands.h"
#include "archive/libs/unlha32/unlha32.h"

namespace sorabu::unlha32 {

void Line(std::string& out, std::string_view text) {
  out.append(text);
  out += "\r\n";
}

void ErrorLine(std::string& out, int code, const std::string& name, lha::Error e) {
  Line(out, Format("Error %d: ", code) + lha::EscapeForDisplay(name) + " (" + std::string(lha::ErrorText(e)) + ")");
}

bool Selected(const Command& c, const lha::Entry& e) {
  if (c.names.empty()) return true;
  for (const auto& n : c.names) {
    const std::string pattern = lha::NormalizeSeparators(n);
    // An empty name given ('""') selects only an entry without a name, never every entry.
    if (pattern.empty()) {
      if (e.name.empty()) return true;
      continue;
    }
    if (WildcardMatch(pattern, e.name)) return true;
    const std::size_t slash = e.name.rfind('/');
    if (slash != std::string::npos && WildcardMatch(pattern, std::string_view(e.name).substr(slash + 1))) return true;
  }
  return false;
}

int OpenArchive(const Command& c, lha::ArchiveReader& reader, std::string& out) {
  const lha::Error e = reader.OpenFile(NativePath(c.archive));
  if (e == lha::Error::kOpenFailed) return kErrorArchiveOpen;
  if (e != lha::Error::kOk) {
    Line(out, "Archive: " + lha::EscapeForDisplay(c.archive) + " (" + std::string(lha::ErrorText(e)) + ")");
    return ResultCode(e);
  }
  return 0;
}

bool MakeFolders(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      const std::string part = path.substr(0, i);
      if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace sorabu::unlha32
