// The switches of the directory listing: what the settings dialog offers and appends, and how the
// listing reads them back from an argument text or from separate arguments.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::info {

// The dialog's choices, CP932, index for index with the switch texts below.
const std::vector<std::string>& DirAttributeItems();  // 11: "普通", " D ﾃﾞｨﾚｸﾄﾘ", …
const std::vector<std::string>& DirSortItems();       // 13: "普通", " N 名前順", …
const std::vector<std::string>& DirFormItems();       // 4: "標凖", "詳細(/V)", "名前のみ(/B)", "ワイド(/W)"

// The argument preview: the quoted path, then attribute, sort, subdirectory, form and lower-case
// texts (" /A:H", " /O:-N", " /S", " /B", " /L", each a single blank when not chosen). Indexes
// out of range count as 0.
std::string BuildDirArguments(const std::string& path, int attribute, int sort, bool subdirs, int form, bool lower);

enum class DirForm { Normal, Verbose, Bare, Wide };

struct DirOptions {
  std::string path;  // file-system bytes; empty: the current folder
  // Per letter D, R, H, S, A: 0 either, 1 required, -1 excluded. Without /A hidden and system
  // entries are left out, as the command interpreter does.
  bool attributesGiven = false;
  std::array<int, 5> attributes{};
  // Sort keys in order, each a letter of N S E D G A with '-' before it for reverse. Without /O
  // the listing is in name order.
  std::string sort;
  bool subdirs = false;
  bool lower = false;
  DirForm form = DirForm::Normal;
  // The path names one entry exactly ("--" before it): "*", "?", "[" and "\\" are characters.
  bool literal = false;
};

// Applies one switch ("/A:-D", "/AH", "/O:GN", "/O", "/S", "/V", "/B", "/W", "/L", any case);
// false when arg is not one of them.
bool ApplyDirSwitch(std::string_view arg, DirOptions& options);

struct DirToken {
  std::string text;
  bool quoted = false;  // a quoted token is always a path
};
// Splits an argument text at blanks; double quotes group and are removed.
std::vector<DirToken> SplitDirLine(std::string_view line);

// Reads tokens into options: switches are applied, the other words joined by blanks make the
// path. False, with error (UTF-8), when a quoted path stands beside other words.
bool ParseDirTokens(const std::vector<DirToken>& tokens, DirOptions& options, std::string& error);

}  // namespace sorabu::info
