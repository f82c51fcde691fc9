// The archive messages: the result-code table, the missing-library and missing-entry texts and
// the wrappers' own complaints. All texts are CP932.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace sorabu::archive {

// The exception every wrapper raises; what() is the CP932 message.
class EArchiverError : public std::runtime_error {
 public:
  explicit EArchiverError(const std::string& cp932) : std::runtime_error(cp932) {}
};

// The message for a result code, empty for 0 and codes without one.
std::string ErrorMessage(int code);

// Fixed texts, CP932.
enum class Msg {
  kNoPack, kNoRemove, kNoUpdate, kNoSfx, kNoExtractMem, kNoCheck,
  kMissingLha, kMissingZip, kMissingCab, kMissingArj, kMissingTar, kMissingRar, kMissingBga, kMissing7z,
  kZipNoPacker, kZipNoUnpacker, kUnknownFormat,
};
std::string Message(Msg m);

// library + " に " + entry + " のエントリが見つかりません。" (ZIP: without the library).
std::string MissingEntryMessage(std::string_view library, std::string_view entry);

}  // namespace sorabu::archive
