// GrepFiles: one compiled pattern over a list of files, on several threads, with every result
// handed to the caller in the order of the list, on the caller's thread.
//
// Each searching thread has a twin of the caller's TGrep and takes the next file of the list, at
// most kAhead files ahead of the one being handed over, so a large file early in the list does
// not let the others pile up their results. The file being handed over streams: its lines reach
// the caller while it is still being read, as one thread's search would give them. The caller's
// ProcessMessages is called on the caller's thread after every hand-over and every millisecond of
// waiting; once it has set the grep's Cancel the threads stop at their next block and EGrepCancel
// is thrown. A large Shift-JIS file in a short list is searched in pieces cut at line ends, one
// per thread, when the pattern allows (TGrep::SearchesLineByLine); its line numbers are those of
// the whole file. With one thread, or one file that is not cut, the files are searched on the
// caller's thread alone.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "regex/grep.h"

namespace sorabu::regex {

struct GrepFileSink {
  // Before the first line of paths[index], or once it is done when it has none (also before
  // unreadable); never for a file set aside as binary.
  std::function<void(std::size_t index)> begin;
  std::function<void(const RE_LineInfo_t& line)> match;    // a line of the file begun last
  // paths[index] could not be opened or read; false ends the run there.
  std::function<bool(std::size_t index, const std::string& reason)> unreadable;
  // paths[index] was not searched: the grep skips binary files and this is one.
  std::function<void(std::size_t index)> binary;
};

// threads 0: one per core, at most 8.
void GrepFiles(TGrep& grep, const std::vector<std::string>& paths, unsigned threads,
               const GrepFileSink& sink);

}  // namespace sorabu::regex
