// Arbitrary archive, folder and names through the plug-in command-line builder and back through
// the LHA plug-in's parser: a line that is built at all must give the parser exactly the archive,
// folder and names it was built from. A name that could turn into a switch, a response file, the
// folder or a second name must be refused, never passed on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/bind/cmd_opt.h"
#include "archive/bind/messages.h"
#include "archive/libs/unlha32/command_line.h"

using namespace sorabu;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // Pieces separated by NUL: archive, folder, then names.
  std::vector<std::string> pieces(1);
  for (std::size_t i = 1; i < size; ++i) {
    if (data[i] == 0) pieces.emplace_back();
    else pieces.back().push_back(static_cast<char>(data[i]));
  }
  if (pieces.size() < 2) pieces.emplace_back();
  archive::TCmdRequest r;
  r.type = archive::TArchiverType::atLha;
  r.operation = (data[0] & 1) != 0 ? archive::TCmdOperation::kPack : archive::TCmdOperation::kExtract;
  r.archive = pieces[0];
  r.folder = pieces[1];
  r.files.assign(pieces.begin() + 2, pieces.end());
  std::string line;
  try {
    line = archive::TCmdOpt::Build(r, archive::TArchiverOptions{});
  } catch (const archive::EArchiverError&) {
    return 0;
  }
  unlha32::Command c;
  const int code = unlha32::ParseCommandLine(line, c);
  if (r.archive.empty()) return 0;  // the parser then reports the missing archive itself
  if (code != 0) std::abort();
  if (c.archive != r.archive) std::abort();
  if (!r.folder.empty() && c.folder.empty()) std::abort();
  if (r.folder.empty() && !c.folder.empty()) std::abort();
  if (c.names != r.files) std::abort();
  return 0;
}
