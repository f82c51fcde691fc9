// The RAR plug-in on a stored RAR 4 archive built here byte by byte (no Debian tool writes RAR),
// and the entry records the ZIP plug-in fills through open / find first / find next.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "archive/bind/archive_file.h"
#include "archive/bind/commands.h"
#include "tests/archive/in_folder.h"
#include "tests/archive/test_util.h"

namespace sorabu::archive {
namespace {

namespace fs = std::filesystem;
using lha::test::ReadFile;
using lha::test::TempDir;

using lha::test::Put16;
using lha::test::Put32;
unsigned long Crc(std::string_view s) {
  return crc32(0, reinterpret_cast<const Bytef*>(s.data()), static_cast<uInt>(s.size()));
}
// A block: its CRC-16 (low half of the CRC-32 of everything after the CRC field) in front.
std::string Block(const std::string& body) {
  std::string b;
  Put16(b, static_cast<unsigned>(Crc(body) & 0xFFFF));
  return b + body;
}

std::string Rar(const std::vector<std::pair<std::string, std::string>>& files) {
  std::string rar = "Rar!\x1a\x07";
  rar += '\0';
  std::string main;
  main += '\x73';
  Put16(main, 0);
  Put16(main, 13);
  main += std::string(6, '\0');
  rar += Block(main);
  for (const auto& [name, data] : files) {
    std::string h;
    h += '\x74';
    Put16(h, 0x8000);
    Put16(h, static_cast<unsigned>(32 + name.size()));
    Put32(h, data.size());
    Put32(h, data.size());
    h += '\x03';  // Unix
    Put32(h, Crc(data));
    Put32(h, (static_cast<unsigned long>((2021 - 1980) << 9 | 2 << 5 | 3) << 16) | (4 << 11 | 5 << 5 | 3));
    h += '\x14';  // version 2.0
    h += '\x30';  // stored
    Put16(h, static_cast<unsigned>(name.size()));
    Put32(h, 0x81A4);
    h += name;
    rar += Block(h) + data;
  }
  std::string end;
  end += '\x7b';
  Put16(end, 0x4000);
  Put16(end, 7);
  rar += Block(end);
  return rar;
}

TEST(RarTest, ListsAndExtractsAStoredArchive) {
  TempDir d;
  lha::test::WriteFile(d / "t.rar", Rar({{"a.txt", "hello rar"}, {"dir/b.txt", "second"}}));
  SetLibraryFolder(PLUGIN_DIR);
  const std::string list = GenericListText(d / "t.rar");
  EXPECT_NE(list.find("+ b.txt                  6           6 100.0% 21-02-03 04:05:06 ---a RAR 0000 dir/b.txt "),
            std::string::npos) << list;
  std::string text;
  ASSERT_EQ(GenericExtract(d / "t.rar", d / "out", text), 0) << text;
  EXPECT_EQ(ReadFile(d / "out/a.txt"), "hello rar");
  EXPECT_EQ(ReadFile(d / "out/dir/b.txt"), "second");
  EXPECT_EQ(TypeByContent(d / "t.rar"), TArchiverType::atRar);
  // Flat extraction (x = 0 gives "-e").
  TArchiveFile af(d / "t.rar");
  af.Options.Set("x", 0);
  af.SetOutputSize(4096);
  ASSERT_EQ(af.Extract(nullptr, nullptr, {}, d / "flat"), 0) << af.OutputText();
  EXPECT_EQ(ReadFile(d / "flat/b.txt"), "second");
  // A hostile name.
  lha::test::WriteFile(d / "h.rar", Rar({{"../evil.txt", "x"}}));
  EXPECT_EQ(GenericExtract(d / "h.rar", d / "out", text), 32787);
  EXPECT_FALSE(lha::test::Exists(d / "evil.txt"));
}

TEST(ZipRecordTest, FindFillsTheRecord) {
  TempDir d;
  lha::test::WriteFile(d / "big.txt", std::string(100000, 'a'));
  lha::test::WriteFile(d / "one.txt", "x");
  ASSERT_EQ(lha::test::Run(d.path(), "zip -q z.zip big.txt one.txt && mkdir dir && zip -q z.zip dir"), 0);
  SetLibraryFolder(PLUGIN_DIR);
  TArchiveFile af(d / "z.zip");
  ASSERT_TRUE(af.Check(1, 4));
  ASSERT_TRUE(af.Open(nullptr, 0));
  TIndividualInfo info{};
  ASSERT_EQ(af.FindFirst("*.*", &info), 0);
  EXPECT_STREQ(info.name, "big.txt");
  EXPECT_EQ(info.original_size, 100000u);
  EXPECT_LT(info.packed_size, 1000u);
  EXPECT_EQ(info.ratio, info.packed_size * 1000 / 100000);
  EXPECT_EQ(info.crc, crc32(0, reinterpret_cast<const Bytef*>(std::string(100000, 'a').data()), 100000));
  EXPECT_STREQ(info.mode, "Deflate");
  ASSERT_EQ(af.FindNext(&info), 0);
  EXPECT_STREQ(info.name, "one.txt");
  EXPECT_STREQ(info.mode, "Stored");
  ASSERT_EQ(af.FindNext(&info), 0);
  EXPECT_STREQ(info.name, "dir");
  EXPECT_EQ(info.attribute[3], 'd');
  EXPECT_NE(af.FindNext(&info), 0);
  af.Close();
  // Find calls without an open handle.
  EXPECT_EQ(af.FindFirst("*.*", &info), 32801);
}

TEST(ZipRecordTest, Cp932NamesSplitByCharacter) {
  TempDir d;
  // A name stored as CP932 bytes, as Japanese Windows archivers do; its second byte is 0x5C.
  const std::string hyo = lha::test::Sjis("表") + "\\x.txt";
  lha::test::WriteFile(d / hyo, "sjis");
  ASSERT_EQ(lha::test::Run(d.path(), "zip -q z.zip *.txt"), 0);
  SetLibraryFolder(PLUGIN_DIR);
  const std::string list = GenericListText(d / "z.zip");
  EXPECT_NE(list.find("+ x.txt"), std::string::npos) << list;
  std::string text;
  ASSERT_EQ(GenericExtract(d / "z.zip", d / "out", text), 0) << text;
  EXPECT_EQ(ReadFile(d / "out/表/x.txt"), "sjis");
}

TEST(ProgressTest, HandlerRunsAroundTheCommandAndMayAbort) {
  TempDir d;
  lha::test::WriteFile(d / "a.txt", "x");
  ASSERT_EQ(lha::test::Run(d.path(), "zip -q z.zip a.txt"), 0);
  SetLibraryFolder(PLUGIN_DIR);
  TArchiveFile af(d / "z.zip");
  af.SetOutputSize(1000);
  std::vector<TArchiverState> states;
  bool abort_next = false;
  af.OnProgress = [&](TArchiveFile&, TArchiverState s, const TExtractingInfo*, bool& abort) {
    if (s == TArchiverState::asBegin || s == TArchiverState::asEnd) states.push_back(s);
    abort = abort_next;
  };
  EXPECT_EQ(af.Extract(nullptr, nullptr, {}, d / "o"), 0);
  EXPECT_EQ(states, (std::vector<TArchiverState>{TArchiverState::asBegin, TArchiverState::asEnd}));
  EXPECT_EQ(ReadFile(d / "o/a.txt"), "x");
  abort_next = true;
  EXPECT_EQ(af.Extract(nullptr, nullptr, {}, d / "o2"), 32800);
  EXPECT_FALSE(lha::test::Exists(d / "o2/a.txt"));
  EXPECT_EQ(af.OutputText(), "");
}

// The libraries tell of each entry as they write it, so a progress bar moves within a large
// entry; stopping in the middle of one removes it and keeps the entries before it.
TEST(ProgressTest, EveryLibraryReportsEachEntryAndStopsWithinOne) {
  TempDir d;
  lha::test::WriteFile(d / "a.txt", "small");
  lha::test::WriteFile(d / "big.bin", lha::test::RandomBytes(3 << 20, 5));
  lha::test::WriteFile(d / "z.txt", "last");
  SetLibraryFolder(PLUGIN_DIR);
  for (const std::string name : {"p.lzh", "p.zip", "p.tar"}) {
    {
      test::InFolder in(d.path());
      std::string text;
      ASSERT_EQ(GenericCreate(name, {"a.txt", "big.bin", "z.txt"}, text), 0) << name << text;
    }
    TArchiveFile af(d / name);
    af.SetOutputSize(4096);
    af.Options.Set("x", 1);
    std::vector<std::string> began;
    std::uint64_t steps = 0, biggest = 0;
    af.OnProgress = [&](TArchiveFile&, TArchiverState s, const TExtractingInfo* info, bool&) {
      if (s == TArchiverState::asExtractBegin) began.emplace_back(info->source);
      if (s == TArchiverState::asExtractInProcess) {
        ++steps;
        biggest = std::max<std::uint64_t>(biggest, info->write_size);
        EXPECT_LE(info->write_size, info->file_size);
      }
    };
    ASSERT_EQ(af.Extract(nullptr, nullptr, {}, d / ("o-" + name)), 0) << name << af.OutputText();
    EXPECT_EQ(began, (std::vector<std::string>{"a.txt", "big.bin", "z.txt"})) << name;
    EXPECT_GE(steps, 3u) << name << ": a 3 MiB entry is reported at least every MiB";
    EXPECT_EQ(biggest, 3u << 20) << name;

    af.OnProgress = [&](TArchiveFile&, TArchiverState s, const TExtractingInfo* info, bool& abort) {
      abort = s == TArchiverState::asExtractInProcess && info->write_size >= (1u << 20);
    };
    const std::string out = d / ("stop-" + name);
    EXPECT_EQ(af.Extract(nullptr, nullptr, {}, out), 32800) << name << af.OutputText();
    EXPECT_EQ(ReadFile(out + "/a.txt"), "small") << name;
    EXPECT_FALSE(lha::test::Exists(out + "/big.bin")) << name;
    EXPECT_FALSE(lha::test::Exists(out + "/z.txt")) << name;
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& f : fs::directory_iterator(out)) ++files;
    EXPECT_EQ(files, 1u) << name << ": no partly written file is left";
  }
}

TEST(PluginApiTest, FindOrderAndBoundedExtractToMemory) {
  TempDir d;
  lha::test::WriteFile(d / "a.txt", std::string(5000, 'q'));
  ASSERT_EQ(lha::test::Run(d.path(), "zip -q z.zip a.txt"), 0);
  void* lib = LoadLibrary("UNZIP32.DLL");
  ASSERT_NE(lib, nullptr);
  auto open = reinterpret_cast<OpenFn>(LibraryEntry(lib, "UnZipOpenArchive"));
  auto next = reinterpret_cast<FindNextFn>(LibraryEntry(lib, "UnZipFindNext"));
  auto close = reinterpret_cast<CloseFn>(LibraryEntry(lib, "UnZipCloseArchive"));
  using MemFn = int (*)(void*, const char*, unsigned char*, std::uint32_t, std::int64_t*, std::uint16_t*, std::uint32_t*);
  auto mem = reinterpret_cast<MemFn>(LibraryEntry(lib, "UnZipExtractMem"));
  ASSERT_TRUE(open && next && close && mem);
  void* h = open(nullptr, (d / "z.zip").c_str(), 0);
  ASSERT_NE(h, nullptr);
  TIndividualInfo info{};
  EXPECT_EQ(next(h, &info), 32802);
  close(h);
  EXPECT_EQ(open(nullptr, (d / "missing.zip").c_str(), 0), nullptr);
  std::string buffer(6000, '\0');
  std::uint32_t written = 0;
  const std::string line = "\"" + (d / "z.zip") + "\" a.txt";
  EXPECT_EQ(mem(nullptr, line.c_str(), reinterpret_cast<unsigned char*>(buffer.data()), 4999, nullptr, nullptr, &written), 32797);
  EXPECT_EQ(written, 0u);
  ASSERT_EQ(mem(nullptr, line.c_str(), reinterpret_cast<unsigned char*>(buffer.data()), 6000, nullptr, nullptr, &written), 0);
  EXPECT_EQ(buffer.substr(0, written), std::string(5000, 'q'));
}

}  // namespace
}  // namespace sorabu::archive
