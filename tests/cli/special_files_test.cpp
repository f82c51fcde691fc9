// sorabu-cli detect and grep on what is not an ordinary small file: FIFOs and devices are skipped
// with a message instead of blocking, huge sparse files are read in blocks, and detection agrees
// with the whole-text rules wherever a block edge falls.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "cli_harness.h"
#include "textconv/cp932.h"

namespace sorabu::cli::test {
namespace {

using SpecialFilesTest = CliTest;

TEST_F(SpecialFilesTest, FifosAndDevicesAreSkippedWithAMessage) {
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
  Write("a.txt", "abc\r\n");
  CliResult r = Run({"detect", "pipe", "/dev/zero", "a.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "0 ASCII a.txt\n");
  EXPECT_NE(r.err.find("pipe: not a regular file"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("/dev/zero: not a regular file"), std::string::npos) << r.err;

  r = Run({"grep", "--no-names", "abc", "pipe", "a.txt", "/dev/zero"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, textconv::Utf8ToCp932("Grepの実行　検索正規表現 = abc") + "\r\n\r\na.txt(1) :abc\r\n");
  EXPECT_NE(r.err.find("pipe: not a regular file"), std::string::npos) << r.err;

  // A folder holding a FIFO gives only its regular files, and that is no failure.
  Write("d/x.txt", "abc");
  ASSERT_EQ(mkfifo(Path("d/pipe").c_str(), 0600), 0);
  r = Run({"grep", "--count", "abc", "d"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "1\n");

  // Missing files are still reported as unreadable.
  r = Run({"detect", "missing.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("missing.txt: cannot be read"), std::string::npos) << r.err;
}

TEST_F(SpecialFilesTest, UnicodeTextIsNamedAfterTheJapaneseCodes) {
  Write("u8.txt", "\xE6\x97\xA5\xE6\x9C\xAC\r\n");
  Write("u16.txt", std::string("\xFF\xFE" "a\0", 4));
  Write("sjis.txt", textconv::Utf8ToCp932("日本語\r\n"));
  const CliResult r = Run({"detect", "u8.txt", "u16.txt", "sjis.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "7 UTF-8 u8.txt\n8 UTF-16 u16.txt\n5 ｼﾌﾄJIS sjis.txt\n");
}

TEST_F(SpecialFilesTest, HugeSparseFilesAreReadInBlocks) {
  // 3 GB of holes: detection stops at the first NUL; Grep walks it all without holding it.
  Write("huge.bin", "");
  std::filesystem::resize_file(Path("huge.bin"), 3ull << 30);
  CliResult r = Run({"detect", "huge.bin"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "1 " + std::string("ﾊﾞｲﾅﾘ") + " huge.bin\n");

  // 64 MiB of holes and then a word, all one line: the piece that ends in the word is reported.
  Write("holes.bin", "");
  std::filesystem::resize_file(Path("holes.bin"), 64ull << 20);
  {
    std::ofstream out(Path("holes.bin"), std::ios::binary | std::ios::in | std::ios::ate);
    out << "needle";
  }
  r = Run({"grep", "--count", "needle", "holes.bin"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "1\n");
  r = Run({"grep", "--count", "x", "holes.bin"});
  EXPECT_EQ(r.out, "0\n");
}

TEST_F(SpecialFilesTest, DetectionAcrossBlockEdges) {
  const std::size_t kBlock = 1 << 16;
  struct Case {
    std::string text;
    const char* expected;
  };
  const std::string ascii(3 * kBlock - 1, 'a');
  const Case cases[] = {
      // Shift-JIS far past the first block
      {ascii + "\x82\xA0 tail", "5 ｼﾌﾄJIS"},
      // half-width katakana then a run of double bytes across the edge, decided by 0xFE (EUC)
      {std::string(kBlock - 2, 'a') + "\xB1\xE0\xE5\xE5\xFE x", "4 EUC"},
      // an escape sequence split by the edge
      {std::string(kBlock - 1, 'a') + "\x1B$B x", "2 JIS83"},
      // only ambiguous bytes: read to the end
      {ascii + "\xB1\xB2 end", "6 EUC+ｼﾌﾄJIS"},
      // the last byte is never looked at on its own
      {ascii + "\x82", "0 ASCII"},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string name = "case" + std::to_string(n++) + ".txt";
    Write(name, c.text);
    const CliResult r = Run({"detect", name});
    EXPECT_EQ(r.status, 0) << name;
    EXPECT_EQ(r.out, std::string(c.expected) + " " + name + "\n") << name;
  }
}

}  // namespace
}  // namespace sorabu::cli::test
