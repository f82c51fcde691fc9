// The codec's own failure codes. The plug-in maps them onto its numeric result codes; inside the
// codec every failure is one of these, never an exception and never a silent success.
#pragma once

#include <string_view>

namespace sorabu::lha {

enum class Error {
  kOk = 0,
  kEndOfArchive,     // a zero byte or the end of the data where a header would start
  kNotArchive,       // no header at the start, nor within the scanned prefix of a self-extractor
  kTruncated,        // header or data runs past the end of the archive
  kBadHeader,        // impossible lengths, levels or fields
  kHeaderChecksum,   // level 0/1 byte sum or level 2/3 header CRC differs
  kUnknownMethod,    // method name without a decoder
  kBadHuffmanTable,  // code lengths that cannot form a prefix code, counts out of range
  kCorruptData,      // a code or distance that the stream cannot contain
  kDataCrc,          // CRC-16 of the decoded data differs from the header's
  kTooLarge,         // a size beyond the caller's limit or the format's
  kUnsafeName,       // absolute, "..", drive prefix, empty or otherwise unusable entry name
  kLinkNotExtracted, // symbolic-link entries are listed but never created
  kOpenFailed,       // cannot open or read a file
  kWriteFailed,      // cannot create or write a file or a folder
  kDiskFull,         // the destination has no room for the entry (checked before, or met while writing)
  kExists,           // destination exists and overwriting is off
  kAborted,          // the progress callback asked to stop
  kNameNotShiftJis,  // a file name holds characters Shift-JIS headers cannot store unchanged
};

// A short English name for logs and tests ("data CRC mismatch").
std::string_view ErrorText(Error e) noexcept;

}  // namespace sorabu::lha
