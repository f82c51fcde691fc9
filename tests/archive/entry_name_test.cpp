// Entry names: ZIP archives with UTF-8, CP932, undecodable, emoji, long and hostile names built
// here, listed through the plug-in's entry records and extracted; names of new archives.
#include <gtest/gtest.h>
#include <zip.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "archive/bind/archive_file.h"
#include "archive/bind/commands.h"
#include "archive/libs/common/entry_name.h"
#include "textconv/cp932.h"
#include "tests/archive/in_folder.h"
#include "tests/archive/test_util.h"

namespace sorabu::archive {
namespace {

namespace fs = std::filesystem;
using lha::test::Exists;
using lha::test::ReadFile;
using lha::test::Sjis;
using lha::test::TempDir;

TEST(EntryNameTest, Utf8ToCp932NeverYieldsSeparatorsOrStrayBytes) {
  using arcplug::Utf8NameToCp932;
  EXPECT_EQ(Utf8NameToCp932("か\u3099ハ\u309Aウ\u3099ゝ\u3099"), Sjis("がパヴゞ"));  // macOS kana
  EXPECT_EQ(Utf8NameToCp932("う\u3099"), Sjis("う") + "?");  // ゔ has no CP932 code
  // The decoder's stand-in for byte 0x85, U+F8F3 (code 0xFF), a lone selector, ¥.
  EXPECT_EQ(Utf8NameToCp932("\uF785\uF8F3/\uFE0C¥"), "??" "/??");
  // Ill-formed: a cut sequence, an overlong "/", a surrogate.
  EXPECT_EQ(Utf8NameToCp932("\xE3\x81" "a\xC0\xAF\xED\xA0\x80"), "??a?????");
  EXPECT_FALSE(arcplug::IsUtf8("\xC0\xAF"));
  // A second code of a character comes back as itself, as the program names such files.
  EXPECT_EQ(Utf8NameToCp932(textconv::Cp932ToUtf8("\x87\x9A")), "\x87\x9A");
}

struct Entry {
  std::string name;
  zip_flags_t encoding;
};

// Each entry's data is its index as text.
void WriteZip(const std::string& path, const std::vector<Entry>& entries) {
  static const char* kData[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  int err = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  ASSERT_NE(z, nullptr);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ASSERT_GE(zip_file_add(z, entries[i].name.c_str(), zip_source_buffer(z, kData[i], 1, 0), entries[i].encoding), 0)
        << i;
  }
  ASSERT_EQ(zip_close(z), 0);
}

// Little-endian fields of 2 or 4 bytes.
void Le(std::string& s, std::initializer_list<std::pair<unsigned long, int>> fields) {
  for (auto [v, n] : fields) {
    for (int i = 0; i < n; ++i) s += static_cast<char>(v >> (8 * i) & 0xFF);
  }
}
unsigned long Crc(std::string_view s) {
  return crc32(0, reinterpret_cast<const Bytef*>(s.data()), static_cast<uInt>(s.size()));
}

struct HandEntry {
  std::string stored;
  std::string unicode_path;  // Info-ZIP's field 0x7075; empty: none
  bool path_matches = true;  // false: the field's check value is not the stored name's
  unsigned long flags = 0;
};

// libzip keeps the Unicode path field to itself and never writes a flagged name that is no
// UTF-8, so these archives (stored entries holding "x") are written byte by byte.
std::string HandZip(const std::vector<HandEntry>& entries) {
  std::string zip, central;
  for (const auto& e : entries) {
    std::string extra;
    if (!e.unicode_path.empty()) {
      Le(extra, {{0x7075, 2}, {5 + e.unicode_path.size(), 2}, {1, 1}, {Crc(e.stored) ^ !e.path_matches, 4}});
      extra += e.unicode_path;
    }
    std::string common;  // from "version needed" to the extra field's length in both headers
    Le(common, {{20, 2}, {e.flags, 2}, {0, 2}, {0, 2}, {0x21, 2}, {Crc("x"), 4}, {1, 4}, {1, 4},
                {e.stored.size(), 2}, {extra.size(), 2}});
    Le(central, {{0x02014b50, 4}, {20, 2}});
    central += common;
    Le(central, {{0, 2}, {0, 2}, {0, 2}, {0, 4}, {zip.size(), 4}});
    central += e.stored + extra;
    Le(zip, {{0x04034b50, 4}});
    zip += common + e.stored + extra + "x";
  }
  std::string end;
  Le(end, {{0x06054b50, 4}, {0, 4}, {entries.size(), 2}, {entries.size(), 2}, {central.size(), 4}, {zip.size(), 4},
           {0, 2}});
  return zip + central + end;
}

// The entry records' names, read only up to the field's size.
std::vector<std::string> RecordNames(const std::string& archive) {
  TArchiveFile af(archive);
  EXPECT_TRUE(af.Open(nullptr, 0)) << archive;
  std::vector<std::string> names;
  TIndividualInfo info{};
  for (int r = af.FindFirst("*.*", &info); r == 0; r = af.FindNext(&info)) {
    names.emplace_back(info.name, strnlen(info.name, sizeof info.name));
  }
  af.Close();
  return names;
}

// Every file below root, relative, UTF-8.
std::set<std::string> FilesBelow(const std::string& root) {
  std::set<std::string> files;
  for (const auto& f : fs::recursive_directory_iterator(root)) {
    if (f.is_regular_file()) files.insert(fs::relative(f.path(), root).string());
  }
  return files;
}

TEST(ZipNamesTest, ListsCp932AndExtractsTheRealNames) {
  TempDir d;
  // A long name of 649 CP932 bytes: the record holds 512, and a whole character ends at 511.
  std::string run;
  for (int k = 0; k < 80; ++k) run += "あ";
  const std::string long_name = "x/" + run + "/" + run + "/" + run + "/" + run + ".txt";
  WriteZip(d / "n.zip", {{"日本語/表.txt", ZIP_FL_ENC_UTF_8}, {Sjis("表\\ソ.txt"), ZIP_FL_ENC_RAW},
                         {"\xB1\xB2 bad\x85\x40\x80\xA0\xFD\xFF\x83.txt", ZIP_FL_ENC_RAW},
                         {"絵文字😀.txt", ZIP_FL_ENC_UTF_8}, {"한국어.txt", ZIP_FL_ENC_UTF_8},
                         {"カ\u3099メラ.txt", ZIP_FL_ENC_UTF_8}, {long_name, ZIP_FL_ENC_UTF_8}});
  test::InFolder in(d.path());
  // An unassigned code, the single bytes CP932 leaves undefined and a lead byte before "." are
  // marked; the half-width kana before them are CP932.
  const std::string marked = "\xB1\xB2 bad%85@%80%A0%FD%FF%83.txt";
  const std::vector<std::string> listed = {Sjis("日本語/表.txt"), Sjis("表/ソ.txt"), marked, Sjis("絵文字") + "?.txt",
                                           "???.txt", Sjis("ガメラ.txt"), Sjis(long_name).substr(0, 511)};
  EXPECT_EQ(RecordNames("n.zip"), listed);
  const std::string list = GenericListText("n.zip");
  for (std::size_t i = 0; i < 6; ++i) EXPECT_NE(list.find(listed[i] + " "), std::string::npos) << i;
  std::string text;
  ASSERT_EQ(GenericExtract("n.zip", d / "out", text), 0) << textconv::Cp932ToUtf8(text);
  EXPECT_EQ(FilesBelow(d / "out"), (std::set<std::string>{"日本語/表.txt", "表/ソ.txt", "ｱｲ bad%85@%80%A0%FD%FF%83.txt",
                                                          "絵文字😀.txt", "한국어.txt", "ガメラ.txt", long_name}));
  EXPECT_EQ(ReadFile(d / "out/絵文字😀.txt"), "3");
  // Selected by the name its record shows, an entry still gets its real name.
  TArchiveFile af("n.zip");
  af.SetOutputSize(4096);
  ASSERT_EQ(af.Extract(nullptr, nullptr, {listed[3]}, d / "one"), 0) << af.OutputText();
  EXPECT_EQ(FilesBelow(d / "one"), std::set<std::string>{"絵文字😀.txt"});
}

// macOS stores names decomposed (か + U+3099 for が, Hangul as jamo): they are listed and written
// composed, as every other name on the disk is, folders included.
TEST(ZipNamesTest, DecomposedNamesFromMacosAreComposed) {
  TempDir d;
  WriteZip(d / "mac.zip", {{"か\u3099いこく/ハ\u309Aン.txt", ZIP_FL_ENC_UTF_8},
                           {"\u1112\u1161\u11AB.txt", ZIP_FL_ENC_UTF_8},
                           {"e\u0301t\u00E9.txt", ZIP_FL_ENC_UTF_8}});
  test::InFolder in(d.path());
  EXPECT_EQ(RecordNames("mac.zip"), (std::vector<std::string>{Sjis("がいこく/パン.txt"), "?.txt", "?t?.txt"}));
  std::string text;
  ASSERT_EQ(GenericExtract("mac.zip", d / "out", text), 0) << textconv::Cp932ToUtf8(text);
  EXPECT_EQ(FilesBelow(d / "out"), (std::set<std::string>{"がいこく/パン.txt", "한.txt", "\u00E9t\u00E9.txt"}));
}

TEST(ZipNamesTest, UnicodePathFieldAndHostileNamesInEveryEncoding) {
  TempDir d;
  fs::create_directories(d / "dest/inner");
  WriteZip(d / "h.zip", {{"../日本.txt", ZIP_FL_ENC_UTF_8}, {"日本/../../上.txt", ZIP_FL_ENC_UTF_8},
                         {"日本\\..\\..\\下.txt", ZIP_FL_ENC_UTF_8}, {"/tmp/sorabu-日本.txt", ZIP_FL_ENC_UTF_8},
                         {"C:日本.txt", ZIP_FL_ENC_UTF_8}, {Sjis("..\\表.txt"), ZIP_FL_ENC_RAW},
                         {"..\\\x85.txt", ZIP_FL_ENC_RAW}});
  // The field names the entry only when its check value is the stored name's.
  lha::test::WriteFile(d / "u.zip", HandZip({{Sjis("旧名.txt"), "新しい名前😀.txt"}, {Sjis("表.txt"), "無視.txt", false},
                                             {"harmless.txt", "../逃げた.txt"}, {"ok.txt", "😀/../../x.txt"}}));
  test::InFolder in(d.path());
  EXPECT_EQ(RecordNames("u.zip"), (std::vector<std::string>{Sjis("新しい名前") + "?.txt", Sjis("表.txt"),
                                                            Sjis("../逃げた.txt"), "?/../../x.txt"}));
  std::string text;
  EXPECT_EQ(GenericExtract("h.zip", d / "dest/inner", text), 32787);
  EXPECT_EQ(GenericExtract("u.zip", d / "dest/inner", text), 32787);
  // Names from the root or a drive land inside the destination.
  EXPECT_EQ(FilesBelow(d.path()), (std::set<std::string>{"h.zip", "u.zip", "dest/inner/新しい名前😀.txt",
                                                          "dest/inner/表.txt", "dest/inner/tmp/sorabu-日本.txt",
                                                          "dest/inner/日本.txt"}));
  EXPECT_FALSE(Exists("/tmp/sorabu-日本.txt"));
}

// Names flagged as UTF-8 that are none (libzip refuses such an archive outright) are read as the
// unflagged names are: CP932 when they are, "%NN" for bytes that are neither; a correctly
// flagged name beside them stays UTF-8, and ".." is still refused.
TEST(ZipNamesTest, NamesFlaggedUtf8ThatAreNotAreReadAsStored) {
  TempDir d;
  lha::test::WriteFile(d / "f.zip", HandZip({{Sjis("表.txt"), "", true, 0x800},
                                             {"\xFF\xFE.txt", "", true, 0x800},
                                             {"日本.txt", "", true, 0x800},
                                             {"plain.txt", "", true, 0}}));
  lha::test::WriteFile(d / "up.zip", HandZip({{"..\\" + Sjis("表.txt"), "", true, 0x800}}));
  test::InFolder in(d.path());
  const std::vector<std::string> listed = {Sjis("表.txt"), "%FF%FE.txt", Sjis("日本.txt"), "plain.txt"};
  EXPECT_EQ(RecordNames("f.zip"), listed);
  const std::string list = GenericListText("f.zip");
  for (const std::string& name : listed) EXPECT_NE(list.find(name + " "), std::string::npos) << name;
  std::string text;
  ASSERT_EQ(GenericExtract("f.zip", d / "out", text), 0) << textconv::Cp932ToUtf8(text);
  EXPECT_EQ(FilesBelow(d / "out"), (std::set<std::string>{"表.txt", "%FF%FE.txt", "日本.txt", "plain.txt"}));
  EXPECT_EQ(ReadFile(d / "out/表.txt"), "x");
  EXPECT_EQ(GenericExtract("up.zip", d / "up", text), 32787);
  EXPECT_FALSE(Exists(d / "表.txt"));
}

// The UTF-8 flag of each name in the central directory.
std::map<std::string, unsigned> CentralFlags(const std::string& zip) {
  std::map<std::string, unsigned> flags;
  for (std::size_t i = zip.find("PK\x01\x02"); i != std::string::npos && i + 46 <= zip.size();
       i = zip.find("PK\x01\x02", i + 4)) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned>(static_cast<unsigned char>(zip[i + k])); };
    flags[zip.substr(i + 46, at(28) | at(29) << 8)] = (at(8) | at(9) << 8) & 0x800;
  }
  return flags;
}

TEST(ZipNamesTest, CreatedNamesAreUtf8FlaggedUnlessAscii) {
  TempDir d;
  fs::create_directories(d / "src/pics");
  lha::test::WriteFile(d / "src/plain.txt", "p");
  lha::test::WriteFile(d / "src/日本語.txt", "j");
  lha::test::WriteFile(d / "src/pics/😀.txt", "e");
  SetLibraryFolder(PLUGIN_DIR);
  const auto zip = reinterpret_cast<CommandFn>(LibraryEntry(LoadLibrary("ZIP32J.DLL"), "Zip"));
  ASSERT_NE(zip, nullptr);
  char out[4096];
  const std::string line =
      textconv::Utf8ToCp932("-r \"" + (d / "c.zip") + "\" \"" + (d / "src/") + "\" plain.txt 日本語.txt pics");
  ASSERT_EQ(zip(nullptr, line.c_str(), out, sizeof out), 0) << out;
  EXPECT_NE(std::string(out).find("adding: pics/?.txt"), std::string::npos) << out;
  const std::map<std::string, unsigned> flags = CentralFlags(ReadFile(d / "c.zip"));
  EXPECT_EQ(flags, (std::map<std::string, unsigned>{
                       {"plain.txt", 0}, {"日本語.txt", 0x800}, {"pics/", 0}, {"pics/😀.txt", 0x800}}));
  test::InFolder in(d.path());
  std::string text;
  ASSERT_EQ(GenericExtract("c.zip", d / "out", text), 0) << textconv::Cp932ToUtf8(text);
  EXPECT_EQ(FilesBelow(d / "out"), (std::set<std::string>{"plain.txt", "日本語.txt", "pics/😀.txt"}));
}

}  // namespace
}  // namespace sorabu::archive
