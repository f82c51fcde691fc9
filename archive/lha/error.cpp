// Texts for logs and tests; the user-visible messages belong to the plug-in's result codes.
#include "archive/lha/error.h"

namespace sorabu::lha {

std::string_view ErrorText(Error e) noexcept {
  switch (e) {
    case Error::kOk: return "ok";
    case Error::kEndOfArchive: return "end of archive";
    case Error::kNotArchive: return "not an LHA archive";
    case Error::kTruncated: return "truncated archive";
    case Error::kBadHeader: return "broken header";
    case Error::kHeaderChecksum: return "header checksum mismatch";
    case Error::kUnknownMethod: return "unknown method";
    case Error::kBadHuffmanTable: return "broken Huffman table";
    case Error::kCorruptData: return "corrupt compressed data";
    case Error::kDataCrc: return "data CRC mismatch";
    case Error::kTooLarge: return "size beyond limit";
    case Error::kUnsafeName: return "unsafe entry name";
    case Error::kLinkNotExtracted: return "link not extracted";
    case Error::kOpenFailed: return "cannot open file";
    case Error::kWriteFailed: return "cannot write file";
    case Error::kDiskFull: return "no room on the disk";
    case Error::kExists: return "file exists";
    case Error::kAborted: return "aborted";
    case Error::kNameNotShiftJis: return "name has characters Shift-JIS cannot hold";
  }
  return "unknown error";
}

}  // namespace sorabu::lha
