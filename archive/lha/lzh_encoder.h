// The -lh5- encoder: LZSS with hash chains and lazy matching, then static Huffman blocks.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::lha {

struct EncodeOptions {
  int max_chain = 128;     // candidates tried per position
  int good_length = 16;    // a previous match this long quarters the chain for the lazy search
  int max_lazy = 32;       // a match this long is taken without looking one byte further
  int nice_length = 160;   // a match this long ends the search
  bool give_up_when_larger = true;  // false: always produce the stream (tests of tiny inputs)
};

// Appends the -lh5- stream for `in` to `out`. Returns false (leaving out as it was) as soon as
// the stream would be at least as long as the input: the caller then stores the data instead.
// Inputs of 4 GiB and more are refused the same way.
bool EncodeLh5(std::string_view in, std::string& out, const EncodeOptions& options = {});

}  // namespace sorabu::lha
