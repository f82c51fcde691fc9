// Encoder and decoders together: round trips over a table of inputs, then streams that were
// damaged on purpose.
#include <gtest/gtest.h>

#include <random>

#include "archive/lha/bit_io.h"
#include "archive/lha/codec.h"
#include "archive/lha/crc16.h"
#include "archive/lha/lzh_decoder.h"
#include "archive/lha/lzh_encoder.h"
#include "test_util.h"

namespace sorabu::lha {
namespace {

using test::RandomBytes;
using test::SampleText;

Error Decode(std::string_view method, std::string_view packed, std::size_t size, std::string& out,
             std::optional<std::uint16_t> crc = std::nullopt) {
  DecodeRequest r;
  r.method = method;
  r.packed = packed;
  r.original_size = size;
  r.crc = crc;
  return DecodeEntryToString(r, std::uint64_t{1} << 30, out);
}

std::string Periodic(std::size_t period, std::size_t n) {
  const std::string unit = RandomBytes(period, static_cast<std::uint32_t>(period));
  std::string s;
  while (s.size() < n) s += unit;
  s.resize(n);
  return s;
}

TEST(Lh5RoundTrip, Inputs) {
  std::string all_bytes;
  for (int i = 0; i < 256; ++i) all_bytes.push_back(static_cast<char>(i));
  const struct {
    const char* what;
    std::string data;
  } rows[] = {
      {"empty", ""},
      {"one byte", "x"},
      {"three bytes", "abc"},
      {"long run", std::string(100000, 'a')},
      {"run longer than a match", std::string(257, 'z') + "q"},
      {"all byte values twice", all_bytes + all_bytes},
      {"text", SampleText(200000, 1)},
      {"period just inside the history", Periodic(8191, 40000)},
      {"period at the history size", Periodic(8192, 40000)},
      {"period beyond the history", Periodic(8193, 40000)},
      {"text then binary then text", SampleText(150000, 2) + RandomBytes(100000, 3) + SampleText(150000, 4)},
      {"many blocks", SampleText(3 << 20, 5)},
  };
  for (const auto& r : rows) {
    std::string packed;
    EncodeOptions always;
    always.give_up_when_larger = false;
    ASSERT_TRUE(EncodeLh5(r.data, packed, always)) << r.what;
    std::string back;
    ASSERT_EQ(Decode("-lh5-", packed, r.data.size(), back, Crc16(r.data)), Error::kOk) << r.what;
    EXPECT_TRUE(back == r.data) << r.what;
  }
}

TEST(Lh5RoundTrip, CompressesTextAndGivesUpOnNoise) {
  const std::string text = SampleText(1 << 20, 9);
  std::string packed;
  ASSERT_TRUE(EncodeLh5(text, packed));
  EXPECT_LT(packed.size(), text.size() * 3 / 4);
  std::string noise_out = "kept";
  EXPECT_FALSE(EncodeLh5(RandomBytes(100000, 10), noise_out));
  EXPECT_EQ(noise_out, "kept");
  EXPECT_FALSE(EncodeLh5("", noise_out));
  EXPECT_FALSE(EncodeLh5("ab", noise_out));
}

// An input that fails from a given offset on, as a file does that shrinks while it is read.
class FailingInput final : public Input {
 public:
  FailingInput(std::string data, std::uint64_t fail_from) : data_(std::move(data)), fail_from_(fail_from) {}
  std::uint64_t Size() const override { return data_.size(); }
  bool Read(std::uint64_t offset, std::size_t n, std::string& out) const override {
    if (offset + n > fail_from_) return false;
    out = data_.substr(offset, n);
    return true;
  }

 private:
  std::string data_;
  std::uint64_t fail_from_;
};

TEST(Lh5Stream, PiecesDecodeAsOneStreamAndMatchAcrossThem) {
  // 4 MiB pieces: text longer than two of them, a unit repeated across the first edge, and a
  // file of exactly one piece.
  const std::string unit = RandomBytes(5000, 21);
  const std::string once = std::string((std::size_t{4} << 20) - 3000, '\0') + unit;
  const std::string across = once + unit + unit;
  const std::string rows[] = {SampleText((std::size_t{9} << 20) + 123, 23), across,
                              SampleText(std::size_t{4} << 20, 24), SampleText(70000, 25)};
  for (bool optimal : {true, false}) {
    for (const std::string& data : rows) {
      EncodeOptions o;
      o.optimal = optimal;
      std::string packed, back;
      StringSink sink(packed);
      std::uint64_t size = 0;
      ASSERT_EQ(EncodeLh5Stream(ViewInput(data), sink, o, &size), StreamResult::kPacked) << data.size();
      EXPECT_EQ(size, packed.size());
      ASSERT_EQ(Decode("-lh5-", packed, data.size(), back, Crc16(data)), Error::kOk) << data.size();
      EXPECT_TRUE(back == data) << data.size();
    }
  }
  // The unit straddles the first edge; its repeats are found in the previous piece's end, so
  // they cost a few matches, not the 3,000 literals a piece without history would need.
  std::string one, three;
  StringSink one_sink(one), three_sink(three);
  ASSERT_EQ(EncodeLh5Stream(ViewInput(once), one_sink), StreamResult::kPacked);
  ASSERT_EQ(EncodeLh5Stream(ViewInput(across), three_sink), StreamResult::kPacked);
  EXPECT_LT(three.size(), one.size() + 1000);
}

TEST(Lh5Stream, SmallInputGivesTheInMemoryStreamAndFailuresAreReported) {
  const std::string text = SampleText(300000, 26);
  std::string whole, streamed;
  ASSERT_TRUE(EncodeLh5(text, whole));
  StringSink sink(streamed);
  ASSERT_EQ(EncodeLh5Stream(ViewInput(text), sink), StreamResult::kPacked);
  EXPECT_TRUE(whole == streamed);

  std::string ignored;
  StringSink dump(ignored);
  EXPECT_EQ(EncodeLh5Stream(ViewInput(RandomBytes(6 << 20, 27)), dump), StreamResult::kNotSmaller);
  EXPECT_EQ(EncodeLh5Stream(ViewInput(""), dump), StreamResult::kNotSmaller);
  const FailingInput shrinking(SampleText(9 << 20, 28), 5 << 20);
  EXPECT_EQ(EncodeLh5Stream(shrinking, dump), StreamResult::kReadFailed);
  struct Refusing final : ByteSink {
    bool Write(std::string_view) override { return false; }
  } refusing;
  EXPECT_EQ(EncodeLh5Stream(ViewInput(text), refusing), StreamResult::kWriteFailed);
}

TEST(Lh5RoundTrip, EncoderSettingsOnlyChangeSize) {
  const std::string text = SampleText(300000, 11) + std::string(70000, 'r') + RandomBytes(20000, 12);
  const struct {
    bool optimal;
    int chain, good, lazy, nice;
  } rows[] = {{true, 1, 1, 1, 3}, {true, 128, 16, 32, 160}, {true, 1024, 256, 256, 256},
              {false, 1, 1, 1, 3}, {false, 4, 8, 8, 16}, {false, 1024, 256, 256, 256}};
  for (const auto& r : rows) {
    EncodeOptions o;
    o.optimal = r.optimal;
    o.max_chain = r.chain;
    o.good_length = r.good;
    o.max_lazy = r.lazy;
    o.nice_length = r.nice;
    o.skip_length = r.nice;
    std::string packed, back;
    ASSERT_TRUE(EncodeLh5(text, packed, o));
    ASSERT_EQ(Decode("-lh5-", packed, text.size(), back), Error::kOk);
    EXPECT_TRUE(back == text) << r.optimal << " " << r.chain;
  }
}

TEST(Methods, NameTable) {
  const struct {
    const char* name;
    bool known;
    int dict_bits;
    bool dir;
  } rows[] = {{"-lh0-", true, 0, false}, {"-lh1-", true, 12, false}, {"-lh4-", true, 12, false}, {"-lh5-", true, 13, false},
              {"-lh6-", true, 15, false}, {"-lh7-", true, 16, false}, {"-lhd-", true, 0, true},
              {"-lz4-", true, 0, false},  {"-pm0-", true, 0, false},  {"-pm2-", false, 0, false}, {"-lh8-", false, 0, false}, {"-LH5-", false, 0, false},
              {"", false, 0, false}};
  for (const auto& r : rows) {
    const MethodInfo* m = FindMethod(r.name);
    ASSERT_EQ(m != nullptr, r.known) << r.name;
    if (m == nullptr) continue;
    EXPECT_EQ(m->dict_bits, r.dict_bits) << r.name;
    EXPECT_EQ(m->is_directory, r.dir) << r.name;
  }
  std::string out;
  EXPECT_EQ(Decode("-lh8-", "", 0, out), Error::kUnknownMethod);
}

TEST(Stored, CopiesExactlyAndNeedsAllBytes) {
  std::string out;
  EXPECT_EQ(Decode("-lh0-", "abcdef", 6, out, Crc16("abcdef")), Error::kOk);
  EXPECT_EQ(out, "abcdef");
  EXPECT_EQ(Decode("-lh0-", "abc", 6, out), Error::kTruncated);
  EXPECT_EQ(Decode("-lh0-", "abcdef", 6, out, 0x1234), Error::kDataCrc);
}

// The -lh5- stream decoded by the -lh6-/-lh7- decoder fails or differs: the offset tables
// differ in size. Here only that each history size decodes its own hand-made block.
TEST(LzhDecoder, ConstantTablesBlock) {
  // Block of 3 symbols; pt constant 0; char constant 'A'; offset constant 0.
  for (int dict_bits : {12, 13, 15, 16}) {
    std::string s;
    BitWriter w(s);
    const int pbit = dict_bits <= 13 ? 4 : 5;
    w.Put(16, 3);
    w.Put(5, 0);
    w.Put(5, 0);
    w.Put(9, 0);
    w.Put(9, 'A');
    w.Put(pbit, 0);
    w.Put(pbit, 0);
    w.Flush();
    std::string out;
    StringSink sink(out);
    Error e = Error::kOk;
    switch (dict_bits) {
      case 12: e = DecodeLzh<12>(s, 3, sink); break;
      case 13: e = DecodeLzh<13>(s, 3, sink); break;
      case 15: e = DecodeLzh<15>(s, 3, sink); break;
      default: e = DecodeLzh<16>(s, 3, sink); break;
    }
    EXPECT_EQ(e, Error::kOk) << dict_bits;
    EXPECT_EQ(out, "AAA") << dict_bits;
  }
}

TEST(LzhDecoder, DistanceBeforeTheStartReadsBlanks) {
  // Char constant "match of 3", offset constant 0 (distance 1): copies the initial blanks.
  std::string s;
  BitWriter w(s);
  w.Put(16, 1);
  w.Put(5, 0);
  w.Put(5, 0);
  w.Put(9, 0);
  w.Put(9, 256);
  w.Put(4, 0);
  w.Put(4, 0);
  w.Flush();
  std::string out;
  ASSERT_EQ(Decode("-lh5-", s, 3, out), Error::kOk);
  EXPECT_EQ(out, "   ");
}

// Each row is one way a stream can lie; all must end in an error, none may crash or hang.
TEST(LzhDecoder, HostileStreams) {
  const std::string text = SampleText(50000, 12);
  std::string good;
  ASSERT_TRUE(EncodeLh5(text, good));
  auto header_only = [](std::uint32_t block, int pt_n) {
    std::string s;
    BitWriter w(s);
    w.Put(16, block);
    w.Put(5, static_cast<std::uint32_t>(pt_n));
    w.Put(5, 25);
    w.Flush();
    return s;
  };
  const struct {
    const char* what;
    std::string stream;
    std::size_t size;
  } rows[] = {
      {"empty stream, size claimed", "", 100},
      {"truncated in the middle", good.substr(0, good.size() / 2), text.size()},
      {"truncated by one byte", good.substr(0, good.size() - 1), text.size()},
      {"size claims far more than the stream holds", good, std::size_t{1} << 30},
      {"pt count beyond 19", header_only(10, 25), 10},
      {"pt constant beyond 19", header_only(10, 0), 10},
      {"zero-sized blocks only", std::string(64, '\0'), 100},
      {"all ones", std::string(4096, '\xFF'), 100000},
  };
  for (const auto& r : rows) {
    std::string out;
    const Error e = Decode("-lh5-", r.stream, r.size, out);
    EXPECT_NE(e, Error::kOk) << r.what;
    EXPECT_LE(out.size(), r.size) << r.what;
  }
}

TEST(LzhDecoder, RandomDamageNeverEscapes) {
  const std::string text = SampleText(20000, 13);
  std::string good;
  ASSERT_TRUE(EncodeLh5(text, good));
  std::mt19937 rng(14);
  for (int round = 0; round < 300; ++round) {
    std::string bad = good;
    const int flips = 1 + static_cast<int>(rng() % 8);
    for (int k = 0; k < flips; ++k) bad[rng() % bad.size()] ^= static_cast<char>(1u << (rng() % 8));
    if (round % 3 == 0) bad.resize(rng() % bad.size());
    for (const char* method : {"-lh4-", "-lh5-", "-lh6-", "-lh7-"}) {
      std::string out;
      const Error e = Decode(method, bad, text.size(), out, Crc16(text));
      if (e == Error::kOk) {
        EXPECT_TRUE(out == text);
      }
      EXPECT_LE(out.size(), text.size());
    }
  }
}

TEST(DecodeWrapper, RefusesSizesBeyondTheLimitBeforeAllocating) {
  DecodeRequest r;
  r.method = "-lh5-";
  r.original_size = std::uint64_t{1} << 40;
  std::string out;
  EXPECT_EQ(DecodeEntryToString(r, 1 << 20, out), Error::kTooLarge);
}

TEST(DecodeWrapper, ProgressSeesEveryByteAndCanAbort) {
  const std::string text = SampleText(1 << 20, 15);
  std::string packed;
  ASSERT_TRUE(EncodeLh5(text, packed));
  DecodeRequest r;
  r.method = "-lh5-";
  r.packed = packed;
  r.original_size = text.size();
  std::uint64_t last = 0;
  r.progress = [&](std::uint64_t done, std::uint64_t total) {
    EXPECT_EQ(total, text.size());
    EXPECT_GT(done, last);
    last = done;
    return true;
  };
  std::string out;
  EXPECT_EQ(DecodeEntryToString(r, 1 << 30, out), Error::kOk);
  EXPECT_EQ(last, text.size());
  r.progress = [](std::uint64_t, std::uint64_t) { return false; };
  EXPECT_EQ(DecodeEntryToString(r, 1 << 30, out), Error::kAborted);
}

// Fixed faults.

// Positions were entered into the hash chains before being searched, so every search found
// only the position itself and nothing was ever matched.
TEST(Lh5RoundTrip, RepeatedTextIsFoundInTheHistory) {
  const std::string unit = RandomBytes(3000, 16);
  std::string data;
  for (int i = 0; i < 10; ++i) data += unit;
  for (bool optimal : {true, false}) {
    EncodeOptions o;
    o.optimal = optimal;
    std::string packed;
    ASSERT_TRUE(EncodeLh5(data, packed, o));
    EXPECT_LT(packed.size(), unit.size() + unit.size() / 5) << optimal;
  }
}

}  // namespace
}  // namespace sorabu::lha
