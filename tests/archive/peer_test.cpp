// Agreement with independent LHA tools: Debian's lhasa must accept and extract what we write,
// and archives written by jlha-utils (kept in tests/data/lha, and made afresh when the tool is
// installed) must read correctly. Tests that need a missing tool are skipped, not failed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "archive/lha/archive_reader.h"
#include "archive/lha/archive_writer.h"
#include "archive/lha/crc16.h"
#include "archive/lha/lzh_encoder.h"
#include "header_builder.h"
#include "test_util.h"

namespace sorabu::lha {
namespace {

using test::TempDir;

constexpr const char* kLhasa = "/usr/bin/lhasa";
constexpr const char* kJlha = "/usr/bin/jlha";

std::string Data(const std::string& file) { return std::string(SORABU_TEST_DATA) + "/lha/" + file; }

TEST(PeerFixtures, JlhaArchivesReadAsListedByLhasa) {
  const struct {
    const char* archive;
    const char* name;
    const char* method;
    int level;
    std::uint64_t packed;
    std::uint64_t length;
    std::uint16_t crc;
  } rows[] = {
      {"jlha-lh5-level1.lzh", "text.txt", "-lh5-", 1, 49, 5000, 0x409e},
      {"jlha-lh5-level1.lzh", "sjis.txt", "-lh5-", 1, 1322, 3000, 0x23fc},
      {"jlha-lh5-level1.lzh", "sub/inner.txt", "-lh5-", 1, 49, 5000, 0x409e},
      {"jlha-lh6-level2.lzh", "text.txt", "-lh6-", 2, 49, 5000, 0x409e},
      {"jlha-lh6-level2.lzh", "sjis.txt", "-lh6-", 2, 1322, 3000, 0x23fc},
      {"jlha-lh6-level2.lzh", "sub/inner.txt", "-lh6-", 2, 49, 5000, 0x409e},
      {"jlha-lh7-level0.lzh", "text.txt", "-lh7-", 0, 49, 5000, 0x409e},
      {"jlha-lh7-level0.lzh", "sjis.txt", "-lh7-", 0, 1322, 3000, 0x23fc},
      {"jlha-lh7-level0.lzh", "sub/inner.txt", "-lh7-", 0, 49, 5000, 0x409e},
      {"jlha-lh0-level2.lzh", "text.txt", "-lh0-", 2, 5000, 5000, 0x409e},
      {"jlha-lh0-level2.lzh", "rnd.bin", "-lh0-", 2, 2000, 2000, 0xc819},
  };
  std::string expected_text;
  for (int i = 0; i < 200; ++i) expected_text += "hello hello hello world\r\n";
  for (const auto& r : rows) {
    ArchiveReader reader;
    ASSERT_EQ(reader.OpenFile(Data(r.archive)), Error::kOk) << r.archive;
    const Entry* found = nullptr;
    for (const auto& e : reader.entries()) {
      if (e.name == r.name) found = &e;
    }
    ASSERT_NE(found, nullptr) << r.archive << " " << r.name;
    EXPECT_EQ(found->method, r.method) << r.archive << " " << r.name;
    EXPECT_EQ(found->level, r.level) << r.archive << " " << r.name;
    EXPECT_EQ(found->packed_size, r.packed) << r.archive << " " << r.name;
    EXPECT_EQ(found->original_size, r.length) << r.archive << " " << r.name;
    EXPECT_EQ(found->crc, r.crc) << r.archive << " " << r.name;
    std::string out;
    ASSERT_EQ(reader.ExtractToMemory(*found, out), Error::kOk) << r.archive << " " << r.name;
    EXPECT_EQ(out.size(), r.length);
    if (std::string(r.name).find(".txt") != std::string::npos && std::string(r.name) != "sjis.txt") {
      EXPECT_EQ(out, expected_text) << r.archive << " " << r.name;
    }
  }
}

struct PeerFile {
  std::string disk_name;  // UTF-8, as on disk
  std::string data;
};

std::vector<PeerFile> PeerInputs() {
  return {
      {"text.txt", test::SampleText(200000, 21)},
      {"binary.bin", test::RandomBytes(3000, 22) + std::string(5000, '\0') + test::RandomBytes(3000, 22)},
      {"empty.txt", ""},
      {"noise.bin", test::RandomBytes(300000, 23)},
      {"large.txt", test::SampleText(4 << 20, 24)},
      {"日本語の名前.txt", test::SampleText(10000, 25)},
      {"フォルダ/ソ表.txt", "0x5C second bytes in both folder and file name"},
  };
}

void WriteInputs(const std::string& dir, const std::vector<PeerFile>& files) {
  for (const auto& f : files) {
    const std::size_t slash = f.disk_name.rfind('/');
    if (slash != std::string::npos) ::mkdir((dir + "/" + f.disk_name.substr(0, slash)).c_str(), 0755);
    test::WriteFile(dir + "/" + f.disk_name, f.data);
  }
}

TEST(PeerLhasa, AcceptsAndExtractsWhatWeWrite) {
  if (!test::HaveTool(kLhasa)) GTEST_SKIP() << "lhasa not installed";
  TempDir tmp;
  const std::string src = tmp / "src";
  ::mkdir(src.c_str(), 0755);
  const auto files = PeerInputs();
  WriteInputs(src, files);
  std::vector<std::string> names;
  for (const auto& f : files) names.push_back(f.disk_name);
  ASSERT_EQ(CreateArchiveFile(tmp / "ours.lzh", src, names, {}), Error::kOk);

  std::string out;
  EXPECT_EQ(test::Run(tmp.path(), std::string(kLhasa) + " t ours.lzh", &out), 0) << out;
  const std::string x = tmp / "x";
  ::mkdir(x.c_str(), 0755);
  ASSERT_EQ(test::Run(x, std::string(kLhasa) + " xq ../ours.lzh", &out), 0) << out;
  for (const auto& f : files) {
    // lhasa writes names as the archive holds them: CP932 bytes.
    const std::string path = x + "/" + test::Sjis(f.disk_name);
    ASSERT_TRUE(test::Exists(path)) << f.disk_name;
    EXPECT_TRUE(test::ReadFile(path) == f.data) << f.disk_name;
  }
}

// PMarc stores a file it does not compress as -pm0-: the bytes as they are, like -lh0-.
TEST(PeerLhasa, PmarcStoredEntriesReadAsLhasaReadsThem) {
  TempDir tmp;
  const std::string text = test::SampleText(3000, 52);
  test::RawEntry e;
  e.method = "-pm0-";
  e.name = "stored.txt";
  e.data = text;
  e.crc = Crc16(text);
  test::WriteFile(tmp / "pm0.lzh", test::Level0(e) + std::string(1, '\0'));
  ArchiveReader r;
  ASSERT_EQ(r.OpenFile(tmp / "pm0.lzh"), Error::kOk);
  ASSERT_EQ(r.entries().size(), 1u);
  EXPECT_EQ(r.entries()[0].method, "-pm0-");
  std::string data;
  ASSERT_EQ(r.ExtractToMemory(r.entries()[0], data), Error::kOk);
  EXPECT_TRUE(data == text);
  e.crc ^= 1;
  test::WriteFile(tmp / "bad.lzh", test::Level0(e) + std::string(1, '\0'));
  ASSERT_EQ(r.OpenFile(tmp / "bad.lzh"), Error::kOk);
  EXPECT_EQ(r.ExtractToMemory(r.entries()[0], data), Error::kDataCrc);
  if (!test::HaveTool(kLhasa)) GTEST_SKIP() << "lhasa not installed";
  std::string out;
  ASSERT_EQ(test::Run(tmp.path(), std::string(kLhasa) + " xq pm0.lzh", &out), 0) << out;
  EXPECT_TRUE(test::ReadFile(tmp / "stored.txt") == text);
}

// 64 MiB of text and 64 MiB of noise take about ten seconds; run with SORABU_LARGE_TESTS=1.
TEST(PeerLhasa, LargeFilesWhenAsked) {
  if (std::getenv("SORABU_LARGE_TESTS") == nullptr) GTEST_SKIP() << "set SORABU_LARGE_TESTS=1";
  if (!test::HaveTool(kLhasa)) GTEST_SKIP() << "lhasa not installed";
  TempDir tmp;
  const std::string src = tmp / "src";
  ::mkdir(src.c_str(), 0755);
  const std::vector<PeerFile> files = {{"text64.txt", test::SampleText(64 << 20, 50)},
                                       {"noise64.bin", test::RandomBytes(64 << 20, 51)}};
  WriteInputs(src, files);
  ASSERT_EQ(CreateArchiveFile(tmp / "big.lzh", src, {"text64.txt", "noise64.bin"}, {}), Error::kOk);
  const std::string x = tmp / "x";
  ::mkdir(x.c_str(), 0755);
  std::string out;
  ASSERT_EQ(test::Run(x, std::string(kLhasa) + " xq ../big.lzh", &out), 0) << out;
  for (const auto& f : files) EXPECT_TRUE(test::ReadFile(x + "/" + f.disk_name) == f.data) << f.disk_name;
}

// A -lh5- stream whose distances stay below 4 KiB is also a -lh4- stream (same block format, same
// offset code); lhasa and our -lh4- decoder must both take it so.
TEST(PeerLhasa, Lh4Streams) {
  if (!test::HaveTool(kLhasa)) GTEST_SKIP() << "lhasa not installed";
  TempDir tmp;
  const std::string data = test::SampleText(4000, 52);
  std::string packed;
  ASSERT_TRUE(EncodeLh5(data, packed));
  test::RawEntry e;
  e.method = "-lh4-";
  e.name = "four.txt";
  e.data = packed;
  e.original_size = static_cast<std::uint32_t>(data.size());
  e.crc = Crc16(data);
  test::WriteFile(tmp / "lh4.lzh", test::Level0(e) + std::string(1, '\0'));
  std::string out;
  ASSERT_EQ(test::Run(tmp.path(), std::string(kLhasa) + " xq lh4.lzh", &out), 0) << out;
  EXPECT_TRUE(test::ReadFile(tmp / "four.txt") == data);
  ArchiveReader r;
  ASSERT_EQ(r.OpenFile(tmp / "lh4.lzh"), Error::kOk);
  ASSERT_EQ(r.ExtractToMemory(r.entries()[0], out), Error::kOk);
  EXPECT_TRUE(out == data);
}

TEST(PeerLhasa, OurReaderAgreesWithLhasaOnOurArchive) {
  if (!test::HaveTool(kLhasa)) GTEST_SKIP() << "lhasa not installed";
  TempDir tmp;
  WriteInputs(tmp.path(), {{"a.txt", "alpha"}, {"b.txt", test::SampleText(3000, 26)}});
  ASSERT_EQ(CreateArchiveFile(tmp / "ab.lzh", tmp.path(), {"a.txt", "b.txt"}, {}), Error::kOk);
  std::string listing;
  ASSERT_EQ(test::Run(tmp.path(), std::string(kLhasa) + " v ab.lzh", &listing), 0);
  ArchiveReader r;
  ASSERT_EQ(r.OpenFile(tmp / "ab.lzh"), Error::kOk);
  for (const auto& e : r.entries()) {
    char crc[8];
    std::snprintf(crc, sizeof crc, "%04x", e.crc);
    EXPECT_NE(listing.find(crc), std::string::npos) << e.name << "\n" << listing;
    EXPECT_NE(listing.find(e.method), std::string::npos);
  }
}

TEST(PeerJlha, ArchivesMadeNowReadCorrectly) {
  if (!test::HaveTool(kJlha)) GTEST_SKIP() << "jlha-utils not installed";
  TempDir tmp;
  const std::vector<PeerFile> files = {{"t.txt", test::SampleText(60000, 27)},
                                       {"b.bin", test::RandomBytes(20000, 28) + std::string(30000, 'x')},
                                       {"d/e.txt", test::SampleText(1000, 29)}};
  WriteInputs(tmp.path(), files);
  const struct {
    const char* option;
    const char* method;
    int level;
  } rows[] = {{"a0o5", "-lh5-", 0}, {"a1o6", "-lh6-", 1}, {"a2o7", "-lh7-", 2}, {"a1z", "-lh0-", 1}};
  for (const auto& row : rows) {
    const std::string archive = std::string(row.option) + ".lzh";
    std::string out;
    ASSERT_EQ(test::Run(tmp.path(), std::string(kJlha) + " " + row.option + " " + archive + " t.txt b.bin d/e.txt", &out), 0)
        << out;
    ArchiveReader r;
    ASSERT_EQ(r.OpenFile(tmp / archive), Error::kOk) << row.option;
    ASSERT_EQ(r.entries().size(), files.size()) << row.option;
    for (std::size_t i = 0; i < files.size(); ++i) {
      const Entry& e = r.entries()[i];
      EXPECT_EQ(e.name, files[i].disk_name) << row.option;
      EXPECT_EQ(e.level, row.level) << row.option;
      if (files[i].data.size() > 1000) EXPECT_EQ(e.method, row.method) << row.option << " " << e.name;
      std::string data;
      ASSERT_EQ(r.ExtractToMemory(e, data), Error::kOk) << row.option << " " << e.name;
      EXPECT_TRUE(data == files[i].data) << row.option << " " << e.name;
    }
  }
}

TEST(PeerJlha, AcceptsWhatWeWrite) {
  if (!test::HaveTool(kJlha)) GTEST_SKIP() << "jlha-utils not installed";
  TempDir tmp;
  const std::string src = tmp / "src";
  ::mkdir(src.c_str(), 0755);
  WriteInputs(src, {{"t.txt", test::SampleText(100000, 30)}, {"n.bin", test::RandomBytes(5000, 31)}});
  ASSERT_EQ(CreateArchiveFile(tmp / "ours.lzh", src, {"t.txt", "n.bin"}, {}), Error::kOk);
  std::string out;
  EXPECT_EQ(test::Run(tmp.path(), std::string(kJlha) + " t ours.lzh", &out), 0) << out;
  // jlha exits with 0 even for garbage; the verdict is in its output, one "Tested" per entry.
  EXPECT_NE(out.find("t.txt\t- Tested"), std::string::npos) << out;
  EXPECT_NE(out.find("n.bin\t- Tested"), std::string::npos) << out;
  EXPECT_EQ(out.find("rror"), std::string::npos) << out;
}

}  // namespace
}  // namespace sorabu::lha
