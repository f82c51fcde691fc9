// MacLHA's MacBinary files: the data fork is written, the header and resource fork are not;
// anything that only looks like MacBinary, or comes from another system, is written whole.
#include "archive/lha/macbinary.h"

#include <gtest/gtest.h>

#include "archive/lha/archive_reader.h"
#include "archive/lha/crc16.h"
#include "header_builder.h"
#include "test_util.h"

namespace sorabu::lha {
namespace {

void Be32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (24 - 8 * i));
}

std::string Pad(std::string s) {
  s.resize((s.size() + 127) / 128 * 128, '\0');
  return s;
}

// A MacBinary file; version 2 headers carry their CRC.
std::string MacBinary(const std::string& data, const std::string& resource, bool version2) {
  std::string h(128, '\0');
  h[1] = 9;
  h.replace(2, 9, "Read Me!!");
  h.replace(65, 8, "TEXTttxt");
  Be32(h, 83, static_cast<std::uint32_t>(data.size()));
  Be32(h, 87, static_cast<std::uint32_t>(resource.size()));
  if (version2) {
    h[122] = static_cast<char>(129);
    h[123] = static_cast<char>(129);
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < 124; ++i) {
      crc = static_cast<std::uint16_t>(crc ^ (static_cast<unsigned char>(h[i]) << 8));
      for (int k = 0; k < 8; ++k) crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    h[124] = static_cast<char>(crc >> 8);
    h[125] = static_cast<char>(crc & 0xFF);
  }
  return h + (resource.empty() ? data : Pad(data) + Pad(resource));
}

std::string Through(const std::string& stream, std::size_t chunk) {
  std::string out;
  StringSink to(out);
  MacBinarySink mac(to, stream.size());
  for (std::size_t i = 0; i < stream.size(); i += chunk) EXPECT_TRUE(mac.Write(std::string_view(stream).substr(i, chunk)));
  EXPECT_TRUE(mac.Finish());
  return out;
}

TEST(MacBinary, TheDataForkPassesInAnyPieces) {
  const std::string text = "Hello from the Macintosh\r";
  for (const bool v2 : {false, true}) {
    for (const std::string& resource : {std::string(), std::string(300, 'R')}) {
      const std::string file = MacBinary(text, resource, v2);
      for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{128}, file.size()}) {
        EXPECT_EQ(Through(file, chunk), text) << v2 << " " << resource.size() << " " << chunk;
      }
    }
  }
}

TEST(MacBinary, WhatOnlyLooksLikeItIsKept) {
  const std::string good = MacBinary("data", "", true);
  std::string bad_crc = good;
  bad_crc[125] = static_cast<char>(bad_crc[125] ^ 1);
  std::string bad_name = good;
  bad_name[1] = 0;
  std::string long_fork = good;
  Be32(long_fork, 83, 5000);
  const std::string short_file(100, '\0');
  for (const std::string& s : {bad_crc, bad_name, long_fork, good + "trailing bytes", short_file, std::string()}) {
    EXPECT_EQ(Through(s, 5), s) << s.size();
  }
}

class MacLhaTest : public ::testing::Test {
 protected:
  test::TempDir tmp;
  // One stored entry written by the given system.
  std::string Archive(const std::string& name, const std::string& data, std::uint8_t os) {
    test::RawEntry raw;
    raw.name = name;
    raw.data = data;
    raw.crc = Crc16(data);
    raw.os = os;
    return test::Level1(raw) + std::string(1, '\0');
  }
  std::string Extracted(const std::string& bytes, const std::string& name) {
    ArchiveReader r;
    EXPECT_EQ(r.OpenMemory(bytes), Error::kOk);
    EXPECT_EQ(r.ExtractToFolder(r.entries().at(0), tmp.path(), {}), Error::kOk);
    return test::ReadFile(tmp / name);
  }
};

TEST_F(MacLhaTest, MacLhaFilesLoseTheirMacBinaryWrapping) {
  const std::string file = MacBinary("the data fork\r", std::string(200, 'r'), true);
  EXPECT_EQ(Extracted(Archive("mac.txt", file, 'm'), "mac.txt"), "the data fork\r");
  // The same bytes from MS-DOS are a file that happens to look so.
  EXPECT_EQ(Extracted(Archive("dos.bin", file, 'M'), "dos.bin"), file);
  EXPECT_EQ(Extracted(Archive("plain.txt", "not MacBinary at all", 'm'), "plain.txt"), "not MacBinary at all");
}

}  // namespace
}  // namespace sorabu::lha
