// Parsing a plug-in command line. Items are split as the LHA plug-in splits them (blanks
// separate, double quotes group); the first item may be a command word, "-" items are switches,
// "@FILE" reads names from a response file (one per line, quotes removed), the first other item
// is the archive, a following item ending in "\" or "/" the folder, the rest names.
#include <fstream>
#include <iterator>

#include "archive/libs/common/plugin.h"
#include "archive/libs/unlha32/command_line.h"

namespace sorabu::arcplug {
namespace {

constexpr int kErrorResponseFile = 32810;

bool EndsInSeparator(const std::string& s) {
  if (s.empty()) return false;
  if (s.back() == '/') return true;
  // A "\" that is the second byte of a double-byte character is no separator.
  std::size_t i = 0;
  bool last_single_backslash = false;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    const bool lead = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < s.size();
    last_single_backslash = !lead && c == '\\';
    i += lead ? 2 : 1;
  }
  return last_single_backslash;
}

bool ReadResponseFile(const std::string& cp932_path, std::vector<std::string>& names) {
  std::ifstream in(unlha32::NativePath(cp932_path), std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (auto& item : unlha32::SplitItems(line)) names.push_back(std::move(item));
  }
  return true;
}

// Walks characters: a "[" that is the second byte of a double-byte character was never escaped.
std::string WithoutBracketEscapes(const std::string& name) {
  std::string out;
  for (std::size_t i = 0; i < name.size();) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < name.size()) {
      out.append(name, i, 2);
      i += 2;
    } else if (name.compare(i, 3, "[[]") == 0) {
      out += '[';
      i += 3;
    } else {
      out += name[i++];
    }
  }
  return out;
}

bool Digits(std::string_view s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos; }

// Applies one switch; `next` gives the following item for switches that take one.
void ApplySwitch(const std::string& sw, const Syntax& syntax, Command& c, std::vector<std::string>& items,
                 std::size_t& i) {
  auto take_next = [&]() -> std::string { return i + 1 < items.size() ? items[++i] : std::string(); };
  if (syntax.tar_style) {
    if (sw == "-f") c.archive = take_next();
    else if (sw == "-o") c.folder = take_next();
    else if (sw.rfind("-z", 0) == 0 && (sw.size() == 2 || Digits(sw.substr(2)))) {
      c.pack.compression = 'z';
      if (sw.size() > 2) c.pack.level = std::stoi(sw.substr(2, 1));
    } else if (sw.rfind("-B", 0) == 0 && (sw.size() == 2 || Digits(sw.substr(2)))) {
      c.pack.compression = 'B';
      if (sw.size() > 2) c.pack.level = std::stoi(sw.substr(2, 1));
    } else if (sw.rfind("--use-directory=", 0) == 0) {
      c.junk_paths = sw.substr(16) == "0";
    }
    return;
  }
  if (sw == "-P") {
    c.password = take_next();
    c.pack.password = c.password;
  } else if (sw == "-o") c.overwrite = true;
  else if (sw == "-j") c.junk_paths = true;
  else if (sw == "-r") c.recurse = true;
  else if (sw == "-D") c.no_dir_entries = true;
  else if (sw.size() == 2 && sw[1] >= '0' && sw[1] <= '9') c.pack.level = sw[1] - '0';
}

}  // namespace

int ParseCommand(std::string_view line, const Syntax& syntax, Command& out) {
  out = Command{};
  std::vector<std::string> items = unlha32::SplitItems(line);
  std::size_t i = 0;
  if (!items.empty()) {
    for (const auto& [word, op] : syntax.words) {
      if (items[0] == word) {
        out.op = op;
        i = 1;
        break;
      }
    }
  }
  if (out.op == 0) out.op = syntax.default_op;
  if (out.op == 0) return unlha32::kErrorCommand;
  // tar overwrites and descends into folders without being asked.
  if (syntax.tar_style) out.overwrite = out.recurse = true;
  bool have_archive = false;
  for (; i < items.size(); ++i) {
    const std::string item = items[i];
    if (item.size() > 1 && item[0] == '-') {
      ApplySwitch(item, syntax, out, items, i);
      if (!out.archive.empty()) have_archive = true;
      continue;
    }
    if (item.size() > 1 && item[0] == '@') {
      if (!ReadResponseFile(item.substr(1), out.names)) return kErrorResponseFile;
      continue;
    }
    if (!have_archive) {
      out.archive = item;
      have_archive = true;
    } else if (out.folder.empty() && out.names.empty() && EndsInSeparator(item)) {
      out.folder = item;
    } else {
      out.names.push_back(item);
    }
  }
  if (out.archive.empty()) return unlha32::kErrorNoArchiveName;
  if (syntax.bracket_escape) {
    for (auto& name : out.names) name = WithoutBracketEscapes(name);
  }
  return 0;
}

}  // namespace sorabu::arcplug
