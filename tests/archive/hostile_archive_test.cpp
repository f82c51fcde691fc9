// Hostile input to the archive side: paths that would rewrite a plug-in command line, names that
// would drive a terminal, sizes an archive declares falsely or hugely, a disk that fills, entries
// and archives that are not regular files, and memory that must stay bounded on huge entries.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <cstring>
#include <filesystem>

#include "archive/bind/archive_file.h"
#include "archive/bind/cmd_opt.h"
#include "archive/bind/commands.h"
#include "archive/bind/listing.h"
#include "archive/bind/messages.h"
#include "archive/lha/archive_reader.h"
#include "archive/lha/crc16.h"
#include "archive/libs/common/plugin.h"
#include "archive/libs/common/safe_write.h"
#include "archive/libs/unlha32/commands.h"
#include "archive/libs/unlha32/unlha32.h"
#include "tests/archive/header_builder.h"
#include "tests/archive/in_folder.h"
#include "tests/archive/test_util.h"

namespace sorabu::archive {
namespace {

namespace fs = std::filesystem;
using lha::test::Exists;
using lha::test::ReadFile;
using lha::test::TempDir;
using lha::test::WriteFile;

using test::InFolder;

// Runs body in a child process and returns its exit status (or 128 + signal).
template <typename Body>
int InChild(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

long ChildPeakKiB() {
  rusage u{};
  ::getrusage(RUSAGE_CHILDREN, &u);
  return u.ru_maxrss;
}

TEST(HostileCommandLine, PathsThatWouldChangeTheLineAreRefused) {
  using T = TArchiverType;
  using Op = TCmdOperation;
  TArchiverOptions o;
  const struct {
    const char* what;
    TCmdRequest request;
  } rows[] = {
      {"quote in the destination", {T::atZip, Op::kExtract, false, false, "/a/good.zip", "out\" -o \"x", {}}},
      {"quote in the archive", {T::atLha, Op::kExtract, false, false, "/a/x\" -o \"y.lzh", "", {}}},
      {"quote in a name", {T::atTar, Op::kPack, false, false, "/a/t.tar", "", {"n\"ame"}}},
      {"name read as a switch", {T::atLha, Op::kPack, false, false, "/a/b.lzh", "", {"-r2"}}},
      {"name read as a response file", {T::atZip, Op::kPack, false, false, "/a/b.zip", "", {"@list"}}},
      {"archive read as a switch", {T::atCab, Op::kExtract, false, false, "-o", "", {}}},
      {"lead byte cut off before the separator", {T::atLha, Op::kExtract, false, false, "/a/b.lzh", "dir\x81", {}}},
  };
  for (const auto& row : rows) {
    EXPECT_THROW(TCmdOpt::Build(row.request, o), EArchiverError) << row.what;
  }
  TArchiverOptions text_switch;
  text_switch.w = "tmp\" -o \"";
  EXPECT_THROW(TCmdOpt::Build({T::atLha, Op::kExtract, false, false, "/a/b.lzh", "", {}}, text_switch), EArchiverError);

  // A line end is harmless on the line itself but would split a response-file entry in two.
  TempDir d;
  TArchiverOptions response;
  response.ResFileName = d / "res.txt";
  const TCmdRequest with_newline{T::atLha, Op::kPack, false, false, "/a/b.lzh", "", {"two\r\nlines"}};
  EXPECT_THROW(TCmdOpt::Build(with_newline, response), EArchiverError);
  EXPECT_NO_THROW(TCmdOpt::Build(with_newline, o));

  // Ordinary names, Japanese ones with a 0x5C second byte among them, still pass.
  const std::string so = "\x83\x5C";
  EXPECT_EQ(TCmdOpt::Build({T::atLha, Op::kExtract, false, false, "/a/" + so + ".lzh", "/d/" + so, {"a b.txt"}}, o),
            "x -+ \"/a/" + so + ".lzh\" \"/d/" + so + "\\\" \"a b.txt\"");
}

TEST(HostileCommandLine, ExtractingIntoAQuotedFolderWritesNothingAnywhere) {
  TempDir d;
  {
    int err = 0;
    zip_t* z = zip_open((d / "good.zip").c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    static const char kData[] = "payload";
    zip_file_add(z, "f.txt", zip_source_buffer(z, kData, 7, 0), 0);
    zip_close(z);
  }
  InFolder in(d.path());
  std::string text;
  const std::string dest = d.path() + "/out\" -o \"x";
  EXPECT_THROW(GenericExtract("good.zip", ExtractDestination(dest, d.path()), text), EArchiverError);
  for (const auto& entry : fs::directory_iterator(d.path())) {
    EXPECT_EQ(entry.path().filename() == "good.zip", true) << entry.path();
  }
}

TEST(HostileListing, ControlBytesInNamesAndMethodsAreEscaped) {
  TIndividualInfo info{};
  const std::string name = "evil\x1b[2J\r\nforged line\x07.txt";
  std::memcpy(info.name, name.data(), name.size());
  std::memcpy(info.mode, "\x1b]0;", 4);
  const std::string line = ListingLine(info);
  for (const char c : line) {
    EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << "raw control byte in: " << line;
  }
  EXPECT_NE(line.find("evil\\x1B[2J\\x0D\\x0Aforged line\\x07.txt"), std::string::npos) << line;
}

TEST(HostileListing, SizesOf4GiBAndMoreAreShownWhole) {
  TIndividualInfo info{};
  SetRecordSizes(&info, std::uint64_t{1} << 40, (std::uint64_t{1} << 32) + 5);
  EXPECT_EQ(info.original_size, 0u);
  EXPECT_EQ(RecordOriginalSize(info), std::uint64_t{1} << 40);
  EXPECT_EQ(RecordPackedSize(info), (std::uint64_t{1} << 32) + 5);
  const std::string line = ListingLine(info);
  EXPECT_NE(line.find("1099511627776  4294967301"), std::string::npos) << line;
  EXPECT_EQ(line.find("4294967295"), std::string::npos) << line;
}

// An LHA archive with one stored entry whose header declares `declared` bytes (64-bit sizes header).
std::string DeclaringArchive(std::uint64_t declared, const std::string& data) {
  lha::test::RawEntry e;
  e.name = "big.bin";
  e.data = data;
  e.crc = lha::Crc16(data);
  std::string sizes(16, '\0');
  for (int i = 0; i < 8; ++i) {
    sizes[static_cast<std::size_t>(i)] = static_cast<char>(data.size() >> (8 * i));
    sizes[static_cast<std::size_t>(8 + i)] = static_cast<char>(declared >> (8 * i));
  }
  e.ext = {{0x01, e.name}, {0x42, sizes}};
  return lha::test::Level2(e) + std::string(1, '\0');
}

TEST(HostileSizes, AnLhaEntryClaimingMoreThanTheDiskHoldsIsRefusedBeforeWriting) {
  TempDir d;
  const std::uint64_t petabyte = std::uint64_t{1} << 50;
  WriteFile(d / "bomb.lzh", DeclaringArchive(petabyte, std::string(1000, 'x')));
  lha::ArchiveReader r;
  ASSERT_EQ(r.OpenFile(d / "bomb.lzh"), lha::Error::kOk);
  ASSERT_EQ(r.entries().size(), 1u);
  EXPECT_EQ(r.entries()[0].original_size, petabyte);
  fs::create_directory(d / "out");
  EXPECT_EQ(r.ExtractToFolder(r.entries()[0], d / "out", {}), lha::Error::kDiskFull);
  EXPECT_TRUE(fs::is_empty(d / "out"));

  std::string text;
  EXPECT_EQ(unlha32::RunCommandLine("x \"" + (d / "bomb.lzh") + "\" \"" + (d / "out") + "/\"", text),
            unlha32::kErrorDiskSpace);
  EXPECT_TRUE(fs::is_empty(d / "out"));
  text.clear();
  unlha32::RunCommandLine("l \"" + (d / "bomb.lzh") + "\"", text);
  EXPECT_NE(text.find("1125899906842624"), std::string::npos) << text;
}

TEST(HostileSizes, DataLongerOrShorterThanDeclaredNeverBecomesAFile) {
  class Chunks final : public arcplug::EntryData {
   public:
    explicit Chunks(std::size_t total) : left_(total) {}
    long Read(char* buffer, std::size_t size, int*) override {
      const std::size_t n = std::min(size, left_);
      std::memset(buffer, 'z', n);
      left_ -= n;
      return static_cast<long>(n);
    }

   private:
    std::size_t left_;
  };
  TempDir d;
  arcplug::ArcEntry e;
  e.name = "declared.txt";
  e.size = 1000;
  Chunks longer(300000);
  EXPECT_EQ(arcplug::WriteBelow(d.path(), e, &longer, true, true, nullptr), unlha32::kErrorHeaderBroken);
  Chunks shorter(10);
  EXPECT_EQ(arcplug::WriteBelow(d.path(), e, &shorter, true, true, nullptr), unlha32::kErrorDataMissing);
  EXPECT_FALSE(Exists(d / "declared.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(d.path()), fs::directory_iterator()), 0);
  // A full disk ends the entry with 32773 and takes the partial file away.
  e.size = 300000;
  const int status = InChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{100000, 100000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    Chunks big(300000);
    return arcplug::WriteBelow(d.path(), e, &big, true, true, nullptr) == unlha32::kErrorDiskSpace ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(d.path()), fs::directory_iterator()), 0);
  e.size = 1000;
  // A format that does not know the size (a single compressed file) is bounded by the disk only.
  e.size_known = false;
  Chunks unknown(5000);
  EXPECT_EQ(arcplug::WriteBelow(d.path(), e, &unknown, true, true, nullptr), 0);
  EXPECT_EQ(fs::file_size(d / "declared.txt"), 5000u);
}

// A ZIP whose stored entry's sizes are patched down from 100,000 to 1,000 bytes in both headers.
void WriteLyingZip(const std::string& path) {
  const std::string data(100000, 'A');
  int err = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  const zip_int64_t i = zip_file_add(z, "lie.txt", zip_source_buffer(z, data.data(), data.size(), 0), 0);
  zip_set_file_compression(z, static_cast<zip_uint64_t>(i), ZIP_CM_DEFLATE, 9);
  zip_close(z);
  std::string bytes = ReadFile(path);
  auto patch = [&](std::size_t at) {
    bytes[at] = static_cast<char>(1000 & 0xFF);
    bytes[at + 1] = static_cast<char>(1000 >> 8);
    bytes[at + 2] = bytes[at + 3] = 0;
  };
  patch(bytes.find("PK\x03\x04") + 22);
  patch(bytes.find("PK\x01\x02") + 24);
  WriteFile(path, bytes);
}

TEST(HostileSizes, AZipEntryWritesNoMoreThanItDeclares) {
  TempDir d;
  WriteLyingZip(d / "lie.zip");
  fs::create_directory(d / "out");
  InFolder in(d.path());
  std::string text;
  EXPECT_NE(GenericExtract("lie.zip", d / "out", text), 0) << text;
  EXPECT_FALSE(Exists(d / "out/lie.txt"));
  EXPECT_TRUE(fs::is_empty(d / "out"));
}

TEST(HostileSizes, AFullDiskEndsTheEntryCleanlyAndTheNextOneStillComes) {
  TempDir d;
  lha::test::RawEntry big, small;
  big.name = "big.bin";
  big.data = std::string(300000, 'b');
  big.crc = lha::Crc16(big.data);
  small.name = "small.txt";
  small.data = "fits";
  small.crc = lha::Crc16(small.data);
  big.ext = {{0x01, big.name}};
  small.ext = {{0x01, small.name}};
  WriteFile(d / "a.lzh", lha::test::Level2(big) + lha::test::Level2(small) + std::string(1, '\0'));
  fs::create_directory(d / "out");
  const std::string line = "x \"" + (d / "a.lzh") + "\" \"" + (d / "out") + "/\"";
  const int status = InChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{100000, 100000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string text;
    return unlha32::RunCommandLine(line, text) == unlha32::kErrorDiskSpace ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(Exists(d / "out/big.bin"));
  EXPECT_EQ(ReadFile(d / "out/small.txt"), "fits");
  EXPECT_EQ(std::distance(fs::directory_iterator(d / "out"), fs::directory_iterator()), 1) << "temporary file left";
}

TEST(HostileMemory, A256MiBStoredEntryIsTestedAndListedInBoundedMemory) {
  TempDir d;
  constexpr std::uint64_t kSize = std::uint64_t{256} << 20;
  // Stored zeros behind a real header, made sparse with ftruncate: no real data is written.
  std::uint16_t crc = 0;
  {
    const std::string block(1 << 20, '\0');
    for (std::uint64_t done = 0; done < kSize; done += block.size()) crc = lha::Crc16Update(crc, block);
  }
  lha::test::RawEntry e;
  e.name = "zeros.bin";
  e.original_size = static_cast<std::uint32_t>(kSize);
  e.crc = crc;
  e.header_crc = false;  // the packed size is patched in below
  const std::string header = lha::test::Level2(e);
  const std::string path = d / "zeros.lzh";
  WriteFile(path, header);
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(header.size() + kSize + 1)), 0);
  // The level-2 header's packed size is the data size; patch it in (bytes 7..10).
  std::string bytes = ReadFile(path).substr(0, header.size());
  for (int i = 0; i < 4; ++i) bytes[7 + static_cast<std::size_t>(i)] = static_cast<char>(kSize >> (8 * i));
  {
    FILE* f = std::fopen(path.c_str(), "r+b");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  const int status = InChild([&] {
    lha::ArchiveReader r;
    if (r.OpenFile(path) != lha::Error::kOk || r.entries().size() != 1) return 2;
    return r.Test(r.entries()[0]) == lha::Error::kOk ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_LT(ChildPeakKiB(), 64 * 1024) << "the entry was held in memory";
}

TEST(HostileFiles, FifosAreRefusedWithoutBlocking) {
  TempDir d;
  for (const char* name : {"pipe.lzh", "pipe.zip", "pipe.tar", "pipe.exe"}) {
    ASSERT_EQ(::mkfifo((d / name).c_str(), 0600), 0);
  }
  // A blocked open would hang the child; the alarm turns that into a failure.
  const int status = InChild([&] {
    ::alarm(20);
    InFolder in(d.path());
    std::string text;
    if (unlha32::RunCommandLine("l \"" + (d / "pipe.lzh") + "\"", text) == 0) return 1;
    for (const char* name : {"pipe.zip", "pipe.tar"}) {
      if (!GenericListText(name).empty()) return 2;
      try {
        if (GenericExtract(name, "", text) == 0) return 3;
      } catch (const EArchiverError&) {
      }
    }
    return TypeByContent("pipe.exe") == TArchiverType::atNone ? 0 : 4;
  });
  EXPECT_EQ(status, 0);
}

TEST(HostileFiles, DeviceAndFifoEntriesAreSkippedNotMadeEmptyFiles) {
  TempDir d;
  {
    int err = 0;
    zip_t* z = zip_open((d / "dev.zip").c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    static const char kData[] = "data";
    const zip_int64_t fifo = zip_file_add(z, "fifo", zip_source_buffer(z, kData, 0, 0), 0);
    zip_file_set_external_attributes(z, static_cast<zip_uint64_t>(fifo), 0, ZIP_OPSYS_UNIX, (S_IFIFO | 0644u) << 16);
    const zip_int64_t dev = zip_file_add(z, "null", zip_source_buffer(z, kData, 0, 0), 0);
    zip_file_set_external_attributes(z, static_cast<zip_uint64_t>(dev), 0, ZIP_OPSYS_UNIX, (S_IFCHR | 0644u) << 16);
    zip_file_add(z, "plain.txt", zip_source_buffer(z, kData, 4, 0), 0);
    zip_close(z);
  }
  fs::create_directory(d / "out");
  InFolder in(d.path());
  std::string text;
  EXPECT_EQ(GenericExtract("dev.zip", d / "out", text), 0) << text;
  EXPECT_FALSE(Exists(d / "out/fifo"));
  EXPECT_FALSE(Exists(d / "out/null"));
  EXPECT_EQ(ReadFile(d / "out/plain.txt"), "data");
  EXPECT_NE(text.find("Skipped (not a regular file) : fifo"), std::string::npos) << text;
}

TEST(HostileFiles, ArchivesAreRecognisedByContentWhenTheNameSaysNothing) {
  TempDir d;
  {
    int err = 0;
    zip_t* z = zip_open((d / "renamed.dat").c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    static const char kData[] = "inside";
    zip_file_add(z, "in.txt", zip_source_buffer(z, kData, 6, 0), 0);
    zip_close(z);
  }
  WriteFile(d / "noise.arc", lha::test::RandomBytes(4000, 9));
  WriteFile(d / "noise.7z", lha::test::RandomBytes(4000, 9));
  fs::create_directory(d / "out");
  InFolder in(d.path());
  EXPECT_TRUE(Recognised("renamed.dat"));
  EXPECT_FALSE(Recognised("noise.arc"));
  std::string text;
  EXPECT_EQ(GenericExtract("renamed.dat", d / "out", text), 0) << text;
  EXPECT_EQ(ReadFile(d / "out/in.txt"), "inside");
  EXPECT_NE(GenericListText("renamed.dat").find("in.txt"), std::string::npos);
  EXPECT_THROW(GenericExtract("noise.arc", d / "out", text), EArchiverError);
  // Named as a 7z, read as one: noise is no archive, and nothing is written.
  EXPECT_NE(GenericExtract("noise.7z", d / "out", text), 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(d / "out"), fs::directory_iterator()), 1);
}

TEST(HostileFiles, ASelfExtractorIsRecognisedByItsHeadersWithoutDecodingEntries) {
  TempDir d;
  // A damaged entry: decoding it fails its CRC, but the headers are sound. Recognising the
  // format must not decode (a bomb would run for minutes), so it is still found as LHA.
  lha::test::RawEntry e;
  e.name = "x.txt";
  e.data = "stored data";
  e.crc = static_cast<std::uint16_t>(lha::Crc16(e.data) ^ 1);
  WriteFile(d / "setup.exe", "MZ" + lha::test::RandomBytes(3000, 4) + lha::test::Level2(e) + std::string(1, '\0'));
  InFolder in(d.path());
  EXPECT_EQ(TypeByContent("setup.exe"), TArchiverType::atLha);
}

}  // namespace
}  // namespace sorabu::archive
