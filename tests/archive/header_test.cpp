#include "archive/lha/header.h"

#include <gtest/gtest.h>

#include <functional>

#include "archive/lha/crc16.h"
#include "header_builder.h"
#include "test_util.h"

namespace sorabu::lha {
namespace {

using test::Ext;
using test::RawEntry;

std::string Le16(unsigned v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

RawEntry Raw(std::string name, std::string data = "hello") {
  RawEntry e;
  e.name = std::move(name);
  e.crc = Crc16(data);
  e.data = std::move(data);
  return e;
}

TEST(HeaderReader, EveryLevel) {
  // "ソ" is 0x83 0x5C: its second byte is a backslash and must not split the name.
  const std::string so = test::Sjis("ソ");
  ASSERT_EQ(so, "\x83\x5C");
  RawEntry l1 = Raw("", "data1");
  l1.os = 'U';
  l1.ext = {{0x01, "file.txt"}, {0x02, "dir\xFF" "sub\xFF"}, {0x54, Le32(1000000000)}, {0x50, Le16(0100644)}};
  RawEntry l2 = Raw("", "level2");
  l2.time = 1234567890;
  l2.os = 'W';
  l2.ext = {{0x01, so + "x.txt"}, {0x02, so + "\xFF"}, {0x40, Le16(0x21)}};
  RawEntry dos_dir = Raw("", "x");
  dos_dir.ext = {{0x01, "f.txt"}, {0x02, "a\\b\\"}};
  RawEntry l3 = Raw("", "three");
  l3.time = 42;
  l3.ext = {{0x01, "n3"}};
  RawEntry dos = Raw("DIR\\" + so + "\\A.TXT");
  dos.time = 0x21AB5C2E;
  dos.attribute = 0x01;
  const struct {
    const char* what;
    std::function<std::string(const RawEntry&)> build;
    RawEntry raw;
    std::string name;
    int level;
    std::uint8_t os;
    std::uint8_t attribute;
    std::optional<std::int64_t> unix_time;
    std::uint32_t dos_time;
  } rows[] = {
      {"level 0 with DOS separators", test::Level0, dos, "DIR/" + so + "/A.TXT", 0, 0, 0x01, std::nullopt, 0x21AB5C2E},
      {"level 1 name and folder from extended headers", test::Level1, l1, "dir/sub/file.txt", 1, 'U', 0x20,
       1000000000, 0},
      {"level 2 with header CRC", test::Level2, l2, so + "/" + so + "x.txt", 2, 'W', 0x21, 1234567890, 0},
      {"level 3", test::Level3, l3, "n3", 3, 'M', 0x20, 42, 0},
      {"folder with DOS separators", test::Level2, dos_dir, "a/b/f.txt", 2, 'M', 0x20, 0, 0},
  };
  for (const auto& r : rows) {
    const std::string bytes = r.build(r.raw) + std::string(1, '\0');
    Entry e;
    ASSERT_EQ(ReadHeader(bytes, 0, e), Error::kOk) << r.what;
    EXPECT_EQ(e.name, r.name) << r.what;
    EXPECT_EQ(e.level, r.level) << r.what;
    EXPECT_EQ(e.method, "-lh0-") << r.what;
    EXPECT_EQ(e.packed_size, r.raw.data.size()) << r.what;
    EXPECT_EQ(e.original_size, r.raw.data.size()) << r.what;
    EXPECT_EQ(e.crc, r.raw.crc) << r.what;
    EXPECT_EQ(bytes.substr(e.data_offset, e.packed_size), r.raw.data) << r.what;
    EXPECT_EQ(e.os_id, r.os) << r.what;
    EXPECT_EQ(e.attribute, r.attribute) << r.what;
    EXPECT_EQ(e.unix_time, r.unix_time) << r.what;
    if (r.level < 2) EXPECT_EQ(e.dos_time, r.dos_time) << r.what;
    Entry end;
    EXPECT_EQ(ReadHeader(bytes, e.data_offset + e.packed_size, end), Error::kEndOfArchive) << r.what;
  }
}

TEST(HeaderReader, UnixModeLinkAndLargeSizes) {
  RawEntry link = Raw("", "");
  link.method = "-lhd-";
  link.ext = {{0x01, "ln|../../etc"}, {0x50, Le16(0120777)}};
  const std::string bytes = test::Level2(link);
  Entry e;
  ASSERT_EQ(ReadHeader(bytes, 0, e), Error::kOk);
  EXPECT_TRUE(e.IsLink());
  EXPECT_FALSE(e.IsDirectory());
  EXPECT_EQ(e.name, "ln");
  EXPECT_EQ(e.link_target, "../../etc");

  RawEntry big = Raw("big", "x");
  big.ext = {{0x42, std::string("\x01\0\0\0\0\0\0\0", 8) + std::string("\0\0\0\0\x01\0\0\0", 8)}};
  Entry b;
  EXPECT_EQ(ReadHeader(test::Level2(big), 0, b), Error::kOk);
  EXPECT_EQ(b.original_size, std::uint64_t{1} << 32);
}

TEST(HeaderReader, WriterOutputReadsBack) {
  const struct {
    std::string name;
    std::string method;
    std::optional<std::uint16_t> mode;
  } rows[] = {
      {"a.txt", "-lh5-", 0100644},
      {"dir/sub/" + test::Sjis("表示.txt"), "-lh0-", std::nullopt},
      {"folder/inner", "-lhd-", 040755},
      // 26 + 5 (CRC) + 3 + 217 (name) + 5 (attribute) = 256: the low size byte would be 0.
      {std::string(217, 'n'), "-lh5-", std::nullopt},
  };
  for (const auto& r : rows) {
    Entry w;
    w.name = r.name;
    w.method = r.method;
    w.packed_size = 3;
    w.original_size = 9;
    w.crc = 0xBEEF;
    w.unix_time = 1700000000;
    w.unix_mode = r.mode;
    std::string bytes;
    ASSERT_EQ(WriteLevel2Header(w, bytes), Error::kOk);
    EXPECT_NE(bytes[0], '\0') << "a header must never start with the end mark";
    EXPECT_NE(bytes.size() & 0xFF, 0u) << r.name.size();
    bytes += "abc";
    Entry e;
    ASSERT_EQ(ReadHeader(bytes, 0, e), Error::kOk) << r.name;
    EXPECT_EQ(e.name, r.name);
    EXPECT_EQ(e.method, r.method);
    EXPECT_EQ(e.crc, 0xBEEF);
    EXPECT_EQ(e.unix_time, 1700000000);
    EXPECT_EQ(e.unix_mode, r.mode);
    EXPECT_EQ(e.data_offset + 3, bytes.size());
  }
}

TEST(HeaderReader, DamagedHeaders) {
  const std::string l0 = test::Level0(Raw("name.txt"));
  const std::string l1 = test::Level1(Raw("name.txt"));
  const std::string l2 = test::Level2(Raw("", "x"));
  auto with = [](std::string s, std::size_t pos, char c) {
    s[pos] = c;
    return s;
  };
  RawEntry short_ext = Raw("", "x");
  short_ext.ext = {{0x01, "abc"}};
  std::string bad_ext_size = test::Level2(short_ext);
  bad_ext_size[26 + 5 - 2] = 2;  // next-size after the CRC header: below the minimum of 3
  const struct {
    const char* what;
    std::string bytes;
    Error error;
  } rows[] = {
      {"level 0 checksum", with(l0, 1, static_cast<char>(l0[1] + 1)), Error::kHeaderChecksum},
      {"level 1 checksum", with(l1, 10, 'Z'), Error::kHeaderChecksum},
      {"level 2 header CRC", with(l2, 12, 'Z'), Error::kHeaderChecksum},
      {"unknown level", with(l2, 20, 4), Error::kBadHeader},
      {"method without dashes", with(l0, 2, 'x'), Error::kBadHeader},
      {"level 0 header size below minimum", with(l0, 0, 10), Error::kBadHeader},
      {"level 2 total size below base", with(l2, 0, 10), Error::kBadHeader},
      {"level 2 total size beyond data", with(with(l2, 0, '\xFF'), 1, '\x7F'), Error::kTruncated},
      {"extended header size 2", bad_ext_size, Error::kBadHeader},
      {"packed size beyond the data", with(l0, 7, 100), Error::kHeaderChecksum},
  };
  for (const auto& r : rows) {
    Entry e;
    EXPECT_EQ(ReadHeader(r.bytes, 0, e), r.error) << r.what;
  }
}

TEST(HeaderReader, EveryTruncationFailsCleanly) {
  RawEntry r1 = Raw("", "payload");
  r1.ext = {{0x01, "f"}, {0x02, "d\xFF"}};
  for (const std::string& full : {test::Level0(Raw("abc", "payload")), test::Level1(r1), test::Level2(r1), test::Level3(r1)}) {
    for (std::size_t n = 1; n < full.size(); ++n) {
      Entry e;
      const Error err = ReadHeader(std::string_view(full).substr(0, n), 0, e);
      EXPECT_NE(err, Error::kOk) << n;
    }
    Entry e;
    EXPECT_EQ(ReadHeader(full, 0, e), Error::kOk);
  }
}

TEST(HeaderReader, LevelOneExtendedHeadersCountAgainstPackedSize) {
  RawEntry r = Raw("", "data");
  r.ext = {{0x01, "f"}};
  std::string bytes = test::Level1(r);
  // Packed size 2 cannot hold the 6-byte extended header: broken, not a negative size.
  bytes[7] = 2;
  unsigned sum = 0;
  for (std::size_t i = 2; i < static_cast<unsigned char>(bytes[0]) + 2u; ++i) sum += static_cast<unsigned char>(bytes[i]);
  bytes[1] = static_cast<char>(sum & 0xFF);
  Entry e;
  EXPECT_EQ(ReadHeader(bytes, 0, e), Error::kBadHeader);
}

TEST(HeaderReader, LooksLikeHeaderNeedsAValidChecksum) {
  const std::string good = test::Level0(Raw("n"));
  EXPECT_TRUE(LooksLikeHeader(good, 0));
  std::string bad = good;
  bad[1] = static_cast<char>(bad[1] + 1);
  EXPECT_FALSE(LooksLikeHeader(bad, 0));
  EXPECT_FALSE(LooksLikeHeader("-lh5-", 0));
}

}  // namespace
}  // namespace sorabu::lha
