// The CAB plug-in on cabinets built here byte by byte (one uncompressed folder), as no Debian
// tool writes them: listing, extraction with folders, and a hostile name refused.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/bind/archive_file.h"
#include "archive/bind/commands.h"
#include "textconv/cp932.h"
#include "tests/archive/test_util.h"

namespace sorabu::archive {
namespace {

using lha::test::ReadFile;
using lha::test::TempDir;

using lha::test::Put16;
using lha::test::Put32;

// A cabinet with the files stored, names with "\" between folders.
std::string Cabinet(const std::vector<std::pair<std::string, std::string>>& files) {
  std::string entries, data;
  for (const auto& [name, content] : files) {
    Put32(entries, static_cast<unsigned>(content.size()));
    Put32(entries, static_cast<unsigned>(data.size()));
    Put16(entries, 0);                                    // folder
    Put16(entries, ((2020 - 1980) << 9) | (5 << 5) | 17); // date
    Put16(entries, (12 << 11) | (30 << 5));               // time
    Put16(entries, 0x20);                                 // archive attribute
    entries += name;
    entries += '\0';
    data += content;
  }
  const unsigned header = 36, folder = 8;
  const unsigned files_at = header + folder;
  const unsigned data_at = files_at + static_cast<unsigned>(entries.size());
  std::string cab = "MSCF";
  Put32(cab, 0);
  Put32(cab, data_at + 8 + static_cast<unsigned>(data.size()));
  Put32(cab, 0);
  Put32(cab, files_at);
  Put32(cab, 0);
  cab += '\x03';
  cab += '\x01';
  Put16(cab, 1);
  Put16(cab, static_cast<unsigned>(files.size()));
  Put16(cab, 0);
  Put16(cab, 0);
  Put16(cab, 0);
  Put32(cab, data_at);
  Put16(cab, 1);  // one data block
  Put16(cab, 0);  // stored
  cab += entries;
  Put32(cab, 0);  // no checksum
  Put16(cab, static_cast<unsigned>(data.size()));
  Put16(cab, static_cast<unsigned>(data.size()));
  cab += data;
  return cab;
}

TEST(CabTest, ListsAndExtractsAStoredCabinet) {
  TempDir d;
  lha::test::WriteFile(d / "t.cab", Cabinet({{"a.txt", "hello"}, {"dir\\b.txt", "world!"}}));
  SetLibraryFolder(PLUGIN_DIR);
  const std::string cwd = std::filesystem::current_path();
  std::filesystem::current_path(d.path());
  const std::string list = GenericListText("t.cab");
  std::string text;
  const int code = GenericExtract("t.cab", d / "out", text);
  std::filesystem::current_path(cwd);
  EXPECT_NE(list.find("+ b.txt                  6           6 100.0% 20-05-17 12:30:00 ---a CAB 0000 dir/b.txt "),
            std::string::npos) << list;
  EXPECT_NE(list.find("     2 files            11          11 100.0%"), std::string::npos) << list;
  ASSERT_EQ(code, 0) << text;
  EXPECT_EQ(ReadFile(d / "out/a.txt"), "hello");
  EXPECT_EQ(ReadFile(d / "out/dir/b.txt"), "world!");
  EXPECT_EQ(TypeByContent(d / "t.cab"), TArchiverType::atCab);
}

TEST(CabTest, HostileNameRefused) {
  TempDir d;
  std::filesystem::create_directories(d / "out/in");
  lha::test::WriteFile(d / "h.cab", Cabinet({{"..\\..\\evil.txt", "x"}, {"ok.txt", "ok"}}));
  SetLibraryFolder(PLUGIN_DIR);
  std::string text;
  EXPECT_EQ(GenericExtract(d / "h.cab", d / "out/in", text), 32787);
  EXPECT_FALSE(lha::test::Exists(d / "evil.txt"));
  EXPECT_FALSE(lha::test::Exists(d / "out/evil.txt"));
  EXPECT_EQ(ReadFile(d / "out/in/ok.txt"), "ok");
}

}  // namespace
}  // namespace sorabu::archive
