// The working-copy frame against names that are not one plain file: links to the working copy,
// an unrelated earlier ".org", symbolic and hard links, modes and read-only files.
#include <sys/stat.h>
#include <unistd.h>

#include "command_fixture.h"
#include "textcmd/working_copy.h"

namespace sorabu::textcmd::test {
namespace {

namespace fs = std::filesystem;

// A sample of the frame's kinds: streaming, byte model, line conversion, list model.
const char* const kHandlers[] = {"Mtrim1Click", "MCRLFtoLF1Click", "Msjistojis1Click", "MLineSortU1Click"};

std::string LinkTarget(const std::string& path) {
  std::error_code ec;
  return fs::is_symlink(path, ec) ? fs::read_symlink(path, ec).string() : std::string();
}

mode_t Mode(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

ino_t Inode(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_ino;
}

TEST_F(CommandTest, AFileThatIsItsWorkingCopyUnderAnotherNameIsRefused) {
  for (const char* handler : kHandlers) {
    SCOPED_TRACE(handler);
    // t.txt is a link to t.org, its own working copy.
    fs::remove(Path("t.txt"));
    Write(Path("t.org"), "abc\r\n");
    ASSERT_EQ(::symlink("t.org", Path("t.txt").c_str()), 0);
    EXPECT_EQ(Run(handler, Path("t.txt")), Outcome::Refused);
    EXPECT_EQ(LinkTarget(Path("t.txt")), "t.org");
    EXPECT_EQ(Read(Path("t.org")), "abc\r\n");
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_NE(dialogs_.Messages()[0].text.find(Sjis("同じファイル")), std::string::npos);

    // n.org is a link to n.txt, and m.org a hard link of m.txt.
    fs::remove(Path("n.org"));
    Write(Path("n.txt"), "abc\r\n");
    ASSERT_EQ(::symlink("n.txt", Path("n.org").c_str()), 0);
    EXPECT_EQ(Run(handler, Path("n.txt")), Outcome::Refused);
    EXPECT_EQ(LinkTarget(Path("n.org")), "n.txt");
    EXPECT_EQ(Read(Path("n.txt")), "abc\r\n");

    fs::remove(Path("m.org"));
    Write(Path("m.txt"), "abc\r\n");
    ASSERT_EQ(::link(Path("m.txt").c_str(), Path("m.org").c_str()), 0);
    EXPECT_EQ(Run(handler, Path("m.txt")), Outcome::Refused);
    EXPECT_EQ(Read(Path("m.txt")), "abc\r\n");
    EXPECT_EQ(fs::hard_link_count(Path("m.txt")), 2u);
    EXPECT_TRUE(trashed_.empty());
  }
}

TEST_F(CommandTest, AnEarlierWorkingCopyGoesToTheTrashUnderItsName) {
  Write(Path("n.org"), "* TODO\n");
  Write(Path("n.txt"), "abc\r\n");
  ASSERT_EQ(Run("MCRLFtoLF1Click", Path("n.txt")), Outcome::Done);
  EXPECT_EQ(Read(Path("n.txt")), "abc\n");
  EXPECT_EQ(Read(Path("n.org")), "abc\r\n");
  ASSERT_EQ(trashed_, std::vector<std::string>{"n.org"});
  EXPECT_EQ(Trashed(1), "* TODO\n");
  EXPECT_FALSE(fs::exists(Path("n.org.sorabu-aside")));
  EXPECT_FALSE(fs::exists(Path("n.org.sorabu-new")));

  // Without a trash the earlier copy is never deleted: the command refuses and changes nothing.
  dialogs_ = dialogs::TScriptedDialogs();
  TCommandContext context(dialogs_);
  EXPECT_EQ(RunCommand("MCRLFtoLF1Click", Path("n.txt"), context), Outcome::Refused);
  EXPECT_EQ(Read(Path("n.txt")), "abc\n");
  EXPECT_EQ(Read(Path("n.org")), "abc\r\n");
  EXPECT_EQ(dialogs_.Messages().size(), 1u);

  // A trash that fails leaves the earlier copy beside the new one and says where.
  context.trash = [](const std::string&) { return false; };
  EXPECT_EQ(RunCommand("MCRLFtoLF1Click", Path("n.txt"), context), Outcome::Done);
  EXPECT_EQ(Read(Path("n.org")), "abc\n");
  EXPECT_EQ(Read(Path("n.org.sorabu-aside")), "abc\r\n");
  ASSERT_EQ(dialogs_.Messages().size(), 2u);
  EXPECT_NE(dialogs_.Messages()[1].text.find(Sjis("n.org.sorabu-aside")), std::string::npos);
}

TEST_F(CommandTest, ASymbolicLinkStaysALinkAndItsTargetIsRewritten) {
  fs::create_directory(Path("sub"));
  for (const char* handler : kHandlers) {
    SCOPED_TRACE(handler);
    fs::remove(Path("l.org"));
    fs::remove(Path("l.txt"));
    Write(Path("sub/a.txt"), "b\r\n\r\na\r\n");
    ASSERT_EQ(::symlink("sub/a.txt", Path("l.txt").c_str()), 0);
    const auto before = Inode(Path("sub/a.txt"));
    EXPECT_EQ(Run(handler, Path("l.txt")), Outcome::Done);
    EXPECT_EQ(LinkTarget(Path("l.txt")), "sub/a.txt");
    EXPECT_NE(Inode(Path("sub/a.txt")), before);  // a new file under the target's name
    EXPECT_EQ(Read(Path("l.org")), "b\r\n\r\na\r\n");  // beside the name the user chose
    EXPECT_FALSE(fs::exists(Path("sub/a.org")));
    EXPECT_EQ(shown_, Path("l.txt"));
  }
}

TEST_F(CommandTest, AFileWithOtherHardLinksIsRefused) {
  Write(Path("h.txt"), "x\r\n\r\n");
  ASSERT_EQ(::link(Path("h.txt").c_str(), Path("other.txt").c_str()), 0);
  for (const char* handler : kHandlers) {
    EXPECT_EQ(Run(handler, Path("h.txt")), Outcome::Refused) << handler;
    EXPECT_EQ(Read(Path("h.txt")), "x\r\n\r\n");
    EXPECT_EQ(fs::hard_link_count(Path("h.txt")), 2u);
    EXPECT_FALSE(fs::exists(Path("h.org")));
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_NE(dialogs_.Messages()[0].text.find(Sjis("ハードリンク")), std::string::npos);
  }
}

TEST_F(CommandTest, TheNewFileKeepsTheModeAndAReadOnlyFileIsRewrittenOnlyWhenAsked) {
  const mode_t saved = ::umask(022);
  for (const mode_t mode : {0666u, 0604u, 0755u}) {
    Write(Path("m.txt"), "x\r\n\r\n");
    ::chmod(Path("m.txt").c_str(), mode);
    EXPECT_EQ(Run("Mtrim1Click", Path("m.txt")), Outcome::Done);
    EXPECT_EQ(Mode(Path("m.txt")), mode);
  }
  ::umask(saved);

  Write(Path("r.txt"), "x\r\n\r\n");
  ::chmod(Path("r.txt").c_str(), 0444);
  for (const char* handler : kHandlers) {
    EXPECT_EQ(Run(handler, Path("r.txt")), Outcome::Cancelled) << handler;  // no answer: Cancel
    EXPECT_EQ(Read(Path("r.txt")), "x\r\n\r\n");
    EXPECT_FALSE(fs::exists(Path("r.org")));
    ASSERT_EQ(dialogs_.Offered().size(), 1u);
    EXPECT_EQ(dialogs_.Offered()[0], Sjis("読み取り専用のファイルです。書き換えますか?"));
  }
  EXPECT_EQ(Run("Mtrim1Click", Path("r.txt"), {"yes"}), Outcome::Done);
  EXPECT_EQ(Read(Path("r.txt")), "x\r\n");
  EXPECT_EQ(Mode(Path("r.txt")), 0444u);
}

// Only a privileged user can give a file to someone else, so only then is there an owner to keep.
TEST_F(CommandTest, TheNewFileKeepsItsOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a file another user's";
  for (const char* handler : kHandlers) {
    Write(Path("o.txt"), "x\r\n\r\n");
    ASSERT_EQ(::chown(Path("o.txt").c_str(), 4321, 8765), 0);
    ::chmod(Path("o.txt").c_str(), 0640);
    EXPECT_EQ(Run(handler, Path("o.txt")), Outcome::Done) << handler;
    struct stat st {};
    ASSERT_EQ(::stat(Path("o.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u) << handler;
    EXPECT_EQ(st.st_gid, 8765u) << handler;
    EXPECT_EQ(st.st_mode & 07777, 0640u) << handler;
  }
}

}  // namespace
}  // namespace sorabu::textcmd::test
