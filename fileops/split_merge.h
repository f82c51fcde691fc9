// Cutting a file into numbered parts and joining files into one.
//
// Paths are the file system's bytes. The batch files that record a split or a join are CP932 text
// with CR LF line ends; a POSIX sh script beside each does the same join with cat.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace sorabu::fileops {

// Part names repeat after this many parts, so no split may make more.
inline constexpr unsigned long long kMaxParts = 1000;

// The source path without its extension, ".", and the last three digits of the part number
// ("a/b.txt", 1 -> "a/b.001"; part 1000 -> "a/b.000"). The extension is what follows the last "."
// of the last name; a leading "." (".profile") starts the name and is no extension.
std::string PartName(const std::string& source, unsigned long long part);
// fileSize / partSize + 1: an exact multiple ends with an empty part. partSize must be above 0; a
// partSize of 0 gives the largest count, so a check against kMaxParts refuses it.
unsigned long long PartCount(unsigned long long fileSize, unsigned long long partSize);
// The path with its extension replaced (".bat", ".sh", ".bak"); added when there is none.
std::string WithExtension(const std::string& path, const std::string& extension);

// The lines of the split batch file (names without folders), CR LF not included.
std::vector<std::string> SplitBatchLines(const std::string& source, unsigned long long parts);
// The lines of the join batch file (full paths), CR LF not included.
std::vector<std::string> MergeBatchLines(const std::vector<std::string>& inputs, const std::string& output);
// A POSIX sh script that joins inputs into output with cat; names are quoted for the shell.
std::string JoinScript(const std::vector<std::string>& inputs, const std::string& output);

enum class TFileJobResult { Done, Cancelled, Failed };
struct TFileJobOutcome {
  TFileJobResult result = TFileJobResult::Failed;
  std::string error;      // what failed, with the system's reason; empty unless Failed
  std::string failedPath;
};

// Called before each part and between pieces of at most 16 MiB of a part (part counts from 1);
// false stops the split.
using TSplitProgress = std::function<bool(unsigned long long part, unsigned long long parts)>;
// Called as bytes are joined; false stops the join.
using TByteProgress = std::function<bool(unsigned long long done, unsigned long long total)>;

// Writes PartCount(size, partSize) parts, then the batch file and the sh script beside the source.
// Refuses (Failed, nothing written) a part size of 0 or one that gives more than kMaxParts parts,
// a source that is no regular file, and a source that one of the names to be written would overwrite
// ("x.001", "x.bat", "x.sh", or a link to the source under such a name).
// Cancelled: the parts written by this run are removed and no batch file is written. An I/O error
// stops with Failed; the parts written so far stay.
TFileJobOutcome SplitFile(const std::string& source, unsigned long long partSize, const TSplitProgress& progress);

// Joins folder/inputs[i] in order into folder/output. The output is written under a temporary name
// in the folder and renamed when complete, so no input is lost even when the output has the name
// of an input; a failure or cancel leaves every file as it was. When the output has the name of
// the first input, that input is first copied to its ".bak" name. An existing batch file of the
// output's name is renamed to ".bak" — to ".bat.bak" when the ".bak" name is the input's backup
// made by this join (or the output's own name). Then the batch file (and the sh script) are written.
// Refused before anything is written: a name this join writes or renames away (batch file, script,
// backups) that is also one of the inputs, or that two of them share (an output named "x.bat").
// An output that is replaced keeps the permission bits of the file it replaces.
TFileJobOutcome MergeFiles(const std::string& folder, const std::vector<std::string>& inputs,
                           const std::string& output, const TByteProgress& progress);

}  // namespace sorabu::fileops
