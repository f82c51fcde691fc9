#include "info/dir_switches.h"

#include <algorithm>

#include "textconv/cp932.h"

namespace sorabu::info {

namespace {

std::vector<std::string> Cp932List(std::initializer_list<const char*> utf8) {
  std::vector<std::string> out;
  for (const char* s : utf8) out.push_back(textconv::Utf8ToCp932(s));
  return out;
}

constexpr const char* kAttributeSwitches[] = {" ",      " /A:D", " /A:-D", " /A:R", " /A:-R", " /A:H",
                                              " /A:-H", " /A:S", " /A:-S", " /A:A", " /A:-A"};
constexpr const char* kSortSwitches[] = {" ",      " /O:N", " /O:-N", " /O:S", " /O:-S", " /O:E", " /O:-E",
                                         " /O:D",  " /O:-D", " /O:G", " /O:-G", " /O:A", " /O:-A"};
constexpr const char* kFormSwitches[] = {" ", " /V", " /B", " /W"};
constexpr std::string_view kAttributeLetters = "DRHSA";
constexpr std::string_view kSortLetters = "NSEDGA";

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

template <std::size_t N>
const char* Pick(const char* const (&table)[N], int index) {
  return table[index >= 0 && static_cast<std::size_t>(index) < N ? index : 0];
}

// The letters after "/A" or "/O": an optional ':' then letters of allowed, each perhaps after '-'.
bool Letters(std::string_view rest, std::string_view allowed, std::string& out) {
  if (!rest.empty() && rest.front() == ':') rest.remove_prefix(1);
  out.clear();
  bool minus = false;
  for (const char raw : rest) {
    const char c = Upper(raw);
    if (c == '-' && !minus) {
      minus = true;
      continue;
    }
    if (allowed.find(c) == std::string_view::npos) return false;
    if (minus) out += '-';
    out += c;
    minus = false;
  }
  return !minus;
}

}  // namespace

const std::vector<std::string>& DirAttributeItems() {
  static const auto items = Cp932List({"普通", " D ﾃﾞｨﾚｸﾄﾘ", "-D ﾃﾞｨﾚｸﾄﾘ－以外", " R 読み取り専用", "-R 読み取り専用－以外",
                                       " H 隠しﾌｧｲﾙ", "-H 隠しﾌｧｲﾙ－以外", " S ｼｽﾃﾑﾌｧｲﾙ", "-S ｼｽﾃﾑﾌｧｲﾙ－以外",
                                       " A ｱｰｶｲﾌﾞﾌｧｲﾙ", "-A ｱｰｶｲﾌﾞﾌｧｲﾙ－以外"});
  return items;
}

const std::vector<std::string>& DirSortItems() {
  static const auto items = Cp932List({"普通", " N 名前順", "-N 名前－逆順", " S サイズ順", "-S サイズ－逆順", "E 拡張子順",
                                       "-E 拡張子－逆順", "D 日付順", "-D 日付－逆順", "G ディレクトリ優先", "-G ディレクトリ後",
                                       "A 最終アクセス順", "-A 最終アクセス逆順"});
  return items;
}

const std::vector<std::string>& DirFormItems() {
  static const auto items = Cp932List({"標凖", "詳細(/V)", "名前のみ(/B)", "ワイド(/W)"});
  return items;
}

std::string BuildDirArguments(const std::string& path, int attribute, int sort, bool subdirs, int form, bool lower) {
  std::string s = "\"" + path + "\"";
  s += Pick(kAttributeSwitches, attribute);
  s += Pick(kSortSwitches, sort);
  s += subdirs ? " /S" : " ";
  s += Pick(kFormSwitches, form);
  s += lower ? " /L" : " ";
  return s;
}

bool ApplyDirSwitch(std::string_view arg, DirOptions& options) {
  if (arg.size() < 2 || arg.front() != '/') return false;
  const char key = Upper(arg[1]);
  const std::string_view rest = arg.substr(2);
  std::string letters;
  if (key == 'A' && Letters(rest, kAttributeLetters, letters)) {
    options.attributesGiven = true;
    options.attributes.fill(0);
    for (std::size_t i = 0; i < letters.size(); ++i) {
      const bool minus = letters[i] == '-';
      if (minus) ++i;
      options.attributes[kAttributeLetters.find(letters[i])] = minus ? -1 : 1;
    }
    return true;
  }
  if (key == 'O' && Letters(rest, kSortLetters, letters)) {
    options.sort = letters.empty() ? "GN" : letters;
    return true;
  }
  if (!rest.empty()) return false;
  switch (key) {
    case 'S': options.subdirs = true; return true;
    case 'L': options.lower = true; return true;
    case 'V': options.form = DirForm::Verbose; return true;
    case 'B': options.form = DirForm::Bare; return true;
    case 'W': options.form = DirForm::Wide; return true;
    default: return false;
  }
}

std::vector<DirToken> SplitDirLine(std::string_view line) {
  std::vector<DirToken> tokens;
  DirToken current;
  bool inQuotes = false, inToken = false;
  for (const char c : line) {
    if (c == '"') {
      inQuotes = !inQuotes;
      current.quoted = true;
      inToken = true;
    } else if ((c == ' ' || c == '\t') && !inQuotes) {
      if (inToken) tokens.push_back(std::move(current));
      current = {};
      inToken = false;
    } else {
      current.text += c;
      inToken = true;
    }
  }
  if (inToken) tokens.push_back(std::move(current));
  return tokens;
}

bool ParseDirTokens(const std::vector<DirToken>& tokens, DirOptions& options, std::string& error) {
  // Words that are no switch make up the path, so a folder typed with blanks and without quotes
  // still names one folder; a quoted path beside other words is ambiguous.
  std::vector<const DirToken*> words;
  for (const DirToken& t : tokens)
    if (t.quoted || !ApplyDirSwitch(t.text, options)) words.push_back(&t);
  const bool quoted = std::any_of(words.begin(), words.end(), [](const DirToken* t) { return t->quoted; });
  if (quoted && words.size() > 1) {
    error = "only one path may be given";
    return false;
  }
  options.path.clear();
  for (const DirToken* t : words) options.path += (options.path.empty() ? "" : " ") + t->text;
  return true;
}

}  // namespace sorabu::info
