// `sorabu-cli run` on names that are not one plain writable file, and on runs that do nothing:
// each says why on standard error and exits 1, and no byte is lost.
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cli_harness.h"

namespace sorabu::cli::test {
namespace {

namespace fs = std::filesystem;

TEST_F(CliTest, RunRefusesALinkToItsOwnWorkingCopy) {
  Write("t.org", "abc\r\n");
  ASSERT_EQ(::symlink("t.org", Path("t.txt").c_str()), 0);
  const CliResult r = Run({"run", "MCRLFtoLF1Click", "t.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("同じファイル"), std::string::npos) << r.err;
  EXPECT_EQ(Read(Path("t.org")), "abc\r\n");
  EXPECT_TRUE(fs::is_symlink(Path("t.txt")));
}

TEST_F(CliTest, RunMovesAnEarlierWorkingCopyToTheTrash) {
  Write("n.org", "* TODO\n");
  Write("n.txt", "abc\r\n");
  const CliResult r = Run({"run", "MCRLFtoLF1Click", "n.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read(Path("n.txt")), "abc\n");
  EXPECT_EQ(Read(Path("n.org")), "abc\r\n");
  EXPECT_EQ(Read(Path("xdg/Trash/files/n.org")), "* TODO\n");
}

TEST_F(CliTest, RunSaysWhatItDidNotDo) {
  fs::create_directory(Path("folder"));
  Write("a.txt", "x\r\n");
  const std::vector<std::vector<std::string>> runs = {
      {"run", "Mtrim1Click", "missing.txt"},
      {"run", "Mtrim1Click", "folder"},
      {"run", "Mtrim1Click", "/dev/zero"},
      {"run", "MlinedeleteRegClick", "a.txt"},  // its question gets no answer: cancelled
  };
  for (const auto& args : runs) {
    const CliResult r = Run(args);
    EXPECT_EQ(r.status, 1) << args.back();
    EXPECT_NE(r.err.find(args.back() == "a.txt" ? "取り消しました" : args.back()), std::string::npos) << r.err;
  }
  EXPECT_EQ(Read(Path("a.txt")), "x\r\n");
  EXPECT_FALSE(fs::exists(Path("a.org")));
}

TEST_F(CliTest, RunRewritesAReadOnlyFileOnlyWhenTold) {
  Write("r.txt", "x\r\n\r\n");
  ::chmod(Path("r.txt").c_str(), 0444);
  CliResult r = Run({"run", "Mtrim1Click", "r.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("読み取り専用"), std::string::npos) << r.err;
  EXPECT_EQ(Read(Path("r.txt")), "x\r\n\r\n");
  EXPECT_FALSE(fs::exists(Path("r.org")));

  r = Run({"run", "--answer", "yes", "Mtrim1Click", "r.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read(Path("r.txt")), "x\r\n");
  struct stat st {};
  ::stat(Path("r.txt").c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0444u);
}

}  // namespace
}  // namespace sorabu::cli::test
