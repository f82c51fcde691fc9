// sorabu-cli on hostile arguments and archives: characters CP932 cannot hold are refused instead
// of becoming "?", listings never pass control bytes to the terminal, unknown formats fail
// loudly, and a FIFO never blocks.
#include <sys/stat.h>

#include "tests/cli/cli_harness.h"

namespace sorabu::cli::test {
namespace {

namespace fs = std::filesystem;

class HostileArgsTest : public CliTest {};

TEST_F(HostileArgsTest, UnconvertibleCharactersAreRefusedNeverReplaced) {
  // With "?" in place of é, the decoy would be opened, the wrong folder written, a pattern changed.
  Write("arc_?.zip", "not what the user named");
  Write("text.txt", "keep n\r\nkeep me\r\n");
  const std::string before = Read(Path("text.txt"));
  const struct {
    const char* what;
    std::vector<std::string> args;
  } rows[] = {
      {"archive path", {"archive", "list", "arc_é.zip"}},
      {"destination", {"archive", "extract", "arc_?.zip", "café_😀"}},
      {"answer that is a pattern", {"run", "--no-backup", "--answer", "né", "MlinedeleteRegClick", "text.txt"}},
      {"gsub pattern", {"gsub", "cé", "x"}},
      {"grep pattern", {"grep", "né", "text.txt"}},
      {"a wave dash that would come back as a full-width tilde", {"archive", "extract", "arc_?.zip", "dir〜"}},
      {"a minus sign that would come back as a full-width hyphen", {"archive", "list", "a−b.zip"}},
  };
  for (const auto& row : rows) {
    const CliResult r = Run(row.args, "line\n");
    EXPECT_EQ(r.status, 1) << row.what;
    EXPECT_NE(r.err.find("cannot hold"), std::string::npos) << row.what << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << row.what << ": " << r.out;
  }
  EXPECT_EQ(Read(Path("text.txt")), before);
  EXPECT_FALSE(fs::exists(Path("text.org")));
  EXPECT_FALSE(fs::exists(Path("caf?_?")));
  EXPECT_FALSE(fs::exists(Path("café_😀")));
}

TEST_F(HostileArgsTest, ListingsEscapeControlBytesInEntryNames) {
  const std::string evil = "e\x1b[31mvil\rforged.txt";
  Write(evil, "data");
  ASSERT_EQ(Run({"archive", "create", "x.zip", evil}).status, 0);
  ASSERT_EQ(Run({"lha", "a", "x.lzh", evil}).status, 0);
  for (const auto& args : std::vector<std::vector<std::string>>{{"archive", "list", "x.zip"},
                                                                {"archive", "list", "x.lzh"},
                                                                {"lha", "l", "x.lzh"}}) {
    const CliResult r = Run(args);
    EXPECT_EQ(r.status, 0) << args[2];
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << args[2] << ": " << r.out;
    EXPECT_NE(r.out.find("e\\x1B[31mvil\\x0Dforged.txt"), std::string::npos) << args[2] << ": " << r.out;
  }
}

TEST_F(HostileArgsTest, UnrecognisedArchivesFailAndRenamedOnesAreReadByContent) {
  Write("in.txt", "inside");
  ASSERT_EQ(Run({"archive", "create", "real.zip", "in.txt"}).status, 0);
  fs::rename(Path("real.zip"), Path("renamed.bin"));
  Write("noise.arc", std::string(3000, '\x07'));
  Write("noise.7z", std::string(3000, '\x07'));
  fs::create_directory(Path("out"));

  CliResult r = Run({"archive", "extract", "noise.arc", "out"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("noise.arc"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::is_empty(Path("out")));
  r = Run({"archive", "extract", "noise.7z", "out"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(fs::is_empty(Path("out")));

  r = Run({"archive", "extract", "renamed.bin", "out"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(Read(Path("out/in.txt")), "inside");
}

TEST_F(HostileArgsTest, AFifoNeverBlocks) {
  ASSERT_EQ(::mkfifo(Path("pipe.lzh").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(Path("pipe.zip").c_str(), 0600), 0);
  // Run() would wait forever on a blocked child; timeout turns that into status 124.
  for (const auto& args : std::vector<std::vector<std::string>>{{"lha", "l", "pipe.lzh"},
                                                                {"archive", "list", "pipe.zip"},
                                                                {"archive", "extract", "pipe.zip", "out"}}) {
    std::vector<std::string> timed = {"--kill-after=5", "20", SORABU_CLI};
    timed.insert(timed.end(), args.begin(), args.end());
    const std::string command = "cd '" + Path("").string() + "' && timeout " + [&] {
      std::string joined;
      for (const auto& a : timed) joined += "'" + a + "' ";
      return joined;
    }() + ">/dev/null 2>&1";
    const int raw = std::system(command.c_str());
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    EXPECT_NE(status, 124) << args[1] << " blocked";
    EXPECT_NE(status, -1) << args[1];
  }
}

}  // namespace
}  // namespace sorabu::cli::test
