// sorabu-cli archive extract asks what the window asks, answered by --answer: a taken name is
// never replaced without "replace", a missing answer cancels with status 1 and leaves the folder
// as it was, a missing folder is made and one that cannot be made is explained.
#include "tests/cli/cli_harness.h"

namespace sorabu::cli::test {
namespace {

namespace fs = std::filesystem;

class ArchiveExtractCliTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    Write("a.txt", "archived a");
    Write("b.txt", "archived b");
    ASSERT_EQ(Run({"archive", "create", "pair.zip", "a.txt", "b.txt"}).status, 0);
  }
  void UsersFolder() {
    fs::remove_all(Path("d"));
    Write("d/a.txt", "user's a");
    Write("d/b.txt", "user's b");
  }
  std::size_t Entries(std::string_view folder) const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(Path(folder)), fs::directory_iterator()));
  }
};

TEST_F(ArchiveExtractCliTest, TakenNamesAreAnsweredInOrderAndAMissingAnswerCancels) {
  UsersFolder();
  CliResult r = Run({"archive", "extract", "pair.zip", "d"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("取り消しました"), std::string::npos) << r.err;
  EXPECT_EQ(Read(Path("d/a.txt")), "user's a");
  EXPECT_EQ(Read(Path("d/b.txt")), "user's b");
  EXPECT_EQ(Entries("d"), 2u) << "nothing left behind";

  r = Run({"archive", "extract", "--answer", "replace", "pair.zip", "d"});
  EXPECT_EQ(r.status, 1) << "the second name had no answer";
  EXPECT_EQ(Read(Path("d/a.txt")), "user's a") << "Cancel at the second name undoes the first answer too";

  r = Run({"archive", "extract", "--answer", "replace", "--answer", "rename", "pair.zip", "d"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read(Path("d/a.txt")), "archived a");
  EXPECT_EQ(Read(Path("d/b.txt")), "user's b");
  EXPECT_EQ(Read(Path("d/b (2).txt")), "archived b");

  UsersFolder();
  r = Run({"archive", "extract", "--answer", "skip all", "pair.zip", "d"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read(Path("d/a.txt")), "user's a");
  EXPECT_EQ(Entries("d"), 2u);
}

TEST_F(ArchiveExtractCliTest, AMissingFolderIsMadeAndOneThatCannotBeIsExplained) {
  CliResult r = Run({"archive", "extract", "pair.zip", "new/deeper"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read(Path("new/deeper/a.txt")), "archived a");

  Write("blocker", "a file");
  r = Run({"archive", "extract", "pair.zip", "blocker/out"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("を作成できません"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("フォルダーではありません"), std::string::npos) << r.err;
  EXPECT_EQ(Read(Path("blocker")), "a file");
}

// The usual attachment of Japanese business mail: a ZIP with a password. Without it or with a
// wrong one nothing is written and the message says why; the right one extracts everything.
TEST_F(ArchiveExtractCliTest, PasswordZipsRoundTripAndAWrongPasswordWritesNothing) {
  CliResult r = Run({"archive", "create", "--password", "秘密 pass", "secret.zip", "a.txt", "b.txt"});
  ASSERT_EQ(r.status, 0) << r.err << r.out;
  EXPECT_EQ(Run({"archive", "list", "secret.zip"}).out.find("archived"), std::string::npos);

  r = Run({"archive", "extract", "secret.zip", "none"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("パスワードで保護されています"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(Path("none"))) << "the folder made for it goes again";

  fs::create_directories(Path("p"));
  r = Run({"archive", "extract", "--password", "wrong", "secret.zip", "p"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("パスワードが違います"), std::string::npos) << r.err;
  EXPECT_EQ(Entries("p"), 0u);

  r = Run({"archive", "extract", "--answer", "wrong again", "--answer", "秘密 pass", "secret.zip", "p"});
  EXPECT_EQ(r.status, 0) << "asked again after the missing one, then right: " << r.err;
  EXPECT_EQ(Read(Path("p/a.txt")), "archived a");
  EXPECT_EQ(Read(Path("p/b.txt")), "archived b");
  EXPECT_EQ(Entries("p"), 2u);

  // A password for a format without one is refused before anything is written.
  ASSERT_EQ(Run({"archive", "create", "pair.lzh", "a.txt"}).status, 0);
  r = Run({"archive", "extract", "--password", "x", "pair.lzh", "q"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("パスワードを使えません"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(Path("q/a.txt")));
}

// ZipCrypto, as zip -P and Windows write it, beside AES.
TEST_F(ArchiveExtractCliTest, ZipCryptoArchivesOpenWithTheirPassword) {
  if (std::system("command -v zip >/dev/null 2>&1") != 0) GTEST_SKIP() << "zip is not installed";
  const std::string command = "cd '" + Path("").string() + "' && zip -q -P himitsu crypto.zip a.txt b.txt";
  ASSERT_EQ(std::system(command.c_str()), 0);
  CliResult r = Run({"archive", "extract", "--password", "nope", "crypto.zip", "c"});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(Path("c/a.txt")));
  r = Run({"archive", "extract", "--password", "himitsu", "crypto.zip", "c"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read(Path("c/a.txt")), "archived a");
  EXPECT_EQ(Read(Path("c/b.txt")), "archived b");
}

}  // namespace
}  // namespace sorabu::cli::test
