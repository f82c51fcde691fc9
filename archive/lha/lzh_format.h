// Constants of the static-Huffman LZSS block format shared by the -lh4- .. -lh7- decoder and the
// -lh5- encoder.
//
// A block: 16-bit symbol count; the code lengths of the "pt" code (19 symbols) used to send the
// literal/length code lengths; the literal/length code lengths (510 symbols: 256 bytes and match
// lengths 3..256); the offset code lengths (np symbols); then the symbols. An offset symbol p
// stands for distance 0 or 1 (p <= 1) or 2^(p-1) plus p-1 extra bits; the copy starts distance+1
// bytes back.
#pragma once

namespace sorabu::lha::lzh {

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 256;
constexpr int kNumChar = 256 + kMaxMatch - kMinMatch + 1;  // 510
constexpr int kCharBits = 9;
constexpr int kNumPt = 19;
constexpr int kPtBits = 5;
constexpr int kPtSpecial = 3;  // after the third pt length a 2-bit count of zero lengths follows

constexpr int OffsetSymbols(int dict_bits) { return dict_bits <= 13 ? 14 : (dict_bits == 16 ? 17 : 16); }
constexpr int OffsetCountBits(int dict_bits) { return dict_bits <= 13 ? 4 : 5; }

}  // namespace sorabu::lha::lzh
