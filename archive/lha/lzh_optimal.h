// The price-based parser of the -lh5- encoder (see lzh_optimal.cpp).
#pragma once

#include <cstdint>
#include <string_view>

#include "archive/lha/lzh_block_writer.h"
#include "archive/lha/lzh_encoder.h"

namespace sorabu::lha::lzh {

// Parses `in` from position `history` on into blocks written to `w`; the bytes before it were
// coded earlier and only serve as the dictionary. Returns false as soon as the output has grown
// past the input consumed (only when options.give_up_when_larger).
bool ParseOptimal(std::string_view in, std::uint32_t history, const EncodeOptions& options, BlockWriter& w);

}  // namespace sorabu::lha::lzh
