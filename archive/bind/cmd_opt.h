// TCmdOpt: the command lines the wrappers pass to the plug-ins' command entries.
#pragma once

#include <string>
#include <vector>

#include "archive/bind/options.h"

namespace sorabu::archive {

enum class TArchiverType { atLha, atZip, atCab, atArj, atTar, atTgz, atBZ2, atRar, atBga, atYz1, at7z, atNone, atAutoDetect };
enum class TCmdOperation { kExtract, kPack, kRemove, kUpdate, kSelfExtract };

struct TCmdRequest {
  TArchiverType type = TArchiverType::atLha;
  TCmdOperation operation = TCmdOperation::kExtract;
  bool owner = false;          // an owner window is set
  bool lmzip_only = false;     // ZIP with LMZIP32.DLL and without ZIP32J.DLL / UNZIP32.DLL
  std::string archive;         // CP932
  std::string folder;          // destination or base folder, may be empty
  std::vector<std::string> files;
};

class TCmdOpt {
 public:
  // The whole line. Writes the response file when the options ask for one (returns false when
  // it cannot be written; the line is still built).
  static std::string Build(const TCmdRequest& request, const TArchiverOptions& options, bool* response_ok = nullptr);
  // The LHA-style switches ("-+", numeric, text, jx, then UserOptions), each after a blank.
  static std::string LhaSwitches(const TArchiverOptions& options, bool owner);
  // A ZIP file name: "\" (as a character) becomes "/", "[" becomes "[[]".
  static std::string ZipName(const std::string& cp932);
};

}  // namespace sorabu::archive
