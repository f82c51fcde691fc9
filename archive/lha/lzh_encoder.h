// The -lh5- encoder: LZSS with hash chains and optimal (or lazy) parsing, then static Huffman
// blocks.
#pragma once

#include <string>
#include <string_view>

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

}  // namespace sorabu::lha
