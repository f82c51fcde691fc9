// The -lh5- encoder: LZSS with hash chains and optimal (or lazy) parsing, then static Huffman
// blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "archive/lha/input.h"
#include "archive/lha/sink.h"

namespace sorabu::lha {

struct EncodeOptions {
  bool optimal = true;     // price-based parsing; false: greedy with lazy matching (faster)
  int max_chain = 8;       // candidates tried per position (the lazy parser wants about 128)
  int nice_length = 64;    // a match this long ends the search
  int skip_length = 12;    // optimal parser: positions inside a match this long are not searched
  int good_length = 16;    // lazy parser: a previous match this long quarters the chain
  int max_lazy = 32;       // lazy parser: a match this long is taken without looking further
  bool give_up_when_larger = true;  // false: always produce the stream (tests of tiny inputs)
};

// Appends the -lh5- stream for `in` to `out`. Returns false (leaving out as it was) as soon as
// the stream would be at least as long as the input: the caller then stores the data instead.
// Inputs of 4 GiB and more are refused the same way.
bool EncodeLh5(std::string_view in, std::string& out, const EncodeOptions& options = {});

enum class StreamResult {
  kPacked,
  kNotSmaller,  // the stream reached the size of the input read so far: store the data instead
  kReadFailed,  // the input could not be read to its end (it shrank, or a read failed)
  kWriteFailed, // `out` refused the stream
};

// The same stream for an input of any size, read a few MiB at a time and handed to `out` as it
// grows; what went to `out` before a result other than kPacked is to be thrown away.
StreamResult EncodeLh5Stream(const Input& in, ByteSink& out, const EncodeOptions& options = {},
                             std::uint64_t* packed_size = nullptr);

}  // namespace sorabu::lha
