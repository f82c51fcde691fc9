// -lzs- and -lz5-: a greedy encoder written here, with its own copy of the starting ring, makes the
// streams. No tool at hand writes these methods, so lhasa, decoding what the encoder made, is what
// ties encoder, ring and our decoder to the real format.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "archive/lha/archive_reader.h"
#include "archive/lha/codec.h"
#include "archive/lha/crc16.h"
#include "archive/libs/unlha32/commands.h"
#include "archive/libs/unlha32/unlha32.h"
#include "header_builder.h"
#include "test_util.h"

namespace sorabu::lha {
namespace {

struct Method {
  const char* name;
  std::size_t ring_size;
  unsigned min_match, max_match;
};
constexpr Method kLzs{"-lzs-", 2048, 2, 17};
constexpr Method kLz5{"-lz5-", 4096, 3, 18};

std::string StartRing(const Method& m) {
  if (m.ring_size == 2048) return std::string(2048, ' ');
  std::string s;
  for (int v = 0; v < 256; ++v) s += std::string(13, static_cast<char>(v));
  for (int v = 0; v < 256; ++v) s += static_cast<char>(v);
  for (int v = 255; v >= 0; --v) s += static_cast<char>(v);
  return s + std::string(128, '\0') + std::string(128, ' ');
}

struct Item {
  bool literal;
  unsigned value, length;
};

// Greedy longest match anywhere in the ring, the bytes this match itself writes included.
std::vector<Item> Parse(const Method& m, std::string_view data) {
  std::string ring = StartRing(m);
  const std::size_t mask = m.ring_size - 1;
  std::size_t r = m.ring_size - m.max_match;
  std::vector<Item> items;
  for (std::size_t pos = 0; pos < data.size();) {
    unsigned best = 0, best_p = 0;
    for (std::size_t p = 0; p < m.ring_size; ++p) {
      if (ring[p] != data[pos]) continue;
      unsigned k = 0;
      while (k < m.max_match && pos + k < data.size()) {
        const std::size_t s = (p + k) & mask;
        const std::size_t ahead = (s - r) & mask;
        const char c = ahead < k ? data[pos + ahead] : ring[s];
        if (c != data[pos + k]) break;
        ++k;
      }
      if (k > best) {
        best = k;
        best_p = static_cast<unsigned>(p);
      }
    }
    const unsigned len = best >= m.min_match ? best : 1;
    items.push_back(len == 1 ? Item{true, static_cast<unsigned char>(data[pos]), 0} : Item{false, best_p, len});
    for (unsigned k = 0; k < len; ++k, r = (r + 1) & mask) ring[r] = data[pos + k];
    pos += len;
  }
  return items;
}

std::string Serialize(const Method& m, const std::vector<Item>& items) {
  std::string out;
  if (m.ring_size == 2048) {
    std::uint64_t acc = 0;
    int bits = 0;
    auto put = [&](int n, unsigned v) {
      acc = (acc << n) | v;
      for (bits += n; bits >= 8; bits -= 8) out.push_back(static_cast<char>(acc >> (bits - 8)));
    };
    for (const Item& it : items) {
      if (it.literal) {
        put(9, 0x100u | it.value);
      } else {
        put(1, 0);
        put(11, it.value);
        put(4, it.length - 2);
      }
    }
    if (bits > 0) out.push_back(static_cast<char>(acc << (8 - bits)));
    return out;
  }
  for (std::size_t i = 0; i < items.size(); i += 8) {
    const std::size_t flag_at = out.size();
    out.push_back('\0');
    for (std::size_t k = 0; k < 8 && i + k < items.size(); ++k) {
      const Item& it = items[i + k];
      if (it.literal) {
        out[flag_at] = static_cast<char>(out[flag_at] | (1 << k));
        out.push_back(static_cast<char>(it.value));
      } else {
        out.push_back(static_cast<char>(it.value & 0xFF));
        out.push_back(static_cast<char>(((it.value >> 4) & 0xF0) | (it.length - 3)));
      }
    }
  }
  return out;
}

std::string Encode(const Method& m, std::string_view data) { return Serialize(m, Parse(m, data)); }

// Data that the starting ring of -lz5- serves well: runs of 13, ascending and descending byte
// values, zeros, blanks; and a short period that only overlapping matches cover.
std::string RingFriendly() {
  std::string s = "xxxxxxxxxxxxx";
  for (int v = 40; v < 120; ++v) s += static_cast<char>(v);
  for (int v = 200; v > 150; --v) s += static_cast<char>(v);
  s += std::string(100, '\0') + std::string(100, ' ');
  for (int i = 0; i < 60; ++i) s += "abc";
  return s;
}

std::vector<std::pair<const char*, std::string>> Inputs() {
  return {{"empty", ""},
          {"ring", RingFriendly()},
          {"text", test::SampleText(30000, 70)},
          {"binary", test::RandomBytes(3000, 71) + std::string(2000, '\0') + test::RandomBytes(4000, 72)}};
}

Error Decode(const Method& m, std::string_view packed, const std::string& data, std::string& out,
             std::uint64_t size = UINT64_MAX) {
  DecodeRequest r;
  r.method = m.name;
  r.packed = packed;
  r.original_size = size == UINT64_MAX ? data.size() : size;
  r.crc = Crc16(data);
  return DecodeEntryToString(r, std::uint64_t{1} << 30, out);
}

TEST(Larc, MethodsAreKnown) {
  ASSERT_NE(FindMethod("-lzs-"), nullptr);
  ASSERT_NE(FindMethod("-lz5-"), nullptr);
  EXPECT_EQ(FindMethod("-lzs-")->dict_bits, 11);
  EXPECT_EQ(FindMethod("-lz5-")->dict_bits, 12);
}

// Streams made item by item; the expected bytes are what lhasa gives for the same streams.
TEST(Larc, StartingRingAndWritePosition) {
  const struct {
    const Method& m;
    std::vector<Item> items;
    std::string expected;
  } rows[] = {
      {kLz5, {{false, 0, 18}}, std::string(13, '\0') + std::string(5, '\x01')},
      {kLz5, {{false, 13 * 66 + 5, 18}}, std::string(8, 'B') + std::string(10, 'C')},
      {kLz5, {{false, 3596, 4}}, "\xF3\xF2\xF1\xF0"},
      {kLz5, {{false, 3965, 4}}, std::string(3, '\0') + " "},
      {kLz5, {{true, 'A', 0}, {true, 'B', 0}, {false, 4078, 5}}, "ABABABA"},
      {kLzs, {{false, 0, 17}}, std::string(17, ' ')},
      {kLzs, {{true, 'A', 0}, {true, 'B', 0}, {false, 2031, 5}}, "ABABABA"},
  };
  for (const auto& row : rows) {
    std::string out;
    EXPECT_EQ(Decode(row.m, Serialize(row.m, row.items), row.expected, out), Error::kOk) << row.m.name << row.expected;
    EXPECT_EQ(out, row.expected) << row.m.name;
  }
}

TEST(Larc, RoundTripAndDamage) {
  for (const Method* m : {&kLzs, &kLz5}) {
    for (const auto& [what, data] : Inputs()) {
      const std::string packed = Encode(*m, data);
      std::string out;
      ASSERT_EQ(Decode(*m, packed, data, out), Error::kOk) << m->name << " " << what;
      EXPECT_TRUE(out == data) << m->name << " " << what;
      if (data.empty()) continue;
      // Every bit pattern decodes: damage shows in the CRC, or as a stream that ends too early.
      std::string bad = packed;
      bad[bad.size() / 2] ^= 0x10;
      const Error e = Decode(*m, bad, data, out);
      EXPECT_TRUE(e == Error::kDataCrc || e == Error::kTruncated || (e == Error::kOk && out == data))
          << m->name << " " << what << " " << ErrorText(e);
      EXPECT_EQ(Decode(*m, std::string_view(packed).substr(0, packed.size() / 2), data, out), Error::kTruncated)
          << m->name << " " << what;
      // A size far beyond what the bytes can hold stops at the end of the input, not at the size.
      EXPECT_EQ(Decode(*m, packed, data, out, std::uint64_t{1} << 29), Error::kTruncated) << m->name << " " << what;
    }
  }
}

std::string Archive() {
  std::string archive;
  for (const Method* m : {&kLzs, &kLz5}) {
    for (const auto& [what, data] : Inputs()) {
      test::RawEntry e;
      e.method = m->name;
      e.name = std::string(what) + std::string(m->name).substr(1, 3) + ".dat";
      e.data = Encode(*m, data);
      e.original_size = static_cast<std::uint32_t>(data.size());
      e.crc = Crc16(data);
      archive += data.empty() ? test::Level0(e) : test::Level1(e);
    }
  }
  return archive + std::string(1, '\0');
}

std::string ExpectedFile(const std::string& name) {
  for (const auto& [what, data] : Inputs()) {
    if (name.rfind(what, 0) == 0 && name.size() == std::string(what).size() + 7) return data;
  }
  return "?";
}

TEST(Larc, LhasaDecodesTheSameBytes) {
  if (!test::HaveTool("/usr/bin/lhasa")) GTEST_SKIP() << "lhasa not installed";
  test::TempDir tmp;
  test::WriteFile(tmp / "larc.lzh", Archive());
  std::string out;
  ASSERT_EQ(test::Run(tmp.path(), "/usr/bin/lhasa t larc.lzh", &out), 0) << out;
  ASSERT_EQ(test::Run(tmp.path(), "/usr/bin/lhasa xq larc.lzh", &out), 0) << out;
  ArchiveReader r;
  ASSERT_EQ(r.OpenFile(tmp / "larc.lzh"), Error::kOk);
  ASSERT_EQ(r.entries().size(), 8u);
  for (const auto& e : r.entries()) {
    EXPECT_TRUE(test::ReadFile(tmp / e.name) == ExpectedFile(e.name)) << e.name;
  }
  // The hand-made streams of StartingRingAndWritePosition, through lhasa.
  test::RawEntry e;
  e.method = kLz5.name;
  e.name = "ring.dat";
  e.data = Serialize(kLz5, {{false, 0, 18}, {false, 13 * 66 + 5, 18}, {false, 3596, 4}, {false, 3965, 4}});
  const std::string expected = std::string(13, '\0') + std::string(5, '\x01') + std::string(8, 'B') +
                               std::string(10, 'C') + "\xF3\xF2\xF1\xF0" + std::string(3, '\0') + " ";
  e.original_size = static_cast<std::uint32_t>(expected.size());
  e.crc = Crc16(expected);
  test::WriteFile(tmp / "ring.lzh", test::Level0(e) + std::string(1, '\0'));
  ASSERT_EQ(test::Run(tmp.path(), "/usr/bin/lhasa xq ring.lzh", &out), 0) << out;
  EXPECT_EQ(test::ReadFile(tmp / "ring.dat"), expected);
}

TEST(Larc, PluginListsAndExtracts) {
  test::TempDir tmp;
  test::WriteFile(tmp / "larc.lzh", Archive());
  std::string out;
  ASSERT_EQ(unlha32::RunCommandLine("l \"" + tmp / "larc.lzh" + "\"", out), 0) << out;
  EXPECT_NE(out.find("-lzs-"), std::string::npos) << out;
  ASSERT_EQ(unlha32::RunCommandLine("v \"" + tmp / "larc.lzh" + "\"", out), 0) << out;
  EXPECT_NE(out.find("-lz5-"), std::string::npos) << out;
  EXPECT_NE(out.find("     8 files"), std::string::npos) << out;
  ASSERT_EQ(unlha32::RunCommandLine("t \"" + tmp / "larc.lzh" + "\"", out), 0) << out;
  for (const char* word : {"x", "e"}) {
    const std::string dest = tmp / word;
    ASSERT_EQ(unlha32::RunCommandLine(std::string(word) + " \"" + tmp / "larc.lzh" + "\" \"" + dest + "/\"", out), 0)
        << out;
    ArchiveReader r;
    ASSERT_EQ(r.OpenFile(tmp / "larc.lzh"), Error::kOk);
    for (const auto& e : r.entries()) EXPECT_TRUE(test::ReadFile(dest + "/" + e.name) == ExpectedFile(e.name)) << e.name;
  }
}

// The archive ends inside the data of an entry: what comes before is extracted, the cut entry is
// reported and leaves no file, finished or not.
TEST(Larc, TruncatedArchive) {
  test::TempDir tmp;
  const std::string whole = Archive();
  ArchiveReader probe;
  ASSERT_EQ(probe.OpenMemory(whole), Error::kOk);
  const Entry& cut = probe.entries()[6];  // text, -lz5-
  test::WriteFile(tmp / "cut.lzh", whole.substr(0, cut.data_offset + cut.packed_size / 2));
  const std::string dest = tmp / "out";
  std::string out;
  EXPECT_EQ(unlha32::RunCommandLine("x \"" + tmp / "cut.lzh" + "\" \"" + dest + "/\"", out), unlha32::kErrorDataMissing)
      << out;
  EXPECT_TRUE(test::ReadFile(dest + "/" + probe.entries()[5].name) == ExpectedFile(probe.entries()[5].name));
  EXPECT_FALSE(test::Exists(dest + "/" + cut.name));
  std::string listing;
  ASSERT_EQ(test::Run(dest, "ls -A", &listing), 0);
  EXPECT_EQ(listing.find(".tmp"), std::string::npos) << listing;
  // An entry whose packed size is too small for its original size is met by the decoder itself.
  ArchiveReader r;
  ASSERT_EQ(r.OpenMemory(whole), Error::kOk);
  Entry e = r.entries()[6];
  std::string data;
  ASSERT_EQ(r.ExtractToMemory(e, data), Error::kOk);
  e.packed_size /= 2;
  EXPECT_EQ(r.ExtractToMemory(e, data), Error::kTruncated);
}

}  // namespace
}  // namespace sorabu::lha
