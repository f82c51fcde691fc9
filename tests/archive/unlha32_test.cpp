// The LHA plug-in: its command-line parser, and the module itself loaded with dlopen and driven
// through its C entry points exactly as the program's binding will.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "archive/lha/archive_reader.h"
#include "archive/lha/archive_writer.h"
#include "archive/lha/crc16.h"
#include "header_builder.h"
#include "archive/libs/unlha32/command_line.h"
#include "archive/libs/unlha32/commands.h"
#include "archive/libs/unlha32/unlha32.h"
#include "test_util.h"

namespace sorabu::unlha32 {
namespace {

using lha::test::Sjis;
using lha::test::TempDir;

TEST(Unlha32CommandLine, Parse) {
  const struct {
    std::string line;
    int result;
    char word;
    std::string archive, folder;
    std::vector<std::string> names;
    std::map<std::string, std::string> switches;
  } rows[] = {
      {"x -+ -x1 -n1 \"/tmp/a b.lzh\" \"/tmp/out\\\"", 0, 'x', "/tmp/a b.lzh", "/tmp/out\\", {},
       {{"+", ""}, {"x", "1"}, {"n", "1"}}},
      {"a \"a.lzh\" \"f1.txt\" \"dir/f2.txt\"", 0, 'a', "a.lzh", "", {"f1.txt", "dir/f2.txt"}, {}},
      {"l a.lzh", 0, 'l', "a.lzh", "", {}, {}},
      {"e -jf0 -jyc \"-w/tmp/work\\\" a.lzh out/ *.txt", 0, 'e', "a.lzh", "out/", {"*.txt"},
       {{"jf", "0"}, {"jyc", ""}, {"w", "/tmp/work\\"}}},
      // The second byte of "ソ" is 0x5C: the folder test must not take it for a separator.
      {"x a.lzh " + Sjis("ソ"), 0, 'x', "a.lzh", "", {Sjis("ソ")}, {}},
      {"", kErrorCommand, 0, "", "", {}, {}},
      {"q a.lzh", kErrorCommand, 'q', "", "", {}, {}},
      {"x -x1", kErrorNoArchiveName, 'x', "", "", {}, {{"x", "1"}}},
  };
  for (const auto& r : rows) {
    Command c;
    EXPECT_EQ(ParseCommandLine(r.line, c), r.result) << r.line;
    if (r.result != 0) continue;
    EXPECT_EQ(c.word, r.word) << r.line;
    EXPECT_EQ(c.archive, r.archive) << r.line;
    EXPECT_EQ(c.folder, r.folder) << r.line;
    EXPECT_EQ(c.names, r.names) << r.line;
    EXPECT_EQ(c.switches, r.switches) << r.line;
  }
}

TEST(Unlha32CommandLine, ResponseFile) {
  TempDir tmp;
  lha::test::WriteFile(tmp / "list.txt", "\"one.txt\"\r\n\"two words.txt\"\r\nthree.txt\r\n");
  Command c;
  ASSERT_EQ(ParseCommandLine("a x.lzh @" + tmp / "list.txt", c), 0);
  EXPECT_EQ(c.names, (std::vector<std::string>{"one.txt", "two words.txt", "three.txt"}));
  EXPECT_EQ(ParseCommandLine("a x.lzh @" + tmp / "missing.txt", c), 32810);
}

TEST(Unlha32CommandLine, Wildcards) {
  const struct {
    std::string pattern, name;
    bool match;
  } rows[] = {
      {"*.*", "noext", true},  {"*.txt", "a.txt", true},   {"*.txt", "a.txt.bak", false},
      {"a?c", "abc", true},     {"a?c", "ac", false},        {"?", Sjis("表"), true},
      {"*" + Sjis("表"), "x" + Sjis("表"), true},           {"d/*", "d/x", true},
      {"", "anything", true},   {"*.TXT", "a.txt", true},   {Sjis("ｿ"), Sjis("ｿ"), true},   {"a*b*c", "aXbYbZc", true}, {"a*b", "aXbYc", false},
  };
  for (const auto& r : rows) EXPECT_EQ(WildcardMatch(r.pattern, r.name), r.match) << r.pattern << " " << r.name;
}

TEST(Unlha32Listing, ExactLines) {
  lha::test::RawEntry dos;
  dos.name = "DIR\\" + Sjis("表") + ".TXT";
  dos.method = "-lh0-";
  dos.data = std::string(1000, 'x');
  dos.crc = lha::Crc16(dos.data);
  dos.time = (uint32_t{(2001 - 1980) << 9 | 2 << 5 | 3} << 16) | (4 << 11 | 5 << 5 | 3);  // 2001-02-03 04:05:06
  dos.attribute = 0x21;
  lha::test::RawEntry empty;
  empty.name = std::string("ctl\x01name-that-is-far-too-long.txt");
  empty.time = dos.time;
  lha::ArchiveReader r;
  ASSERT_EQ(r.OpenMemory(lha::test::Level0(dos) + lha::test::Level0(empty) + std::string(1, '\0')), lha::Error::kOk);
  const std::string text = ListingText(r, true);
  const std::string crc = [&] {
    char b[8];
    std::snprintf(b, sizeof b, "%04X", dos.crc);
    return std::string(b);
  }();
  const std::vector<std::string> lines = {
      " Name                      Original     Packed  Ratio   Date     Time    Method  CRC  Attr Lv",
      "------------------------- ---------- ---------- ------ -------- -------- ------- ---- ---- --",
      // Padding counts bytes: a double-byte character takes two columns, as on screen.
      "DIR/" + Sjis("表") + ".TXT" + std::string(15, ' ') + "       1000       1000 100.0% 01-02-03 04:05:06 -lh0-   " +
          crc + " r--a  0",
      "ctl\\x01name-that-is-far-too-long.txt",
      "                                   0          0   0.0% 01-02-03 04:05:06 -lh0-   0000 ---a  0",
      "------------------------- ---------- ---------- ------ -------- -------- ------- ---- ---- --",
      "     2 files                     1000       1000 100.0%",
  };
  std::string expected;
  for (const auto& l : lines) expected += l + "\r\n";
  EXPECT_EQ(text, expected);
}

TEST(Unlha32Record, Offsets) {
  EXPECT_EQ(offsetof(UnlhaIndividualInfo, original_size), 0u);
  EXPECT_EQ(offsetof(UnlhaIndividualInfo, packed_size), 4u);
  EXPECT_EQ(offsetof(UnlhaIndividualInfo, crc), 8u);
  EXPECT_EQ(offsetof(UnlhaIndividualInfo, size_high), 12u);
  EXPECT_EQ(offsetof(UnlhaIndividualInfo, ratio), 20u);
  EXPECT_EQ(offsetof(UnlhaIndividualInfo, date), 22u);
  EXPECT_EQ(offsetof(UnlhaIndividualInfo, time), 24u);
  EXPECT_EQ(offsetof(UnlhaIndividualInfo, name), 26u);
  EXPECT_EQ(offsetof(UnlhaIndividualInfo, padding), 539u);
  EXPECT_EQ(offsetof(UnlhaIndividualInfo, attribute), 542u);
  EXPECT_EQ(offsetof(UnlhaIndividualInfo, mode), 550u);
  EXPECT_EQ(sizeof(UnlhaIndividualInfo), 558u);
}

// The module as the program sees it.
class Plugin : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = ::dlopen(UNLHA32_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << ::dlerror();
    command_ = Sym<decltype(&::Unlha)>("Unlha");
    version_ = Sym<decltype(&::UnlhaGetVersion)>("UnlhaGetVersion");
    check_ = Sym<decltype(&::UnlhaCheckArchive)>("UnlhaCheckArchive");
    open_ = Sym<decltype(&::UnlhaOpenArchive)>("UnlhaOpenArchive");
    close_ = Sym<decltype(&::UnlhaCloseArchive)>("UnlhaCloseArchive");
    first_ = Sym<decltype(&::UnlhaFindFirst)>("UnlhaFindFirst");
    next_ = Sym<decltype(&::UnlhaFindNext)>("UnlhaFindNext");
    ASSERT_NE(Sym<void*>("UnlhaSetOwnerWindowEx"), nullptr);
    ASSERT_NE(Sym<void*>("UnlhaKillOwnerWindowEx"), nullptr);
    EXPECT_EQ(::dlsym(handle_, "_ZN6sorabu3lha9EncodeLh5ESt17basic_string_viewIcSt11char_traitsIcEERNSt7__cxx1112basic_stringIcS3_SaIcEEERKNS0_13EncodeOptionsE"),
              nullptr) << "only the C entry points are exported";
  }
  void TearDown() override {
    if (handle_ != nullptr) ::dlclose(handle_);
  }

  template <typename F>
  F Sym(const char* name) {
    void* p = ::dlsym(handle_, name);
    EXPECT_NE(p, nullptr) << name;
    return reinterpret_cast<F>(p);
  }

  int Run(const std::string& line, std::string* out = nullptr, std::uint32_t size = 65536) {
    std::string buf(size, '\xAA');
    const int code = command_(nullptr, line.c_str(), buf.data(), size);
    if (out != nullptr) *out = std::string(buf.c_str());
    return code;
  }

  void* handle_ = nullptr;
  decltype(&::Unlha) command_ = nullptr;
  decltype(&::UnlhaGetVersion) version_ = nullptr;
  decltype(&::UnlhaCheckArchive) check_ = nullptr;
  decltype(&::UnlhaOpenArchive) open_ = nullptr;
  decltype(&::UnlhaCloseArchive) close_ = nullptr;
  decltype(&::UnlhaFindFirst) first_ = nullptr;
  decltype(&::UnlhaFindNext) next_ = nullptr;
  TempDir tmp_;
};

TEST_F(Plugin, CreateListCheckFindAndExtract) {
  EXPECT_GT(version_(), 0);
  const std::string src = tmp_ / "src";
  ::mkdir(src.c_str(), 0755);
  ::mkdir((src + "/sub").c_str(), 0755);
  lha::test::WriteFile(src + "/a.txt", lha::test::SampleText(20000, 40));
  lha::test::WriteFile(src + "/sub/" + "表.txt", "inner");
  const std::string archive = Sjis(tmp_ / "out.lzh");
  std::string out;
  // LHA create: full paths, names stored without folders.
  ASSERT_EQ(Run("a \"" + archive + "\" \"" + Sjis(src + "/a.txt") + "\" \"" + Sjis(src + "/sub/表.txt") + "\"", &out), 0)
      << out;
  EXPECT_NE(out.find("a.txt"), std::string::npos);

  ASSERT_EQ(Run("l \"" + archive + "\"", &out), 0);
  EXPECT_NE(out.find(Sjis("表.txt")), std::string::npos) << out;
  EXPECT_NE(out.find("-lh5-"), std::string::npos) << out;
  EXPECT_NE(out.find("     2 files"), std::string::npos) << out;

  for (int mode : {0, 4, 5, 16}) EXPECT_NE(check_(archive.c_str(), mode), 0) << mode;
  EXPECT_EQ(check_((tmp_ / "missing.lzh").c_str(), 0), 0);

  HARC h = open_(nullptr, archive.c_str(), 8388610);
  ASSERT_NE(h, nullptr);
  UnlhaIndividualInfo info;
  EXPECT_EQ(next_(h, &info), kErrorSequence);
  ASSERT_EQ(first_(h, "*.*", &info), 0);
  // Byte by byte, as the program reads the record.
  const auto* raw = reinterpret_cast<const unsigned char*>(&info);
  EXPECT_EQ(raw[0] | raw[1] << 8 | raw[2] << 16 | raw[3] << 24, 20000);
  EXPECT_LT(raw[4] | raw[5] << 8 | raw[6] << 16 | raw[7] << 24, 20000);
  EXPECT_STREQ(reinterpret_cast<const char*>(raw + 26), "a.txt");
  EXPECT_STREQ(reinterpret_cast<const char*>(raw + 550), "-lh5-");
  EXPECT_STREQ(reinterpret_cast<const char*>(raw + 542), "---a");
  const unsigned ratio = raw[20] | raw[21] << 8;
  EXPECT_EQ(ratio, info.packed_size * 1000u / 20000u);
  EXPECT_NE(raw[22] | raw[23] << 8, 0) << "DOS date";
  ASSERT_EQ(next_(h, &info), 0);
  EXPECT_EQ(std::string(info.name), Sjis("表.txt"));
  EXPECT_EQ(info.original_size, 5u);
  EXPECT_EQ(next_(h, &info), -1);
  ASSERT_EQ(first_(h, "*.txt", &info), 0);
  EXPECT_EQ(close_(h), 0);

  const std::string dest = tmp_ / "dest";
  ::mkdir(dest.c_str(), 0755);
  ASSERT_EQ(Run("x -+ -x1 \"" + archive + "\" \"" + Sjis(dest) + "/\"", &out), 0) << out;
  EXPECT_EQ(lha::test::ReadFile(dest + "/表.txt"), "inner");
}

// Archives other tools made: LHMelt and MacLHA store names from the root, a Windows CE tool the
// drive, and Amiga's LhA a comment after a NUL in the name. Each lands inside the destination, and
// the verbose listing shows the comment.
TEST_F(Plugin, NamesFromTheRootAndAmigaCommentsExtractInside) {
  auto stored = [](std::string name, std::string data, int level) {
    lha::test::RawEntry raw;
    raw.data = std::move(data);
    raw.crc = lha::Crc16(raw.data);
    if (level == 0) {
      raw.name = std::move(name);
      return lha::test::Level0(raw);
    }
    raw.os = 'm';
    raw.ext = {{0x02, "\xFF" "Mounted Volume" "\xFF" "docs" "\xFF"}, {0x01, std::move(name)}};
    return lha::test::Level2(raw);
  };
  const std::string archive = tmp_ / "others.lzh";
  lha::test::WriteFile(archive, stored("/subdir/subdir2/hello.txt", "hello", 0) + stored("C:\\dos.txt", "dos", 0) +
                                    stored(std::string("metadata.txt\0This is a comment", 30), "amiga", 0) +
                                    stored("mac.txt", "mac", 2) + std::string(1, '\0'));
  const std::string dest = tmp_ / "dest";
  ::mkdir(dest.c_str(), 0755);
  std::string out;
  ASSERT_EQ(Run("x -+ -x1 \"" + archive + "\" \"" + dest + "/\"", &out), 0) << out;
  EXPECT_EQ(lha::test::ReadFile(dest + "/subdir/subdir2/hello.txt"), "hello");
  EXPECT_EQ(lha::test::ReadFile(dest + "/dos.txt"), "dos");
  EXPECT_EQ(lha::test::ReadFile(dest + "/metadata.txt"), "amiga");
  EXPECT_EQ(lha::test::ReadFile(dest + "/Mounted Volume/docs/mac.txt"), "mac");
  EXPECT_FALSE(lha::test::Exists("/subdir/subdir2/hello.txt"));

  ASSERT_EQ(Run("v \"" + archive + "\"", &out), 0);
  EXPECT_NE(out.find("metadata.txt "), std::string::npos) << out;
  EXPECT_NE(out.find("\n: This is a comment"), std::string::npos) << out;
  ASSERT_EQ(Run("l \"" + archive + "\"", &out), 0);
  EXPECT_EQ(out.find("comment"), std::string::npos) << out;
}

TEST_F(Plugin, KeepsFoldersWithX1AndFlattensWithE) {
  const std::string src = tmp_ / "src";
  ::mkdir(src.c_str(), 0755);
  ::mkdir((src + "/d").c_str(), 0755);
  lha::test::WriteFile(src + "/d/f.txt", "deep");
  const std::string archive = tmp_ / "t.lzh";
  std::string out;
  ASSERT_EQ(Run("a -x1 -r \"" + archive + "\" \"" + src + "/\" d", &out), 0) << out;
  lha::ArchiveReader r;
  ASSERT_EQ(r.OpenFile(archive), lha::Error::kOk);
  ASSERT_EQ(r.entries().size(), 2u);
  EXPECT_EQ(r.entries()[1].name, "d/f.txt");
  const std::string x = tmp_ / "x", e = tmp_ / "e";
  ::mkdir(x.c_str(), 0755);
  ::mkdir(e.c_str(), 0755);
  ASSERT_EQ(Run("x \"" + archive + "\" \"" + x + "/\""), 0);
  EXPECT_EQ(lha::test::ReadFile(x + "/d/f.txt"), "deep");
  ASSERT_EQ(Run("e \"" + archive + "\" \"" + e + "/\""), 0);
  // A missing destination is created, parents included.
  ASSERT_EQ(Run("x \"" + archive + "\" \"" + tmp_ / "new/deeper" + "/\""), 0);
  EXPECT_EQ(lha::test::ReadFile(tmp_ / "new/deeper/d/f.txt"), "deep");
  EXPECT_EQ(lha::test::ReadFile(e + "/f.txt"), "deep");
  // Adding again replaces the entry instead of duplicating it.
  lha::test::WriteFile(src + "/d/f.txt", "newer");
  ASSERT_EQ(Run("a -x1 \"" + archive + "\" \"" + src + "/\" d/f.txt"), 0);
  ASSERT_EQ(r.OpenFile(archive), lha::Error::kOk);
  ASSERT_EQ(r.entries().size(), 2u);
  std::string data;
  ASSERT_EQ(r.ExtractToMemory(r.entries()[1], data), lha::Error::kOk);
  EXPECT_EQ(data, "newer");
}

TEST_F(Plugin, UpdateAddsOnlyNewerFiles) {
  const std::string src = tmp_ / "src";
  ::mkdir(src.c_str(), 0755);
  lha::test::WriteFile(src + "/old.txt", "old");
  lha::test::WriteFile(src + "/new.txt", "new");
  const std::string archive = tmp_ / "u.lzh";
  ASSERT_EQ(Run("a \"" + archive + "\" \"" + src + "/\" old.txt new.txt"), 0);
  // old.txt changes content but keeps a time no newer than its entry; new.txt gets newer.
  struct timespec past[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
  lha::test::WriteFile(src + "/old.txt", "OLD CHANGED");
  ::utimensat(AT_FDCWD, (src + "/old.txt").c_str(), past, 0);
  ASSERT_EQ(Run("a \"" + archive + "\" \"" + src + "/\" old.txt"), 0);  // "a" replaces regardless
  lha::test::WriteFile(src + "/old.txt", "should not be taken");
  ::utimensat(AT_FDCWD, (src + "/old.txt").c_str(), past, 0);
  lha::test::WriteFile(src + "/new.txt", "newer content");
  struct timespec future[2] = {{0, UTIME_OMIT}, {2000000000, 0}};
  ::utimensat(AT_FDCWD, (src + "/new.txt").c_str(), future, 0);
  ASSERT_EQ(Run("u \"" + archive + "\" \"" + src + "/\" old.txt new.txt"), 0);
  lha::ArchiveReader r;
  ASSERT_EQ(r.OpenFile(archive), lha::Error::kOk);
  std::map<std::string, std::string> content;
  for (const auto& e : r.entries()) ASSERT_EQ(r.ExtractToMemory(e, content[e.name]), lha::Error::kOk);
  EXPECT_EQ(content.size(), 2u);
  EXPECT_EQ(content["old.txt"], "OLD CHANGED");
  EXPECT_EQ(content["new.txt"], "newer content");
}

TEST_F(Plugin, ResultCodes) {
  lha::ArchiveWriter w;
  ASSERT_EQ(w.AddFile("good.txt", lha::test::SampleText(5000, 41), 1700000000), lha::Error::kOk);
  std::string bytes = w.Finish();
  lha::ArchiveReader probe;
  ASSERT_EQ(probe.OpenMemory(bytes), lha::Error::kOk);
  std::string damaged = bytes;
  damaged[probe.entries()[0].data_offset + 40] ^= 0x01;
  lha::test::WriteFile(tmp_ / "damaged.lzh", damaged);
  lha::test::RawEntry evil;
  evil.name = "../evil.txt";
  evil.data = "x";
  evil.crc = lha::Crc16("x");
  lha::test::WriteFile(tmp_ / "evil.lzh", lha::test::Level0(evil) + std::string(1, '\0'));
  lha::test::WriteFile(tmp_ / "junk.lzh", "not an archive at all");
  const std::string dest = tmp_ / "d";
  ::mkdir(dest.c_str(), 0755);
  const struct {
    std::string line;
    std::vector<int> codes;  // any of these
    std::string output_contains;
  } rows[] = {
      {"x \"" + tmp_ / "missing.lzh" + "\" \"" + dest + "/\"", {kErrorArchiveOpen}, ""},
      {"x \"" + tmp_ / "junk.lzh" + "\" \"" + dest + "/\"", {kErrorNotArchive}, ""},
      {"t \"" + tmp_ / "damaged.lzh" + "\"", {kErrorChecksum, kErrorHuffmanCode}, "good.txt"},
      {"x \"" + tmp_ / "evil.lzh" + "\" \"" + dest + "/\"", {kErrorWrite}, "unsafe entry name"},
      {"z \"" + tmp_ / "evil.lzh" + "\"", {kErrorCommand}, ""},
      {"x", {kErrorNoArchiveName}, ""},
      {"a \"" + tmp_ / "new.lzh" + "\"", {kErrorNoFileName}, ""},
      {"a \"" + tmp_ / "new.lzh" + "\" \"" + tmp_ / "no-such-file" + "\"", {kErrorFileOpen}, "no-such-file"},
  };
  for (const auto& r : rows) {
    std::string out;
    const int code = Run(r.line, &out);
    EXPECT_NE(std::find(r.codes.begin(), r.codes.end(), code), r.codes.end()) << r.line << " gave " << code;
    EXPECT_NE(out.find(r.output_contains), std::string::npos) << r.line << "\n" << out;
  }
  EXPECT_FALSE(lha::test::Exists(tmp_ / "evil.txt"));
  EXPECT_FALSE(lha::test::Exists(tmp_ / "new.lzh")) << "no empty archive after a failed create";
  EXPECT_EQ(check_((tmp_ / "damaged.lzh").c_str(), 4), 1) << "headers are fine";
  EXPECT_EQ(check_((tmp_ / "damaged.lzh").c_str(), 16), 0) << "data is not";
  EXPECT_EQ(open_(nullptr, (tmp_ / "junk.lzh").c_str(), 0), nullptr);
}

TEST_F(Plugin, ExtractToMemoryAndSelfExtractor) {
  lha::ArchiveWriter w;
  ASSERT_EQ(w.AddFile("dir/" + Sjis("表.txt"), "memory body", 1700000000), lha::Error::kOk);
  const std::string archive = w.Finish();
  lha::test::WriteFile(tmp_ / "sfx.exe", "MZ" + lha::test::RandomBytes(5000, 42) + archive);
  auto extract = Sym<decltype(&::UnlhaExtractMem)>("UnlhaExtractMem");
  const std::string sfx = tmp_ / "sfx.exe";
  EXPECT_NE(check_(sfx.c_str(), 0), 0);
  unsigned char buf[64] = {};
  std::int64_t time = 0;
  std::uint16_t attr = 0;
  std::uint32_t written = 0;
  ASSERT_EQ(extract(nullptr, ("-n1 \"" + sfx + "\" \"dir\\" + Sjis("表.txt") + "\"").c_str(), buf, sizeof buf, &time, &attr, &written), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), written), "memory body");
  EXPECT_EQ(time, 1700000000);
  EXPECT_EQ(attr, 0x20);
  EXPECT_EQ(extract(nullptr, ("\"" + sfx + "\" *.txt").c_str(), buf, 4, nullptr, nullptr, &written), kErrorMemory);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(extract(nullptr, ("\"" + sfx + "\" nothing").c_str(), buf, sizeof buf, nullptr, nullptr, nullptr), -1);
}

TEST_F(Plugin, LongNamesAreCutAtACharacter) {
  lha::ArchiveWriter w;
  const std::string name = "a" + [] {
    std::string s;
    for (int i = 0; i < 300; ++i) s += Sjis("表");
    return s;
  }();
  ASSERT_EQ(w.AddFile(name, "x", 0), lha::Error::kOk);
  lha::test::WriteFile(tmp_ / "long.lzh", w.Finish());
  HARC h = open_(nullptr, (tmp_ / "long.lzh").c_str(), 0);
  ASSERT_NE(h, nullptr);
  UnlhaIndividualInfo info;
  ASSERT_EQ(first_(h, "*", &info), 0);
  // 1 + 255 * 2 = 511 bytes fit; the 256th character would need 513.
  EXPECT_EQ(std::string(info.name), name.substr(0, 511));
  close_(h);
}

TEST_F(Plugin, OutputIsCutToTheBufferAndTerminated) {
  lha::ArchiveWriter w;
  for (int i = 0; i < 50; ++i) ASSERT_EQ(w.AddFile("file" + std::to_string(i) + ".txt", "x", 0), lha::Error::kOk);
  lha::test::WriteFile(tmp_ / "many.lzh", w.Finish());
  std::string buf(64, '\xAA');
  buf.push_back('Z');
  EXPECT_EQ(command_(nullptr, ("l " + tmp_ / "many.lzh").c_str(), buf.data(), 64), 0);
  EXPECT_EQ(buf[63], '\0');
  EXPECT_EQ(buf[64], 'Z');
  EXPECT_EQ(command_(nullptr, nullptr, nullptr, 0), kErrorCommand);
}

}  // namespace
}  // namespace sorabu::unlha32
