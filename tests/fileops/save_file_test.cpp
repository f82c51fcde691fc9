#include "fileops/save_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "tests/fileops/temp_tree.h"

namespace sorabu::fileops {
namespace {

using test::TempTree;

TEST(SaveFileTest, ReplacesWholeKeepsPermissionsAndMakesTheBackup) {
  TempTree t;
  t.Write("a.txt", "old");
  chmod(t("a.txt").c_str(), 0640);
  std::string error;
  ASSERT_TRUE(SaveFile(t("a.txt"), "new", t("a.$$$"), error)) << error;
  EXPECT_EQ(t.Read("a.txt"), "new");
  EXPECT_EQ(t.Read("a.$$$"), "old");
  struct stat st {};
  stat(t("a.txt").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  ASSERT_TRUE(SaveFile(t("a.txt"), "newer", t("a.$$$"), error));
  EXPECT_EQ(t.Read("a.$$$"), "new") << "the older backup gives way";
  ASSERT_TRUE(SaveFile(t("b.txt"), "fresh", "", error));
  EXPECT_EQ(t.Snapshot(), (std::map<std::string, std::string>{{"a.$$$", "new"}, {"a.txt", "newer"}, {"b.txt", "fresh"}}));
  EXPECT_FALSE(SaveFile(t("missing/c.txt"), "x", "", error));
  EXPECT_FALSE(error.empty());
}

// A full disk (a file-size limit in a child): the old file and its backup stay as they were.
TEST(SaveFileTest, AFailedWriteChangesNothing) {
  TempTree t;
  t.Write("a.txt", "old");
  t.Write("a.$$$", "older");
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit size{1 << 16, 1 << 16};
    setrlimit(RLIMIT_FSIZE, &size);
    std::string error;
    _exit(SaveFile(t("a.txt"), std::string(1 << 20, 'x'), t("a.$$$"), error) ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(t.Snapshot(), (std::map<std::string, std::string>{{"a.$$$", "older"}, {"a.txt", "old"}}));
}

}  // namespace
}  // namespace sorabu::fileops
