// Every scan steps over whole CP932 characters; see name_path.h.
#include "archive/lha/name_path.h"

#include "textconv/cp932.h"

namespace sorabu::lha {
namespace {

using sorabu::textconv::IsLeadByte;
using sorabu::textconv::IsTrailByte;

// Length of the character at s[i]: 2 only for a lead byte followed by a valid second byte, so a
// control byte or "/" after a lead byte is still seen (and escaped, or split at) on its own.
std::size_t CharLen(std::string_view s, std::size_t i) {
  return i + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[i])) &&
                 IsTrailByte(static_cast<unsigned char>(s[i + 1]))
             ? 2
             : 1;
}

bool IsSeparatorChar(std::string_view s, std::size_t i, std::size_t len) {
  return len == 1 && (s[i] == '/' || s[i] == '\\');
}

}  // namespace

std::string NormalizeSeparators(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c == 0xFF) {
      out.push_back('/');
      ++i;
      continue;
    }
    const std::size_t len = CharLen(name, i);
    if (IsSeparatorChar(name, i, len)) {
      out.push_back('/');
    } else {
      out.append(name.substr(i, len));
    }
    i += len;
  }
  return out;
}

std::vector<std::string> SplitComponents(std::string_view name) {
  std::vector<std::string> parts;
  std::string cur;
  auto finish = [&]() {
    if (!cur.empty() && cur != ".") parts.push_back(cur);
    cur.clear();
  };
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t len = CharLen(name, i);
    if (IsSeparatorChar(name, i, len)) {
      finish();
    } else {
      cur.append(name.substr(i, len));
    }
    i += len;
  }
  finish();
  return parts;
}

Error SafeComponents(std::string_view name, std::vector<std::string>& out) {
  out.clear();
  // Archivers on the Macintosh and Windows CE store names from the root ("/Mounted Volume/..."),
  // and some keep the drive ("C:\\dir\\x", "C:x"): the name is taken below the destination.
  if (name.size() >= 2 && name[1] == ':' &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'))) {
    name.remove_prefix(2);
  }
  if (name.find('\0') != std::string_view::npos) return Error::kUnsafeName;
  out = SplitComponents(name);
  if (out.empty()) return Error::kUnsafeName;
  for (const auto& c : out) {
    if (c == "..") {
      out.clear();
      return Error::kUnsafeName;
    }
  }
  return Error::kOk;
}

std::string EscapeForDisplay(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t len = CharLen(name, i);
    const auto c = static_cast<unsigned char>(name[i]);
    if (len == 2) {
      out.append(name.substr(i, 2));
    } else if (c < 0x20 || c == 0x7F) {
      out += "\\x";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out.push_back(static_cast<char>(c));
    }
    i += len;
  }
  return out;
}

}  // namespace sorabu::lha
