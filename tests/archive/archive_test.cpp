// The archive reader and writer together, and the extraction policy on real folders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/lha/archive_reader.h"
#include "archive/lha/archive_writer.h"
#include "archive/lha/crc16.h"
#include "header_builder.h"
#include "test_util.h"

namespace sorabu::lha {
namespace {

using test::RandomBytes;
using test::SampleText;
using test::Sjis;
using test::TempDir;

struct Item {
  std::string name;
  std::string data;
};

std::string Build(const std::vector<Item>& items, PackOptions o = {}) {
  ArchiveWriter w(o);
  for (const auto& it : items) EXPECT_EQ(w.AddFile(it.name, it.data, 1700000000, 0100644), Error::kOk);
  return w.Finish();
}

TEST(ArchiveRoundTrip, MemoryEntriesMethodsAndData) {
  const std::vector<Item> items = {
      {"empty.txt", ""},
      {"text.txt", SampleText(100000, 1)},
      {"noise.bin", RandomBytes(50000, 2)},
      {"dir/" + Sjis("日本語ファイル.txt"), SampleText(5000, 3)},
      {Sjis("ソ") + "/" + Sjis("表.txt"), "0x5C second bytes"},
  };
  const char* methods[] = {"-lh0-", "-lh5-", "-lh0-", "-lh5-", "-lh0-"};
  ArchiveReader r;
  ASSERT_EQ(r.OpenMemory(Build(items)), Error::kOk);
  ASSERT_EQ(r.entries().size(), items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Entry& e = r.entries()[i];
    EXPECT_EQ(e.name, items[i].name);
    EXPECT_EQ(e.method, methods[i]) << e.name;
    EXPECT_EQ(e.level, 2);
    EXPECT_EQ(e.original_size, items[i].data.size());
    EXPECT_EQ(e.crc, Crc16(items[i].data));
    EXPECT_EQ(e.ModificationTime(), 1700000000);
    std::string out;
    ASSERT_EQ(r.ExtractToMemory(e, out), Error::kOk) << e.name;
    EXPECT_TRUE(out == items[i].data) << e.name;
    EXPECT_EQ(r.Test(e), Error::kOk);
  }
}

// A file that cannot be read to its end is refused and leaves the archive as it was.
TEST(ArchiveRoundTrip, FailedFileLeavesEarlierEntriesIntact) {
  class Shrunk final : public Input {
   public:
    std::uint64_t Size() const override { return 10 << 20; }
    bool Read(std::uint64_t offset, std::size_t n, std::string& out) const override {
      out = SampleText(n, 31);
      return offset + n <= (6 << 20);
    }
  };
  ArchiveWriter w;
  ASSERT_EQ(w.AddFile("first.txt", SampleText(20000, 32), 1700000000), Error::kOk);
  EXPECT_EQ(w.AddFileFrom("shrunk.txt", Shrunk(), 1700000000), Error::kOpenFailed);
  ASSERT_EQ(w.AddFile("last.txt", "last", 1700000000), Error::kOk);
  ArchiveReader copy;
  ASSERT_EQ(w.OpenEntries(copy), Error::kOk);
  ASSERT_EQ(copy.entries().size(), 2u);
  ArchiveReader r;
  ASSERT_EQ(r.OpenMemory(w.Finish()), Error::kOk);
  ASSERT_EQ(r.entries().size(), 2u);
  EXPECT_EQ(r.entries()[1].name, "last.txt");
  for (const Entry& e : r.entries()) EXPECT_EQ(r.Test(e), Error::kOk) << e.name;
}

// A program before the archive may hold a copy of a header whose data would run past the end;
// the archive is where the entries run to a clean end (it was taken from the first header-like
// bytes, so adding a file to such an archive could turn it into that stray entry).
TEST(ArchiveRoundTrip, SelfExtractorPrefixWithAStrayHeaderIsSkipped) {
  ArchiveWriter stray_writer;
  ASSERT_EQ(stray_writer.AddFile("stray.txt", RandomBytes(500, 33), 1700000000), Error::kOk);
  const std::size_t stray_header = stray_writer.entries()[0].header_size;
  const std::string stray = stray_writer.Finish().substr(0, stray_header);
  const std::string real = Build({{"one.txt", SampleText(3000, 34)}, {"two.txt", "two"}});
  const std::string program = "MZ" + std::string(200, '\x90');
  ArchiveReader r;
  ASSERT_EQ(r.OpenMemory(program + stray + real), Error::kOk);
  EXPECT_EQ(r.first_header_offset(), program.size() + stray.size());
  ASSERT_EQ(r.entries().size(), 2u);
  EXPECT_EQ(r.entries()[0].name, "one.txt");
  // Without a clean candidate the first one stands, with its error, as before.
  ArchiveReader damaged;
  EXPECT_NE(damaged.OpenMemory(program + stray + std::string(500, 'd') + "-lh5- garbage"), Error::kOk);
  EXPECT_EQ(damaged.first_header_offset(), program.size());
  ASSERT_EQ(damaged.entries().size(), 1u);
  EXPECT_EQ(damaged.entries()[0].name, "stray.txt");
}

TEST(ArchiveRoundTrip, StoredOnlyWhenAskedOrUseless) {
  PackOptions store;
  store.compress = false;
  ArchiveReader r;
  ASSERT_EQ(r.OpenMemory(Build({{"a", std::string(1000, 'a')}}, store)), Error::kOk);
  EXPECT_EQ(r.entries()[0].method, "-lh0-");
  EXPECT_EQ(r.entries()[0].packed_size, 1000u);
}

TEST(ArchiveReader, NotAnArchiveAndEmptyInput) {
  ArchiveReader r;
  EXPECT_EQ(r.OpenMemory(""), Error::kNotArchive);
  EXPECT_EQ(r.OpenMemory(std::string(1, '\0')), Error::kNotArchive);
  EXPECT_EQ(r.OpenMemory(RandomBytes(10000, 4)), Error::kNotArchive);
  EXPECT_EQ(r.OpenFile("/nonexistent/file.lzh"), Error::kOpenFailed);
}

TEST(ArchiveReader, SelfExtractorFoundWithinTheScannedPrefix) {
  const std::string archive = Build({{"a.txt", "inside"}});
  // A program prefix that even contains a method name, but no valid header.
  const std::string stub = "MZ" + RandomBytes(30000, 5) + "-lh5-" + std::string(100, 'x');
  ArchiveReader r;
  ASSERT_EQ(r.OpenMemory(stub + archive), Error::kOk);
  EXPECT_EQ(r.first_header_offset(), stub.size());
  ASSERT_EQ(r.entries().size(), 1u);
  std::string out;
  EXPECT_EQ(r.ExtractToMemory(r.entries()[0], out), Error::kOk);
  EXPECT_EQ(out, "inside");
  OpenOptions narrow;
  narrow.self_extractor_scan = 1000;
  EXPECT_EQ(r.OpenMemory(stub + archive, narrow), Error::kNotArchive);
}

TEST(ArchiveReader, FilesAreReadThroughGrowingHeaderWindows) {
  TempDir tmp;
  // A level-3 header with a 100 KiB comment does not fit the first header window.
  test::RawEntry big;
  big.data = "payload";
  big.crc = Crc16(big.data);
  big.ext = {{0x01, "big.txt"}, {0x3F, std::string(100000, 'c')}};
  const std::string large = SampleText(300000, 8);
  const std::string archive = test::Level3(big) + Build({{"large.txt", large}});
  test::WriteFile(tmp / "a.lzh", archive);
  // A self-extractor whose archive reaches far beyond the scanned prefix.
  test::WriteFile(tmp / "sfx.exe", "MZ" + RandomBytes(3000, 9) + archive);
  for (const char* file : {"a.lzh", "sfx.exe"}) {
    ArchiveReader r;
    ASSERT_EQ(r.OpenFile(tmp / file), Error::kOk) << file;
    ASSERT_EQ(r.entries().size(), 2u) << file;
    EXPECT_EQ(r.entries()[0].name, "big.txt");
    std::string out;
    ASSERT_EQ(r.ExtractToMemory(r.entries()[0], out), Error::kOk);
    EXPECT_EQ(out, "payload");
    ASSERT_EQ(r.ExtractToMemory(r.entries()[1], out), Error::kOk);
    EXPECT_TRUE(out == large);
  }
  test::WriteFile(tmp / "cut.lzh", archive.substr(0, archive.size() - 1000));
  ArchiveReader cut;
  EXPECT_EQ(cut.OpenFile(tmp / "cut.lzh"), Error::kTruncated);
  EXPECT_EQ(cut.entries().size(), 1u);
}

TEST(ArchiveReader, KeepsEntriesBeforeADamagedHeader) {
  std::string bytes = Build({{"one", "1"}, {"two", "2"}});
  ArchiveReader probe;
  ASSERT_EQ(probe.OpenMemory(bytes), Error::kOk);
  bytes[probe.entries()[1].header_offset + 3] ^= 0x40;  // second header's CRC no longer matches
  ArchiveReader r;
  EXPECT_EQ(r.OpenMemory(bytes), Error::kHeaderChecksum);
  ASSERT_EQ(r.entries().size(), 1u);
  EXPECT_EQ(r.entries()[0].name, "one");
}

TEST(ArchiveReader, DamagedFirstHeaderIsNotSkippedAsAProgramStub) {
  std::string bytes = Build({{"one", "1"}, {"two", "2"}});
  bytes[3] ^= 0x01;  // first header's CRC fails; the second is intact
  ArchiveReader r;
  EXPECT_EQ(r.OpenMemory(bytes), Error::kHeaderChecksum);
  EXPECT_TRUE(r.entries().empty());
}

TEST(ArchiveReader, LyingSizesAndCorruptData) {
  const std::string text = SampleText(20000, 6);
  const std::string good = Build({{"t", text}});
  ArchiveReader r;
  ASSERT_EQ(r.OpenMemory(good), Error::kOk);
  const Entry e = r.entries()[0];
  std::string out;

  Entry bigger = e;
  bigger.original_size = std::uint64_t{1} << 35;
  EXPECT_EQ(r.ExtractToMemory(bigger, out), Error::kTooLarge);
  bigger.original_size = text.size() * 100;
  EXPECT_NE(r.ExtractToMemory(bigger, out), Error::kOk);
  EXPECT_LE(out.size(), bigger.original_size);

  Entry smaller = e;
  smaller.original_size = 100;
  EXPECT_EQ(r.ExtractToMemory(smaller, out), Error::kDataCrc);
  EXPECT_EQ(out, text.substr(0, 100));

  std::string damaged = good;
  damaged[e.data_offset + e.packed_size / 2] ^= 0x10;
  ArchiveReader d;
  ASSERT_EQ(d.OpenMemory(damaged), Error::kOk);
  EXPECT_NE(d.ExtractToMemory(d.entries()[0], out), Error::kOk);
}

class ExtractTest : public ::testing::Test {
 protected:
  TempDir tmp;
  std::string dest = tmp / "dest";
  void SetUp() override { ASSERT_EQ(::mkdir(dest.c_str(), 0755), 0); }

  Error ExtractAll(const std::string& bytes, ExtractOptions o = {}) {
    ArchiveReader r;
    EXPECT_EQ(r.OpenMemory(bytes), Error::kOk);
    Error first = Error::kOk;
    for (const auto& e : r.entries()) {
      const Error err = r.ExtractToFolder(e, dest, o);
      if (first == Error::kOk) first = err;
    }
    return first;
  }
};

TEST_F(ExtractTest, FoldersAndJapaneseNamesBecomeUtf8) {
  const std::string so = Sjis("ソ");
  ASSERT_EQ(ExtractAll(Build({{"top.txt", "t"}, {"a/b/" + so + "\\" + Sjis("表.txt"), "deep"}})), Error::kOk);
  EXPECT_EQ(test::ReadFile(dest + "/top.txt"), "t");
  EXPECT_EQ(test::ReadFile(dest + "/a/b/ソ/表.txt"), "deep");
  struct stat st {};
  ASSERT_EQ(::stat((dest + "/top.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1700000000);
}

TEST_F(ExtractTest, WithoutFoldersUsesTheLastComponent) {
  ExtractOptions flat;
  flat.keep_folders = false;
  ASSERT_EQ(ExtractAll(Build({{"x/y/z.txt", "z"}}), flat), Error::kOk);
  EXPECT_EQ(test::ReadFile(dest + "/z.txt"), "z");
  EXPECT_FALSE(test::Exists(dest + "/x"));
}

TEST_F(ExtractTest, TraversalNamesAreRefusedAndNothingIsWrittenOutside) {
  const char* names[] = {"../escape.txt", "a/../../escape.txt", "..\\escape.txt", "/../escape.txt",
                         "C:..\\escape.txt"};
  for (const char* n : names) {
    test::RawEntry raw;
    raw.name = n;
    raw.data = "x";
    raw.crc = Crc16("x");
    const std::string bytes = test::Level0(raw) + std::string(1, '\0');
    EXPECT_EQ(ExtractAll(bytes), Error::kUnsafeName) << n;
  }
  EXPECT_FALSE(test::Exists(tmp / "escape.txt"));
  EXPECT_FALSE(test::Exists("/tmp/escape-abs.txt"));
}

TEST_F(ExtractTest, LinksInTheDestinationAreNotFollowed) {
  TempDir outside;
  ASSERT_EQ(::symlink(outside.path().c_str(), (dest + "/link").c_str()), 0);
  EXPECT_EQ(ExtractAll(Build({{"link/planted.txt", "x"}})), Error::kUnsafeName);
  EXPECT_FALSE(test::Exists(outside / "planted.txt"));
  // A link with the file's own name is replaced, not written through.
  test::WriteFile(outside / "victim.txt", "old");
  ASSERT_EQ(::symlink((outside / "victim.txt").c_str(), (dest + "/file.txt").c_str()), 0);
  EXPECT_EQ(ExtractAll(Build({{"file.txt", "new"}})), Error::kOk);
  EXPECT_EQ(test::ReadFile(outside / "victim.txt"), "old");
  EXPECT_EQ(test::ReadFile(dest + "/file.txt"), "new");
}

TEST_F(ExtractTest, LinkEntriesAreNotCreated) {
  test::RawEntry raw;
  raw.method = "-lhd-";
  raw.ext = {{0x01, "evil|/etc"}};
  EXPECT_EQ(ExtractAll(test::Level2(raw) + std::string(1, '\0')), Error::kLinkNotExtracted);
  EXPECT_FALSE(test::Exists(dest + "/evil"));
}

TEST_F(ExtractTest, BrokenEntryLeavesTheExistingFileAlone) {
  test::WriteFile(dest + "/keep.txt", "precious");
  test::RawEntry raw;
  raw.name = "keep.txt";
  raw.data = "replacement";
  raw.crc = 0x1234;  // wrong
  EXPECT_EQ(ExtractAll(test::Level0(raw) + std::string(1, '\0')), Error::kDataCrc);
  EXPECT_EQ(test::ReadFile(dest + "/keep.txt"), "precious");
  std::string listing;
  test::Run(dest, "ls -A", &listing);
  EXPECT_EQ(listing, "keep.txt\n") << "no temporary file may stay behind";
}

TEST_F(ExtractTest, OverwriteOffReportsExisting) {
  test::WriteFile(dest + "/f.txt", "old");
  ExtractOptions keep;
  keep.overwrite = false;
  EXPECT_EQ(ExtractAll(Build({{"f.txt", "new"}}), keep), Error::kExists);
  EXPECT_EQ(test::ReadFile(dest + "/f.txt"), "old");
  EXPECT_EQ(ExtractAll(Build({{"f.txt", "new"}})), Error::kOk);
  EXPECT_EQ(test::ReadFile(dest + "/f.txt"), "new");
}

TEST(CreateArchive, FromFilesWithFoldersAndJapaneseNames) {
  TempDir tmp;
  const std::string src = tmp / "src";
  ASSERT_EQ(::mkdir(src.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((src + "/サブ").c_str(), 0755), 0);
  test::WriteFile(src + "/a.txt", "alpha");
  test::WriteFile(src + "/サブ/表示.txt", SampleText(10000, 7));
  ASSERT_EQ(::symlink("/etc/passwd", (src + "/link").c_str()), 0);
  CreateReport report;
  ASSERT_EQ(CreateArchiveFile(tmp / "out.lzh", src, {"a.txt", "サブ", "../src/a.txt"}, {}, &report), Error::kOk);
  ArchiveReader r;
  ASSERT_EQ(r.OpenFile(tmp / "out.lzh"), Error::kOk);
  std::vector<std::string> names;
  for (const auto& e : r.entries()) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt", Sjis("サブ"), Sjis("サブ/表示.txt"), "src/a.txt"}));
  EXPECT_TRUE(r.entries()[1].IsDirectory());
  EXPECT_EQ(report.added.size(), 4u);

  CreateReport missing;
  EXPECT_EQ(CreateArchiveFile(tmp / "out2.lzh", src, {"a.txt", "nope"}, {}, &missing), Error::kOpenFailed);
  ASSERT_EQ(missing.failed.size(), 1u);
  EXPECT_EQ(missing.failed[0].first, src + "/nope");
}

}  // namespace
}  // namespace sorabu::lha
