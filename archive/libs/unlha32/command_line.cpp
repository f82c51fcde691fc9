// The command-line parser of the Unlha entry; the syntax is described in command_line.h.
#include "archive/libs/unlha32/command_line.h"

#include <cctype>
#include <cstdlib>

#include "archive/lha/archive_reader.h"
#include "archive/lha/name_path.h"
#include "archive/libs/unlha32/unlha32.h"
#include "textconv/cp932.h"
#include "textconv/ui_text.h"

namespace sorabu::unlha32 {
namespace {

constexpr int kErrorResponseFile = 32810;

bool IsLead(std::string_view s, std::size_t i) {
  return i + 1 < s.size() && textconv::IsLeadByte(static_cast<unsigned char>(s[i])) &&
         textconv::IsTrailByte(static_cast<unsigned char>(s[i + 1]));
}

// True when the last character (not a second byte) is "\" or "/".
bool EndsWithSeparator(std::string_view s) {
  bool last_sep = false;
  for (std::size_t i = 0; i < s.size();) {
    if (IsLead(s, i)) {
      last_sep = false;
      i += 2;
    } else {
      last_sep = s[i] == '\\' || s[i] == '/';
      ++i;
    }
  }
  return last_sep;
}

void AddSwitch(const std::string& item, Command& out) {
  const std::string body = item.substr(1);
  if (body.empty()) return;
  if (body[0] == '+') {
    out.switches["+"] = body.substr(1);
    return;
  }
  std::size_t n = 1;
  if (body[0] == 'j' || body[0] == 'g') {
    while (n < body.size() && std::isalpha(static_cast<unsigned char>(body[n]))) ++n;
  }
  out.switches[body.substr(0, n)] = body.substr(n);
}

int ReadResponseFile(const std::string& item, std::vector<std::string>& names) {
  std::string data;
  if (lha::ReadWholeFile(NativePath(item.substr(1)), 1u << 24, data) != lha::Error::kOk) return kErrorResponseFile;
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t end = data.find_first_of("\r\n", start);
    if (end == std::string::npos) end = data.size();
    for (const auto& name : SplitItems(std::string_view(data).substr(start, end - start))) names.push_back(name);
    start = end + 1;
  }
  return 0;
}

// Letters compare without case, as file names do on the archives' home systems.
bool SameChar(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a.size() == 1) return std::tolower(static_cast<unsigned char>(a[0])) == std::tolower(static_cast<unsigned char>(b[0]));
  return a == b;
}

}  // namespace

int Command::Number(const std::string& name, int absent) const {
  const auto it = switches.find(name);
  if (it == switches.end()) return absent;
  if (it->second.empty()) return 1;
  return std::atoi(it->second.c_str());
}

std::vector<std::string> ItemsWithoutSwitches(const char* line) {
  std::vector<std::string> items;
  for (auto& item : SplitItems(line != nullptr ? line : "")) {
    if (item.size() > 1 && item[0] == '-') continue;
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<std::string> SplitItems(std::string_view line) {
  std::vector<std::string> items;
  std::string cur;
  bool quoted = false, any = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (IsLead(line, i)) {
      cur.append(line.substr(i, 2));
      ++i;
      any = true;
    } else if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) items.push_back(cur);
      cur.clear();
      any = false;
    } else {
      cur.push_back(c);
      any = true;
    }
  }
  if (any) items.push_back(cur);
  return items;
}

int ParseCommandLine(std::string_view line, Command& out) {
  out = Command{};
  const std::vector<std::string> items = SplitItems(line);
  if (items.empty() || items[0].size() != 1 || !std::isalpha(static_cast<unsigned char>(items[0][0]))) {
    return kErrorCommand;
  }
  out.word = static_cast<char>(std::tolower(static_cast<unsigned char>(items[0][0])));
  if (std::string_view("lvxetaufds").find(out.word) == std::string_view::npos) return kErrorCommand;
  for (std::size_t i = 1; i < items.size(); ++i) {
    const std::string& item = items[i];
    if (item.size() > 1 && item[0] == '-') {
      AddSwitch(item, out);
    } else if (out.archive.empty()) {
      out.archive = item;
    } else if (out.folder.empty() && out.names.empty() && EndsWithSeparator(item)) {
      out.folder = item;
    } else if (item.size() > 1 && item[0] == '@') {
      if (const int e = ReadResponseFile(item, out.names); e != 0) return e;
    } else {
      out.names.push_back(item);
    }
  }
  if (out.archive.empty()) return kErrorNoArchiveName;
  return 0;
}

std::string NativePath(std::string_view cp932) {
  std::string slashed;
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    if (const std::size_t marked = textconv::ExactMarkLength(cp932, i); marked > 0) {
      slashed.append(cp932.substr(i, marked));
      i += marked - 1;
    } else if (IsLead(cp932, i)) {
      slashed.append(cp932.substr(i, 2));
      ++i;
    } else {
      slashed.push_back(cp932[i] == '\\' ? '/' : cp932[i]);
    }
  }
  return textconv::Cp932ExactToUtf8(slashed);
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (pattern.empty() || pattern == "*" || pattern == "*.*") return true;
  // Iterative match with one backtrack point, stepping by characters.
  std::size_t p = 0, n = 0, star_p = std::string_view::npos, star_n = 0;
  auto step = [](std::string_view s, std::size_t i) { return IsLead(s, i) ? 2u : 1u; };
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star_p = ++p;
      star_n = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      p += 1;
      n += step(name, n);
    } else if (p < pattern.size() && SameChar(pattern.substr(p, step(pattern, p)), name.substr(n, step(name, n)))) {
      n += step(name, n);
      p += step(pattern, p);
    } else if (star_p != std::string_view::npos) {
      p = star_p;
      star_n += step(name, star_n);
      n = star_n;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace sorabu::unlha32
