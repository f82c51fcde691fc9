#include "fileops/shfop.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <utime.h>

#include <thread>

#include "dialogs/scripted_dialogs.h"
#include "tests/fileops/temp_tree.h"
#include "textconv/cp932.h"

namespace sorabu::fileops {
namespace {

using dialogs::TScriptedDialogs;
using test::TempTree;
using Snapshot = std::map<std::string, std::string>;

// The trash of these tests lives in a temporary folder on the same file system as their files, set
// before anything asks GLib where the user's data is.
const std::string kTrashHome = [] {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/sorabu-trash-XXXXXX";
  const std::string home = mkdtemp(pattern.data()) ? pattern : std::string("/nonexistent");
  setenv("XDG_DATA_HOME", home.c_str(), 1);
  std::atexit([] { TempTree::Remove(std::getenv("XDG_DATA_HOME")); });
  return home;
}();

std::string U(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

struct Op {
  TScriptedDialogs dialogs;
  TSHFOP shfop{dialogs};
  Op(TwFuncOption f, std::vector<std::string> from, std::string to = {}) {
    shfop.OperationF = f;
    shfop.FromFFList = std::move(from);
    shfop.ToFolder = std::move(to);
  }
};

// Permissions hold even for root once its capabilities are dropped (in a child only).
void DropCapabilities() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  syscall(SYS_capset, &header, data);
}

enum class Limit { FileSize, Permissions };

// Runs body in a forked child, under a 1 MiB file-size limit or with permissions enforced even
// for root; true when body returned true there.
bool InChild(Limit limit, const std::function<bool()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    if (limit == Limit::FileSize) {
      signal(SIGXFSZ, SIG_IGN);
      rlimit size{1 << 20, 1 << 20};
      setrlimit(RLIMIT_FSIZE, &size);
    } else {
      DropCapabilities();
    }
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SHFOPCopy, TreesArriveWholeWithLinksPermissionsAndTimes) {
  TempTree t;
  t.Write("src/a.txt", "alpha");
  t.Write("src/sub/b.bin", std::string("\0\1\2", 3));
  t.Write("src/.hidden", "h");
  ASSERT_EQ(symlink("../a.txt", t("src/sub/link").c_str()), 0);
  ASSERT_EQ(symlink("/etc", t("src/outside").c_str()), 0);
  chmod(t("src/a.txt").c_str(), 0640);
  utimbuf times{1000000000, 1000000000};
  utime(t("src/a.txt").c_str(), &times);
  t.Dir("dst");
  Op op(TwFuncOption::wCOPY, {t("src")}, t("dst"));
  op.shfop.GetFileList = true;
  EXPECT_TRUE(op.shfop.Execute());
  EXPECT_FALSE(op.shfop.Aborted());
  EXPECT_EQ(t.Snapshot("dst/src"), t.Snapshot("src"));
  struct stat st {};
  ASSERT_EQ(stat(t("dst/src/a.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(st.st_mtime, 1000000000);
  // The link to /etc is a link, not a copy of /etc.
  ASSERT_EQ(lstat(t("dst/src/outside").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  // Every file of the tree is in the collected list with its record; links count as files.
  EXPECT_EQ(op.shfop.FileList().size(), 5u);
  for (const auto& f : op.shfop.FileList()) EXPECT_TRUE(f.record.has_value()) << f.path;
  EXPECT_TRUE(op.dialogs.Messages().empty());
}

TEST(SHFOPCopy, WildcardsNamesNotUtf8AndFilesOnly) {
  TempTree t;
  t.Write("src/a.txt", "1");
  t.Write("src/b.txt", "2");
  t.Write("src/c.doc", "3");
  t.Write("src/d.txt/inner", "folder named like a file");
  t.Write("src/\xff\xfe.txt", "raw name");
  t.Dir("dst");
  Op op(TwFuncOption::wCOPY, {t("src/*.txt")}, t("dst"));
  op.shfop.Options.Include(TfFlagsOption::FILESONLY);
  EXPECT_TRUE(op.shfop.Execute());
  EXPECT_EQ(t.Snapshot("dst"), (Snapshot{{"a.txt", "1"}, {"b.txt", "2"}, {"\xff\xfe.txt", "raw name"}}));

  Op all(TwFuncOption::wCOPY, {t("src/?.*")}, t("dst2"));
  all.shfop.Options.Include(TfFlagsOption::NOCONFIRMMKDIR);
  EXPECT_TRUE(all.shfop.Execute());
  EXPECT_EQ(t.Snapshot("dst2").size(), 5u);  // four files and the folder d.txt with its file
}

TEST(SHFOPCopy, MissingDestinationIsOfferedAndCancelAborts) {
  TempTree t;
  t.Write("a.txt", "a");
  Op cancel(TwFuncOption::wCOPY, {t("a.txt")}, t("new/deep"));
  EXPECT_FALSE(cancel.shfop.Execute());
  EXPECT_TRUE(cancel.shfop.Aborted());
  EXPECT_FALSE(t.Exists("new"));
  ASSERT_EQ(cancel.dialogs.Offered().size(), 1u);
  EXPECT_EQ(cancel.dialogs.Offered()[0], t("new/deep") + U(" は存在しません. 作成しますか？"));

  Op yes(TwFuncOption::wCOPY, {t("a.txt")}, t("new/deep"));
  yes.dialogs.Answer("ok");
  EXPECT_TRUE(yes.shfop.Execute());
  EXPECT_EQ(t.Read("new/deep/a.txt"), "a");

  // OnPrepared may refuse; then nothing happens and the run counts as aborted.
  Op refused(TwFuncOption::wCOPY, {t("a.txt")}, t("other"));
  refused.shfop.Options.Include(TfFlagsOption::NOCONFIRMMKDIR);
  refused.shfop.OnPrepared = [](TSHFOP&, bool& exec) { exec = false; };
  EXPECT_FALSE(refused.shfop.Execute());
  EXPECT_TRUE(refused.shfop.Aborted());
  EXPECT_FALSE(t.Exists("other/a.txt"));

  // Nothing to do without sources or a destination.
  Op empty(TwFuncOption::wCOPY, {t("a.txt")}, "");
  EXPECT_FALSE(empty.shfop.Execute());
}

TEST(SHFOPCopy, CollisionChoices) {
  TempTree t;
  for (const char* n : {"a", "b", "c"}) t.Write(std::string("src/") + n, std::string("new ") + n);
  for (const char* n : {"a", "b", "c"}) t.Write(std::string("dst/") + n, std::string("old ") + n);
  const std::vector<std::string> from{t("src/a"), t("src/b"), t("src/c")};

  Op each(TwFuncOption::wCOPY, from, t("dst"));
  each.dialogs.Answer("replace");
  each.dialogs.Answer("skip");
  each.dialogs.Answer("rename");
  EXPECT_TRUE(each.shfop.Execute());
  EXPECT_EQ(t.Snapshot("dst"), (Snapshot{{"a", "new a"}, {"b", "old b"}, {"c", "old c"}, {"c (2)", "new c"}}));

  Op all(TwFuncOption::wCOPY, from, t("dst"));
  all.dialogs.Answer("skip all");
  EXPECT_TRUE(all.shfop.Execute());
  EXPECT_EQ(all.dialogs.Questions().size(), 1u);

  // Cancel at the second question: the first is done, the rest untouched, the run aborted.
  t.Write("src/a", "newer a");
  t.Write("src/b", "newer b");
  Op cancel(TwFuncOption::wCOPY, from, t("dst"));
  cancel.dialogs.Answer("replace");
  EXPECT_FALSE(cancel.shfop.Execute());
  EXPECT_TRUE(cancel.shfop.Aborted());
  EXPECT_EQ(t.Read("dst/a"), "newer a");
  EXPECT_EQ(t.Read("dst/b"), "old b");

  Op automatic(TwFuncOption::wCOPY, {t("src/a")}, t("dst"));
  automatic.shfop.Options.Include(TfFlagsOption::RENAMEONCOLLISION);
  EXPECT_TRUE(automatic.shfop.Execute());
  EXPECT_EQ(t.Read("dst/a (2)"), "newer a");
  EXPECT_TRUE(automatic.dialogs.Questions().empty());

  // Folders of one name merge; a file never replaces a folder.
  t.Write("src2/a/inner", "x");
  Op merge(TwFuncOption::wCOPY, {t("src2/a")}, t("dst"));
  merge.dialogs.Answer("replace");
  EXPECT_FALSE(merge.shfop.Execute());
  EXPECT_EQ(t.Read("dst/a"), "newer a");
  EXPECT_EQ(merge.dialogs.Messages().size(), 1u);
}

TEST(SHFOPCopy, FaultsLeaveSourcesAndNoPartialFiles) {
  TempTree t;
  t.Write("src/one", "1");
  t.Write("src/secret", "2");
  t.Write("src/three", "3");
  chmod(t("src/secret").c_str(), 0);
  ASSERT_EQ(mkfifo(t("src/pipe").c_str(), 0600), 0);
  ASSERT_EQ(symlink("..", t("src/loop").c_str()), 0);
  t.Write("src/folder/x", "x");
  const bool root = geteuid() == 0;
  Op op(TwFuncOption::wCOPY, {t("src"), t("missing")}, t("dst"));
  op.shfop.Options.Include(TfFlagsOption::NOCONFIRMMKDIR);
  EXPECT_FALSE(op.shfop.Execute());
  EXPECT_FALSE(op.shfop.Aborted());
  const Snapshot copied = t.Snapshot("dst/src");
  EXPECT_EQ(copied.at("one"), "1");
  EXPECT_EQ(copied.at("three"), "3");
  EXPECT_EQ(copied.at("loop"), "-> ..");
  EXPECT_EQ(copied.at("folder/x"), "x");
  EXPECT_FALSE(copied.count("pipe"));
  EXPECT_EQ(copied.count("secret"), root ? 1u : 0u);
  // One list at the end names every problem.
  ASSERT_EQ(op.dialogs.Messages().size(), 1u);
  const std::string& report = op.dialogs.Messages()[0].text;
  EXPECT_NE(report.find("pipe"), std::string::npos);
  if (!root) EXPECT_NE(report.find("secret"), std::string::npos);

  Op into(TwFuncOption::wCOPY, {t("src")}, t("src/folder"));
  EXPECT_FALSE(into.shfop.Execute());
  EXPECT_EQ(t.Snapshot("src/folder"), (Snapshot{{"x", "x"}}));
  // No temporary file is left anywhere.
  for (const auto& [name, content] : t.Snapshot()) EXPECT_EQ(name.find(".sorabu-"), std::string::npos) << name;
}

TEST(SHFOPCopy, FileSizeLimitDuringCopy) {
  TempTree t;
  const std::string content(3 << 20, 'c');
  t.Write("big", content);
  t.Write("small", "s");
  t.Dir("dst");
  EXPECT_TRUE(InChild(Limit::FileSize, [&] {
    TScriptedDialogs dialogs;
    TSHFOP op(dialogs);
    op.FromFFList = {t("big"), t("small")};
    op.ToFolder = t("dst");
    const bool ok = op.Execute();
    return !ok && op.Errors().size() == 1;
  }));
  EXPECT_EQ(t.Snapshot("dst"), (Snapshot{{"small", "s"}}));
  EXPECT_EQ(t.Read("big"), content);
}

TEST(SHFOPCopy, ReadOnlyDestinationAndUnreadableSourceAndVanishingSource) {
  TempTree t;
  t.Write("src/one", "1");
  t.Write("src/secret", "2");
  t.Write("src/three", "3");
  t.Dir("ro");
  t.Dir("rw");
  chmod(t("src/secret").c_str(), 0);
  chmod(t("ro").c_str(), 0555);
  EXPECT_TRUE(InChild(Limit::Permissions, [&] {
    TScriptedDialogs dialogs;
    TSHFOP toReadOnly(dialogs);
    toReadOnly.FromFFList = {t("src/one"), t("src/three")};
    toReadOnly.ToFolder = t("ro");
    const bool first = toReadOnly.Execute();
    TSHFOP fromUnreadable(dialogs);
    fromUnreadable.FromFFList = {t("src")};
    fromUnreadable.ToFolder = t("rw");
    const bool second = fromUnreadable.Execute();
    return !first && toReadOnly.Errors().size() == 2 && !second && fromUnreadable.Errors().size() == 1;
  }));
  EXPECT_TRUE(t.Snapshot("ro").empty());
  EXPECT_EQ(t.Snapshot("rw/src"), (Snapshot{{"one", "1"}, {"three", "3"}}));
  chmod(t("src/secret").c_str(), 0600);
  EXPECT_EQ(t.Read("src/secret"), "2");

  // A source that disappears while the operation runs is listed; the rest is copied.
  Op vanishing(TwFuncOption::wCOPY, {t("src/one"), t("src/three")}, t("later"));
  vanishing.shfop.Options.Include(TfFlagsOption::NOCONFIRMMKDIR);
  vanishing.shfop.OnProgress = [&](const TFileOpProgress& p) {
    if (p.current == t("src/one")) unlink(t("src/three").c_str());
  };
  EXPECT_FALSE(vanishing.shfop.Execute());
  EXPECT_EQ(t.Snapshot("later"), (Snapshot{{"one", "1"}}));
  ASSERT_EQ(vanishing.shfop.Errors().size(), 1u);
  EXPECT_NE(vanishing.shfop.Errors()[0].find("three"), std::string::npos);
}

TEST(SHFOPMove, RenamesWithinAFileSystemAndCopiesAcross) {
  TempTree t;
  t.Write("src/a.txt", "a");
  t.Write("src/sub/b", "b");
  ASSERT_EQ(symlink("sub/b", t("src/lnk").c_str()), 0);
  const Snapshot before = t.Snapshot("src");
  Op op(TwFuncOption::wMOVE, {t("src")}, t("dst"));
  op.shfop.Options.Include(TfFlagsOption::NOCONFIRMMKDIR);
  EXPECT_TRUE(op.shfop.Execute());
  EXPECT_FALSE(t.Exists("src"));
  EXPECT_EQ(t.Snapshot("dst/src"), before);

  // Across file systems (shared memory is another one where it exists).
  struct stat here {}, shm {};
  if (stat("/dev/shm", &shm) != 0 || stat(t.root().c_str(), &here) != 0 || here.st_dev == shm.st_dev)
    GTEST_SKIP() << "no second file system";
  TempTree other("/dev/shm");
  ASSERT_TRUE(other.ok());
  Op across(TwFuncOption::wMOVE, {t("dst/src")}, other.root());
  EXPECT_TRUE(across.shfop.Execute());
  EXPECT_FALSE(t.Exists("dst/src"));
  EXPECT_EQ(other.Snapshot("src"), before);
}

TEST(SHFOPMove, AFailedCopyAcrossKeepsTheSource) {
  TempTree t;
  struct stat here {}, shm {};
  if (stat("/dev/shm", &shm) != 0 || stat(t.root().c_str(), &here) != 0 || here.st_dev == shm.st_dev)
    GTEST_SKIP() << "no second file system";
  TempTree other("/dev/shm");
  const std::string content(3 << 20, 'm');
  t.Write("src/big", content);
  t.Write("src/small", "s");
  EXPECT_TRUE(InChild(Limit::FileSize, [&] {
    TScriptedDialogs dialogs;
    TSHFOP op(dialogs);
    op.OperationF = TwFuncOption::wMOVE;
    op.FromFFList = {t("src")};
    op.ToFolder = other.root();
    return !op.Execute();
  }));
  // Every byte is somewhere whole: the big file is still at the source, the small one moved.
  EXPECT_EQ(t.Read("src/big"), content);
  EXPECT_EQ(other.Snapshot("src"), (Snapshot{{"small", "s"}}));
}

TEST(SHFOPCancel, StopsAndLeavesNothingHalfWritten) {
  TempTree t;
  t.Write("big", std::string(64 << 20, 'z'));
  t.Write("later", "l");
  t.Dir("dst");
  Op op(TwFuncOption::wCOPY, {t("big"), t("later")}, t("dst"));
  std::vector<TFileOpProgress> seen;
  op.shfop.OnProgress = [&](const TFileOpProgress& p) {
    seen.push_back(p);
    if (p.current == t("big")) op.shfop.Cancel();
  };
  EXPECT_FALSE(op.shfop.Execute());
  EXPECT_TRUE(op.shfop.Aborted());
  EXPECT_TRUE(t.Snapshot("dst").empty());
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front().bytesTotal, (64ull << 20) + 1);
  EXPECT_EQ(seen.front().filesTotal, 2u);
  EXPECT_TRUE(op.dialogs.Messages().empty());

  // Cancel from another thread while the operation runs; the progress callback holds the
  // operation until the other thread has cancelled.
  Op threaded(TwFuncOption::wCOPY, {t("big"), t("later")}, t("dst"));
  std::atomic<bool> started{false}, cancelled{false};
  threaded.shfop.OnProgress = [&](const TFileOpProgress& p) {
    if (p.current != t("big")) return;
    started = true;
    while (!cancelled) std::this_thread::yield();
  };
  std::thread canceller([&] {
    while (!started) std::this_thread::yield();
    threaded.shfop.Cancel();
    cancelled = true;
  });
  EXPECT_FALSE(threaded.shfop.Execute());
  canceller.join();
  EXPECT_TRUE(threaded.shfop.Aborted());
  EXPECT_TRUE(t.Snapshot("dst").empty());
}

TEST(SHFOPDelete, TrashAsksFirstAndGoesToTheTrashFolder) {
  TempTree t;
  t.Write("a.txt", "a");
  t.Write("b/c", "c");
  Op no(TwFuncOption::wDELETE, {t("a.txt"), t("b")});
  EXPECT_FALSE(no.shfop.Execute());
  EXPECT_TRUE(t.Exists("a.txt"));
  ASSERT_EQ(no.dialogs.Offered().size(), 1u);
  EXPECT_EQ(no.dialogs.Offered()[0], U("これらの 2 個の項目をごみ箱に移動しますか？"));

  Op yes(TwFuncOption::wDELETE, {t("a.txt"), t("b")});
  yes.dialogs.Answer("ok");
  EXPECT_TRUE(yes.shfop.Execute());
  EXPECT_FALSE(t.Exists("a.txt"));
  EXPECT_FALSE(t.Exists("b"));
  EXPECT_EQ(TempTree::ReadPath(kTrashHome + "/Trash/files/a.txt"), "a");
  EXPECT_EQ(TempTree::ReadPath(kTrashHome + "/Trash/files/b/c"), "c");
}

TEST(SHFOPDelete, PermanentDeleteNeverFollowsLinks) {
  TempTree t;
  t.Write("keep/precious", "p");
  t.Write("gone/x", "x");
  ASSERT_EQ(symlink(t("keep").c_str(), t("gone/link").c_str()), 0);
  Op op(TwFuncOption::wDELETE, {t("gone")});
  op.shfop.Options = {TfFlagsOption::NOCONFIRMATION};
  EXPECT_TRUE(op.shfop.Execute());
  EXPECT_FALSE(t.Exists("gone"));
  EXPECT_EQ(t.Read("keep/precious"), "p");
  EXPECT_TRUE(op.dialogs.Questions().empty());
}

TEST(SHFOPRename, NamesMasksAndTakenNames) {
  TempTree t;
  t.Write("a.txt", "a");
  t.Write("b.txt", "b");
  t.Write("taken", "t");
  Op plain(TwFuncOption::wRENAME, {t("a.txt")}, "renamed.txt");
  EXPECT_TRUE(plain.shfop.Execute());
  EXPECT_EQ(t.Read("renamed.txt"), "a");

  Op taken(TwFuncOption::wRENAME, {t("b.txt")}, "taken");
  EXPECT_FALSE(taken.shfop.Execute());
  EXPECT_EQ(t.Read("taken"), "t");
  EXPECT_EQ(t.Read("b.txt"), "b");

  Op mask(TwFuncOption::wRENAME, {t("*.txt")}, t("*.bak"));
  EXPECT_TRUE(mask.shfop.Execute());
  EXPECT_EQ(t.Snapshot(), (Snapshot{{"b.bak", "b"}, {"renamed.bak", "a"}, {"taken", "t"}}));

}

TEST(SHFOPListing, TotalsAre64BitAndLinkLoopsEnd) {
  TempTree t;
  t.Write("top.txt", "12345");
  t.Write("sub/deeper/a.txt", "1");
  t.Write("sub/b.doc", "22");
  ASSERT_EQ(symlink("..", t("sub/up").c_str()), 0);
  const int fd = open(t("sub/huge.txt").c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 5LL << 30), 0);
  close(fd);

  std::vector<TCollectedFile> files;
  EXPECT_EQ(TSHFOP::ListFiles(t.root(), "*.txt", TListMode::Paths, files), (5ull << 30) + 6);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].path, t("top.txt"));  // the folder itself first
  EXPECT_FALSE(files[0].record.has_value());

  EXPECT_EQ(TSHFOP::ListFiles(t.root(), "", TListMode::Records, files), (5ull << 30) + 8);
  for (const auto& f : files) ASSERT_TRUE(f.record.has_value());

  std::vector<TCollectedFile> untouched{{"keep", std::nullopt}};
  EXPECT_EQ(TSHFOP::ListFiles(t("nowhere"), "*", TListMode::Paths, untouched), 0u);
  EXPECT_EQ(untouched.size(), 1u);

  TFileRecord r;
  EXPECT_TRUE(TSHFOP::FileData(t("sub/huge.txt"), r));
  EXPECT_EQ(r.size, 5ull << 30);
  EXPECT_EQ(r.typeName, U("TXT ファイル"));
  EXPECT_FALSE(TSHFOP::FileData(t("sub"), r));
  EXPECT_FALSE(TSHFOP::FileData(t("nothing"), r));
}

TEST(SHFOPFlags, ShellValuesAndMissingFolders) {
  EXPECT_EQ(TfFlagsOptions{}.ShellFlags(), 0u);
  EXPECT_EQ((TfFlagsOptions{TfFlagsOption::ALLOWUNDO, TfFlagsOption::SILENT}.ShellFlags()), 0x0044u);
  EXPECT_EQ((TfFlagsOptions{TfFlagsOption::NOCONFIRMMKDIR, TfFlagsOption::MULTIDESTFILES}.ShellFlags()), 0x0201u);
  TempTree t;
  EXPECT_TRUE(ForceDirectories(t("x/y/z/")));
  EXPECT_TRUE(t.Exists("x/y/z"));
  EXPECT_FALSE(ForceDirectories(""));
}

}  // namespace
}  // namespace sorabu::fileops
