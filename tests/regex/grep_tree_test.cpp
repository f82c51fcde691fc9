// The folder tree a Grep walks: its order, what it leaves out and what it sets aside.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "regex/grep_tree.h"
#include "test_util.h"

namespace sorabu::regex {
namespace {

namespace fs = std::filesystem;

class GrepTreeTest : public test::FolderTest {
 protected:
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_ / "locked", fs::perms::owner_all, ec);
    FolderTest::TearDown();
  }
  void Put(const std::string& relative, const std::string& bytes) {
    fs::create_directories((dir_ / relative).parent_path());
    Write(relative, bytes);
  }
  std::vector<std::string> Relative(const std::vector<std::string>& paths) const {
    std::vector<std::string> out;
    for (const std::string& p : paths) out.push_back(fs::path(p).lexically_relative(dir_).string());
    return out;
  }
};

TEST_F(GrepTreeTest, FilesFirstThenEachFolderByNameLeavingOutHiddenFoldersAndLinks) {
  Put("b.txt", "b\r\n");
  Put("a.txt", "a\r\n");
  Put("a.bin", std::string("MZ\0\0", 4));
  Put("sub/z.txt", "z\r\n");
  Put("sub/deeper/y.txt", "y\r\n");
  Put("another/x.txt", "x\r\n");
  Put(".hidden/secret.txt", "s\r\n");
  Put("utf16.txt", std::string("\xFF\xFEh\0i\0", 6));
  Put("skip.dat", "d\r\n");
  fs::create_directory_symlink(dir_, dir_ / "sub" / "loop");
  fs::create_symlink(dir_ / "a.txt", dir_ / "linked.txt");
  const GrepTree tree = CollectGrepTree(dir_.string(), [](const std::string& name) { return !name.ends_with(".dat"); });
  EXPECT_EQ(Relative(tree.files), (std::vector<std::string>{"a.bin", "a.txt", "b.txt", "linked.txt", "utf16.txt",
                                                            "another/x.txt", "sub/z.txt", "sub/deeper/y.txt"}));
  EXPECT_TRUE(tree.unreadable.empty());
  EXPECT_FALSE(tree.stopped);
}

TEST_F(GrepTreeTest, AnUnreadableFolderIsReportedAndTheWalkGoesOnAndAStopEndsIt) {
  Put("locked/in.txt", "i\r\n");
  Put("open/o.txt", "o\r\n");
  fs::permissions(dir_ / "locked", fs::perms::none);
  const GrepTree tree = CollectGrepTree(dir_.string(), {});
  if (geteuid() != 0) {
    ASSERT_EQ(tree.unreadable.size(), 1u);
    EXPECT_EQ(fs::path(tree.unreadable[0].first).filename(), "locked");
    EXPECT_FALSE(tree.unreadable[0].second.empty());
    EXPECT_EQ(Relative(tree.files), (std::vector<std::string>{"open/o.txt"}));
  }
  int asked = 0;
  const GrepTree stopped = CollectGrepTree(dir_.string(), {}, [&asked] { return ++asked > 1; });
  EXPECT_TRUE(stopped.stopped);
  EXPECT_LE(stopped.files.size(), 1u);
}

}  // namespace
}  // namespace sorabu::regex
