// The directory listing that stands in for the command interpreter's "dir": the entries of a
// folder (or of the names matching a wildcard in it), filtered by attributes, sorted, in the
// normal, verbose, bare or wide form, optionally with every subfolder. Output is CP932 with
// CR LF line ends; folders and entries that cannot be read are reported and passed over. Names
// are shown with their control bytes escaped, so none can write to the terminal.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "info/dir_switches.h"

namespace sorabu::info {

// One entry as the listing sees it. Read-only: no write permission for anyone; hidden: a name
// starting with "."; system: neither a regular file nor a folder (device, pipe, socket). No
// file system here keeps the archive flag, so it is never set.
struct DirEntry {
  std::string name;  // file-system bytes
  bool dir = false, link = false, readOnly = false, hidden = false, system = false, archive = false;
  unsigned long long size = 0, allocated = 0;
  long long modified = 0, accessed = 0;  // seconds since the epoch
  std::string target;                    // where a link leads
};

// An entry the folder lists but that cannot be examined (a folder readable but not searchable).
struct UnexaminedEntry {
  std::string name;  // file-system bytes
  std::string why;   // UTF-8
};

// The folder's entries without "." and ".."; false with why (UTF-8) when it cannot be read.
// Entries that cannot be examined are left out and, when unexamined is given, named there.
bool ReadFolder(const std::string& folder, std::vector<DirEntry>& out, std::string& why,
                std::vector<UnexaminedEntry>* unexamined = nullptr);
// Whether an entry passes the /A filter of options.
bool PassesAttributes(const DirEntry& e, const DirOptions& options);
// Sorts by keys (letters of N S E D G A, '-' before a letter reverses it); names compare without
// regard to ASCII case. Entries the keys leave equal go by name.
void SortEntries(std::vector<DirEntry>& entries, std::string_view keys);

struct DirSink {
  std::function<void(std::string_view cp932)> write;
  std::function<void(const std::string& cp932)> problem;
};

// Writes the listing; false when something was reported (a path that matches nothing, folders
// that could not be read).
bool ListDirectory(const DirOptions& options, const DirSink& sink);

}  // namespace sorabu::info
