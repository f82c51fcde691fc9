// The method table and the generic wrapper around every decoder.
//
// A decoder is only its algorithm; the wrapper owns what all methods share: the CRC-16 of the
// output, the limit on the output size, progress reports and the abort request. Methods are found
// by their five-byte name ("-lh5-").
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "archive/lha/error.h"
#include "archive/lha/packed_source.h"
#include "archive/lha/sink.h"

namespace sorabu::lha {

using DecodeFn = Error (*)(PackedSource& in, std::uint64_t out_size, ByteSink& out);

struct MethodInfo {
  std::string_view name;   // "-lh5-"
  DecodeFn decode;         // null for directories
  int dict_bits;           // history size as a power of two; 0 for stored and directories
  bool is_directory;
};

// Null for a method without a decoder.
const MethodInfo* FindMethod(std::string_view name) noexcept;

// Called with the bytes done so far and the total; returning false aborts with kAborted.
using ProgressFn = std::function<bool(std::uint64_t done, std::uint64_t total)>;

struct DecodeRequest {
  std::string_view method;
  std::string_view packed;          // exactly the entry's packed bytes, when source is null
  PackedSource* source = nullptr;   // else the packed bytes piece by piece
  std::uint64_t original_size = 0;
  std::optional<std::uint16_t> crc; // checked when present
  ProgressFn progress;              // optional
};

// Decodes into out; kDataCrc when the CRC differs (the bytes have then already reached out).
Error DecodeEntry(const DecodeRequest& req, ByteSink& out);

// Decodes into a string. Sizes above max_size are refused before anything is allocated.
Error DecodeEntryToString(const DecodeRequest& req, std::uint64_t max_size, std::string& out);

}  // namespace sorabu::lha
