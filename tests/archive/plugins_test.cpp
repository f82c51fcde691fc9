// Every plug-in through the binding: round trips (create, list, extract) per format, archives
// made by zip, tar and bsdtar, our ZIP through unzip -t, hostile names and broken archives.
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <chrono>
#include <unistd.h>
#include <zip.h>

#include <filesystem>

#include "archive/bind/archive_file.h"
#include "archive/bind/commands.h"
#include "archive/bind/messages.h"
#include "textconv/cp932.h"
#include "tests/archive/in_folder.h"
#include "tests/archive/test_util.h"

namespace sorabu::archive {
namespace {

using lha::test::Exists;
using lha::test::ReadFile;
int Shell(const std::string& dir, const std::string& command, std::string* out = nullptr) {
  return lha::test::Run(dir, command, out);
}
using lha::test::TempDir;
using lha::test::WriteFile;
namespace fs = std::filesystem;

using test::InFolder;

const std::string kJapanese = "日本語.txt";  // UTF-8 on disk, CP932 in the archive

void MakeTree(const TempDir& d) {
  fs::create_directories(d / "src/sub");
  WriteFile(d / "src/a.txt", "hello\r\n");
  WriteFile(d / "src/empty.bin", "");
  WriteFile(d / ("src/sub/" + kJapanese), lha::test::SampleText(200000, 7));
  WriteFile(d / "src/sub/random.bin", lha::test::RandomBytes(70000, 3));
}

const std::vector<std::string> kFiles = {"a.txt", "empty.bin", "sub/" + kJapanese, "sub/random.bin"};

std::vector<std::string> Cp932(const std::vector<std::string>& v) {
  std::vector<std::string> out;
  for (const auto& s : v) out.push_back(textconv::Utf8ToCp932(s));
  return out;
}

void ExpectSameFiles(const std::string& from, const std::string& to, const std::string& what) {
  for (const auto& f : kFiles) {
    ASSERT_TRUE(Exists(to + "/" + f)) << what << ": " << f;
    EXPECT_EQ(ReadFile(to + "/" + f), ReadFile(from + "/" + f)) << what << ": " << f;
  }
}

TEST(PluginsTest, RoundTripThroughEveryWritingPlugin) {
  TempDir d;
  MakeTree(d);
  for (const std::string name : {"t.lzh", "t.zip", "t.tar", "t.tgz", "t.tar.gz", "t.tar.bz2"}) {
    InFolder in(d / "src");
    // A Japanese folder name on the way, as the library gets the path made absolute.
    const std::string jdir = d / "書庫";
    fs::create_directories(jdir);
    std::string text;
    ASSERT_EQ(GenericCreate("../" + name, Cp932(kFiles), text), 0) << name << textconv::Cp932ToUtf8(text);
    EXPECT_NE(text.find("Result code = 0"), std::string::npos);
    const std::string list = textconv::Cp932ToUtf8(GenericListText("../" + name));
    EXPECT_NE(list.find("Listing of archive : ../" + name), std::string::npos) << name;
    EXPECT_NE(list.find("+ 日本語.txt"), std::string::npos) << name << list;
    EXPECT_NE(list.find("     4 files"), std::string::npos) << name << list;
    fs::copy_file(d / name, jdir + "/" + name, fs::copy_options::overwrite_existing);
    fs::current_path(jdir);
    EXPECT_NE(textconv::Cp932ToUtf8(GenericListText(name)).find("     4 files"), std::string::npos) << name;
    fs::current_path(d / "src");
    const std::string out = d / ("out-" + name);
    ASSERT_EQ(GenericExtract("../" + name, out, text), 0) << name << textconv::Cp932ToUtf8(text);
    EXPECT_EQ(text.substr(0, 2), "\r\n");
    ExpectSameFiles(d / "src", out, name);
  }
}

TEST(PluginsTest, CreateReplacesAnExistingFileAndDetectsByContent) {
  TempDir d;
  MakeTree(d);
  InFolder in(d / "src");
  WriteFile(d / "old.zip", "not a zip at all");
  std::string text;
  ASSERT_EQ(GenericCreate("../old.zip", {"a.txt"}, text), 0) << text;
  EXPECT_EQ(Shell(d.path(), "unzip -t old.zip >/dev/null"), 0);
  // A create that fails leaves the file that was there.
  WriteFile(d / "keep.zip", "precious");
  EXPECT_NE(GenericCreate("../keep.zip", {"missing.txt"}, text), 0);
  EXPECT_EQ(ReadFile(d / "keep.zip"), "precious");
  EXPECT_NE(text.find("Result code = 32781"), std::string::npos) << text;
  // A folder: tar descends into it; zip without "-r" has nothing to add and says so.
  ASSERT_EQ(GenericCreate("../folder.tgz", {"sub"}, text), 0) << text;
  EXPECT_NE(textconv::Cp932ToUtf8(GenericListText("../folder.tgz")).find("sub/random.bin "), std::string::npos);
  EXPECT_EQ(GenericCreate("../folder.zip", {"sub"}, text), 32811) << text;
  // The same archives under an ".exe" name are found by content.
  const std::vector<std::pair<std::string, TArchiverType>> cases = {
      {"c.lzh", TArchiverType::atLha}, {"c.zip", TArchiverType::atZip}, {"c.tar", TArchiverType::atTar},
      {"c.tgz", TArchiverType::atTgz}, {"c.bz2", TArchiverType::atBZ2}};
  for (const auto& [name, type] : cases) {
    ASSERT_EQ(GenericCreate("../" + name, {"a.txt"}, text), 0) << name;
    fs::copy_file(d / name, d / (name + ".exe"));
    EXPECT_EQ(TArchiveFile("../" + name + ".exe").ArchiverType(), type) << name;
  }
  WriteFile(d / "plain.exe", "MZ just a program");
  EXPECT_EQ(TArchiveFile("../plain.exe").ArchiverType(), TArchiverType::atNone);
}

TEST(PluginsTest, OurZipPassesUnzipAndOthersArchivesAreRead) {
  TempDir d;
  MakeTree(d);
  {
    InFolder in(d / "src");
    std::string text;
    ASSERT_EQ(GenericCreate("../ours.zip", Cp932(kFiles), text), 0);
    ASSERT_EQ(GenericCreate("../ours.tgz", Cp932(kFiles), text), 0);
  }
  std::string out;
  EXPECT_EQ(Shell(d.path(), "unzip -t ours.zip", &out), 0) << out;
  EXPECT_EQ(Shell(d.path(), "mkdir u && cd u && unzip -q ../ours.zip", &out), 0) << out;
  ExpectSameFiles(d / "src", d / "u", "unzip");
  EXPECT_EQ(Shell(d.path(), "mkdir t && tar xzf ours.tgz -C t", &out), 0) << out;
  ExpectSameFiles(d / "src", d / "t", "tar");

  struct Peer {
    std::string archive, command;
  };
  std::vector<Peer> peers = {{"zip.zip", "cd src && zip -qr ../zip.zip ."},
                             {"zip0.zip", "cd src && zip -qr0 ../zip0.zip ."},
                             {"gnu.tar", "tar cf gnu.tar -C src ."},
                             {"gnu.tgz", "tar czf gnu.tgz -C src ."},
                             {"gnu.tar.bz2", "tar cjf gnu.tar.bz2 -C src ."}};
  if (lha::test::HaveTool("/usr/bin/bsdtar")) {
    peers.push_back({"bsd.tar", "bsdtar cf bsd.tar -C src ."});
    peers.push_back({"bsd.zip", "bsdtar --format zip -cf bsd.zip -C src ."});
    peers.push_back({"bsd.7z", "LC_ALL=C.UTF-8 bsdtar --format 7zip -cf bsd.7z -C src ."});
  }
  for (const auto& p : peers) {
    ASSERT_EQ(Shell(d.path(), p.command, &out), 0) << p.command << out;
    InFolder in(d.path());
    const std::string list = textconv::Cp932ToUtf8(GenericListText(p.archive));
    EXPECT_NE(list.find(kJapanese + " "), std::string::npos) << p.archive << list;
    std::string text;
    ASSERT_EQ(GenericExtract(p.archive, d / ("x-" + p.archive), text), 0) << p.archive << textconv::Cp932ToUtf8(text);
    ExpectSameFiles(d / "src", d / ("x-" + p.archive), p.archive);
  }
}

// A tar with the given entries written raw (names are not checked by the writer).
void WriteTar(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files,
              const std::string& link_name = "", const std::string& link_target = "") {
  ::archive* a = archive_write_new();
  archive_write_set_format_pax_restricted(a);
  archive_write_open_filename(a, path.c_str());
  if (!link_name.empty()) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, link_name.c_str());
    archive_entry_set_filetype(e, AE_IFLNK);
    archive_entry_set_symlink(e, link_target.c_str());
    archive_entry_set_perm(e, 0777);
    archive_write_header(a, e);
    archive_entry_free(e);
  }
  for (const auto& [name, data] : files) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, name.c_str());
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    archive_entry_set_size(e, static_cast<la_int64_t>(data.size()));
    archive_write_header(a, e);
    archive_write_data(a, data.data(), data.size());
    archive_entry_free(e);
  }
  archive_write_close(a);
  archive_write_free(a);
}

void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files) {
  int err = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  for (const auto& [name, data] : files) {
    zip_source_t* s = zip_source_buffer(z, data.data(), data.size(), 0);
    zip_file_add(z, name.c_str(), s, ZIP_FL_ENC_RAW);
  }
  zip_close(z);
}

TEST(PluginsTest, HostileNamesAreRefusedPerEntry) {
  const std::vector<std::pair<std::string, std::string>> hostile = {
      {"../escape.txt", "x"}, {"/tmp/absolute-sorabu.txt", "x"}, {"C:evil.txt", "x"},
      {"sub\\..\\..\\bs.txt", "x"}, {"ok/../../dd.txt", "x"}, {"fine.txt", "fine"}};
  for (const std::string kind : {"tar", "zip"}) {
    TempDir d;
    fs::create_directories(d / "dest/inner");
    const std::string archive = d / ("h." + kind);
    kind == "tar" ? WriteTar(archive, hostile) : WriteZip(archive, hostile);
    InFolder in(d.path());
    std::string text;
    const int code = GenericExtract("h." + kind, d / "dest/inner", text);
    EXPECT_EQ(code, 32787) << kind;
    EXPECT_EQ(ReadFile(d / "dest/inner/fine.txt"), "fine") << kind;
    // From the root or a drive: taken below the destination.
    EXPECT_EQ(ReadFile(d / "dest/inner/tmp/absolute-sorabu.txt"), "x") << kind;
    EXPECT_EQ(ReadFile(d / "dest/inner/evil.txt"), "x") << kind;
    for (const char* outside : {"dest/escape.txt", "escape.txt", "dest/bs.txt", "bs.txt", "dd.txt", "dest/dd.txt"}) {
      EXPECT_FALSE(Exists(d / outside)) << kind << " " << outside;
    }
    EXPECT_FALSE(Exists("/tmp/absolute-sorabu.txt"));
    EXPECT_NE(text.find("Error 32787: ../escape.txt"), std::string::npos) << kind << text;
    std::size_t errors = 0;
    for (std::size_t p = text.find("Error 32787"); p != std::string::npos; p = text.find("Error 32787", p + 1)) ++errors;
    EXPECT_EQ(errors, 3u) << kind << text;
  }
}

TEST(PluginsTest, LinksAreNeverFollowedOut) {
  TempDir d;
  fs::create_directories(d / "dest");
  fs::create_directories(d / "outside");
  // A link to a folder outside, then a file through it; and a link planted beforehand.
  WriteTar(d / "l.tar", {{"link/owned.txt", "x"}, {"planted/owned.txt", "y"}}, "link", d / "outside");
  fs::create_directory_symlink(d / "outside", d / "dest/planted");
  InFolder in(d.path());
  std::string text;
  EXPECT_NE(GenericExtract("l.tar", d / "dest", text), 0);
  EXPECT_FALSE(Exists(d / "outside/owned.txt"));
  EXPECT_FALSE(fs::is_symlink(d / "dest/link"));
  EXPECT_NE(text.find("Skipped (link) : link"), std::string::npos) << text;
}

TEST(PluginsTest, BrokenArchivesEndInAnErrorCode) {
  TempDir d;
  MakeTree(d);
  {
    InFolder in(d / "src");
    std::string text;
    for (const char* name : {"../g.zip", "../g.tgz", "../g.tar.bz2", "../g.tar"}) ASSERT_EQ(GenericCreate(name, Cp932(kFiles), text), 0);
  }
  for (const std::string name : {"g.zip", "g.tgz", "g.tar.bz2", "g.tar"}) {
    const std::string whole = ReadFile(d / name);
    for (const double cut : {0.3, 0.6, 0.9}) {
      const std::string broken = "cut-" + std::to_string(static_cast<int>(cut * 10)) + "-" + name;
      WriteFile(d / broken, whole.substr(0, static_cast<std::size_t>(static_cast<double>(whole.size()) * cut)));
      std::string flipped = whole;
      for (std::size_t i = whole.size() / 3; i < whole.size(); i += 997) flipped[i] = static_cast<char>(flipped[i] ^ 0x55);
      WriteFile(d / ("flip-" + broken), flipped);
      InFolder in(d.path());
      // A plain tar has no checksum over its data, so only its cut copies must fail.
      const std::vector<std::string> files = name == "g.tar" ? std::vector<std::string>{broken}
                                                              : std::vector<std::string>{broken, "flip-" + broken};
      for (const std::string& f : files) {
        std::string text;
        TArchiveFile af(f);
        af.SetOutputSize(8192);
        int code = 0;
        EXPECT_NO_THROW(code = af.Extract(nullptr, nullptr, {}, d / ("o-" + f)));
        EXPECT_NE(code, 0) << f << af.OutputText();
        EXPECT_NO_THROW(GenericListText(f));
      }
    }
  }
}

TEST(PluginsTest, LhaRemoveUpdateAndSelfExtractingThroughTheWrapper) {
  TempDir d;
  WriteFile(d / "a.txt", "aaa");
  WriteFile(d / "b.txt", "bbb");
  InFolder in(d.path());
  std::string text;
  ASSERT_EQ(GenericCreate("t.lzh", {"a.txt", "b.txt"}, text), 0);
  TArchiveFile lzh("t.lzh");
  TArchiverOptions o;
  std::string out;
  EXPECT_EQ(lzh.Archiver().Remove(nullptr, o, "t.lzh", {"a.txt"}, out, 4096), 0) << out;
  std::string list = GenericListText("t.lzh");
  EXPECT_EQ(list.find("a.txt"), std::string::npos);
  EXPECT_NE(list.find("b.txt"), std::string::npos);
  WriteFile(d / "b.txt", "a newer and longer b");
  fs::last_write_time(d / "b.txt", fs::file_time_type::clock::now() + std::chrono::hours(1));
  EXPECT_EQ(lzh.Archiver().Update(nullptr, o, "t.lzh", {"b.txt"}, out, 4096), 0) << out;
  EXPECT_NE(GenericListText("t.lzh").find("20"), std::string::npos);
  EXPECT_EQ(lzh.Archiver().MakeSfx(nullptr, o, "t.lzh", out, 4096), 0) << out;
  EXPECT_TRUE(fs::exists(d / "t.exe"));
}

// 7z is read through its own plug-in: listed with its format's name, found by content under any
// name, and a damaged copy ends in an error code with nothing written outside.
TEST(PluginsTest, SevenZipIsListedByItsNameAndFoundByContent) {
  if (!lha::test::HaveTool("/usr/bin/bsdtar")) GTEST_SKIP() << "bsdtar is not installed";
  TempDir d;
  MakeTree(d);
  std::string out;
  ASSERT_EQ(Shell(d.path(), "LC_ALL=C.UTF-8 bsdtar --format 7zip -cf s.7z -C src . && cp s.7z s.bin", &out), 0) << out;
  InFolder in(d.path());
  EXPECT_EQ(TypeByName("s.7z"), TArchiverType::at7z);
  EXPECT_EQ(TypeByContent("s.bin"), TArchiverType::at7z);
  EXPECT_TRUE(ExtractableName("S.7Z"));
  const std::string list = textconv::Cp932ToUtf8(GenericListText("s.7z"));
  EXPECT_NE(list.find(" 7Z "), std::string::npos) << list;
  EXPECT_NE(list.find(kJapanese + " "), std::string::npos) << list;
  std::string text;
  ASSERT_EQ(GenericExtract("s.bin", d / "x", text), 0) << textconv::Cp932ToUtf8(text);
  ExpectSameFiles(d / "src", d / "x", "7z by content");

  const std::string whole = ReadFile(d / "s.7z");
  WriteFile(d / "cut.7z", whole.substr(0, whole.size() / 2));
  EXPECT_NE(GenericExtract("cut.7z", d / "inner/o", text), 0);
  EXPECT_FALSE(fs::exists(d / "inner/" + kJapanese));
}

TEST(PluginsTest, CabAndRarReadersRefuseOtherFormats) {
  TempDir d;
  WriteFile(d / "x.cab", "MSCF but not really a cabinet");
  WriteFile(d / "x.rar", "Rar!\x1a\x07\x00 broken");
  InFolder in(d.path());
  for (const char* name : {"x.cab", "x.rar"}) {
    std::string text;
    EXPECT_EQ(GenericListText(name), "") << name;
    EXPECT_NE(GenericExtract(name, d / "o", text), 0) << name;
  }
  TArchiveFile cab("x.cab");
  cab.SetOutputSize(100);
  EXPECT_EQ(cab.Pack(nullptr, nullptr, {"a"}, ""), 32796);
}

}  // namespace
}  // namespace sorabu::archive
