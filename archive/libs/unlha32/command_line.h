// The command line of the Unlha entry: a command word, switches, the archive, an optional folder
// and names.
//
// Syntax: WORD [SWITCH...] ARCHIVE [FOLDER] [NAME...], items separated by blanks, double quotes
// group blanks into one item and are removed. A switch starts with "-": "-+" stands alone, "-x1"
// is switch "x" with value "1", "-r" has an empty value, multi-letter switches start with "j" or
// "g" ("-jf0" is "jf" = "0"), and "-w" takes the rest as text ("-wC:\tmp\"). Switches may also
// follow the archive. FOLDER is the first item after the archive that ends in "\" or "/": the
// destination of "x"/"e"/"s", the base folder of "a"/"u"/"f". "@FILE" reads names from a
// response file, one per line, quotes allowed.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::unlha32 {

struct Command {
  char word = 0;                                // 'l', 'v', 'x', 'e', 't', 'a', 'u', 'f', 'd', 's'
  std::map<std::string, std::string> switches;  // name -> value ("" when none)
  std::string archive;                          // CP932 path
  std::string folder;                           // CP932 path ending in a separator, or empty
  std::vector<std::string> names;               // CP932 names or wildcards

  bool Has(const std::string& name) const { return switches.count(name) != 0; }
  // The switch's value as a number; `absent` when not given, 1 when given without a value.
  int Number(const std::string& name, int absent) const;
};

// 0, or kErrorCommand (no or unknown command word), kErrorNoArchiveName, 32810 (response file).
int ParseCommandLine(std::string_view line, Command& out);

// Items of a command line: blanks separate, double quotes group and are removed.
std::vector<std::string> SplitItems(std::string_view line);
// The items of a possibly null command line that are not switches ("-x"): archive, then names.
std::vector<std::string> ItemsWithoutSwitches(const char* line);

// A CP932 path from the command line as a file-system path: separators ("\" as a character, "/")
// become "/", the rest is converted to UTF-8.
std::string NativePath(std::string_view cp932);

// DOS-style wildcard match over whole names: "*" any run, "?" one character (CP932 characters
// count as one), ASCII letters without case; "*.*" matches every name, also names without a dot.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace sorabu::unlha32
