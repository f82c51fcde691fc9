#include "archive/libs/unlha32/self_extractor.h"

#include <sys/stat.h>

#include "archive/lha/archive_reader.h"
#include "archive/lha/name_path.h"
#include "archive/lha/replacing_file.h"
#include "archive/libs/unlha32/command_support.h"
#include "archive/libs/unlha32/commands.h"
#include "archive/libs/unlha32/unlha32.h"
#include "textconv/cp932.h"

namespace sorabu::unlha32 {

std::string SelfExtractorPath(const Command& c) {
  const std::string archive = NativePath(c.archive);
  const std::size_t slash = archive.rfind('/');
  std::string name = slash == std::string::npos ? archive : archive.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  name += ".exe";
  if (!c.folder.empty()) {
    std::string folder = NativePath(c.folder);
    if (folder.back() != '/') folder += '/';
    return folder + name;
  }
  return slash == std::string::npos ? name : archive.substr(0, slash + 1) + name;
}

std::string SelfExtractorScript(std::uint64_t program_size) {
  return "#!/bin/sh\n"
         "# Self-extracting LHA archive: sh THIS-FILE [-l | -t] [-o] [FOLDER]\n"
         "x=$(mktemp \"${TMPDIR:-/tmp}/lha-sfx.XXXXXX\") || exit 1\n"
         "trap 'rm -f \"$x\"' 0\n"
         "trap 'exit 1' 1 2 15\n"
         "tail -c " + std::to_string(program_size) + " \"$0\" > \"$x\" && chmod 700 \"$x\" && \"$x\" \"$0\" \"$@\"\n"
         "exit $?\n";
}

int MakeSelfExtractor(const Command& c, std::string& out) {
  lha::ArchiveReader reader;
  if (const int code = OpenArchive(c, reader, out); code != 0) return code;
  const std::string_view program = SelfExtractorProgram();
  if (program.empty()) return kErrorCommand;
  if (!c.folder.empty() && !MakeFolders(NativePath(c.folder))) {
    Line(out, "Error: cannot create " + lha::EscapeForDisplay(c.folder));
    return kErrorMakeDirectory;
  }
  const std::string path = SelfExtractorPath(c);
  // An existing file of that name may be anything; it is replaced only when -jo says so.
  struct stat st {};
  if (!c.Has("jo") && ::lstat(path.c_str(), &st) == 0) {
    Line(out, "Error: " + lha::EscapeForDisplay(textconv::Utf8ToCp932(path)) +
                  " already exists, left unchanged (-jo replaces it)");
    return kErrorAlreadyExists;
  }
  lha::ReplacingFile file(path, 0777);
  lha::Error e = file.Open();
  if (e == lha::Error::kOk && !file.Write(SelfExtractorScript(program.size()))) e = file.error();
  for (std::size_t i = 0; i < reader.entries().size() && e == lha::Error::kOk; ++i) {
    e = reader.CopyRawEntry(reader.entries()[i], file);
  }
  if (e == lha::Error::kOk && !file.Write(std::string_view("\0", 1))) e = file.error();
  if (e == lha::Error::kOk && !file.Write(program)) e = file.error();
  if (e == lha::Error::kOk) e = file.Commit();
  if (e == lha::Error::kWriteFailed && file.error() != lha::Error::kOk) e = file.error();
  if (e != lha::Error::kOk) {
    ErrorLine(out, ResultCode(e), textconv::Utf8ToCp932(path), e);
    return ResultCode(e);
  }
  Line(out, "Self-extracting archive: " + lha::EscapeForDisplay(textconv::Utf8ToCp932(path)));
  return 0;
}

}  // namespace sorabu::unlha32
