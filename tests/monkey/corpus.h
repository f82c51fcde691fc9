// The files a monkey run works over: every kind the program meets on a Linux desktop. Qt-free.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace sorabu::monkey {

struct TCorpusTools {
  std::filesystem::path cli;  // sorabu-cli, for the LHA archive
};

// Fills folder (made when missing) with texts in Shift-JIS, EUC-JP, JIS, UTF-8 and UTF-16, CR,
// LF and CR LF files, binary and empty files, a single line of a few megabytes, archives (LZH,
// ZIP, TAR), a named pipe, a socket, unreadable files and folders, names beyond Shift-JIS and
// names that are not UTF-8, subfolders, links and link loops. Every file has a fixed time and
// contents drawn from rng, so a seed gives the same folder. Returns the problems met (a tool
// missing), which do not stop the run.
std::vector<std::string> FillCorpus(const std::filesystem::path& folder, std::mt19937& rng, const TCorpusTools& tools);

// The folder's size in bytes and entries, links not followed; stops counting at the limits.
struct TFolderSize {
  std::uintmax_t bytes = 0;
  std::size_t entries = 0;
};
TFolderSize MeasureFolder(const std::filesystem::path& folder, std::uintmax_t byteLimit, std::size_t entryLimit);

}  // namespace sorabu::monkey
