// -lh1-: a small greedy encoder built from the library's adaptive code makes the streams; lhasa,
// an independent decoder, must accept them, and our decoder must give the input back. Since no
// tool at hand writes -lh1-, lhasa's verdict is what ties both directions to the real format.
#include <gtest/gtest.h>

#include "archive/lha/adaptive_huffman.h"
#include "archive/lha/archive_reader.h"
#include "archive/lha/bit_io.h"
#include "archive/lha/codec.h"
#include "archive/lha/crc16.h"
#include "archive/lha/lh1_decoder.h"
#include "header_builder.h"
#include "test_util.h"

namespace sorabu::lha {
namespace {

// Greedy LZSS, brute-force search: slow but obviously right.
std::string EncodeLh1(std::string_view data) {
  std::string out;
  BitWriter w(out);
  AdaptiveHuffman tree;
  auto put_symbol = [&](int c) {
    std::uint64_t bits;
    int len;
    tree.Code(c, bits, len);
    for (int i = len - 1; i >= 0; --i) w.Put(1, static_cast<std::uint32_t>((bits >> i) & 1u));
    tree.Update(c);
  };
  for (std::size_t pos = 0; pos < data.size();) {
    std::size_t best = 0, best_dist = 0;
    for (std::size_t d = 1; d <= 4096 && d <= pos; ++d) {
      std::size_t l = 0;
      while (l < 60 && pos + l < data.size() && data[pos - d + l] == data[pos + l]) ++l;
      if (l > best) {
        best = l;
        best_dist = d;
      }
    }
    if (best < 3) {
      put_symbol(static_cast<unsigned char>(data[pos]));
      ++pos;
      continue;
    }
    put_symbol(static_cast<int>(256 + best - 3));
    const unsigned p = static_cast<unsigned>(best_dist - 1);
    unsigned b = 0;
    while (Lh1UpperFromByte(b).upper != (p >> 6)) ++b;
    const int len = Lh1UpperFromByte(b).length;
    w.Put(len, b >> (8 - len));
    w.Put(6, p & 0x3Fu);
    pos += best;
  }
  w.Flush();
  return out;
}

TEST(Lh1, UpperCodeTable) {
  const struct {
    unsigned byte, upper, length;
  } rows[] = {{0x00, 0, 3}, {0x1F, 0, 3}, {0x20, 1, 4}, {0x4F, 3, 4}, {0x50, 4, 5},  {0x8F, 11, 5},
              {0x90, 12, 6}, {0xBF, 23, 6}, {0xC0, 24, 7}, {0xEF, 47, 7}, {0xF0, 48, 8}, {0xFF, 63, 8}};
  for (const auto& r : rows) {
    EXPECT_EQ(Lh1UpperFromByte(r.byte).upper, r.upper) << r.byte;
    EXPECT_EQ(Lh1UpperFromByte(r.byte).length, r.length) << r.byte;
  }
}

std::vector<std::pair<const char*, std::string>> Inputs() {
  // Enough symbols to make the root's count reach 0x8000 and force rebuilds of the tree.
  return {{"short", "abracadabra abracadabra"},
          {"text", test::SampleText(120000, 60)},
          {"binary", test::RandomBytes(5000, 61) + std::string(3000, '\0') + test::RandomBytes(70000, 62)}};
}

TEST(Lh1, RoundTripThroughOurDecoder) {
  for (const auto& [what, data] : Inputs()) {
    const std::string packed = EncodeLh1(data);
    DecodeRequest r;
    r.method = "-lh1-";
    r.packed = packed;
    r.original_size = data.size();
    r.crc = Crc16(data);
    std::string out;
    ASSERT_EQ(DecodeEntryToString(r, 1 << 30, out), Error::kOk) << what;
    EXPECT_TRUE(out == data) << what;
    // Damage ends in an error or in the right bytes, never in a crash.
    std::string bad = packed;
    bad[bad.size() / 3] ^= 0x20;
    r.packed = bad;
    const Error e = DecodeEntryToString(r, 1 << 30, out);
    if (e == Error::kOk) EXPECT_TRUE(out == data);
    r.packed = std::string_view(packed).substr(0, packed.size() / 2);
    EXPECT_NE(DecodeEntryToString(r, 1 << 30, out), Error::kOk) << what;
  }
}

TEST(Lh1, LhasaAcceptsTheStreams) {
  if (!test::HaveTool("/usr/bin/lhasa")) GTEST_SKIP() << "lhasa not installed";
  test::TempDir tmp;
  std::string archive;
  for (const auto& [what, data] : Inputs()) {
    test::RawEntry e;
    e.method = "-lh1-";
    e.name = std::string(what) + ".dat";
    e.data = EncodeLh1(data);
    e.original_size = static_cast<std::uint32_t>(data.size());
    e.crc = Crc16(data);
    archive += test::Level0(e);
  }
  archive.push_back('\0');
  test::WriteFile(tmp / "lh1.lzh", archive);
  std::string out;
  ASSERT_EQ(test::Run(tmp.path(), "/usr/bin/lhasa xq lh1.lzh", &out), 0) << out;
  for (const auto& [what, data] : Inputs()) {
    EXPECT_TRUE(test::ReadFile(tmp / (std::string(what) + ".dat")) == data) << what;
  }
  ArchiveReader r;
  ASSERT_EQ(r.OpenFile(tmp / "lh1.lzh"), Error::kOk);
  for (const auto& e : r.entries()) EXPECT_EQ(r.Test(e), Error::kOk) << e.name;
}

}  // namespace
}  // namespace sorabu::lha
