// The extractor program at the end of a self-extracting archive made by the "s" command; the
// archive's script starts it with the archive file's path first.
//
// Usage: PROGRAM ARCHIVE [-l | -t] [-o] [FOLDER]
//   extracts every entry below FOLDER (the current folder when none is given; created when
//   missing), keeping folders and, without -o, existing files; -l lists, -t tests. The exit
//   status is 0 when every entry went well, 1 otherwise, 2 for a wrong command line.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "archive/lha/archive_reader.h"
#include "archive/lha/name_path.h"
#include "textconv/cp932.h"

namespace {

using namespace sorabu;

std::string Shown(const std::string& cp932) { return textconv::Cp932ToUtf8(lha::EscapeForDisplay(cp932)); }

}  // namespace

int main(int argc, char** argv) {
  char mode = 'x';
  bool overwrite = false;
  std::string dest = ".";
  bool usage = argc < 2;
  for (int i = 2; i < argc && !usage; ++i) {
    const std::string a = argv[i];
    if (a == "-l" || a == "-t") {
      mode = a[1];
    } else if (a == "-o") {
      overwrite = true;
    } else if (!a.empty() && a[0] != '-') {
      dest = a;
    } else {
      usage = true;
    }
  }
  if (usage) {
    std::fprintf(stderr, "usage: sh ARCHIVE [-l | -t] [-o] [FOLDER]\n");
    return 2;
  }
  lha::ArchiveReader reader;
  const lha::Error opened = reader.OpenFile(argv[1]);
  if (reader.entries().empty()) {
    std::fprintf(stderr, "%s: no archive inside (%s)\n", argv[1], std::string(lha::ErrorText(opened)).c_str());
    return 1;
  }
  int status = 0;
  if (opened != lha::Error::kOk) {
    std::fprintf(stderr, "archive damaged after %zu entries (%s)\n", reader.entries().size(),
                 std::string(lha::ErrorText(opened)).c_str());
    status = 1;
  }
  if (mode == 'x') ::mkdir(dest.c_str(), 0777);
  lha::ExtractOptions options;
  options.overwrite = overwrite;
  for (const auto& e : reader.entries()) {
    if (mode == 'l') {
      std::printf("%12llu  %s  %s\n", static_cast<unsigned long long>(e.original_size), Shown(e.method).c_str(),
                  Shown(e.name).c_str());
      continue;
    }
    const lha::Error err = mode == 't' ? reader.Test(e) : reader.ExtractToFolder(e, dest, options);
    if (err == lha::Error::kOk) {
      std::printf("%s\n", Shown(e.name).c_str());
    } else {
      std::fprintf(stderr, "%s: %s\n", Shown(e.name).c_str(), std::string(lha::ErrorText(err)).c_str());
      status = 1;
    }
  }
  return status;
}
